#include "platform/com/programfile.h"

#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <sys/stat.h>
#include <sys/statvfs.h>
#include <unistd.h>

#include <QFile>

namespace platform::com {

namespace {

QString systemCause(int error)
{
    return QString::fromLocal8Bit(strerror(error));
}

RunCheck notPermitted()
{
    return {RunRefusal::NotPermitted, QStringLiteral("this user is not allowed to run it")};
}

// A file that nobody may execute, or one on a file system that runs nothing, cannot be run even by
// the administrator; one that others may execute but this user may not is a refusal of permission.
RunCheck checkExecution(const QByteArray &path, const struct stat &info)
{
    if ((info.st_mode & (S_IXUSR | S_IXGRP | S_IXOTH)) == 0)
        return {RunRefusal::NotRunnable,
                QStringLiteral("it is not executable (no execute permission is set)")};
    struct statvfs volume = {};
    if (statvfs(path.constData(), &volume) == 0 && (volume.f_flag & ST_NOEXEC) != 0)
        return {RunRefusal::NotRunnable,
                QStringLiteral("its file system is mounted without permission to run programs "
                               "(noexec)")};
    if (faccessat(AT_FDCWD, path.constData(), X_OK, AT_EACCESS) == 0)
        return {};
    if (errno == EACCES || errno == EPERM)
        return notPermitted();
    return {RunRefusal::NotRunnable, systemCause(errno)};
}

} // namespace

RunCheck checkProgramFile(const QString &path)
{
    const QByteArray name = QFile::encodeName(path);
    struct stat info = {};
    if (stat(name.constData(), &info) != 0) {
        const int error = errno;
        if (error == ENOENT || error == ENOTDIR)
            return {RunRefusal::Missing, QStringLiteral("it does not exist")};
        if (error == EACCES)
            return {RunRefusal::NotPermitted,
                    QStringLiteral("this user is not allowed into the folder that holds it")};
        return {RunRefusal::NotRunnable, systemCause(error)};
    }
    if (S_ISDIR(info.st_mode))
        return {RunRefusal::NotRunnable, QStringLiteral("it is a folder, not a program")};
    if (!S_ISREG(info.st_mode))
        return {RunRefusal::NotRunnable, QStringLiteral("it is not a regular file")};
    return checkExecution(name, info);
}

RunCheck explainStartFailure(const QString &path, int error)
{
    switch (error) {
    case 0:
        return {};
    case ENOEXEC:
        return {RunRefusal::NotRunnable,
                QStringLiteral("it is not a program (neither an executable file nor a script "
                               "beginning with \"#!\")")};
    case EACCES:
    case EPERM:
        return notPermitted();
    case ENOENT:
        // The file was there a moment ago: what is missing is what it names to run it.
        if (QFile::exists(path))
            return {RunRefusal::NotRunnable,
                    QStringLiteral("the interpreter or loader that it names does not exist")};
        return {RunRefusal::Missing, QStringLiteral("it does not exist")};
    default:
        return {RunRefusal::NotRunnable, systemCause(error)};
    }
}

} // namespace platform::com
