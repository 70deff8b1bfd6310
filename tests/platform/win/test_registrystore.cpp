#include "platform/win/registrystore.h"

#include <cerrno>
#include <cstring>

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QStandardPaths>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include "support/filebytes.h"
#include "support/ordinaryuser.h"
#include "support/smallfilesystem.h"

namespace {

using namespace platform::win;

class RegistryFile : public testing::Test
{
protected:
    HKey create(const char *path, uint32_t access = KeyAllAccess)
    {
        HKey key = 0;
        EXPECT_EQ(store_.createKey(HKeyCurrentUser, QString::fromUtf8(path), access, key),
                  RegSuccess);
        return key;
    }

    QTemporaryDir dir_;
    QString path_ = dir_.filePath(QStringLiteral("sub/registry.json"));
    RegistryStore store_{path_};
};

TEST_F(RegistryFile, TypedValuesPersistInTheFile)
{
    const HKey key = create("Software\\VXLiveUpdate\\HXR Toolkit");
    ASSERT_EQ(store_.setValue(key, QStringLiteral("ID"), RegSz,
                              RegistryStore::textData(QStringLiteral("caf\u00E9"))),
              RegSuccess);
    ASSERT_EQ(store_.setValue(key, QStringLiteral("Count"), RegDword,
                              RegistryStore::dwordData(0x12345678)),
              RegSuccess);
    ASSERT_EQ(store_.setValue(key, QStringLiteral("Big"), RegQword,
                              RegistryStore::qwordData(0x0102030405060708ull)),
              RegSuccess);
    ASSERT_EQ(
        store_.setValue(key, QStringLiteral("List"), RegMultiSz,
                        RegistryStore::multiTextData({QStringLiteral("a"), QStringLiteral("b")})),
        RegSuccess);
    ASSERT_EQ(store_.setValue(key, QString(), RegBinary, QByteArray("\0\xFF", 2)), RegSuccess);
    EXPECT_EQ(store_.closeKey(key), RegSuccess);

    RegistryStore reopened(path_);
    HKey again = 0;
    ASSERT_EQ(reopened.openKey(HKeyCurrentUser,
                               QStringLiteral("software\\vxliveupdate\\HXR TOOLKIT"), KeyRead,
                               again),
              RegSuccess);
    const struct
    {
        const char *name;
        uint32_t type;
        QByteArray data;
    } expected[] = {{"id", RegSz, QByteArray("caf\xC3\xA9\0", 6)},
                    {"COUNT", RegDword, QByteArray("\x78\x56\x34\x12", 4)},
                    {"big", RegQword, QByteArray("\x08\x07\x06\x05\x04\x03\x02\x01", 8)},
                    {"list", RegMultiSz, QByteArray("a\0b\0\0", 5)},
                    {"", RegBinary, QByteArray("\0\xFF", 2)}};
    for (const auto &e : expected) {
        uint32_t type = 0;
        QByteArray data;
        EXPECT_EQ(reopened.queryValue(again, QString::fromUtf8(e.name), &type, &data), RegSuccess)
            << e.name;
        EXPECT_EQ(type, e.type) << e.name;
        EXPECT_EQ(data, e.data) << e.name;
    }
}

TEST_F(RegistryFile, EnumeratesValuesInWritingOrderAndKeysAlphabetically)
{
    const HKey key = create("Software\\App");
    for (const char *name : {"Zeta", "alpha", "Mid", "ZETA"}) {
        store_.setValue(key, QString::fromUtf8(name), RegSz, RegistryStore::textData(QString()));
    }
    for (const char *sub : {"Software\\App\\b", "Software\\App\\C", "Software\\App\\a"}) {
        store_.closeKey(create(sub));
    }
    QStringList values;
    QString name;
    for (uint32_t i = 0; store_.enumValue(key, i, name) == RegSuccess; ++i) {
        values.append(name);
    }
    EXPECT_EQ(values, (QStringList{QStringLiteral("Zeta"), QStringLiteral("alpha"),
                                   QStringLiteral("Mid")}));
    QStringList keys;
    for (uint32_t i = 0; store_.enumKey(key, i, name) == RegSuccess; ++i) {
        keys.append(name);
    }
    EXPECT_EQ(keys, (QStringList{QStringLiteral("a"), QStringLiteral("b"), QStringLiteral("C")}));
    EXPECT_EQ(store_.enumKey(key, 3, name), RegNoMoreItems);
    uint32_t subKeys = 0, valueCount = 0, longestValue = 0;
    EXPECT_EQ(store_.queryInfoKey(key, &subKeys, nullptr, &valueCount, &longestValue), RegSuccess);
    EXPECT_EQ(subKeys, 3u);
    EXPECT_EQ(valueCount, 3u);
    EXPECT_EQ(longestValue, 5u);
}

TEST_F(RegistryFile, ReportsTheSystemsErrorCodes)
{
    HKey key = 0;
    EXPECT_EQ(store_.openKey(HKeyCurrentUser, QStringLiteral("Missing"), KeyRead, key),
              RegFileNotFound);
    const HKey parent = create("Software\\P");
    store_.closeKey(create("Software\\P\\Child"));
    EXPECT_EQ(store_.deleteKey(HKeyCurrentUser, QStringLiteral("Software\\P")), RegAccessDenied);
    EXPECT_EQ(store_.deleteKey(HKeyCurrentUser, QStringLiteral("Software\\None")), RegFileNotFound);
    EXPECT_EQ(store_.deleteKey(HKeyCurrentUser, QString()), RegInvalidParameter);

    uint32_t type = 0;
    EXPECT_EQ(store_.queryValue(parent, QStringLiteral("none"), &type, nullptr), RegFileNotFound);
    EXPECT_EQ(store_.deleteValue(parent, QStringLiteral("none")), RegFileNotFound);

    HKey readOnly = 0;
    ASSERT_EQ(
        store_.openKey(HKeyCurrentUser, QStringLiteral("Software\\P"), KeyQueryValue, readOnly),
        RegSuccess);
    EXPECT_EQ(store_.setValue(readOnly, QStringLiteral("v"), RegSz, QByteArray()), RegAccessDenied);
    QString name;
    EXPECT_EQ(store_.enumKey(readOnly, 0, name), RegAccessDenied);

    EXPECT_EQ(store_.deleteKey(parent, QStringLiteral("Child")), RegSuccess);
    EXPECT_EQ(store_.deleteKey(HKeyCurrentUser, QStringLiteral("Software\\P")), RegSuccess);
    EXPECT_EQ(store_.setValue(parent, QStringLiteral("v"), RegSz, QByteArray()), RegKeyDeleted);

    EXPECT_EQ(store_.closeKey(parent), RegSuccess);
    EXPECT_EQ(store_.closeKey(parent), RegInvalidHandle);
    EXPECT_EQ(store_.setValue(parent, QStringLiteral("v"), RegSz, QByteArray()), RegInvalidHandle);
}

TEST_F(RegistryFile, AFileNotOfOurShapeIsNeitherReadNorOverwritten)
{
    const char *const files[] = {
        "{ not json",
        "[]",
        R"({"version":2,"roots":{}})",
        R"({"roots":{}})",
        R"({"version":1,"roots":[1,2,3]})",
        R"({"version":2,"roots":[1,2,3],"other":"x"})",
        R"({"version":1,"roots":{},"other":"x"})",
        R"({"version":1,"roots":{"HKEY_NOWHERE":{"values":[],"keys":[]}}})",
        R"({"version":1,"roots":{"HKEY_CURRENT_USER":{"values":[],"keys":{"a":1}}}})",
        R"({"version":1,"roots":{"HKEY_CURRENT_USER":{"values":[],"keys":[{"name":"a","values":[]}]}}})",
        R"({"version":1,"roots":{"HKEY_CURRENT_USER":{"values":[{"name":"v","type":1.5,"data":""}],"keys":[]}}})",
        R"({"version":1,"roots":{"HKEY_CURRENT_USER":{"values":[{"name":"v","type":1,"data":"*"}],"keys":[]}}})",
        R"({"version":1,"roots":{"HKEY_CURRENT_USER":{"values":[{"name":"v","type":1,"data":""},{"name":"V","type":1,"data":""}],"keys":[]}}})",
        R"({"version":1,"roots":{"HKEY_CURRENT_USER":{"values":[],"keys":[{"name":"a\\b","values":[],"keys":[]}]}}})",
    };
    store_.closeKey(create("Software"));
    for (const char *text : files) {
        QFile file(path_);
        ASSERT_TRUE(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
        file.write(text);
        file.close();
        HKey key = 0;
        EXPECT_EQ(store_.openKey(HKeyCurrentUser, QStringLiteral("Software"), KeyRead, key),
                  RegCorrupt)
            << text;
        EXPECT_EQ(store_.createKey(HKeyCurrentUser, QStringLiteral("Other"), KeyAllAccess, key),
                  RegCorrupt)
            << text;
        EXPECT_EQ(store_.setValue(HKeyCurrentUser, QStringLiteral("v"), RegSz, QByteArray()),
                  RegCorrupt)
            << text;
        ASSERT_TRUE(file.open(QIODevice::ReadOnly));
        EXPECT_EQ(file.readAll(), QByteArray(text));
    }
}

TEST_F(RegistryFile, AFileThatCannotBeWrittenGivesTheCause)
{
    QFile blocker(dir_.filePath(QStringLiteral("plain")));
    ASSERT_TRUE(blocker.open(QIODevice::WriteOnly));
    RegistryStore store(dir_.filePath(QStringLiteral("plain/sub/registry.json")));
    HKey key = 0;
    EXPECT_EQ(store.createKey(HKeyCurrentUser, QStringLiteral("Software"), KeyAllAccess, key),
              RegIoFailed);
    EXPECT_EQ(RegistryStore::failureCause(), QString::fromLocal8Bit(std::strerror(ENOTDIR)));
}

// As an ordinary user (root passes every permission bit), a read-only file takes no change: the
// system's cause, and the file as it was.
TEST_F(RegistryFile, AReadOnlyFileIsRefusedWithTheSystemsCause)
{
    const HKey key = create("Software\\VXLiveUpdate\\P");
    ASSERT_EQ(store_.setValue(key, QStringLiteral("ID"), RegSz,
                              RegistryStore::textData(QStringLiteral("6"))),
              RegSuccess);
    const QDir folder = QFileInfo(path_).dir();
    ASSERT_TRUE(testsupport::OrdinaryFileUser::own(dir_.path()));
    ASSERT_TRUE(testsupport::OrdinaryFileUser::own(folder.path()));
    const QStringList before = folder.entryList(QDir::Files | QDir::Hidden);
    for (const QString &name : before)
        ASSERT_TRUE(testsupport::OrdinaryFileUser::own(folder.filePath(name)));
    ASSERT_TRUE(QFile::setPermissions(path_, QFile::ReadOwner | QFile::ReadGroup));
    const QByteArray old = testsupport::readAll(path_);
    long result = RegSuccess;
    {
        const testsupport::OrdinaryFileUser user;
        SKIP_UNLESS_ORDINARY(user);
        result = store_.setValue(key, QStringLiteral("ID"), RegSz,
                                 RegistryStore::textData(QStringLiteral("7")));
    }
    EXPECT_EQ(result, RegIoFailed);
    EXPECT_EQ(RegistryStore::failureCause(), QString::fromLocal8Bit(std::strerror(EACCES)));
    EXPECT_EQ(testsupport::readAll(path_), old);
    EXPECT_EQ(folder.entryList(QDir::Files | QDir::Hidden), before);
}

TEST(RegistryOnAFullDisk, ChangesAreRefusedWithTheCauseAndTheFileKept)
{
    testsupport::SmallFileSystem disk;
    SKIP_UNLESS_MOUNTED(disk);
    RegistryStore store(disk.filePath(QStringLiteral("registry.json")));
    HKey key = 0;
    ASSERT_EQ(store.createKey(HKeyCurrentUser, QStringLiteral("Software\\VXLiveUpdate\\P"),
                              KeyAllAccess, key),
              RegSuccess);
    ASSERT_EQ(store.setValue(key, QStringLiteral("ID"), RegSz,
                             RegistryStore::textData(QStringLiteral("6"))),
              RegSuccess);
    QFile file(store.fileName());
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    const QByteArray old = file.readAll();
    file.close();
    const QStringList before = disk.entries();
    ASSERT_TRUE(disk.fill());

    HKey other = 0;
    const long results[] = {
        store.setValue(key, QStringLiteral("ID"), RegSz,
                       RegistryStore::textData(QStringLiteral("7"))),
        store.setValue(key, QStringLiteral("TEMP"), RegSz,
                       RegistryStore::textData(QStringLiteral("/tmp/x"))),
        store.createKey(HKeyCurrentUser, QStringLiteral("Software\\Other"), KeyAllAccess, other),
        store.deleteValue(key, QStringLiteral("ID"))};
    for (const long result : results) {
        EXPECT_EQ(result, RegIoFailed);
    }
    EXPECT_EQ(RegistryStore::failureCause(), QString::fromLocal8Bit(std::strerror(ENOSPC)));
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    EXPECT_EQ(file.readAll(), old);
    EXPECT_EQ(disk.entries(), before) << "the file and its lock, nothing else";
    uint32_t type = 0;
    QByteArray data;
    EXPECT_EQ(store.queryValue(key, QStringLiteral("ID"), &type, &data), RegSuccess);
    EXPECT_EQ(data, RegistryStore::textData(QStringLiteral("6")));
}

TEST(RegistryStore, UserStoreLivesInTheConfigFolder)
{
    EXPECT_EQ(RegistryStore::user().fileName(),
              QStandardPaths::writableLocation(QStandardPaths::GenericConfigLocation) +
                  QStringLiteral("/HXR Toolkit/registry.json"));
}

} // namespace
