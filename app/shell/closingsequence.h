#ifndef APP_SHELL_CLOSINGSEQUENCE_H
#define APP_SHELL_CLOSINGSEQUENCE_H

#include <QTimer>

#include "app/shell/closingsteps.h"

class QCloseEvent;
class QWidget;

namespace app::shell {

// The main window's close: it waits for what must finish first (a data file job, a page's
// input hold, a running page refresh, the last at most waitMs), then runs the steps that end
// the run (closingsteps.h) and ends the program, once.
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
    // The window goes without a close: the steps that have not run, without waiting and
    // without ending the program.
    void finish();

private:
    void waitExpired();
    void run();
    void finishSteps(ClosingStep last);

    QWidget &window_;
    int waitMs_;
    ClosingSteps steps_;
    QTimer wait_;
    bool pending_ = false;
    bool closed_ = false;
};

} // namespace app::shell

#endif
