#include "app/common/cregistry.h"

#include <cmath>

#include <QCoreApplication>
#include <QFileInfo>

#include "platform/vb/vberror.h"

namespace app::common {

using namespace platform::win;
using platform::vb::VbError;

namespace {

QString programName()
{
    if (!QCoreApplication::instance()) {
        return QString();
    }
    return QFileInfo(QCoreApplication::applicationFilePath()).completeBaseName();
}

QString codeText(long code)
{
    switch (code) {
    case RegFileNotFound:
        return QStringLiteral("The key or value does not exist.");
    case RegAccessDenied:
        return QStringLiteral("Access is denied.");
    case RegInvalidHandle:
        return QStringLiteral("The key handle is invalid.");
    case RegCorrupt:
        return QStringLiteral("The registry file is corrupt.");
    case RegIoFailed:
        return QStringLiteral("The registry file could not be read or written.");
    case RegKeyDeleted:
        return QStringLiteral("The key has been deleted.");
    default:
        return QStringLiteral("Registry error ") + QString::number(code) + QLatin1Char('.');
    }
}

// Closes an open key when it goes out of scope.
class OpenKey
{
public:
    explicit OpenKey(RegistryStore &store) : store_(store) {}
    ~OpenKey()
    {
        if (open_) {
            store_.closeKey(key_);
        }
    }
    OpenKey(const OpenKey &) = delete;
    OpenKey &operator=(const OpenKey &) = delete;

