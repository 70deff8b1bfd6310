#ifndef APP_ANALYSIS_RECORDINGMODULE_H
#define APP_ANALYSIS_RECORDINGMODULE_H

#include <cstdint>
#include <functional>

#include <QString>

namespace app::analysis {

// What the main window's recording display shows.
struct RecordingStatus
{
    uint32_t ledColour = 0x000040; // OLE colour of RecordLED: red while recording, else dark red
    QString text;                  // RecordMsg: "Recording... mm:ss" or "Recorded mm:ss"
    bool captureEnabled = false;   // RecordCapture and ResetCapture
};

RecordingStatus CurrentRecordingStatus(bool streamRunning);

// The main window installs the display that UpdateRecordingStatus refreshes.
using RecordingDisplay = std::function<void(const RecordingStatus &)>;
void SetRecordingDisplay(RecordingDisplay display);

// Refreshes the recording display from StreamRunning and the ring's count.
void UpdateRecordingStatus();

} // namespace app::analysis

#endif
