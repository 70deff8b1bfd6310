#include "app/analysis/snapshotmodule.h"

#include <cmath>

#include <QString>

#include "app/analysis/analysisstate.h"
#include "app/analysis/circularbuffermodule.h"
#include "platform/vb/vberror.h"

namespace app::analysis {

namespace {
constexpr double MicrosPerReading = 1'000'000.0 / ReadingsPerSecond;
}

Snapshot &CurrentSnapshot()
{
    return AnalysisState::current().snapshot;
}

void TakeSnapshot(int32_t count)
{
    TakeSnapshot(count, QDateTime::currentDateTime());
}

void TakeSnapshot(int32_t count, const QDateTime &now)
{
    // Asking for more than was recorded would copy stale or never-written values.
    if (count < 0 || count > BufferCount())
        throw platform::vb::VbError(9, QStringLiteral("TakeSnapshot"),
                                    QStringLiteral("Subscript out of range: count %1").arg(count));
    Snapshot &snap = CurrentSnapshot();
    std::vector<float> readings(static_cast<size_t>(count) + 1, 0.0f);
    BufferSeekBack(count);
    BufferFill(std::span<float>(readings).subspan(1));
    snap.readings = std::move(readings);
    const QDateTime whole = now.addMSecs(-now.time().msec());
    snap.startTime = whole.addSecs(-static_cast<qint64>(std::nearbyint(count / ReadingsPerSecond)));
    snap.startMicros = 0;
}

void CropSnapshot(int32_t first, int32_t last)
{
    Snapshot &snap = CurrentSnapshot();
    if (first < 0)
        first = 0;
    if (last > snap.upperBound())
        last = snap.upperBound();

    const qint64 shift = std::llround(first * MicrosPerReading);
    const qint64 total = shift + snap.startMicros;
    const qint64 seconds = total / 1'000'000;
    snap.startTime = snap.startTime.addSecs(seconds);
    snap.startMicros = static_cast<int32_t>(total - seconds * 1'000'000);

    const int32_t kept = last - first;
    if (kept <= 0) {
        snap.readings.assign(1, 0.0f);
        return;
    }
    std::vector<float> readings(snap.readings.begin() + first, snap.readings.begin() + last + 1);
    snap.readings = std::move(readings);
}

bool SnapshotMinMax(int32_t first, int32_t last, float &minimum, float &maximum)
{
    const Snapshot &snap = CurrentSnapshot();
    if (first < 1 || last < first || last > snap.upperBound())
        return false;
    FindMinMax(snap.readings.data() + first, last - first + 1, minimum, maximum);
    return true;
}

void CleanupSnapshot()
{
    std::vector<float> &readings = CurrentSnapshot().readings;
    CleanupReadings(std::span<float>(readings).subspan(1));
}

} // namespace app::analysis
