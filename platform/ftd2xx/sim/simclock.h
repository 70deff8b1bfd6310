#ifndef PLATFORM_FTD2XX_SIM_SIMCLOCK_H
#define PLATFORM_FTD2XX_SIM_SIMCLOCK_H

// The one clock the simulated module runs on. It is the monotonic steady clock unless a test
// installs its own source, so that stream rates and reply delays can be checked without waiting.

#include <chrono>
#include <functional>

namespace platform::ftd2xx::sim {

using Clock = std::chrono::steady_clock;
using TimeSource = std::function<Clock::time_point()>;

Clock::time_point now();

// Installs a time source for every simulated module; an empty one restores the steady clock.
// Install it before the modules are configured or opened: a module keeps the power-on time it
// read from the source in force then.
void setTimeSource(TimeSource source);

} // namespace platform::ftd2xx::sim

#endif
