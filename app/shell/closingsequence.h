#ifndef APP_SHELL_CLOSINGSEQUENCE_H
#define APP_SHELL_CLOSINGSEQUENCE_H

#include <functional>

#include <QTimer>

class QCloseEvent;
class QWidget;

namespace app::shell {

// What the closing sequence has the main window do on the way out.
struct ClosingSteps
{
    // Stops the window's own timers: the page refresh and the hover tip.
    std::function<void()> stopTimers;
    // Saves the settings and lets go of the mouse.
    std::function<void()> release;
    // Closes the module's port, when there is a module.
    std::function<void()> closePort;
    // Removes the program-wide links.
    std::function<void()> removeLinks;
    // Ends the program with the code; empty: leave the event loop with it.
    std::function<void(int code)> endProgram;
};

// The main window's close: it waits for what must finish first (a data file job, a page's
// input hold, a running page refresh, the last at most waitMs), then closes the pages, the
// devices and the port, removes the links and ends the program, once.
class ClosingSequence
{
public:
    ClosingSequence(QWidget &window, int waitMs, ClosingSteps steps);

    ClosingSequence(const ClosingSequence &) = delete;
    ClosingSequence &operator=(const ClosingSequence &) = delete;

    // The window's closeEvent: accepts the event once the sequence has run, ignores it while
    // the close waits.
    void closeEvent(QCloseEvent &event);
    // A page refresh returned: a close that waited for it goes on.
    void refreshFinished();
    bool closed() const { return closed_; }

private:
    void waitExpired();
    void run();

    QWidget &window_;
    int waitMs_;
    ClosingSteps steps_;
    QTimer wait_;
    bool pending_ = false;
    bool closed_ = false;
};

} // namespace app::shell

#endif
