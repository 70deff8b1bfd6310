#include "app/common/desktop/desktoplauncher.h"

#include <algorithm>
#include <cerrno>
#include <csignal>
#include <fcntl.h>
#include <spawn.h>
#include <sys/syscall.h>
#include <sys/wait.h>
#include <unistd.h>
#include <utility>
#include <vector>

#include <QCoreApplication>
#include <QEventLoop>
#include <QFile>
#include <QObject>
#include <QSocketNotifier>
#include <QTimer>

extern char **environ;

namespace app::common::desktop {

namespace {

class LauncherWatch;

std::vector<LauncherWatch *> &running()
{
    static std::vector<LauncherWatch *> watches;
    return watches;
}

std::vector<QEventLoop *> &waiters()
{
    static std::vector<QEventLoop *> loops;
    return loops;
}

void wakeWaiters()
{
    if (!running().empty())
        return;
    for (QEventLoop *loop : waiters())
        loop->quit();
}

// Watches one launcher through its process descriptor and reaps it when it ends. Belongs to the
// application, but going away with it only stops the watch: the launcher runs on.
class LauncherWatch : public QObject
{
public:
    LauncherWatch(pid_t pid, int handle, LauncherEnded ended)
        : QObject(QCoreApplication::instance()), pid_(pid), handle_(handle),
          ended_(std::move(ended)),
          notifier_(new QSocketNotifier(handle, QSocketNotifier::Read, this))
    {
        running().push_back(this);
        connect(notifier_, &QSocketNotifier::activated, this, &LauncherWatch::reap);
    }
    ~LauncherWatch() override
    {
        std::erase(running(), this);
        close(handle_);
    }
    LauncherWatch(const LauncherWatch &) = delete;
    LauncherWatch &operator=(const LauncherWatch &) = delete;

private:
    void reap()
    {
        int status = 0;
        pid_t reaped;
        do {
            reaped = waitpid(pid_, &status, WNOHANG);
        } while (reaped < 0 && errno == EINTR);
        if (reaped == 0)
            return;
        notifier_->setEnabled(false);
        LauncherEnd end;
        // Reaped elsewhere (ECHILD): it has ended, how is not known.
        if (reaped > 0 && WIFSIGNALED(status))
            end.crashed = true;
        else if (reaped > 0 && WIFEXITED(status))
            end.exitCode = WEXITSTATUS(status);
        std::erase(running(), this);
        deleteLater();
        const LauncherEnded ended = std::move(ended_);
        ended(end);
        wakeWaiters();
    }

    pid_t pid_;
    int handle_;
    LauncherEnded ended_;
    QSocketNotifier *notifier_;
};

// Output to the null device, no descriptor but the standard three, signals at their defaults.
int spawn(const QString &program, const QString &argument, pid_t &pid)
{
    QByteArray path = QFile::encodeName(program);
    QByteArray text = argument.toLocal8Bit();
    char *argv[] = {path.data(), text.data(), nullptr};

    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_addopen(&actions, 0, "/dev/null", O_RDONLY, 0);
    posix_spawn_file_actions_addopen(&actions, 1, "/dev/null", O_WRONLY, 0);
    posix_spawn_file_actions_adddup2(&actions, 1, 2);
    // The caller's connection among them: a browser the launcher starts must not hold it open.
    posix_spawn_file_actions_addclosefrom_np(&actions, 3);

    posix_spawnattr_t attributes;
    posix_spawnattr_init(&attributes);
    sigset_t mask;
    sigemptyset(&mask);
    posix_spawnattr_setsigmask(&attributes, &mask);
    sigfillset(&mask);
    posix_spawnattr_setsigdefault(&attributes, &mask);
    posix_spawnattr_setflags(&attributes, POSIX_SPAWN_SETSIGMASK | POSIX_SPAWN_SETSIGDEF);

    const int error = posix_spawn(&pid, path.constData(), &actions, &attributes, argv, environ);
    posix_spawnattr_destroy(&attributes);
    posix_spawn_file_actions_destroy(&actions);
    return error;
}

} // namespace

void runLauncher(const QString &program, const QString &argument, LauncherEnded ended)
{
    pid_t pid = 0;
    if (spawn(program, argument, pid) != 0) {
        ended({false, false, 0});
        return;
    }
    const int handle =
        QCoreApplication::instance() ? static_cast<int>(syscall(SYS_pidfd_open, pid, 0)) : -1;
    if (handle < 0) {
        // Nothing to watch it with: the launch counts as handed over.
        ended({});
        return;
    }
    new LauncherWatch(pid, handle, std::move(ended));
}

bool waitForLaunchers(int timeoutMs)
{
    if (running().empty())
        return true;
    QEventLoop loop;
    QTimer::singleShot(timeoutMs, &loop, &QEventLoop::quit);
    waiters().push_back(&loop);
    loop.exec();
    std::erase(waiters(), &loop);
    return running().empty();
}

} // namespace app::common::desktop
