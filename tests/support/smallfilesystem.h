#ifndef TESTS_SUPPORT_SMALLFILESYSTEM_H
#define TESTS_SUPPORT_SMALLFILESYSTEM_H

#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <vector>

#include <QByteArray>
#include <QDir>
#include <QFile>
#include <QString>
#include <QTemporaryDir>

#include <fcntl.h>
#include <sys/mount.h>
#include <unistd.h>

namespace testsupport {

// A small tmpfs of its own in a temporary folder, for saves onto a full or a read-only disk.
// Mounting needs root (as on CI); elsewhere whyNot() says why it is missing. It is unmounted
// when the object goes, also when the test failed.
class SmallFileSystem
{
public:
    explicit SmallFileSystem(const char *size = "64k")
    {
        if (!folder_.isValid()) {
            whyNot_ = QStringLiteral("no temporary folder");
            return;
        }
        const QByteArray options = QByteArray("size=") + size + ",mode=0755";
        if (::mount("tmpfs", QFile::encodeName(folder_.path()).constData(), "tmpfs", 0,
                    options.constData()) != 0) {
            whyNot_ = QStringLiteral("mounting a tmpfs was refused (%1); it needs root")
                          .arg(QString::fromLocal8Bit(std::strerror(errno)));
            return;
        }
        mounted_ = true;
    }
    ~SmallFileSystem()
    {
        if (mounted_ && ::umount2(QFile::encodeName(folder_.path()).constData(), 0) != 0)
            (void)::umount2(QFile::encodeName(folder_.path()).constData(), MNT_DETACH);
    }
    SmallFileSystem(const SmallFileSystem &) = delete;
    SmallFileSystem &operator=(const SmallFileSystem &) = delete;

    bool mounted() const { return mounted_; }
    const QString &whyNot() const { return whyNot_; }
    QString path() const { return folder_.path(); }
    QString filePath(const QString &name) const { return folder_.filePath(name); }

    // Fills the disk with a file of its own ("filler") until no byte more fits, then gives back
    // `room` bytes (whole pages) for saves that fail part way.
    bool fill(qint64 room = 0)
    {
        const QByteArray name = QFile::encodeName(filePath(QStringLiteral("filler")));
        const int file = ::open(name.constData(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0644);
        if (file < 0)
            return false;
        const std::vector<char> page(4096, 'f');
        qint64 size = 0;
        for (size_t chunk : {page.size(), size_t(1)}) {
            ssize_t done = 0;
            while ((done = ::write(file, page.data(), chunk)) > 0)
                size += done;
        }
        const bool full = errno == ENOSPC && (room == 0 || ::ftruncate(file, size - room) == 0);
        ::close(file);
        return full;
    }

    // Makes the whole file system read-only.
    bool makeReadOnly()
    {
        return ::mount("tmpfs", QFile::encodeName(folder_.path()).constData(), "tmpfs",
                       MS_REMOUNT | MS_RDONLY, nullptr) == 0;
    }

    // Every name in the folder but the filler's, hidden ones too.
    QStringList entries() const
    {
        QStringList names = QDir(path()).entryList(QDir::AllEntries | QDir::Hidden | QDir::System |
                                                   QDir::NoDotAndDotDot);
        names.removeAll(QStringLiteral("filler"));
        return names;
    }

private:
    QTemporaryDir folder_;
    QString whyNot_;
    bool mounted_ = false;
};

} // namespace testsupport

// In a test body: skips the test when the file system could not be mounted, and fails it on CI
// (CI set), where it must run.
#define SKIP_UNLESS_MOUNTED(fileSystem)                                                            \
    do {                                                                                           \
        if (!(fileSystem).mounted()) {                                                             \
            if (std::getenv("CI"))                                                                 \
                FAIL() << (fileSystem).whyNot().toStdString();                                     \
            GTEST_SKIP() << (fileSystem).whyNot().toStdString();                                   \
        }                                                                                          \
    } while (false)

#endif
