#ifndef PLATFORM_WIN_EVENTWAIT_H
#define PLATFORM_WIN_EVENTWAIT_H

#include <chrono>

class QEventLoop;

namespace platform::win {

// Waits on the user-interface thread that keep its windows alive: they run the thread's events
// (paints, timers, the window manager's pings) with user input held back, so clicks, keys and
// closes arrive once the wait is over. The thread sleeps in the event loop until a timer or an
// event wakes it; nothing spins.

// True on the application's own thread while it has an event dispatcher; other threads have no
// windows to keep alive and simply block.
bool threadRunsEvents();

// Runs the thread's events, user input held back, until `loop` quits or `span` has passed.
void runEventsFor(QEventLoop &loop, std::chrono::nanoseconds span);

// Waits the whole span, running events as above on the user-interface thread.
void pauseRunningEvents(std::chrono::milliseconds span);

} // namespace platform::win

#endif
