#ifndef APP_ANALYSIS_SNAPSHOTMODULE_H
#define APP_ANALYSIS_SNAPSHOTMODULE_H

#include <cstdint>
#include <vector>

#include <QDateTime>

namespace app::analysis {

// The one program-wide copy of a stretch of readings. Positions 1..N of `readings` hold the
// readings oldest first; position 0 is not part of the data and is always there.
struct Snapshot
{
    std::vector<float> readings = std::vector<float>(1, 0.0f);
    QDateTime startTime;     // the reading at position 1, whole seconds
    int32_t startMicros = 0; // 0..999,999, added to startTime

    int32_t upperBound() const { return static_cast<int32_t>(readings.size()) - 1; }
};

Snapshot &CurrentSnapshot();

// Copies the newest Count readings of the ring (0 <= Count <= BufferCount()) into the snapshot;
// the start time is now minus Count / 4,800 s in whole seconds. Raises VbError otherwise.
void TakeSnapshot(int32_t count);
// The same, against a given clock (tests).
void TakeSnapshot(int32_t count, const QDateTime &now);

// Keeps positions First + 1 .. Last as the new positions 1 .. Last - First and moves the start
// time on by First readings. First below 0 counts as 0, Last beyond the data as its end; a
// range without readings leaves an empty snapshot.
void CropSnapshot(int32_t first, int32_t last);

// Minimum and maximum of snapshot positions First..Last by the installed min/max export. False,
// with nothing computed, unless 1 <= First <= Last <= N.
bool SnapshotMinMax(int32_t first, int32_t last, float &minimum, float &maximum);
// Replaces every reading of positions 1..N beyond +-9,999,999 by the next in-range one after
// it (one pass from the end); one without stays. The ring is not touched.
void CleanupSnapshot();

} // namespace app::analysis

#endif
