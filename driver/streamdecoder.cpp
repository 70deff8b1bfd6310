#include "driver/streamdecoder.h"

#include <algorithm>
#include <bit>
#include <cstring>

namespace driver {

namespace {

constexpr uint8_t StartBit = 0x80;

bool isFrameStart(uint8_t byte)
{
    return (byte & StartBit) != 0;
}

// The first index in [from, to) holding a frame start, else `to`.
size_t nextFrameStart(const uint8_t *bytes, size_t from, size_t to)
{
    while (from < to && !isFrameStart(bytes[from]))
        ++from;
    return from;
}

float scaled(const Scaling &scaling, float raw)
{
    return static_cast<float>(static_cast<double>(scaling.gain) * raw -
                              static_cast<double>(scaling.offset));
}

} // namespace

StreamDecoder::StreamDecoder() : buffer_(BufferSize) {}

float StreamDecoder::rawValue(const uint8_t *frame)
{
    const uint8_t head = frame[0];
    uint32_t bits = 0;
    for (int k = 0; k < 4; ++k) {
        // Byte 0 carries bit 7 of value byte k+1 in bit 3-k.
        const uint32_t top = (head >> (3 - k)) & 1u;
        const uint32_t byte = (frame[1 + k] & 0x7Fu) | (top << 7);
        bits |= byte << (8 * k);
    }
    return std::bit_cast<float>(bits);
}

void StreamDecoder::commit(size_t received, const Scaling &scaling, std::vector<Reading> &out)
{
    const size_t n = pending_ + std::min(received, freeRoom());
    const uint8_t *bytes = buffer_.data();

    size_t p = 0;
    if (sync_ == Sync::Searching) {
        // Noise before the first frame start costs one event a byte; the last byte is left for
        // the next read, which may show it to be a frame start.
        while (p + 1 < n && !isFrameStart(bytes[p])) {
            out.push_back({0, SkippedByteEvent});
            ++p;
        }
        if (p < n && isFrameStart(bytes[p]))
            sync_ = Sync::InStep;
    } else if (sync_ == Sync::Resyncing) {
        // The rest of an out-of-step run that the previous read ended in.
        p = nextFrameStart(bytes, 0, n);
        if (p < n)
            sync_ = Sync::InStep;
    }

    while (sync_ == Sync::InStep && p + FrameSize <= n) {
        // A frame that does not start here, or that holds the start of the next one (a byte was
        // lost), is out of step: its bytes belong to no reading and decoding goes on at the next
        // frame start, in this read or a later one.
        const size_t next = nextFrameStart(bytes, p + 1, std::min(p + FrameSize, n));
        if (!isFrameStart(bytes[p]) || next < p + FrameSize) {
            out.push_back({0, MalformedFrameEvent});
            p = nextFrameStart(bytes, next, n);
            if (p == n)
                sync_ = Sync::Resyncing;
            continue;
        }
        if (scaling.keepReadings) {
            const int32_t channel = ((bytes[p] >> 4) & 7) + 1;
            out.push_back({channel, scaled(scaling, rawValue(bytes + p))});
        }
        p += FrameSize;
    }

    pending_ = n - p;
    if (pending_ > 0 && p > 0)
        std::memmove(buffer_.data(), bytes + p, pending_);
}

void StreamDecoder::decode(std::span<const uint8_t> bytes, const Scaling &scaling,
                           std::vector<Reading> &out)
{
    const size_t count = std::min(bytes.size(), freeRoom());
    if (count > 0)
        std::memcpy(writeArea(), bytes.data(), count);
    commit(count, scaling, out);
}

} // namespace driver
