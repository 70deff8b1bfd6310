#include "app/analysis/circularbuffermodule.h"

#include <algorithm>
#include <vector>

#include <QString>

#include "app/analysis/analysisstate.h"
#include "platform/vb/vberror.h"

namespace app::analysis {

namespace {

constexpr int SubscriptOutOfRange = 9;
constexpr float CleanLimit = 9'999'999.0f;

using Ring = AnalysisState::Ring;

Ring &ring()
{
    return AnalysisState::current().ring;
}

[[noreturn]] void outOfRange(const char *procedure, const QString &what)
{
    throw platform::vb::VbError(SubscriptOutOfRange, QString::fromLatin1(procedure),
                                QStringLiteral("Subscript out of range: ") + what);
}

} // namespace

void OnReading(int32_t channel, float value)
{
    // Only the low 16 bits carry the channel; 0 marks a stream event.
    if ((channel & 0xFFFF) != 0)
        BufferPut(value);
}

void ResetBuffer()
{
    Ring &r = ring();
    r.writePos = 0;
    r.readPos = 0;
    r.wrapped = false;
}

int32_t BufferPut(float value)
{
    Ring &r = ring();
    r.values[static_cast<size_t>(r.writePos)] = value;
    if (++r.writePos >= RingSize) {
        r.writePos = 0;
        r.wrapped = true;
    }
    return r.writePos;
}

int32_t BufferCount()
{
    const Ring &r = ring();
    return r.wrapped ? RingSize : r.writePos;
}

bool BufferWrapped()
{
    return ring().wrapped;
}

void BufferSeekBack(int32_t count)
{
    if (count < 0 || count > RingSize)
        outOfRange("BufferSeekBack", QStringLiteral("count %1").arg(count));
    Ring &r = ring();
    int32_t pos = r.writePos - count;
    if (pos < 0)
        pos += RingSize;
    r.readPos = pos;
}

float BufferGet()
{
    Ring &r = ring();
    const float value = r.values[static_cast<size_t>(r.readPos)];
    if (++r.readPos >= RingSize)
        r.readPos = 0;
    return value;
}

float BufferGetStep(int32_t step)
{
    if (step < 0 || step > RingSize)
        outOfRange("BufferGetStep", QStringLiteral("step %1").arg(step));
    Ring &r = ring();
    const float value = r.values[static_cast<size_t>(r.readPos)];
    int32_t pos = r.readPos + step; // at most 2 * RingSize - 1: no overflow
    if (pos >= RingSize)
        pos -= RingSize;
    r.readPos = pos;
    return value;
}

float BufferGetPrev()
{
    Ring &r = ring();
    r.readPos = r.readPos == 0 ? RingSize - 1 : r.readPos - 1;
    return r.values[static_cast<size_t>(r.readPos)];
}

int32_t BufferReadPos()
{
    return ring().readPos;
}

void BufferSetReadPos(int32_t position)
{
    if (position < 0 || position >= RingSize)
        outOfRange("BufferSetReadPos", QStringLiteral("position %1").arg(position));
    ring().readPos = position;
}

void BufferFill(std::span<float> target)
{
    if (target.size() > static_cast<size_t>(RingSize))
        outOfRange("BufferFill", QStringLiteral("%1 values").arg(target.size()));
    for (float &value : target)
        value = BufferGet();
}

void BufferMinMax(int32_t count, float &minimum, float &maximum)
{
    if (count < 1 || count > RingSize)
        outOfRange("BufferMinMax", QStringLiteral("count %1").arg(count));
    std::vector<float> block(static_cast<size_t>(count));
    BufferFill(block);
    FindMinMax(block.data(), count, minimum, maximum);
}

void FindMinMax(const float *first, int32_t count, float &minimum, float &maximum)
{
    if (const FindMinMaxProc proc = ring().findMinMax) {
        const int32_t firstIndex = 1;
        const int32_t lastIndex = count;
        proc(first, &firstIndex, &lastIndex, &minimum, &maximum);
        return;
    }
    const auto [lo, hi] = std::minmax_element(first, first + count);
    minimum = *lo;
    maximum = *hi;
}

void BufferCleanup()
{
    CleanupReadings(ring().values);
}

void CleanupReadings(std::span<float> values)
{
    auto inRange = [](float v) { return v >= -CleanLimit && v <= CleanLimit; };
    // One pass from the end: the nearest in-range value at or after each position, so the
    // scan stays linear even for a run of bad readings.
    bool haveNext = false;
    float next = 0.0f;
    for (size_t i = values.size(); i-- > 0;) {
        if (inRange(values[i])) {
            next = values[i];
            haveNext = true;
        } else if (haveNext) {
            values[i] = next;
        }
    }
}

void SetFindMinMax(FindMinMaxProc proc)
{
    ring().findMinMax = proc;
}

} // namespace app::analysis
