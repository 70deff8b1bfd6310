#include "app/analysis/recordingmodule.h"

#include <gmock/gmock.h>

#include "app/analysis/circularbuffermodule.h"
#include "app/analysis/readingstream.h"
#include "app/device/driverapi.h"
#include "app/device/drv_hxr.h"

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

} // namespace
} // namespace app::analysis
