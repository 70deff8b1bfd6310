#include "platform/win/wholefilewriter.h"

#include <algorithm>
#include <cerrno>
#include <climits>
#include <cstdlib>
#include <cstring>
#include <utility>

#include <QFile>
#include <QRandomGenerator>

#include <dirent.h>
#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

namespace platform::win {

namespace {

// Temporaries are named ".NAME.XXXXXX.hxrtmp": hidden, beside the target, and told apart from
// anything a user keeps by the six letters or digits and the ending together.
constexpr char TemporaryEnding[] = ".hxrtmp";
constexpr size_t EndingLength = sizeof(TemporaryEnding) - 1;
constexpr size_t RandomLength = 6;
// What the name adds to the target's: the leading dot, the dot before the letters, the letters
// and the ending.
constexpr size_t AddedLength = 2 + RandomLength + EndingLength;
constexpr size_t LongestName = 255;
// As many links in a row as the system follows.
constexpr int MaxLinks = 40;

QString errnoText(int error)
{
    char buffer[256];
    return QString::fromLocal8Bit(strerror_r(error, buffer, sizeof buffer));
}

bool isLetterOrDigit(char c)
{
    return (c >= '0' && c <= '9') || (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z');
}

bool isTemporaryName(const char *name)
{
    const size_t length = std::strlen(name);
    if (length < AddedLength + 1 || name[0] != '.' ||
        std::strcmp(name + length - EndingLength, TemporaryEnding) != 0) {
        return false;
    }
    const char *letters = name + length - EndingLength - RandomLength;
    if (letters[-1] != '.') {
        return false;
    }
    for (size_t i = 0; i < RandomLength; ++i) {
        if (!isLetterOrDigit(letters[i])) {
            return false;
        }
    }
    return true;
}

// The target's name as the temporary's begins, cut (never inside a character) so that the whole
// temporary name fits the longest name a folder holds.
QByteArray nameStem(const QByteArray &name)
{
    qsizetype length = std::min<qsizetype>(name.size(), LongestName - AddedLength);
    while (length > 0 && length < name.size() && (name[length] & 0xC0) == 0x80) {
        --length;
    }
    return name.left(length);
}

QByteArray randomLetters()
{
    static const char letters[] = "abcdefghijklmnopqrstuvwxyzABCDEFGHIJKLMNOPQRSTUVWXYZ0123456789";
    QByteArray text(RandomLength, '0');
    for (char &c : text) {
        c = letters[QRandomGenerator::global()->bounded(int(sizeof(letters) - 1))];
    }
    return text;
}

bool sameFile(const struct stat &a, const struct stat &b)
{
    return a.st_dev == b.st_dev && a.st_ino == b.st_ino;
}

// A temporary of ours whose lock nobody holds was left by a writer that died: the kernel drops
// a lock with its holder. A file that cannot be opened or locked here is left alone.
void removeIfAbandoned(int folder, const char *name)
{
    int descriptor = openat(folder, name, O_RDONLY | O_NOFOLLOW | O_NONBLOCK | O_CLOEXEC);
    if (descriptor < 0 && errno == EACCES) {
        descriptor = openat(folder, name, O_WRONLY | O_NOFOLLOW | O_NONBLOCK | O_CLOEXEC);
    }
    if (descriptor < 0) {
        return;
    }
    struct stat held = {};
    struct stat named = {};
    if (fstat(descriptor, &held) == 0 && S_ISREG(held.st_mode) &&
        flock(descriptor, LOCK_EX | LOCK_NB) == 0 &&
        fstatat(folder, name, &named, AT_SYMLINK_NOFOLLOW) == 0 && sameFile(held, named)) {
        (void)unlinkat(folder, name, 0);
    }
    close(descriptor);
}

void removeAbandonedTemporaries(const QByteArray &folderPath)
{
    // Opened here rather than by opendir, to be sure the descriptor is close-on-exec.
    const int descriptor = ::open(folderPath.constData(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (descriptor < 0) {
        return;
    }
    DIR *folder = fdopendir(descriptor);
    if (!folder) {
        close(descriptor);
        return;
    }
    while (const dirent *entry = readdir(folder)) {
        if (isTemporaryName(entry->d_name)) {
            removeIfAbandoned(dirfd(folder), entry->d_name);
        }
    }
    closedir(folder);
}

bool writeAll(int descriptor, const char *data, size_t size, int &error)
{
    while (size > 0) {
        const ssize_t done = ::write(descriptor, data, size);
        if (done < 0 && errno == EINTR) {
            continue;
        }
        if (done <= 0) {
            error = done < 0 ? errno : ENOSPC; // a write that takes nothing has no room
            return false;
        }
        data += done;
        size -= static_cast<size_t>(done);
    }
    return true;
}

// Makes the rename itself durable. Best effort: the new file is already in place, and some file
// systems refuse to sync a folder.
void syncFolder(const QByteArray &folderPath)
{
    const int folder = ::open(folderPath.constData(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (folder >= 0) {
        (void)fsync(folder);
        close(folder);
    }
}

QByteArray folderOf(const QByteArray &path)
{
    const qsizetype slash = path.lastIndexOf('/');
    if (slash < 0) {
        return QByteArrayLiteral(".");
    }
    return slash == 0 ? QByteArrayLiteral("/") : path.left(slash);
}

QByteArray nameOf(const QByteArray &path)
{
    return path.mid(path.lastIndexOf('/') + 1);
}

// What the link names, taken from the link's own folder when it is relative. False with errno
// set when it cannot be read.
bool readLink(const QByteArray &link, QByteArray &named)
{
    char buffer[PATH_MAX];
    const ssize_t length = readlink(link.constData(), buffer, sizeof buffer);
    if (length < 0) {
        return false;
    }
    if (static_cast<size_t>(length) == sizeof buffer) {
        errno = ENAMETOOLONG;
        return false;
    }
    named = QByteArray(buffer, length);
    if (!named.startsWith('/')) {
        named = folderOf(link) + '/' + named;
    }
    return true;
}

// The canonical name of a file that need not exist yet: its folder's, with its own name. False
// with errno set when the folder cannot be found.
bool canonicalName(QByteArray &path, bool exists)
{
    char resolved[PATH_MAX];
    if (exists) {
        if (!realpath(path.constData(), resolved)) {
            return false;
        }
        path = resolved;
        return true;
    }
    if (!realpath(folderOf(path).constData(), resolved)) {
        return false;
    }
    QByteArray folder(resolved);
    if (!folder.endsWith('/')) {
        folder += '/';
    }
    path = folder + nameOf(path);
    return true;
}

// Whether this process may do what the system checks for it, as the system checks it (the
// effective user, so that root passes the permission bits, but not a read-only disk).
int accessError(const QByteArray &path, int what)
{
    return faccessat(AT_FDCWD, path.constData(), what, AT_EACCESS) == 0 ? 0 : errno;
}

} // namespace

WholeFileWriter::WholeFileWriter(QString fileName) : fileName_(std::move(fileName)) {}

WholeFileWriter::~WholeFileWriter()
{
    discard();
}

bool WholeFileWriter::writeFile(const QString &fileName, QByteArrayView bytes, QString *cause)
{
    WholeFileWriter writer(fileName);
    const bool written = writer.open() && writer.write(bytes) && writer.commit();
    if (!written && cause) {
        *cause = writer.errorString();
    }
    return written;
}

bool WholeFileWriter::fail(int error)
{
    return fail(errnoText(error));
}

bool WholeFileWriter::fail(const QString &cause)
{
    if (error_.isEmpty()) {
        error_ = cause;
    }
    discard();
    return false;
}

void WholeFileWriter::discard()
{
    if (!temporary_.isEmpty()) {
        (void)unlink(temporary_.constData()); // still under our lock
        temporary_.clear();
    }
    if (descriptor_ >= 0) {
        close(descriptor_);
        descriptor_ = -1;
    }
    if (lock_ >= 0) {
        close(lock_);
        lock_ = -1;
    }
}

bool WholeFileWriter::canWrite(const QString &fileName, QString *cause)
{
    WholeFileWriter probe(fileName);
    const bool writable = probe.resolveTarget() && probe.checkAccess();
    if (!writable && cause) {
        *cause = probe.errorString();
    }
    return writable;
}

// Follows the links the name is to the file they name at last, which a link that names nothing
// yet makes a new file.
bool WholeFileWriter::resolveTarget()
{
    if (fileName_.isEmpty()) {
        return fail(ENOENT);
    }
    target_ = QFile::encodeName(fileName_);
    struct stat seen = {};
    bool linked = false;
    bool exists = true;
    for (int links = 0;; ++links) {
        if (lstat(target_.constData(), &seen) != 0) {
            if (errno != ENOENT) {
                return fail(errno);
            }
            exists = false;
            break;
        }
        if (!S_ISLNK(seen.st_mode)) {
            break;
        }
        if (links == MaxLinks) {
            return fail(ELOOP);
        }
        QByteArray named;
        if (!readLink(target_, named)) {
            return fail(errno);
        }
        target_ = named;
        linked = true;
    }
    if (linked) {
        if (!canonicalName(target_, exists)) {
            return fail(errno);
        }
        fileName_ = QFile::decodeName(target_);
    }
    if (!exists) {
        replacing_ = false;
        return true;
    }
    if (S_ISDIR(seen.st_mode)) {
        return fail(EISDIR);
    }
    if (!S_ISREG(seen.st_mode)) {
        return fail(QStringLiteral("Not a regular file"));
    }
    replacing_ = true;
    oldMode_ = seen.st_mode & 07777;
    oldOwner_ = seen.st_uid;
    oldGroup_ = seen.st_gid;
    return true;
}

// The system's answer for this user: a file it may not change is refused, though the rename
// that replaces it needs only the folder; the folder must take the temporary and the rename.
bool WholeFileWriter::checkAccess()
{
    if (replacing_) {
        if (const int error = accessError(target_, W_OK)) {
            return fail(error);
        }
    }
    if (const int error = accessError(folderOf(target_), W_OK | X_OK)) {
        return fail(error);
    }
    return true;
}

bool WholeFileWriter::createTemporary()
{
    const QByteArray folder = folderOf(target_);
    const QByteArray stem = folder + "/." + nameStem(nameOf(target_)) + '.';
    for (int attempt = 0; attempt < 100; ++attempt) {
        const QByteArray name = stem + randomLetters() + TemporaryEnding;
        // 0666 less the umask: the mode a new file of the user's gets.
        const int descriptor =
            ::open(name.constData(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
        if (descriptor < 0) {
            if (errno == EEXIST) {
                continue;
            }
            return fail(errno);
        }
        // Another writer's clean-up may have taken the new file for abandoned before it was
        // locked: then it is, or will be, removed, and another name is tried.
        struct stat held = {};
        struct stat named = {};
        const bool locked = flock(descriptor, LOCK_EX | LOCK_NB) == 0 || errno != EWOULDBLOCK;
        if (!locked || fstat(descriptor, &held) != 0 || lstat(name.constData(), &named) != 0 ||
            !sameFile(held, named)) {
            close(descriptor);
            continue;
        }
        descriptor_ = descriptor;
        // The lock belongs to both, and lasts until the later close.
        lock_ = fcntl(descriptor, F_DUPFD_CLOEXEC, 0);
        temporary_ = name;
        if (lock_ < 0) {
            return fail(errno);
        }
        return true;
    }
    return fail(EEXIST);
}

// A replaced file keeps its mode, owner and group; an owner or group the user may not give is
// left as the system made it, with the mode still kept.
void WholeFileWriter::takeOverOwnership()
{
    struct stat fresh = {};
    if (fstat(descriptor_, &fresh) == 0 &&
        (fresh.st_uid != oldOwner_ || fresh.st_gid != oldGroup_)) {
        if (fchown(descriptor_, oldOwner_, oldGroup_) != 0) {
            (void)fchown(descriptor_, static_cast<uid_t>(-1), oldGroup_);
        }
    }
    (void)fchmod(descriptor_, oldMode_);
}

bool WholeFileWriter::open()
{
    if (isOpen()) {
        return false; // one write at a time
    }
    error_.clear();
    size_ = 0;
    if (!resolveTarget() || !checkAccess()) {
        return false;
    }
    removeAbandonedTemporaries(folderOf(target_));
    if (!createTemporary()) {
        return false;
    }
    if (replacing_) {
        takeOverOwnership();
    }
    return true;
}

bool WholeFileWriter::write(QByteArrayView bytes)
{
    if (!isOpen()) {
        return fail(EBADF);
    }
    int error = 0;
    if (!writeAll(descriptor_, bytes.data(), static_cast<size_t>(bytes.size()), error)) {
        return fail(error);
    }
    size_ += bytes.size();
    return true;
}

bool WholeFileWriter::commit()
{
    if (!isOpen()) {
        return fail(EBADF);
    }
    if (durable_ && fsync(descriptor_) != 0) {
        return fail(errno);
    }
    // Some file systems report a failed write only when the file is closed.
    const int descriptor = std::exchange(descriptor_, -1);
    if (close(descriptor) != 0 && errno != EINTR) {
        return fail(errno);
    }
    if (rename(temporary_.constData(), target_.constData()) != 0) {
        return fail(errno);
    }
    temporary_.clear();
    if (durable_) {
        syncFolder(folderOf(target_));
    }
    discard();
    return true;
}

void WholeFileWriter::cancel()
{
    discard();
}

} // namespace platform::win
