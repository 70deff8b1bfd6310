#include "app/analysis/recordingmodule.h"

#include <memory>
#include <vector>

#include <gmock/gmock.h>

#include "app/analysis/analysisstate.h"
#include "app/analysis/circularbuffermodule.h"
#include "app/analysis/readingstream.h"
#include "app/device/driverapi.h"
#include "app/device/drv_hxr.h"
#include "app/device/hxr.h"
#include "support/manualclock.h"

namespace app::analysis {
namespace {

class RecordingTest : public ::testing::Test
{
protected:
    void SetUp() override { ResetBuffer(); }
    void TearDown() override
    {
        SetRecordingDisplay({});
        app::device::setStreamRunning(false);
    }
};

TEST_F(RecordingTest, AnEmptyRingDisablesCaptureAndShowsZero)
{
    RecordingStatus shown;
    SetRecordingDisplay([&](const RecordingStatus &s) { shown = s; });
    app::device::setStreamRunning(false);
    UpdateRecordingStatus();
    EXPECT_EQ(shown.text, "Recorded 00:00");
    EXPECT_EQ(shown.ledColour, 0x000040u);
    EXPECT_FALSE(shown.captureEnabled);

    app::device::setStreamRunning(true);
    UpdateRecordingStatus();
    EXPECT_EQ(shown.text, "Recording... 00:00");
    EXPECT_EQ(shown.ledColour, 0x0000FFu);
}

TEST_F(RecordingTest, ShowsTheRecordedMinutesAndSeconds)
{
    for (int i = 0; i < 4800 * 65 + 100; ++i)
        BufferPut(1.0f);
    const RecordingStatus status = CurrentRecordingStatus(true);
    EXPECT_EQ(status.text, "Recording... 01:05");
    EXPECT_TRUE(status.captureEnabled);
}

TEST_F(RecordingTest, TheModulesResetEmptiesTheRing)
{
    AttachReadingStream(app::device::DriverApi::unavailable());
    BufferPut(1.0f);
    app::device::resetReadingBuffer(); // what RST does
    EXPECT_EQ(BufferCount(), 0);
    DetachReadingStream();
    BufferPut(1.0f);
    app::device::resetReadingBuffer();
    EXPECT_EQ(BufferCount(), 1);
}

// The main window's display and the device object's clock under the test's hand, on a
// program state of its own (as a program's context gives it).
class ReadingWatchTest : public RecordingTest
{
protected:
    AnalysisState state;
    AnalysisState::Scope scope{state};

    void SetUp() override
    {
        RecordingTest::SetUp();
        app::device::SetHXRObject(&hxr);
        SetRecordingDisplay([this](const RecordingStatus &s) { shown.push_back(s); });
    }
    void TearDown() override
    {
        app::device::ClearHXRObject();
        RecordingTest::TearDown();
    }
    // The main window's watch, then its page refresh, `ms` later.
    void after(int64_t ms)
    {
        clock->monotonic += ms;
        WatchReadings();
    }
    QString lastText() const { return shown.empty() ? QString() : shown.back().text; }

    std::shared_ptr<testsupport::ManualClock> clock = std::make_shared<testsupport::ManualClock>();
    app::device::HXR hxr{app::device::DriverApi::unavailable(), clock};
    std::vector<RecordingStatus> shown;
};

TEST_F(ReadingWatchTest, AStoppedStreamStopsTheClockWithinASecondAndGoesOnWhenReadingsCome)
{
    app::device::setStreamRunning(true);
    for (int i = 0; i < 4800 * 2; ++i)
        BufferPut(1.0f);
    UpdateRecordingStatus();
    EXPECT_EQ(lastText(), "Recording... 00:02");

    after(999); // the last reading came just now
    EXPECT_EQ(lastText(), "Recording... 00:02");
    after(1); // a second without one
    EXPECT_EQ(lastText(), "No readings... 00:02");
    EXPECT_EQ(shown.back().ledColour, 0x000040u);
    EXPECT_TRUE(shown.back().captureEnabled);
    const size_t shownOnce = shown.size();
    after(250);
    UpdateRecordingStatus(); // the page refresh keeps saying so
    EXPECT_EQ(lastText(), "No readings... 00:02");
    EXPECT_EQ(shown.size(), shownOnce + 1) << "the watch shows only a change";

    for (int i = 0; i < 4800; ++i)
        BufferPut(1.0f);
    after(250);
    EXPECT_EQ(lastText(), "Recording... 00:03");
    EXPECT_EQ(shown.back().ledColour, 0x0000FFu);
}

TEST_F(ReadingWatchTest, NothingWhileNoStreamIsExpected)
{
    app::device::setStreamRunning(false);
    BufferPut(1.0f);
    after(0);
    after(60'000);
    EXPECT_TRUE(shown.empty());
    UpdateRecordingStatus();
    EXPECT_EQ(lastText(), "Recorded 00:00");

    // A stream that comes to be expected gets its second from then on, not from the last
    // reading long ago.
    app::device::setStreamRunning(true);
    after(250);
    UpdateRecordingStatus();
    EXPECT_EQ(lastText(), "Recording... 00:00");
    after(1000);
    EXPECT_EQ(lastText(), "No readings... 00:00");

    // Leaving the stream (a page that configures the module) says "Recorded" again at once.
    app::device::setStreamRunning(false);
    after(250);
    EXPECT_EQ(lastText(), "Recorded 00:00");
}

TEST_F(ReadingWatchTest, AWrappedRingStillShowsItsReadings)
{
    app::device::setStreamRunning(true);
    for (int32_t i = 0; i < RingSize; ++i)
        BufferPut(1.0f);
    UpdateRecordingStatus();
    // A full ring's count stands still; its write position does not.
    for (int i = 0; i < 4800; ++i) {
        BufferPut(1.0f);
        if (i % 1200 == 0)
            after(250);
    }
    after(250);
    EXPECT_EQ(lastText(), "Recording... 30:00");
}

} // namespace
} // namespace app::analysis
