// The stream decoder finds the same readings and events however the bytes are split into reads.

#include <cstdint>
#include <cstring>
#include <span>
#include <vector>

#include "driver/streamdecoder.h"
#include "fuzz/fuzzcheck.h"

namespace {

using driver::Reading;
using driver::StreamDecoder;

bool sameRecords(const std::vector<Reading> &a, const std::vector<Reading> &b)
{
    if (a.size() != b.size())
        return false;
    for (size_t i = 0; i < a.size(); ++i) {
        // Bit for bit: a NaN reading must come out as the same NaN.
        if (a[i].channel != b[i].channel ||
            std::memcmp(&a[i].value, &b[i].value, sizeof(float)) != 0)
            return false;
    }
    return true;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    if (size < 2)
        return 0;
    // The first two bytes choose the read sizes and whether readings are kept.
    uint32_t split = data[0] * 256u + data[1] + 1;
    const driver::Scaling scaling{1.5f, 0.25f, (data[0] & 1) != 0};
    const std::span<const uint8_t> stream(data + 2, size - 2);

    StreamDecoder whole;
    std::vector<Reading> expected;
    whole.decode(stream, scaling, expected);

    // The same bytes in reads of 1 to 13 bytes, half through the device path (commit).
    StreamDecoder pieces;
    std::vector<Reading> got;
    for (size_t at = 0; at < stream.size();) {
        split = split * 1103515245u + 12345u;
        const size_t length = std::min<size_t>(1 + (split >> 16) % 13, stream.size() - at);
        if (split & 0x100) {
            std::memcpy(pieces.writeArea(), stream.data() + at, length);
            pieces.commit(length, scaling, got);
        } else {
            pieces.decode(stream.subspan(at, length), scaling, got);
        }
        at += length;
    }
    fuzzing::check(sameRecords(expected, got), "records do not depend on how reads split");
    fuzzing::check(whole.pending() == pieces.pending(), "the same unfinished frame is kept");
    fuzzing::check(whole.pending() < StreamDecoder::FrameSize, "less than a frame is kept");
    return 0;
}
