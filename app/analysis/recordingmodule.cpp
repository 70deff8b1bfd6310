#include "app/analysis/recordingmodule.h"

#include "app/analysis/analysisstate.h"
#include "app/analysis/circularbuffermodule.h"
#include "app/common/formatting.h"
#include "app/device/drv_hxr.h"

namespace app::analysis {

namespace {

RecordingDisplay &display()
{
    return AnalysisState::current().recordingDisplay;
}

} // namespace

RecordingStatus CurrentRecordingStatus(bool streamRunning)
{
    RecordingStatus status;
    const int32_t count = BufferCount();
    const QString time = app::common::FormatMS(count / ReadingsPerSecond);
    if (streamRunning) {
        status.ledColour = 0x0000FF;
        status.text = QStringLiteral("Recording... ") + time;
    } else {
        status.ledColour = 0x000040;
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
    if (const RecordingDisplay &show = display())
        show(CurrentRecordingStatus(app::device::StreamRunning()));
}

} // namespace app::analysis
