#ifndef APP_ANALYSIS_CIRCULARBUFFERMODULE_H
#define APP_ANALYSIS_CIRCULARBUFFERMODULE_H

#include <cstdint>
#include <span>

namespace app::analysis {

// The one program-wide ring of readings: 30 minutes at 4,800 readings a second, allocated once.
// Every reader shares the read position; it sets it before a sequence of reads.
constexpr int32_t RingSize = 8'640'000;
constexpr double ReadingsPerSecond = 4800.0;

// The reading procedure registered with the driver: readings of channels 1 to 8 go into the
// ring, stream events (channel 0) are dropped. Never throws.
void OnReading(int32_t channel, float value);

// Empties the ring logically: positions to 0, not wrapped. The stored values stay.
void ResetBuffer();
int32_t BufferPut(float value);
// Valid readings: RingSize once wrapped, else the write position.
int32_t BufferCount();
bool BufferWrapped();

// The functions below raise platform::vb::VbError (subscript out of range) for arguments that
// would leave the ring, and then change nothing.

// Read position := Count readings back from the newest, 0 <= Count <= RingSize.
void BufferSeekBack(int32_t count);
float BufferGet();
// Returns the reading at the read position, then moves on by Step (0 <= Step <= RingSize),
// wrapping at the end of the ring.
float BufferGetStep(int32_t step);
float BufferGetPrev();
int32_t BufferReadPos();
void BufferSetReadPos(int32_t position);
// Fills the whole target with successive BufferGet reads (at most RingSize values).
void BufferFill(std::span<float> target);
// Minimum and maximum of Count readings from the read position, 1 <= Count <= RingSize; the
// read position moves on by Count.
void BufferMinMax(int32_t count, float &minimum, float &maximum);
// Replaces every out-of-range reading (beyond +-9,999,999) by the next in-range one after it,
// searching up to the end of the ring; without one it stays. Never throws.
void BufferCleanup();
// The same rule over any run of readings.
void CleanupReadings(std::span<float> values);

// The driver's min/max export; the shell installs the loaded library's. Without one the ring
// computes the same result itself.
using FindMinMaxProc = void (*)(const float *first, const int32_t *firstIndex,
                                const int32_t *lastIndex, float *minimum, float *maximum);
void SetFindMinMax(FindMinMaxProc proc);
// Minimum and maximum of Count >= 1 values from First, by the installed export.
void FindMinMax(const float *first, int32_t count, float &minimum, float &maximum);

} // namespace app::analysis

#endif
