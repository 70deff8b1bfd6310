#ifndef APP_DEVICE_CLOCK_H
#define APP_DEVICE_CLOCK_H

#include <cstdint>
#include <memory>

#include <QDateTime>

namespace app::device {

// The time sources of the device object, injected so that tests need no waiting.
class Clock
{
public:
    virtual ~Clock() = default;
    // The local date and time.
    virtual QDateTime localNow() const = 0;
    // Milliseconds on a clock that never goes back (windows and waits).
    virtual int64_t monotonicMs() const = 0;
    // Waits the given time. On the user-interface thread the window keeps painting and
    // answering meanwhile, and the user's input waits until the time is up.
    virtual void sleepMs(int milliseconds) = 0;
};

// The system clock.
std::shared_ptr<Clock> systemClock();

} // namespace app::device

#endif
