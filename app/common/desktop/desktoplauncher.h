#ifndef APP_COMMON_DESKTOP_DESKTOPLAUNCHER_H
#define APP_COMMON_DESKTOP_DESKTOPLAUNCHER_H

#include <functional>

#include <QString>

namespace app::common::desktop {

// How a launcher ended: not started at all, ended by a signal, or with its exit code.
struct LauncherEnd
{
    bool started = true;
    bool crashed = false;
    int exitCode = 0;
};
using LauncherEnded = std::function<void(const LauncherEnd &end)>;

// Runs program with one argument, input and output on the null device, as a process that
// nothing here ends: a launcher still handing its target over when this program ends goes on.
// `ended` is called once on this thread when the launcher has ended (at once when it cannot be
// started); the event loop must run for that.
void runLauncher(const QString &program, const QString &argument, LauncherEnded ended);

// Waits, with the event loop running, until no launcher started by runLauncher is running, at
// most timeoutMs. True when none is left.
bool waitForLaunchers(int timeoutMs);

} // namespace app::common::desktop

#endif
