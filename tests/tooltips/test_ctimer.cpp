#include "tooltips/ctimer.h"

#include <memory>
#include <stdexcept>
#include <vector>

#include <QSignalSpy>
#include <QTest>

#include <gtest/gtest.h>

#include "platform/vb/vberror.h"
#include "tooltips/mtimer.h"
#include "tooltips/tiperrors.h"

namespace tooltips {
namespace {

constexpr int Long = 60000; // a period that never elapses during a test

TEST(CTimerTest, IntervalStartsKeepsAndStops)
{
    CTimer timer;
    const int before = TimerTableUsed();

    timer.setInterval(10);
    const int32_t id = timer.TimerID();
    EXPECT_NE(id, 0);
    EXPECT_EQ(TimerTableUsed(), before + 1);

    timer.setInterval(10); // the same value does not restart it
    EXPECT_EQ(timer.TimerID(), id);

    for (int32_t stop : {-5, 0}) {
        timer.setInterval(10);
        timer.setInterval(stop);
        EXPECT_EQ(timer.Interval(), 0) << stop;
        EXPECT_EQ(TimerTableUsed(), before) << stop;
    }
}

TEST(CTimerTest, RaisesTimerEachPeriod)
{
    CTimer timer;
    QSignalSpy pulses(&timer, &CTimer::Timer);
    timer.setInterval(5);
    ASSERT_TRUE(pulses.wait(5000));
    ASSERT_TRUE(pulses.wait(5000));
    EXPECT_GE(pulses.count(), 2);
}

TEST(CTimerTest, TheHundredAndFirstTimerIsRefusedAndLeavesNothingRunning)
{
    std::vector<std::unique_ptr<CTimer>> timers;
    while (TimerTableUsed() < TimerTableSize) {
        timers.push_back(std::make_unique<CTimer>());
        timers.back()->setInterval(Long);
    }
    CTimer extra;
    try {
        extra.setInterval(Long);
        FAIL() << "no error";
    } catch (const platform::vb::VbError &error) {
        EXPECT_EQ(error.number(), ErrTooManyTimers);
        EXPECT_EQ(error.description(), QStringLiteral("Too many timers"));
    }
    EXPECT_EQ(extra.TimerID(), 0);
    EXPECT_EQ(extra.Interval(), 0);

    // The refused timer holds nothing: changing it is no component failure, and once a slot is
    // free it starts.
    EXPECT_NO_THROW(extra.setInterval(0));
    timers.front()->setInterval(0);
    EXPECT_NO_THROW(extra.setInterval(Long));
    EXPECT_NE(extra.TimerID(), 0);
    EXPECT_EQ(TimerTableHighest(), TimerTableSize);
}

TEST(CTimerTest, AnEndingTimerFreesItsSlot)
{
    const int before = TimerTableUsed();
    {
        CTimer timer;
        timer.setInterval(Long);
        EXPECT_EQ(TimerTableUsed(), before + 1);
    }
    EXPECT_EQ(TimerTableUsed(), before);
}

TEST(CTimerTest, RefusedSystemTimerIsCantCreate)
{
    setSystemTimersRefused(true);
    CTimer timer;
    try {
        timer.setInterval(10);
        ADD_FAILURE() << "no error";
    } catch (const platform::vb::VbError &error) {
        EXPECT_EQ(error.number(), static_cast<int>(0x800447E1u));
        EXPECT_EQ(error.source(), QStringLiteral("CTimer.Interval"));
        EXPECT_EQ(error.description(), QStringLiteral("Can't create system timer"));
    }
    setSystemTimersRefused(false);
    EXPECT_EQ(timer.Interval(), 0);
    EXPECT_EQ(timer.TimerID(), 0);
}

TEST(CTimerTest, AThrowingHandlerLeavesTheTimerRunning)
{
    CTimer timer;
    int calls = 0;
    QObject::connect(&timer, &CTimer::Timer, &timer, [&calls] {
        ++calls;
        throw std::runtime_error("handler failed");
    });
    EXPECT_THROW(timer.PulseTimer(), platform::vb::VbError);

    timer.setInterval(5);
    EXPECT_TRUE(QTest::qWaitFor([&calls] { return calls >= 3; }, 5000));
    EXPECT_EQ(timer.Interval(), 5);
}

} // namespace
} // namespace tooltips
