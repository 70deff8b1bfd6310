#include "platform/win/propertybag.h"

namespace platform::win {

namespace {

QVariant colourVariant(OleColour colour)
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

OleColour PropertyBag::readColour(const QString &key, OleColour defaultValue) const
{
    return static_cast<OleColour>(read(key, colourVariant(defaultValue)).toULongLong());
}

void PropertyBag::writeColour(const QString &key, OleColour value, OleColour defaultValue)
{
    write(key, colourVariant(value), colourVariant(defaultValue));
}

} // namespace platform::win
