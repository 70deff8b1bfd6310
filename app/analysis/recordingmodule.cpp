#include "app/analysis/recordingmodule.h"

#include <utility>

#include "app/analysis/analysisstate.h"
#include "app/analysis/circularbuffermodule.h"
#include "app/common/formatting.h"
#include "app/device/clock.h"
#include "app/device/drv_hxr.h"
#include "app/device/hxr.h"

namespace app::analysis {

namespace {

constexpr uint32_t Recording = 0x0000FF;
constexpr uint32_t NotRecording = 0x000040;

RecordingDisplay &display()
{
    return AnalysisState::current().recordingDisplay;
}

int64_t nowMs()
{
    if (const app::device::HXR *hxr = app::device::HXRObject())
        return hxr->clock().monotonicMs();
    return app::device::systemClock()->monotonicMs();
}

// One look at the ring: true when a stream is expected and no reading came for the stall time.
// The write position moves with every reading (a reset moves it too, which only restarts the
// wait); the wait also starts when a stream comes to be expected.
bool readingsStalled()
{
    AnalysisState &state = AnalysisState::current();
    AnalysisState::ReadingWatch &watch = state.readingWatch;
    const bool expected = app::device::StreamRunning();
    const int64_t now = nowMs();
    const bool arrived =
        state.ring.writePos != watch.writePos || state.ring.wrapped != watch.wrapped;
    if (arrived || !expected || !watch.expected)
        watch.lastArrivalMs = now;
    watch.expected = expected;
    watch.writePos = state.ring.writePos;
    watch.wrapped = state.ring.wrapped;
    watch.stalled = expected && now - watch.lastArrivalMs >= ReadingsStalledAfterMs;
    return watch.stalled;
}

} // namespace

RecordingStatus CurrentRecordingStatus(bool streamRunning, bool readingsStalled)
{
    RecordingStatus status;
    const int32_t count = BufferCount();
    const QString time = app::common::FormatMS(count / ReadingsPerSecond);
    if (streamRunning && readingsStalled) {
        status.ledColour = NotRecording;
        status.text = QStringLiteral("No readings... ") + time;
    } else if (streamRunning) {
        status.ledColour = Recording;
        status.text = QStringLiteral("Recording... ") + time;
    } else {
        status.ledColour = NotRecording;
        status.text = QStringLiteral("Recorded ") + time;
    }
    status.captureEnabled = count > 0;
    return status;
}

void SetRecordingDisplay(RecordingDisplay display)
{
    app::analysis::display() = std::move(display);
}

void UpdateRecordingStatus()
{
    const bool stalled = readingsStalled();
    if (const RecordingDisplay &show = display())
        show(CurrentRecordingStatus(app::device::StreamRunning(), stalled));
}

void WatchReadings()
{
    const bool wasStalled = AnalysisState::current().readingWatch.stalled;
    if (readingsStalled() != wasStalled)
        UpdateRecordingStatus();
}

} // namespace app::analysis
