#include "app/device/unitcollection.h"

namespace app::device {

bool UnitCollection::add(const QString &key, const ConversionClass &unit)
{
    if (positions_.contains(key))
        return false;
    positions_.insert(key, static_cast<int>(units_.size()));
    units_.push_back(unit);
    keys_.push_back(key);
    return true;
}

const ConversionClass *UnitCollection::find(const QString &key) const
{
    const auto it = positions_.constFind(key);
    return it == positions_.constEnd() ? nullptr : &units_[static_cast<size_t>(*it)];
}

} // namespace app::device
