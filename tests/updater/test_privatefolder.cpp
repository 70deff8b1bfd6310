#include "updater/privatefolder.h"

#include <sys/stat.h>

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>

#include <gmock/gmock.h>

namespace {

class PrivateFolderTest : public testing::Test
{
protected:
    void SetUp() override
    {
        previous_ = qgetenv("TMPDIR");
        qputenv("TMPDIR", root_.path().toLocal8Bit());
    }
    void TearDown() override { qputenv("TMPDIR", previous_); }

    static void touch(const QString &path)
    {
        QFile file(path);
        file.open(QIODevice::WriteOnly);
    }

    QTemporaryDir root_;
    QByteArray previous_;
};

TEST_F(PrivateFolderTest, FoldersAndFilesArePrivate)
{
    const QString folder = updater::makePrivateFolder();
    ASSERT_FALSE(folder.isEmpty());
    EXPECT_EQ(QFileInfo(folder).absolutePath(), QFileInfo(root_.path()).canonicalFilePath());
    const QString first = updater::makePrivateFile(folder);
    const QString second = updater::makePrivateFile(folder);
    EXPECT_NE(first, second);
    struct stat status{};
    ASSERT_EQ(stat(QFile::encodeName(folder).constData(), &status), 0);
    EXPECT_EQ(status.st_mode & 0777, 0700u);
    ASSERT_EQ(stat(QFile::encodeName(first).constData(), &status), 0);
    EXPECT_EQ(status.st_mode & 0777, 0600u);
    EXPECT_TRUE(QFileInfo(first).fileName().startsWith(QLatin1String("TMP")));

    updater::removePrivateFolder(folder);
    EXPECT_FALSE(QFileInfo::exists(folder));
}

TEST_F(PrivateFolderTest, OnlyOurOwnFilesAreDeleted)
{
    const QString folder = updater::makePrivateFolder();
    const QString ours = updater::makePrivateFile(folder);
    const QString named = folder + QStringLiteral("/other");
    touch(named);
    const QString link = folder + QStringLiteral("/TMPlink");
    const QString victim = root_.filePath(QStringLiteral("TMPvictim"));
    touch(victim);
    QFile::link(victim, link);
    const QString open = root_.filePath(QStringLiteral("hxr-upvelo-open"));
    QDir().mkdir(open);
    QFile::setPermissions(open, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner |
                                    QFile::ReadOther | QFile::ExeOther);
    const QString inOpen = open + QStringLiteral("/TMPfile");
    touch(inOpen);

    for (const QString &path : {named, link, victim, inOpen}) {
        EXPECT_FALSE(updater::isPrivateFile(path)) << path.toStdString();
        updater::removePrivateFile(path);
    }
    EXPECT_TRUE(QFileInfo::exists(named));
    EXPECT_TRUE(QFileInfo(link).isSymLink());
    EXPECT_TRUE(QFileInfo::exists(victim));
    EXPECT_TRUE(QFileInfo::exists(inOpen));
    updater::removePrivateFolder(open);
    EXPECT_TRUE(QFileInfo::exists(open));

    EXPECT_TRUE(updater::isPrivateFile(ours));
    updater::removePrivateFile(ours);
    EXPECT_FALSE(QFileInfo::exists(ours));
    // The folder still holds other files, so it stays.
    EXPECT_TRUE(QFileInfo::exists(folder));
}

} // namespace
