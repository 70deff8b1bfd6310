#ifndef APP_ANALYSIS_ANALYSISSTATE_H
#define APP_ANALYSIS_ANALYSISSTATE_H

#include <atomic>
#include <cstdint>
#include <vector>

#include "app/analysis/circularbuffermodule.h"
#include "app/analysis/csvmodule.h"
#include "app/analysis/recordingmodule.h"
#include "app/analysis/snapshotmodule.h"
#include "platform/win/programstate.h"

namespace app::analysis {

// The program-wide state of the analysis layer: the reading ring, the snapshot taken from it,
// the CSV settings, where the recording status is shown and whether readings still arrive.
struct AnalysisState : platform::win::ProgramState<AnalysisState>
{
    struct Ring
    {
        // Allocated once, zero-filled, never resized.
        std::vector<float> values = std::vector<float>(RingSize, 0.0f);
        int32_t writePos = 0;
        int32_t readPos = 0;
        bool wrapped = false;
        FindMinMaxProc findMinMax = nullptr;
    };

    struct CsvSettings
    {
        int32_t readingLimit = DefaultCsvReadingLimit;
        CsvBlockWriteCheck writeCheck;
        CsvBlockRead blockRead;
        std::atomic<bool> *runningCancel = nullptr; // the job in progress, if any
    };

    // What the recording status saw of the ring at its last look.
    struct ReadingWatch
    {
        bool expected = false; // a stream was expected
        int32_t writePos = 0;
        bool wrapped = false;
        int64_t lastArrivalMs = 0; // on the device object's monotonic clock
        bool stalled = false;
    };

    Ring ring;
    Snapshot snapshot;
    CsvSettings csv;
    RecordingDisplay recordingDisplay;
    ReadingWatch readingWatch;
};

} // namespace app::analysis

#endif
