#ifndef TOOLTIPS_MTIMER_H
#define TOOLTIPS_MTIMER_H

#include <cstdint>

namespace tooltips {

class CTimer;

// The timer table: 100 slots mapping system timer identifiers to the timers that run them.
// The table refers to its timers without owning them.
constexpr int TimerTableSize = 100;

// Starts a system timer for the timer's Interval and enters it in a free slot. False when the
// system gives no timer; error 18511 "Too many timers" (the new system timer stopped again)
// when every slot is taken.
bool TimerCreate(CTimer &timer);
// Stops the timer's system timer and empties its slot; false when it has none.
bool TimerDestroy(CTimer &timer);
// The one procedure of every system timer: pulses the timer of that identifier, errors ignored.
void TimerProc(int32_t hWnd, uint32_t uMsg, int32_t idEvent, uint32_t dwTime);

// The highest slot used so far and the slots in use now.
int TimerTableHighest();
int TimerTableUsed();

// Makes the system refuse new timers while set (tests).
void setSystemTimersRefused(bool refused);

} // namespace tooltips

#endif
