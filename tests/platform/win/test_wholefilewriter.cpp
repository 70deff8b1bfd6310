#include "platform/win/wholefilewriter.h"

#include <cerrno>
#include <csignal>
#include <cstring>
#include <utility>
#include <vector>

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>

#include <gmock/gmock.h>

#include <fcntl.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include "support/filebytes.h"
#include "support/ordinaryuser.h"
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
    std::vector<unsigned> modes = {0644u, 0600u, 0664u};
    if (geteuid() == 0)
        modes.push_back(0444u); // the system lets root write it
    for (const unsigned mode : modes) {
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

    // A link that names a file not made yet makes it, through a chain of links and a name
    // relative to the link's folder alike.
    ASSERT_TRUE(QFile::link(QStringLiteral("made.ini"), path("dangling.ini")));
    ASSERT_TRUE(QFile::link(path("dangling.ini"), path("chain.ini")));
    WholeFileWriter writer(path("chain.ini"));
    ASSERT_TRUE(writer.open()) << writer.errorString().toStdString();
    EXPECT_EQ(writer.fileName(), QFileInfo(path("made.ini")).absoluteFilePath());
    ASSERT_TRUE(writer.write("made") && writer.commit());
    EXPECT_EQ(readAll(path("made.ini")), "made");
    EXPECT_TRUE(QFileInfo(path("dangling.ini")).isSymLink());
    EXPECT_TRUE(QFileInfo(path("chain.ini")).isSymLink());

    // One whose folder is missing has nowhere to make it; a loop has no end.
    ASSERT_TRUE(QFile::link(path("nowhere/none.ini"), path("lost.ini")));
    ASSERT_TRUE(QFile::link(path("loop.ini"), path("loop.ini")));
    for (const auto &[name, error] :
         {std::pair{"lost.ini", ENOENT}, std::pair{"loop.ini", ELOOP}}) {
        QString cause;
        EXPECT_FALSE(WholeFileWriter::canWrite(path(name), &cause)) << name;
        EXPECT_EQ(cause, systemText(error)) << name;
        EXPECT_FALSE(WholeFileWriter::writeFile(path(name), "x", &cause)) << name;
        EXPECT_EQ(cause, systemText(error)) << name;
    }
    EXPECT_THAT(entries(),
                UnorderedElementsAre(QStringLiteral("real.ini"), QStringLiteral("link.ini"),
                                     QStringLiteral("dangling.ini"), QStringLiteral("chain.ini"),
                                     QStringLiteral("made.ini"), QStringLiteral("lost.ini"),
                                     QStringLiteral("loop.ini")));
}

// As an ordinary user (root passes every permission bit): a read-only file, and a folder that
// takes no file, are refused with the system's cause and left as they were. canWrite() finds it
// out first without making anything.
TEST_F(WholeFile, WhatTheUserMayNotWriteIsRefusedWithTheSystemsCause)
{
    struct Case
    {
        const char *what;
        unsigned folderMode;
        unsigned fileMode; // 0: no file there yet
        int error;         // 0: written
    };
    const Case cases[] = {
        {"read-only file", 0755, 0444, EACCES},
        {"file in a read-only folder", 0555, 0644, EACCES},
        {"new file in a read-only folder", 0555, 0, EACCES},
        {"writable file", 0755, 0644, 0},
        {"new file", 0755, 0, 0},
    };
    ASSERT_TRUE(testsupport::OrdinaryFileUser::own(dir_.path()));
    int index = 0;
    for (const Case &c : cases) {
        const QString folder = dir_.filePath(QString::number(index++));
        ASSERT_TRUE(QDir().mkdir(folder));
        const QString file = folder + QStringLiteral("/a.ini");
        if (c.fileMode != 0) {
            writeAll(file, "old");
            ASSERT_TRUE(testsupport::OrdinaryFileUser::own(file));
            ASSERT_EQ(chmod(QFile::encodeName(file).constData(), c.fileMode), 0);
        }
        ASSERT_TRUE(testsupport::OrdinaryFileUser::own(folder));
        ASSERT_EQ(chmod(QFile::encodeName(folder).constData(), c.folderMode), 0);

        QString checked;
        QString written;
        bool writable = false;
        bool wrote = false;
        {
            const testsupport::OrdinaryFileUser user;
            SKIP_UNLESS_ORDINARY(user);
            writable = WholeFileWriter::canWrite(file, &checked);
            wrote = WholeFileWriter::writeFile(file, "new", &written);
        }
        const QString cause = c.error != 0 ? systemText(c.error) : QString();
        EXPECT_EQ(writable, c.error == 0) << c.what;
        EXPECT_EQ(wrote, c.error == 0) << c.what;
        EXPECT_EQ(checked, cause) << c.what;
        EXPECT_EQ(written, cause) << c.what;
        const QByteArray expected = c.error == 0 ? "new" : c.fileMode != 0 ? "old" : "<missing>";
        EXPECT_EQ(readAll(file), expected) << c.what;
        EXPECT_EQ(QDir(folder).entryList(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot),
                  QFile::exists(file) ? QStringList{QStringLiteral("a.ini")} : QStringList())
            << c.what;
        ASSERT_EQ(chmod(QFile::encodeName(folder).constData(), 0755), 0);
    }
}

// A program the user starts later inherits none of the writer's descriptors.
TEST_F(WholeFile, EveryDescriptorItHoldsIsClosedOnExec)
{
    WholeFileWriter writer(target_);
    ASSERT_TRUE(writer.open());
    int held = 0;
    for (int descriptor = 0; descriptor < 1024; ++descriptor) {
        const int flags = fcntl(descriptor, F_GETFD);
        const QString named =
            QFile::symLinkTarget(QStringLiteral("/proc/self/fd/%1").arg(descriptor));
        if (flags < 0 || !named.endsWith(QStringLiteral(".hxrtmp")))
            continue;
        ++held;
        EXPECT_NE(flags & FD_CLOEXEC, 0) << descriptor;
    }
    EXPECT_EQ(held, 2) << "the temporary and its lock";
    writer.cancel();
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
