#include "platform/win/wholefilewriter.h"

#include <cerrno>
#include <csignal>
#include <cstring>

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>

#include <gmock/gmock.h>

#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include "support/filebytes.h"
#include "support/smallfilesystem.h"

namespace {

using platform::win::WholeFileWriter;
using testing::ElementsAre;
using testing::UnorderedElementsAre;

QString systemText(int error)
{
    return QString::fromLocal8Bit(std::strerror(error));
}

using testsupport::readAll;
using testsupport::writeAll;

unsigned modeOf(const QString &path)
{
    struct stat seen = {};
    return stat(QFile::encodeName(path).constData(), &seen) == 0 ? seen.st_mode & 07777 : 0u;
}

// Sets the umask for one test and gives the old one back.
class Umask
{
public:
    explicit Umask(mode_t mask) : previous_(umask(mask)) {}
    ~Umask() { umask(previous_); }
    Umask(const Umask &) = delete;
    Umask &operator=(const Umask &) = delete;

private:
    mode_t previous_;
};

class WholeFile : public testing::Test
{
protected:
    QStringList entries() const
    {
        return QDir(dir_.path())
            .entryList(QDir::AllEntries | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot);
    }
    QString path(const char *name) const { return dir_.filePath(QString::fromUtf8(name)); }

