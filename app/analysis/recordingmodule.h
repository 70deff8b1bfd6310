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

// While the module should stream, this long without a new reading means the stream stopped
// (an unplugged module): the clock stands and the display says that no readings arrive.
constexpr int64_t ReadingsStalledAfterMs = 1000;

// `readingsStalled` only counts while the stream runs: "No readings... mm:ss" then.
RecordingStatus CurrentRecordingStatus(bool streamRunning, bool readingsStalled = false);

// The main window installs the display that UpdateRecordingStatus refreshes.
using RecordingDisplay = std::function<void(const RecordingStatus &)>;
void SetRecordingDisplay(RecordingDisplay display);

// Refreshes the recording display from StreamRunning, the ring's count and whether readings
// still arrive.
void UpdateRecordingStatus();

// Looks whether readings still arrive while the module should stream, and refreshes the
// display only when that changed; nothing while no stream is expected. The main window calls
// it several times a second, so that a stopped stream shows within about a second whatever
// the page refresh's pace. Times come from the device object's clock.
void WatchReadings();

} // namespace app::analysis

#endif
