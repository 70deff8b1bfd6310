#ifndef TESTS_DRIVER_FRAMES_H
#define TESTS_DRIVER_FRAMES_H

// Stream frames as the module sends them, built from the frame layout on their own.

#include <bit>
#include <cstdint>
#include <initializer_list>
#include <string>
#include <vector>

namespace frames {

using Bytes = std::vector<uint8_t>;

// The frame of a raw value on a channel (1 to 8); byte 5 is a filler without bit 7.
inline Bytes frame(int channel, float raw)
{
    const uint32_t bits = std::bit_cast<uint32_t>(raw);
    Bytes out(6);
    out[0] = static_cast<uint8_t>(0x80 | ((channel - 1) << 4));
    for (int k = 0; k < 4; ++k) {
        const auto byte = static_cast<uint8_t>(bits >> (8 * k));
        out[1 + k] = byte & 0x7F;
        if (byte & 0x80)
            out[0] |= static_cast<uint8_t>(1 << (3 - k));
    }
    out[5] = 0x2A;
    return out;
}

inline Bytes join(std::initializer_list<Bytes> parts)
{
    Bytes out;
    for (const Bytes &part : parts)
        out.insert(out.end(), part.begin(), part.end());
    return out;
}

inline std::string text(const Bytes &bytes)
{
    return std::string(bytes.begin(), bytes.end());
}

} // namespace frames

#endif