    long open(HKey root, const QString &path, uint32_t access)
    {
        const long result = store_.openKey(root, path, access, key_);
        open_ = result == RegSuccess;
        return result;
    }
    long create(HKey root, const QString &path)
    {
        const long result = store_.createKey(root, path, KeyAllAccess, key_);
        open_ = result == RegSuccess;
        return result;
    }
    HKey key() const { return key_; }

private:
    RegistryStore &store_;
    HKey key_ = 0;
    bool open_ = false;
};

using NameAt = long (RegistryStore::*)(HKey, uint32_t, QString &);

// Appends the names of an open key, index by index, until the store has no more or fails;
// returns the store's last result (RegNoMoreItems when every name was listed).
long collectNames(RegistryStore &store, HKey key, NameAt nameAt, QStringList &names, int &count)
{
    QString name;
    long result = RegSuccess;
    for (uint32_t index = 0; (result = (store.*nameAt)(key, index, name)) == RegSuccess; ++index) {
        names.append(name);
        ++count;
    }
    return result;
}

QString decodeText(QByteArray data, bool allTerminators)
{
    // Only terminating NULs go: text stored without one keeps its last character.
    while (data.endsWith('\0')) {
        data.chop(1);
        if (!allTerminators) {
            break;
        }
    }
    return QString::fromUtf8(data);
}

QString expandVariables(const QString &text)
{
    QString out;
    qsizetype i = 0;
    while (i < text.size()) {
        const qsizetype open = text.indexOf(QLatin1Char('%'), i);
        const qsizetype close = open < 0 ? -1 : text.indexOf(QLatin1Char('%'), open + 1);
        if (close < 0) {
            out += text.mid(i);
            break;
        }
        out += text.mid(i, open - i);
        const QString name = text.mid(open + 1, close - open - 1);
        if (!name.isEmpty() && qEnvironmentVariableIsSet(name.toLocal8Bit().constData())) {
            out += qEnvironmentVariable(name.toLocal8Bit().constData());
            i = close + 1;
        } else {
            out += QLatin1Char('%') + name; // left as it stands; the closing "%" may open another
            i = close;
        }
    }
    return out;
}

uint32_t littleEndian(const QByteArray &data)
{
    uint32_t value = 0;
    for (qsizetype i = 0; i < std::min<qsizetype>(data.size(), 4); ++i) {
        value |= uint32_t(static_cast<uint8_t>(data[i])) << (8 * i);
    }
    return value;
}

uint32_t byteSwapped(uint32_t value)
{
    return (value >> 24) | ((value >> 8) & 0xFF00u) | ((value << 8) & 0xFF0000u) | (value << 24);
}

bool namesVariable(const QString &text)
{
    const qsizetype first = text.indexOf(QLatin1Char('%'));
    return first >= 0 && text.lastIndexOf(QLatin1Char('%')) >= first + 2;
}

// A whole number that fits 32 bits (signed or unsigned), as its 32 bits.
bool wholeNumber(const QVariant &value, uint32_t &bits)
{
    double number = 0;
    switch (value.typeId()) {
    case QMetaType::Int:
    case QMetaType::Short:
    case QMetaType::Long:
    case QMetaType::LongLong:
    case QMetaType::SChar:
    case QMetaType::Char:
        number = static_cast<double>(value.toLongLong());
        break;
    case QMetaType::UInt:
    case QMetaType::UShort:
    case QMetaType::ULong:
    case QMetaType::ULongLong:
    case QMetaType::UChar:
        number = static_cast<double>(value.toULongLong());
        break;
    case QMetaType::Double:
    case QMetaType::Float:
        number = value.toDouble();
        break;
    default:
        return false;
    }
    if (!std::isfinite(number) || std::trunc(number) != number || number < -2147483648.0 ||
        number > 4294967295.0) {
        return false;
    }
    bits = static_cast<uint32_t>(static_cast<int64_t>(number));
    return true;
}

} // namespace

cRegistry::cRegistry(RegistryStore &store) : store_(store) {}

void cRegistry::setMachine(const QString &sMachine)
{
    if (sMachine.size() > 2) {
        machine_ = sMachine.startsWith(QLatin1String("\\\\")) ? sMachine
                                                              : QStringLiteral("\\\\") + sMachine;
    } else {
        machine_.clear();
    }
}

QString cRegistry::rootText() const
{
    return QString::number(static_cast<int32_t>(classKey_));
}

void cRegistry::raise(int number, const QString &description) const
{
    throw VbError(number, programName() + QStringLiteral(".cRegistry"), description);
}

bool cRegistry::KeyExists()
{
    OpenKey key(store_);
    return key.open(classKey_, sectionKey_, KeyQueryValue) == RegSuccess;
}

bool cRegistry::CreateKey()
{
    OpenKey key(store_);
    if (key.create(classKey_, sectionKey_) != RegSuccess) {
        raise(KeyFailure, QStringLiteral("Failed to create registry Key: '") + sectionKey_);
    }
    return true;
}

bool cRegistry::DeleteKey()
{
    if (store_.deleteKey(classKey_, sectionKey_) != RegSuccess) {
        raise(KeyFailure, QStringLiteral("Failed to delete registry Key: '") + rootText() +
                              QStringLiteral("',Section: '") + sectionKey_);
    }
    return true;
}

bool cRegistry::DeleteValue()
{
    OpenKey key(store_);
    if (key.open(classKey_, sectionKey_, KeyAllAccess) != RegSuccess) {
        raise(KeyFailure, QStringLiteral("Failed to open key '") + rootText() +
                              QStringLiteral("',Section: '") + sectionKey_ +
                              QStringLiteral("' for delete access"));
    }
    if (store_.deleteValue(key.key(), valueKey_) != RegSuccess) {
        raise(KeyFailure, QStringLiteral("Failed to delete registry Key: '") + rootText() +
                              QStringLiteral("',Section: '") + sectionKey_ +
                              QStringLiteral("',Key: '") + valueKey_);
    }
    return true;
}

QVariant cRegistry::Value()
{
    OpenKey key(store_);
    if (key.open(classKey_, sectionKey_, KeyQueryValue) != RegSuccess) {
        return default_;
    }
    uint32_t type = 0;
    QByteArray data;
    const long result = store_.queryValue(key.key(), valueKey_, &type, &data);
    if (result != RegSuccess && result != RegMoreData) {
        return default_;
    }
    valueType_ = type;
    switch (type) {
    case RegSz:
        return decodeText(data, true);
    case RegMultiSz:
        return decodeText(data, false);
    case RegExpandSz:
        return expandVariables(decodeText(data, true));
    case RegDword:
        return static_cast<qint32>(littleEndian(data));
    case RegDwordBigEndian:
        return static_cast<qint32>(byteSwapped(littleEndian(data)));
    default:
        return data;
    }
}

void cRegistry::setValue(const QVariant &vValue)
{
    const QString failure = QStringLiteral("Failed to set registry value Key: '") + rootText() +
                            QStringLiteral("',Section: '") + sectionKey_ +
                            QStringLiteral("',Key: '") + valueKey_ +
                            QStringLiteral("' to value: '") + vValue.toString() + QLatin1Char('\'');
    OpenKey key(store_);
    if (key.create(classKey_, sectionKey_) != RegSuccess) {
        raise(KeyFailure, failure);
    }
    long result = RegSuccess;
    switch (valueType_) {
    case RegSz:
    case RegExpandSz: {
        const QString text = vValue.toString();
        result = store_.setValue(key.key(), valueKey_, namesVariable(text) ? RegExpandSz : RegSz,
                                 RegistryStore::textData(text));
        break;
    }
    case RegBinary:
        if (vValue.typeId() != QMetaType::QByteArray) {
            throw VbError(KeyFailure, QString(), QString());
        }
        result = store_.setValue(key.key(), valueKey_, RegBinary, vValue.toByteArray());
        break;
    case RegDword:
    case RegDwordBigEndian: {
        uint32_t bits = 0;
        if (!wholeNumber(vValue, bits)) {
            raise(VbError::TypeMismatch, QStringLiteral("Type mismatch: ") + failure);
        }
        result = store_.setValue(key.key(), valueKey_, RegDword, RegistryStore::dwordData(bits));
        break;
    }
    default:
        result = VbError::TypeMismatch;
        break;
    }
    if (result != RegSuccess) {
        raise(SetValueFailure, failure);
    }
    lastValue_ = vValue;
}

bool cRegistry::EnumerateValues(QStringList &sKeyNames, int &iKeyCount)
{
    sKeyNames.clear();
    iKeyCount = 0;
    OpenKey key(store_);
    if (key.open(classKey_, sectionKey_, KeyQueryValue) != RegSuccess) {
        return false;
    }
    return collectNames(store_, key.key(), &RegistryStore::enumValue, sKeyNames, iKeyCount) ==
           RegNoMoreItems;
}

bool cRegistry::EnumerateSections(QStringList &sSect, int &iSectCount)
{
    sSect.clear();
    iSectCount = 0;
    OpenKey key(store_);
    if (key.open(classKey_, sectionKey_, KeyEnumerateSubKeys) != RegSuccess) {
        return false;
    }
    const long result = collectNames(store_, key.key(), &RegistryStore::enumKey, sSect, iSectCount);
    if (result != RegNoMoreItems) {
        raise(EnumerateFailure, codeText(result));
    }
    return true;
}

void cRegistry::dualWrite(const QString &section, const QString &value)
{
    classKey_ = HKeyClassesRoot;
    sectionKey_ = section;
    setValue(value);
    classKey_ = HKeyLocalMachine;
    sectionKey_ = QStringLiteral("SOFTWARE\\Classes\\") + section;
    setValue(value);
    sectionKey_ = section;
}

void cRegistry::CreateEXEAssociation(const QString &sExePath, const QString &sClassName,
                                     const QString &sClassDescription, const QString &sAssociation,
                                     const QString &sOpenMenuText, bool bSupportPrint,
                                     const QString &sPrintMenuText, bool bSupportNew,
                                     const QString &sNewMenuText, bool bSupportInstall,
                                     const QString &sInstallMenuText, int lDefaultIconIndex)
{
    QString path = sExePath.trimmed();
    if (!path.startsWith(QLatin1Char('"'))) {
        path.prepend(QLatin1Char('"'));
    }
    if (path.size() < 2 || !path.endsWith(QLatin1Char('"'))) {
        path.append(QLatin1Char('"'));
    }
    valueType_ = RegSz;
    valueKey_.clear();
    const QString shell = sClassName + QStringLiteral("\\shell\\");
    const auto orDefault = [](const QString &text, const QString &fallback) {
        return text.isEmpty() ? fallback : text;
    };

    dualWrite(QLatin1Char('.') + sAssociation, sClassName);
    dualWrite(sClassName, sClassDescription);
    dualWrite(shell + QStringLiteral("open"), orDefault(sOpenMenuText, QStringLiteral("&Open")));
    dualWrite(shell + QStringLiteral("open\\command"), path + QStringLiteral(" \"%1\""));
    if (bSupportPrint) {
        dualWrite(shell + QStringLiteral("print"),
                  orDefault(sPrintMenuText, QStringLiteral("&Print")));
        dualWrite(shell + QStringLiteral("print\\command"), path + QStringLiteral(" /p \"%1\""));
    }
    if (bSupportInstall) {
        dualWrite(shell + QStringLiteral("add"),
                  orDefault(sInstallMenuText, QStringLiteral("&Install ") + sAssociation));
        dualWrite(shell + QStringLiteral("add\\command"), path + QStringLiteral(" /a \"%1\""));
    }
    if (bSupportNew) {
        dualWrite(shell + QStringLiteral("new"), orDefault(sNewMenuText, QStringLiteral("&New")));
        dualWrite(shell + QStringLiteral("new\\command"), path + QStringLiteral(" /n \"%1\""));
    }
    if (lDefaultIconIndex >= 0) {
        dualWrite(sClassName + QStringLiteral("\\DefaultIcon"),
                  path + QLatin1Char(',') + QString::number(lDefaultIconIndex));
    }
}

void cRegistry::CreateAdditionalEXEAssociations(const QString &sClassName,
                                                const QStringList &vItems)
{
    if (vItems.isEmpty() || vItems.size() % 3 != 0) {
        raise(InvalidAssociationList, QStringLiteral("Invalid parameter list passed to "
                                                     "CreateAdditionalEXEAssociations - expected "
                                                     "Name/Text/Command"));
    }
    // The class is looked for where the associations are read, in the classes root.
    classKey_ = HKeyClassesRoot;
    sectionKey_ = sClassName;
    if (!KeyExists()) {
        raise(ClassNotDefined,
              QStringLiteral(
                  "Error - attempt to create additional associations before class defined."));
    }
    valueType_ = RegSz;
    valueKey_.clear();
    for (qsizetype i = 0; i < vItems.size(); i += 3) {
        const QString verb = sClassName + QStringLiteral("\\shell\\") + vItems[i];
        dualWrite(verb, vItems[i + 1]);
        dualWrite(verb + QStringLiteral("\\command"), vItems[i + 2]);
    }
}

QVariant cRegistry::ValueEx(HKey eKey, const QString &sSectionKey, const QString &sValueKey,
                            uint32_t eValueType, const QVariant &vDefault)
{
    classKey_ = eKey;
    sectionKey_ = sSectionKey;
    valueKey_ = sValueKey;
    valueType_ = eValueType;
    default_ = vDefault;
    return Value();
}

void cRegistry::setValueEx(HKey eKey, const QString &sSectionKey, const QString &sValueKey,
                           uint32_t eValueType, const QVariant &vDefault, const QVariant &vValue)
{
    classKey_ = eKey;
    sectionKey_ = sSectionKey;
    valueKey_ = sValueKey;
    valueType_ = eValueType;
    default_ = vDefault;
    if (eValueType == RegSz && vValue.toString().isEmpty()) {
        setValue(vDefault);
    } else {
        setValue(vValue);
    }
}

} // namespace app::common
