#include "app/controls/propertybag.h"

namespace app::controls {

namespace {

QVariant colourVariant(platform::win::OleColour colour)
{
    return QVariant::fromValue<qulonglong>(colour);
}

} // namespace

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

platform::win::OleColour PropertyBag::readColour(const QString &key,
                                                 platform::win::OleColour defaultValue) const
{
    return static_cast<platform::win::OleColour>(
        read(key, colourVariant(defaultValue)).toULongLong());
}

void PropertyBag::writeColour(const QString &key, platform::win::OleColour value,
                              platform::win::OleColour defaultValue)
{
    write(key, colourVariant(value), colourVariant(defaultValue));
}

} // namespace app::controls
