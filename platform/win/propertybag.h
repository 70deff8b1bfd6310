#ifndef PLATFORM_WIN_PROPERTYBAG_H
#define PLATFORM_WIN_PROPERTYBAG_H

#include <QMap>
#include <QString>
#include <QStringList>
#include <QVariant>

#include "platform/win/syscolours.h"

namespace platform::win {

// The stored property set of a user control: values by name, each with a default that is not
// written, so a set holds only what differs from the control's defaults.
class PropertyBag
{
public:
    // The stored value of key, or defaultValue when the key is absent.
    QVariant read(const QString &key, const QVariant &defaultValue) const;
    // Stores value under key; a value equal to its default removes the key instead.
    void write(const QString &key, const QVariant &value, const QVariant &defaultValue);
    // The same for OLE colours, stored as unsigned numbers.
    OleColour readColour(const QString &key, OleColour defaultValue) const;
    void writeColour(const QString &key, OleColour value, OleColour defaultValue);

    bool contains(const QString &key) const { return values_.contains(key); }
    QStringList keys() const { return values_.keys(); }
    bool isEmpty() const { return values_.isEmpty(); }

private:
    QMap<QString, QVariant> values_;
};

} // namespace platform::win

#endif
