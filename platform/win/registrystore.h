#ifndef PLATFORM_WIN_REGISTRYSTORE_H
#define PLATFORM_WIN_REGISTRYSTORE_H

#include <cstdint>
#include <map>
#include <mutex>

#include <QByteArray>
#include <QString>
#include <QStringList>

namespace platform::win {

// A registry of typed values in one file: keys below the predefined roots, paths separated by
// "\", names of keys and values compared case-insensitively and kept as first written. Calls are
// shaped like the system's registry calls: handles, access rights and the system's result codes.
// Every call reads the file; every change rewrites it whole under a lock on "NAME.lock", so that
// several programs of the user can share it. Text data are UTF-8 bytes ended by a NUL.
using HKey = uint32_t;

constexpr HKey HKeyClassesRoot = 0x80000000u;
constexpr HKey HKeyCurrentUser = 0x80000001u;
constexpr HKey HKeyLocalMachine = 0x80000002u;
constexpr HKey HKeyUsers = 0x80000003u;
constexpr HKey HKeyCurrentConfig = 0x80000005u;

// Value types.
constexpr uint32_t RegNone = 0;
constexpr uint32_t RegSz = 1;
constexpr uint32_t RegExpandSz = 2;
constexpr uint32_t RegBinary = 3;
constexpr uint32_t RegDword = 4;
constexpr uint32_t RegDwordBigEndian = 5;
constexpr uint32_t RegMultiSz = 7;
constexpr uint32_t RegQword = 11;

// Access rights of an open key.
constexpr uint32_t KeyQueryValue = 0x0001;
constexpr uint32_t KeySetValue = 0x0002;
constexpr uint32_t KeyCreateSubKey = 0x0004;
constexpr uint32_t KeyEnumerateSubKeys = 0x0008;
constexpr uint32_t KeyRead = 0x20019;
constexpr uint32_t KeyWrite = 0x20006;
constexpr uint32_t KeyAllAccess = 0xF003F;

// Result codes.
constexpr long RegSuccess = 0;
constexpr long RegFileNotFound = 2;
constexpr long RegAccessDenied = 5;
constexpr long RegInvalidHandle = 6;
constexpr long RegInvalidParameter = 87;
constexpr long RegMoreData = 234;
constexpr long RegNoMoreItems = 259;
constexpr long RegCorrupt = 1015;  // the file does not parse: nothing is read or overwritten
constexpr long RegIoFailed = 1016; // the file could not be read, locked or written
constexpr long RegKeyDeleted = 1018;

class RegistryStore
{
public:
    explicit RegistryStore(QString fileName);
    RegistryStore(const RegistryStore &) = delete;
    RegistryStore &operator=(const RegistryStore &) = delete;

    // The user's store: "HXR Toolkit/registry.json" in the user's configuration folder.
    static RegistryStore &user();
    static QString userFileName();

    const QString &fileName() const { return fileName_; }
    // Why the calling thread's last call that returned RegIoFailed could not read, lock or
    // write the file ("No space left on device").
    static QString failureCause();

    long openKey(HKey parent, const QString &subKey, uint32_t access, HKey &result);
    // Opens the key, creating it and every missing key on its path.
    long createKey(HKey parent, const QString &subKey, uint32_t access, HKey &result);
    long closeKey(HKey key);
    // Deletes a key without subkeys.
    long deleteKey(HKey parent, const QString &subKey);

    long setValue(HKey key, const QString &name, uint32_t type, const QByteArray &data);
    long queryValue(HKey key, const QString &name, uint32_t *type, QByteArray *data);
    long deleteValue(HKey key, const QString &name);
    // Names by index: values in the order they were first written, subkeys alphabetically.
    long enumValue(HKey key, uint32_t index, QString &name);
    long enumKey(HKey key, uint32_t index, QString &name);
    long queryInfoKey(HKey key, uint32_t *subKeys, uint32_t *maxSubKeyLength, uint32_t *values,
                      uint32_t *maxValueNameLength);

    // Data of the typed values.
    static QByteArray textData(const QString &text);
    static QByteArray multiTextData(const QStringList &texts);
    static QByteArray dwordData(uint32_t value);
    static QByteArray qwordData(uint64_t value);

private:
    struct Handle
    {
        HKey root;
        QStringList path;
        uint32_t access;
    };

    bool resolve(HKey key, Handle &handle) const;
    // RegSuccess when the key is open with the right, else the result code to return.
    long resolve(HKey key, uint32_t right, Handle &handle) const;
    HKey newHandle(Handle handle);

    QString fileName_;
    mutable std::mutex mutex_;
    std::map<HKey, Handle> handles_;
    HKey nextHandle_ = 0x100;
};

} // namespace platform::win

#endif
