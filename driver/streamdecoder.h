#ifndef DRIVER_STREAMDECODER_H
#define DRIVER_STREAMDECODER_H

#include <cstddef>
#include <cstdint>
#include <span>
#include <vector>

namespace driver {

// One record for the reading procedure: channel 1 to 8 for a reading, 0 for a stream event.
struct Reading
{
    int32_t channel = 0;
    float value = 0.0f;

    friend bool operator==(const Reading &, const Reading &) = default;
};

// Stream events (channel 0).
constexpr float SkippedByteEvent = 1.0f;
constexpr float MalformedFrameEvent = 2.0f;

// How raw stream values become readings: gain x raw - offset.
struct Scaling
{
    float gain = 0.0f;
    float offset = 0.0f;
    // False drops readings (no procedure registered or port not open); events are kept.
    bool keepReadings = true;
};

// Finds the module's 6-byte frames in the bytes of one device. The bytes of an unfinished frame
// stay at the front of the buffer and the next read lands after them. Whether the stream is in
// step is kept from read to read too, so the readings and events do not depend on how the bytes
// were split into reads.
class StreamDecoder
{
public:
    static constexpr size_t FrameSize = 6;
    static constexpr size_t BufferSize = 65536;

    StreamDecoder();

    // Where the next read lands, and how many bytes fit there.
    uint8_t *writeArea() { return buffer_.data() + pending_; }
    size_t freeRoom() const { return BufferSize - pending_; }

    // Decodes the pending bytes plus `received` bytes just written to writeArea(), appending
    // readings and events to `out` in stream order.
    void commit(size_t received, const Scaling &scaling, std::vector<Reading> &out);

    // Copies `bytes` (at most freeRoom()) in and decodes them; for callers without a device.
    void decode(std::span<const uint8_t> bytes, const Scaling &scaling, std::vector<Reading> &out);

    // Bytes of an unfinished frame kept for the next read (0 to 5).
    size_t pending() const { return pending_; }
    void reset()
    {
        pending_ = 0;
        sync_ = Sync::Searching;
    }

    // The raw IEEE-754 value of a frame starting at `frame` (6 bytes).
    static float rawValue(const uint8_t *frame);

private:
    // Searching: before the first frame start, each byte skipped is an event. InStep: at frame
    // boundaries. Resyncing: skipping an out-of-step run, already reported, to the next start.
    enum class Sync { Searching, InStep, Resyncing };

    std::vector<uint8_t> buffer_;
    size_t pending_ = 0;
    Sync sync_ = Sync::Searching;
};

} // namespace driver

#endif
