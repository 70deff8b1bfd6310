#ifndef TESTS_SUPPORT_ORDINARYUSER_H
#define TESTS_SUPPORT_ORDINARYUSER_H

#include <cerrno>
#include <cstdlib>
#include <cstring>

#include <QByteArray>
#include <QFile>
#include <QString>

#include <sys/fsuid.h>
#include <unistd.h>

namespace testsupport {

// While it exists, the calling thread's files are checked as an ordinary user's: root passes
// every permission bit, so when the tests run as root (as on CI) the thread takes the file-system
// identity of "nobody" (65534), which also drops root's file privileges for it; other threads
// and the process's own identity stay as they were. As any other user it changes nothing.
// Files a test makes for that user go to it with own().
class OrdinaryFileUser
{
public:
    static constexpr uid_t Nobody = 65534;
    static constexpr gid_t NoGroup = 65534;

    OrdinaryFileUser()
    {
        if (geteuid() != 0) {
            active_ = true;
            return;
        }
        (void)setfsgid(NoGroup);
        (void)setfsuid(Nobody);
        // Each call answers the identity before it; an invalid one changes nothing.
        active_ = currentFsuid() == Nobody && currentFsgid() == NoGroup;
        if (!active_) {
            restore();
            whyNot_ = QStringLiteral("the file-system identity of nobody (65534) was refused");
        }
    }
    ~OrdinaryFileUser()
    {
        if (geteuid() == 0)
            restore();
    }
    OrdinaryFileUser(const OrdinaryFileUser &) = delete;
    OrdinaryFileUser &operator=(const OrdinaryFileUser &) = delete;

    bool active() const { return active_; }
    const QString &whyNot() const { return whyNot_; }

    // Gives a file or folder the tests made as root to the ordinary user (nothing otherwise).
    // Call it before taking the identity, or from another object's lifetime.
    static bool own(const QString &path)
    {
        return geteuid() != 0 || lchown(QFile::encodeName(path).constData(), Nobody, NoGroup) == 0;
    }

private:
    static uid_t currentFsuid() { return static_cast<uid_t>(setfsuid(static_cast<uid_t>(-1))); }
    static gid_t currentFsgid() { return static_cast<gid_t>(setfsgid(static_cast<gid_t>(-1))); }
    static void restore()
    {
        (void)setfsuid(0);
        (void)setfsgid(0);
    }

    bool active_ = false;
    QString whyNot_;
};

} // namespace testsupport

// In a test body: skips the test when the ordinary user could not be taken on, and fails it on
// CI (CI set), where it must run.
#define SKIP_UNLESS_ORDINARY(user)                                                                 \
    do {                                                                                           \
        if (!(user).active()) {                                                                    \
            if (std::getenv("CI"))                                                                 \
                FAIL() << (user).whyNot().toStdString();                                           \
            GTEST_SKIP() << (user).whyNot().toStdString();                                         \
        }                                                                                          \
    } while (false)

#endif
