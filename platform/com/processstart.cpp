#include "platform/com/processstart.h"

#include <cerrno>
#include <csignal>
#include <fcntl.h>
#include <sys/wait.h>
#include <unistd.h>
#include <vector>

#include <QByteArray>
#include <QFile>

namespace platform::com {

namespace {

constexpr int PassedSlot = 3;
constexpr int ReportSlot = 4;

// Everything after fork is async-signal-safe: the caller's other threads may hold locks.
[[noreturn]] void execChild(const char *path, char *const *argv, int passed, int report)
{
    sigset_t all;
    sigemptyset(&all);
    sigprocmask(SIG_SETMASK, &all, nullptr);
    for (int signal = 1; signal < NSIG; ++signal)
        ::signal(signal, SIG_DFL);

    // Move the report pipe and the passed descriptor to fixed slots, then close everything else.
    if (report == PassedSlot || (passed >= 0 && report == ReportSlot)) {
        const int moved = fcntl(report, F_DUPFD_CLOEXEC, ReportSlot + 1);
        if (moved < 0)
            _exit(127);
        report = moved;
    }
    if (passed >= 0) {
        if (passed == PassedSlot)
            fcntl(passed, F_SETFD, 0);
        else if (dup2(passed, PassedSlot) < 0)
            _exit(127);
    }
    if (report != ReportSlot) {
        if (dup3(report, ReportSlot, O_CLOEXEC) < 0)
            _exit(127);
        report = ReportSlot;
    }
    close_range(passed >= 0 ? PassedSlot + 1 : PassedSlot, ReportSlot - 1, 0);
    close_range(ReportSlot + 1, ~0u, 0);

    execv(path, argv);
    const int error = errno;
    [[maybe_unused]] const ssize_t written = write(report, &error, sizeof error);
    _exit(127);
}

} // namespace

StartResult startProcess(const QString &program, const QStringList &arguments,
                         const StartOptions &options)
{
    // Everything the child needs is built before fork.
    const QByteArray path = QFile::encodeName(program);
    std::vector<QByteArray> texts{path};
    for (const QString &argument : arguments)
        texts.push_back(argument.toLocal8Bit());
    std::vector<char *> argv;
    for (QByteArray &text : texts)
        argv.push_back(text.data());
    argv.push_back(nullptr);

    int pipeEnds[2];
    if (pipe2(pipeEnds, O_CLOEXEC) != 0)
        return {0, errno};

    const pid_t child = fork();
    if (child < 0) {
        const int error = errno;
        close(pipeEnds[0]);
        close(pipeEnds[1]);
        return {0, error};
    }
    if (child == 0) {
        close(pipeEnds[0]);
        setsid();
        if (options.detached) {
            const pid_t grandchild = fork();
            if (grandchild < 0) {
                const int error = errno;
                [[maybe_unused]] const ssize_t written = write(pipeEnds[1], &error, sizeof error);
                _exit(127);
            }
            if (grandchild > 0)
                _exit(0);
        }
        execChild(path.constData(), argv.data(), options.passedDescriptor, pipeEnds[1]);
    }

    close(pipeEnds[1]);
    int error = 0;
    ssize_t got;
    do {
        got = read(pipeEnds[0], &error, sizeof error);
    } while (got < 0 && errno == EINTR);
    close(pipeEnds[0]);
    if (got != static_cast<ssize_t>(sizeof error))
        error = 0;

    if (options.detached || error != 0) {
        int status = 0;
        while (waitpid(child, &status, 0) < 0 && errno == EINTR) {
        }
        return {0, error};
    }
    return {child, 0};
}

} // namespace platform::com
