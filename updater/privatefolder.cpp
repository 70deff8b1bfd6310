#include "updater/privatefolder.h"

#include <cstdlib>
#include <fcntl.h>
#include <sys/stat.h>
#include <sys/statvfs.h>
#include <unistd.h>

#include <QByteArray>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QStandardPaths>

namespace updater {

namespace {

const QString FolderPrefix = QStringLiteral("hxr-upvelo-");
const QString FilePrefix = QStringLiteral("TMP");

bool mountedNoExec(const QString &folder)
{
    struct statvfs info{};
    return statvfs(QFile::encodeName(folder).constData(), &info) == 0 && (info.f_flag & ST_NOEXEC);
}

bool ownedPlain(const QString &path, mode_t type, struct stat &info)
{
    return lstat(QFile::encodeName(path).constData(), &info) == 0 &&
           (info.st_mode & S_IFMT) == type && info.st_uid == getuid();
}

bool isPrivateFolder(const QString &folder)
{
    const QFileInfo info(folder);
    struct stat status{};
    if (!info.fileName().startsWith(FolderPrefix) || !ownedPlain(folder, S_IFDIR, status) ||
        (status.st_mode & 0777) != 0700)
        return false;
    const QString parent = QFileInfo(info.absolutePath()).canonicalFilePath();
    const QString base = QFileInfo(privateFolderBase()).canonicalFilePath();
    return !parent.isEmpty() && parent == base;
}

} // namespace

QString privateFolderBase()
{
    const QString temp = QDir::tempPath();
    if (!mountedNoExec(temp))
        return temp;
    const QString cache = QStandardPaths::writableLocation(QStandardPaths::CacheLocation);
    QDir().mkpath(cache);
    return cache;
}

QString makePrivateFolder()
{
    QByteArray pattern = QFile::encodeName(privateFolderBase() + QLatin1Char('/') + FolderPrefix) +
                         "XXXXXX";
    if (!mkdtemp(pattern.data()))
        return {};
    return QFile::decodeName(pattern);
}

QString makePrivateFile(const QString &folder)
{
    if (folder.isEmpty())
        return {};
    QByteArray pattern = QFile::encodeName(folder + QLatin1Char('/') + FilePrefix) + "XXXXXX";
    const int descriptor = mkostemp(pattern.data(), O_CLOEXEC);
    if (descriptor < 0)
        return {};
    close(descriptor);
    return QFile::decodeName(pattern);
}

void removePrivateFolder(const QString &folder)
{
    if (!folder.isEmpty() && isPrivateFolder(folder))
        QDir(folder).removeRecursively();
}

bool isPrivateFile(const QString &path)
{
    if (path.isEmpty())
        return false;
    const QFileInfo info(path);
    struct stat status{};
    return info.fileName().startsWith(FilePrefix) && ownedPlain(path, S_IFREG, status) &&
           isPrivateFolder(info.absolutePath());
}

void removePrivateFile(const QString &path)
{
    if (!isPrivateFile(path))
        return;
    const QString folder = QFileInfo(path).absolutePath();
    QFile::remove(path);
    QDir().rmdir(folder);
}

} // namespace updater
