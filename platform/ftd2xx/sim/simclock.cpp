#include "platform/ftd2xx/sim/simclock.h"

#include <mutex>

namespace platform::ftd2xx::sim {

namespace {

std::mutex sourceMutex;
TimeSource source;

} // namespace

Clock::time_point now()
{
    std::lock_guard lock(sourceMutex);
    return source ? source() : Clock::now();
}

void setTimeSource(TimeSource next)
{
    std::lock_guard lock(sourceMutex);
    source = std::move(next);
}

} // namespace platform::ftd2xx::sim
