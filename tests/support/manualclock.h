#ifndef TESTS_SUPPORT_MANUALCLOCK_H
#define TESTS_SUPPORT_MANUALCLOCK_H

#include <cstdint>
#include <functional>

#include <QDateTime>

#include "app/device/clock.h"

namespace testsupport {

// Local time as it is; the monotonic clock moves only when the test or a wait moves it, so
// that waits of seconds take none.
class ManualClock : public app::device::Clock
{
public:
    QDateTime localNow() const override { return QDateTime::currentDateTime(); }
    int64_t monotonicMs() const override { return now; }
    void sleepMs(int milliseconds) override
    {
        now += milliseconds;
        if (onSleep)
            onSleep();
    }

    int64_t now = 1'000'000;
    // Runs after each sleep (what a test checks while a wait goes on).
    std::function<void()> onSleep;
};

} // namespace testsupport

#endif
