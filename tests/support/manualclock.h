#ifndef TESTS_SUPPORT_MANUALCLOCK_H
#define TESTS_SUPPORT_MANUALCLOCK_H

#include <cstdint>
#include <functional>
#include <optional>

#include <QDate>
#include <QDateTime>
#include <QTime>

#include "app/device/clock.h"

namespace testsupport {

// The device object's clock under the test's hand: the monotonic time stands still unless the
// test moves it, and sleeping moves it. The local time stands at `local`, moved on by
// localStepMs at every reading (to show how often it is read); without `local` it is the
// system's.
class ManualClock final : public app::device::Clock
{
public:
    QDateTime localNow() const override
    {
        ++localReads;
        if (!local)
            return QDateTime::currentDateTime();
        const QDateTime now = *local;
        local = local->addMSecs(localStepMs);
        return now;
    }
    int64_t monotonicMs() const override { return monotonic; }
    void sleepMs(int milliseconds) override
    {
        monotonic += milliseconds;
        slept += milliseconds;
        if (onSleep)
            onSleep();
    }

    mutable std::optional<QDateTime> local = QDateTime(QDate(2024, 5, 6), QTime(10, 20, 30));
    int64_t localStepMs = 0;
    mutable int localReads = 0;
    int64_t monotonic = 1'000'000;
    int64_t slept = 0;
    // Runs after each sleep (what a test checks while a wait goes on).
    std::function<void()> onSleep;
};

} // namespace testsupport

#endif
