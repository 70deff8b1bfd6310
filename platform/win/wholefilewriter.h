#ifndef PLATFORM_WIN_WHOLEFILEWRITER_H
#define PLATFORM_WIN_WHOLEFILEWRITER_H

#include <QByteArray>
#include <QByteArrayView>
#include <QString>

namespace platform::win {

// Replaces a file's content in one step: readers, and a crash at any moment, find the old file or
// the new one, never a part. The bytes go to a temporary file beside the target, locked while in
// use; every write and the close are checked, the data is synced to disk and the temporary is
// renamed over the target. On any failure the temporary is removed, the target is left as it was
// and errorString() gives the cause in the system's words ("No space left on device").
//
// A target the user may not write (a read-only file, a folder that takes no new file) is refused
// with the system's cause ("Permission denied"), as the system answers for this user.
// A new file gets the mode the user's umask gives; a replaced file keeps its mode (and its owner
// and group where the user may keep them). A target that is a symbolic link is written through to
// the file it names, which is made when it does not exist yet; a target that is not a regular
// file is refused. Opening first removes the temporaries in the folder that writers left when
// they died (nobody holds their lock any more). Every descriptor it opens is close-on-exec.
class WholeFileWriter
{
public:
    explicit WholeFileWriter(QString fileName);
    // An open write that was not committed is cancelled.
    ~WholeFileWriter();
    WholeFileWriter(const WholeFileWriter &) = delete;
    WholeFileWriter &operator=(const WholeFileWriter &) = delete;

    // The one-call form: the whole file from bytes. False with *cause set when it failed.
    static bool writeFile(const QString &fileName, QByteArrayView bytes, QString *cause = nullptr);

    // Whether open() would be refused, found out without creating anything: false with *cause
    // set, as open() would fail. Another process may still change the answer before open().
    static bool canWrite(const QString &fileName, QString *cause = nullptr);

    // A scratch file that is used at once and is worthless after a power cut need not wait for
    // the disk: no sync (the default syncs). Set before commit().
    void setDurable(bool durable) { durable_ = durable; }

    // Each returns false once anything failed; the first failure's cause stays in errorString().
    bool open();
    bool write(QByteArrayView bytes);
    // Puts the new file in place of the target. After it, the writer is closed either way.
    bool commit();
    // Drops the new content; the target stays as it was.
    void cancel();

    const QString &errorString() const { return error_; }
    bool isOpen() const { return descriptor_ >= 0; }
    // The temporary file's descriptor while open (for hints such as early write-back), else -1.
    int handle() const { return descriptor_; }
    // The bytes written so far.
    qint64 size() const { return size_; }
    // The file the bytes will replace: the target, or the file a link named as target names.
    const QString &fileName() const { return fileName_; }

private:
    bool fail(int error);
    bool fail(const QString &cause);
    bool resolveTarget();
    bool checkAccess();
    bool createTemporary();
    void takeOverOwnership();
    void discard();

    QString fileName_;
    QString error_;
    QByteArray target_;    // the resolved target, as the system names it
    QByteArray temporary_; // the temporary file while it exists
    int descriptor_ = -1;  // the temporary, written through
    int lock_ = -1;        // a second descriptor that keeps the lock until the rename is done
    qint64 size_ = 0;
    bool durable_ = true;
    bool replacing_ = false;
    unsigned oldMode_ = 0;
    unsigned oldOwner_ = 0;
    unsigned oldGroup_ = 0;
};

} // namespace platform::win

#endif
