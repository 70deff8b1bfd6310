#include "app/controls/propertybag.h"

namespace app::controls {

QVariant PropertyBag::read(const QString &key, const QVariant &defaultValue) const
{
    const auto it = values_.constFind(key);
    return it == values_.constEnd() ? defaultValue : it.value();
}

void PropertyBag::write(const QString &key, const QVariant &value, const QVariant &defaultValue)
{
    if (value == defaultValue)
        values_.remove(key);
    else
        values_.insert(key, value);
}

} // namespace app::controls
