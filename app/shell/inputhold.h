#ifndef APP_SHELL_INPUTHOLD_H
#define APP_SHELL_INPUTHOLD_H

#include "app/common/desktop/waitcursor.h"

namespace app::device {
class Clock;
}

namespace app::shell {

// Long work on the user-interface thread (a settle wait, a save or a restore). While a hold
// lives the hourglass shows and the window keeps painting when the work lets it, but the user's
// clicks, keys and closes wait until the hold ends, and the page refresh ticks are skipped.
class InputHold
{
public:
    InputHold();
    ~InputHold();
    InputHold(const InputHold &) = delete;
    InputHold &operator=(const InputHold &) = delete;

    // Runs pending paints and timers, but no user input.
    static void letPaint();

private:
    app::common::desktop::WaitCursor hourglass_;
};

// True while a hold lives.
bool InputHeld();

// Waits until the clock has advanced by the given time, under a hold.
void Delay(app::device::Clock &clock, int milliseconds);

} // namespace app::shell

#endif
