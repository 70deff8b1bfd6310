#ifndef APP_COMMON_CREGISTRY_H
#define APP_COMMON_CREGISTRY_H

#include <cstdint>

#include <QString>
#include <QStringList>
#include <QVariant>

#include "platform/win/registrystore.h"

namespace app::common {

// Property-style access to the registry store: set ClassKey (a root such as
// platform::win::HKeyCurrentUser), SectionKey (a key path, parts separated by "\"), ValueKey (a
// value name, empty for the key's default value) and ValueType, then read or write Value.
//
// Value types: 1 text, 2 expandable text, 3 binary, 4 32-bit number, 5 32-bit big-endian
// number, 7 multiple texts. Failures raise platform::vb::VbError with the numbers below and the
// source "<program>.cRegistry"; reads of a missing key or value return Default instead.
class cRegistry
{
public:
    static constexpr int ObjectErrorBase = static_cast<int>(0x80040000u);
    static constexpr int KeyFailure = 26001;
    static constexpr int SetValueFailure = ObjectErrorBase + 27049;        // 0x800469A9
    static constexpr int EnumerateFailure = ObjectErrorBase + 27050;       // 0x800469AA
    static constexpr int InvalidAssociationList = ObjectErrorBase + 27052; // 0x800469AC
    static constexpr int ClassNotDefined = ObjectErrorBase + 27053;        // 0x800469AD

    explicit cRegistry(platform::win::RegistryStore &store = platform::win::RegistryStore::user());

    // The name of another computer: stored with a leading "\\" when longer than two characters,
    // cleared otherwise. Reads and writes still use the local store.
    QString Machine() const { return machine_; }
    void setMachine(const QString &sMachine);

    bool KeyExists();
    bool CreateKey();
    // Deletes SectionKey, which must have no subkeys.
    bool DeleteKey();
    bool DeleteValue();

    // The value by its stored type (ValueType takes that type): a QString for 1, 2 (variables
    // expanded) and 7 (texts separated by NULs), a qint32 for 4 and 5, a QByteArray otherwise.
    QVariant Value();
    // Writes by ValueType: 1 and 2 as text (stored as 2 when it names a %variable%), 3 a
    // QByteArray, 4 and 5 a whole number of 32 bits (stored as 4). A value that does not suit
    // the type raises a type error; other types cannot be written.
    void setValue(const QVariant &vValue);

    // The names of the values or subkeys of SectionKey; false when the key cannot be opened.
    bool EnumerateValues(QStringList &sKeyNames, int &iKeyCount);
    bool EnumerateSections(QStringList &sSect, int &iSectCount);

    // Registers a file extension with its program, in the classes root and again below
    // "SOFTWARE\Classes\" of the local machine root (which ClassKey keeps afterwards).
    void CreateEXEAssociation(const QString &sExePath, const QString &sClassName,
                              const QString &sClassDescription, const QString &sAssociation,
                              const QString &sOpenMenuText = QString(), bool bSupportPrint = false,
                              const QString &sPrintMenuText = QString(), bool bSupportNew = false,
                              const QString &sNewMenuText = QString(), bool bSupportInstall = false,
                              const QString &sInstallMenuText = QString(),
                              int lDefaultIconIndex = -1);
    // Further verbs of a class registered before: triples of verb name, menu text, command.
    void CreateAdditionalEXEAssociations(const QString &sClassName, const QStringList &vItems);

    uint32_t ValueType() const { return valueType_; }
    void setValueType(uint32_t eValueType) { valueType_ = eValueType; }
    platform::win::HKey ClassKey() const { return classKey_; }
    void setClassKey(platform::win::HKey eKey) { classKey_ = eKey; }
    QString SectionKey() const { return sectionKey_; }
    void setSectionKey(const QString &sSectionKey) { sectionKey_ = sSectionKey; }
    QString ValueKey() const { return valueKey_; }
    void setValueKey(const QString &sValueKey) { valueKey_ = sValueKey; }
    QVariant Default() const { return default_; }
    void setDefault(const QVariant &vDefault) { default_ = vDefault; }

    // Sets the five properties and reads Value.
    QVariant ValueEx(platform::win::HKey eKey, const QString &sSectionKey, const QString &sValueKey,
                     uint32_t eValueType, const QVariant &vDefault);
    // Sets the five properties and writes vValue; for type 1 an empty value writes vDefault.
    void setValueEx(platform::win::HKey eKey, const QString &sSectionKey, const QString &sValueKey,
                    uint32_t eValueType, const QVariant &vDefault, const QVariant &vValue);

private:
    QString rootText() const;
    [[noreturn]] void raise(int number, const QString &description) const;
    void dualWrite(const QString &section, const QString &value);

    platform::win::RegistryStore &store_;
    platform::win::HKey classKey_ = 0;
    QString sectionKey_;
    QString valueKey_;
    uint32_t valueType_ = 0;
    QVariant default_;
    QString machine_;
    QVariant lastValue_;
};

} // namespace app::common

#endif