    QTemporaryDir dir_;
    QString target_ = dir_.filePath(QStringLiteral("data.hcf"));
};

TEST_F(WholeFile, ANewFileGetsTheModeTheUmaskGives)
{
    for (const mode_t mask : {mode_t(022), mode_t(077), mode_t(002)}) {
        const Umask scoped(mask);
        QFile::remove(target_);
        ASSERT_TRUE(WholeFileWriter::writeFile(target_, "new"));
        EXPECT_EQ(modeOf(target_), 0666u & ~mask) << std::oct << mask;
        EXPECT_EQ(readAll(target_), "new");
    }
    EXPECT_THAT(entries(), ElementsAre(QStringLiteral("data.hcf")));
}

TEST_F(WholeFile, AReplacedFileKeepsItsModeAndLosesItsOldContent)
{
    const Umask scoped(077);
    for (const unsigned mode : {0644u, 0600u, 0664u, 0444u}) {
        writeAll(target_, QByteArray(5000, 'o'));
        ASSERT_EQ(chmod(QFile::encodeName(target_).constData(), mode), 0);
        ASSERT_TRUE(WholeFileWriter::writeFile(target_, "short")) << std::oct << mode;
        EXPECT_EQ(modeOf(target_), mode) << std::oct << mode;
        EXPECT_EQ(readAll(target_), "short");
        ASSERT_EQ(chmod(QFile::encodeName(target_).constData(), 0644), 0);
    }
}

TEST_F(WholeFile, ALinkIsWrittenThroughToTheFileItNames)
{
    const QString real = path("real.ini");
    writeAll(real, "old");
    const QString link = path("link.ini");
    ASSERT_TRUE(QFile::link(real, link));
    ASSERT_TRUE(WholeFileWriter::writeFile(link, "new"));
    EXPECT_TRUE(QFileInfo(link).isSymLink());
    EXPECT_EQ(readAll(real), "new");

    // A link that names nothing is refused: there is no file to write through to.
    const QString dangling = path("dangling.ini");
    ASSERT_TRUE(QFile::link(path("nowhere/none.ini"), dangling));
    QString cause;
    EXPECT_FALSE(WholeFileWriter::writeFile(dangling, "x", &cause));
    EXPECT_EQ(cause, systemText(ENOENT));
    EXPECT_THAT(entries(),
                UnorderedElementsAre(QStringLiteral("real.ini"), QStringLiteral("link.ini"),
                                     QStringLiteral("dangling.ini")));
}

TEST_F(WholeFile, RefusesWhatIsNotARegularFileAndNamesTheCause)
{
    ASSERT_TRUE(QDir(dir_.path()).mkdir(QStringLiteral("folder.hcf")));
    ASSERT_EQ(mkfifo(QFile::encodeName(path("pipe.hcf")).constData(), 0644), 0);
    const struct
    {
        const char *name;
        QString cause;
    } cases[] = {{"folder.hcf", systemText(EISDIR)},
                 {"pipe.hcf", QStringLiteral("Not a regular file")},
                 {"missing/x.hcf", systemText(ENOENT)},
                 {"", systemText(ENOENT)}};
    for (const auto &c : cases) {
        QString cause;
        const QString name = *c.name ? path(c.name) : QString();
        EXPECT_FALSE(WholeFileWriter::writeFile(name, "x", &cause)) << c.name;
        EXPECT_EQ(cause, c.cause) << c.name;
    }
    EXPECT_THAT(entries(),
                UnorderedElementsAre(QStringLiteral("folder.hcf"), QStringLiteral("pipe.hcf")));
}

TEST_F(WholeFile, TheStreamingFormCommitsOrCancelsWhole)
{
    writeAll(target_, "old");
    {
        WholeFileWriter cancelled(target_);
        ASSERT_TRUE(cancelled.open());
        ASSERT_TRUE(cancelled.write("part one"));
        EXPECT_EQ(cancelled.size(), 8);
        EXPECT_GE(cancelled.handle(), 0);
        EXPECT_EQ(entries().size(), 2) << "the temporary beside the target";
        cancelled.cancel();
        EXPECT_FALSE(cancelled.isOpen());
        EXPECT_FALSE(cancelled.commit()) << "nothing left to commit";
    }
    EXPECT_EQ(readAll(target_), "old");
    {
        WholeFileWriter dropped(target_); // neither committed nor cancelled
        ASSERT_TRUE(dropped.open());
        ASSERT_TRUE(dropped.write("part"));
    }
    EXPECT_EQ(readAll(target_), "old");
    EXPECT_THAT(entries(), ElementsAre(QStringLiteral("data.hcf")));

    WholeFileWriter writer(target_);
    ASSERT_TRUE(writer.open());
    for (const char *block : {"one,", "two,", "three"})
        ASSERT_TRUE(writer.write(block));
    EXPECT_EQ(readAll(target_), "old") << "the target changes only at the commit";
    ASSERT_TRUE(writer.commit());
    EXPECT_TRUE(writer.errorString().isEmpty());
    EXPECT_EQ(readAll(target_), "one,two,three");
    EXPECT_THAT(entries(), ElementsAre(QStringLiteral("data.hcf")));
}

// Temporaries of writers that died are removed by the next write in their folder; those of a
// writer still at work, and every other file, stay.
TEST_F(WholeFile, TheNextWriteRemovesTemporariesThatWritersLeftWhenTheyDied)
{
    writeAll(target_, "old");
    const pid_t child = fork();
    ASSERT_GE(child, 0);
    if (child == 0) {
        WholeFileWriter writer(target_);
        if (writer.open() && writer.write("half of it"))
            raise(SIGKILL);
        _exit(1);
    }
    int status = 0;
    ASSERT_EQ(waitpid(child, &status, 0), child);
    ASSERT_TRUE(WIFSIGNALED(status) && WTERMSIG(status) == SIGKILL) << "the writer was killed";
    const QStringList left = entries();
    ASSERT_EQ(left.size(), 2) << "the killed writer's temporary";
    EXPECT_EQ(readAll(target_), "old");

    const QStringList others = {
        QStringLiteral("Config.ini.Ab12Cd"), QStringLiteral(".data.hcf.Ab12Cd"),
        QStringLiteral(".data.hcf.Ab12Cd.hxrtmp.bak"), QStringLiteral(".data.hcf.Ab-2Cd.hxrtmp")};
    for (const QString &name : others)
        writeAll(dir_.filePath(name), "not ours");
    WholeFileWriter running(path("other.ini"));
    ASSERT_TRUE(running.open());
    ASSERT_TRUE(running.write("still going"));

    ASSERT_TRUE(WholeFileWriter::writeFile(target_, "new"));
    EXPECT_EQ(readAll(target_), "new");
    const QStringList now = entries();
    for (const QString &name : left)
        EXPECT_EQ(now.contains(name), name == QStringLiteral("data.hcf")) << name.toStdString();
    for (const QString &name : others)
        EXPECT_TRUE(now.contains(name)) << name.toStdString();
    EXPECT_EQ(now.size(), 1 + others.size() + 1) << "the running writer's temporary stays";

    ASSERT_TRUE(running.commit());
    EXPECT_EQ(readAll(path("other.ini")), "still going");
}

TEST_F(WholeFile, ALongNameStillGetsATemporaryBesideIt)
{
    const QString name = QString(120, QChar(0x00e9)) + QStringLiteral(".hcf"); // 244 bytes
    const QString target = dir_.filePath(name);
    ASSERT_TRUE(WholeFileWriter::writeFile(target, "x"));
    EXPECT_EQ(readAll(target), "x");
    EXPECT_THAT(entries(), ElementsAre(name));
}

TEST(WholeFileOnASmallDisk, AFullDiskFailsWithTheCauseAndKeepsTheOldFile)
{
    testsupport::SmallFileSystem disk;
    SKIP_UNLESS_MOUNTED(disk);
    const QString target = disk.filePath(QStringLiteral("Config.ini"));
    const QByteArray old(3000, 'o');
    writeAll(target, old);
    for (const qint64 room : {qint64(0), qint64(8192)}) {
        ASSERT_TRUE(disk.fill(room));
        // Larger than the room left, written in blocks as a data file is.
        WholeFileWriter writer(target);
        ASSERT_TRUE(writer.open()) << writer.errorString().toStdString();
        bool written = true;
        for (int block = 0; block < 8 && written; ++block)
            written = writer.write(QByteArray(4096, 'n'));
        written = written && writer.commit();
        EXPECT_FALSE(written) << room;
        EXPECT_EQ(writer.errorString(), systemText(ENOSPC)) << room;
        EXPECT_FALSE(writer.write("more")) << "a failed writer stays failed";
        EXPECT_EQ(writer.errorString(), systemText(ENOSPC));
        EXPECT_EQ(readAll(target), old) << room;
        EXPECT_THAT(disk.entries(), ElementsAre(QStringLiteral("Config.ini"))) << room;
    }
}

TEST(WholeFileOnASmallDisk, AReadOnlyFolderGivesTheCause)
{
    QTemporaryDir plain;
    testsupport::SmallFileSystem disk;
    QString folder;
    int expected = EROFS;
    if (geteuid() == 0) {
        SKIP_UNLESS_MOUNTED(disk);
        writeAll(disk.filePath(QStringLiteral("a.ini")), "old");
        ASSERT_TRUE(disk.makeReadOnly());
        folder = disk.path();
    } else {
        // Without root the permission bits hold.
        folder = plain.path();
        writeAll(plain.filePath(QStringLiteral("a.ini")), "old");
        ASSERT_EQ(chmod(QFile::encodeName(folder).constData(), 0555), 0);
        expected = EACCES;
    }
    QString cause;
    EXPECT_FALSE(WholeFileWriter::writeFile(folder + QStringLiteral("/a.ini"), "new", &cause));
    EXPECT_EQ(cause, systemText(expected));
    EXPECT_EQ(readAll(folder + QStringLiteral("/a.ini")), "old");
    (void)chmod(QFile::encodeName(plain.path()).constData(), 0755);
}

} // namespace
