#ifndef APP_DEVICE_UNITCOLLECTION_H
#define APP_DEVICE_UNITCOLLECTION_H

#include <vector>

#include <QHash>
#include <QString>

#include "app/device/conversionclass.h"

namespace app::device {

// Unit records under text keys, in the order they were added; a key is added once only.
class UnitCollection
{
public:
    // False (and nothing changes) when the key is already there.
    bool add(const QString &key, const ConversionClass &unit);
    // nullptr when the key is not there.
    const ConversionClass *find(const QString &key) const;
    int count() const { return static_cast<int>(units_.size()); }
    // In the order of adding.
    const std::vector<ConversionClass> &items() const { return units_; }
    const std::vector<QString> &keys() const { return keys_; }

private:
    std::vector<ConversionClass> units_;
    std::vector<QString> keys_;
    QHash<QString, int> positions_;
};

} // namespace app::device

#endif
