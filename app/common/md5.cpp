#include "app/common/md5.h"

#include <array>
#include <bit>
#include <cstdint>

#include "platform/vb/cp1252.h"

namespace app::common {

namespace {

constexpr std::array<uint32_t, 64> Sines = {
    0xd76aa478, 0xe8c7b756, 0x242070db, 0xc1bdceee, 0xf57c0faf, 0x4787c62a, 0xa8304613, 0xfd469501,
    0x698098d8, 0x8b44f7af, 0xffff5bb1, 0x895cd7be, 0x6b901122, 0xfd987193, 0xa679438e, 0x49b40821,
    0xf61e2562, 0xc040b340, 0x265e5a51, 0xe9b6c7aa, 0xd62f105d, 0x02441453, 0xd8a1e681, 0xe7d3fbc8,
    0x21e1cde6, 0xc33707d6, 0xf4d50d87, 0x455a14ed, 0xa9e3e905, 0xfcefa3f8, 0x676f02d9, 0x8d2a4c8a,
    0xfffa3942, 0x8771f681, 0x6d9d6122, 0xfde5380c, 0xa4beea44, 0x4bdecfa9, 0xf6bb4b60, 0xbebfbc70,
    0x289b7ec6, 0xeaa127fa, 0xd4ef3085, 0x04881d05, 0xd9d4d039, 0xe6db99e5, 0x1fa27cf8, 0xc4ac5665,
    0xf4292244, 0x432aff97, 0xab9423a7, 0xfc93a039, 0x655b59c3, 0x8f0ccc92, 0xffeff47d, 0x85845dd1,
    0x6fa87e4f, 0xfe2ce6e0, 0xa3014314, 0x4e0811a1, 0xf7537e82, 0xbd3af235, 0x2ad7d2bb, 0xeb86d391};

constexpr std::array<int, 16> Shifts = {7, 12, 17, 22, 5, 9, 14, 20, 4, 11, 16, 23, 6, 10, 15, 21};

using State = std::array<uint32_t, 4>;

void transform(State &state, const uint8_t *block)
{
    std::array<uint32_t, 16> x{};
    for (int i = 0; i < 16; ++i) {
        x[i] = uint32_t(block[4 * i]) | uint32_t(block[4 * i + 1]) << 8 |
               uint32_t(block[4 * i + 2]) << 16 | uint32_t(block[4 * i + 3]) << 24;
    }
    uint32_t a = state[0], b = state[1], c = state[2], d = state[3];
    for (int i = 0; i < 64; ++i) {
        const int round = i / 16;
        uint32_t f = 0;
        int g = 0;
        switch (round) {
        case 0:
            f = (b & c) | (~b & d);
            g = i;
            break;
        case 1:
            f = (d & b) | (~d & c);
            g = (5 * i + 1) % 16;
            break;
        case 2:
            f = b ^ c ^ d;
            g = (3 * i + 5) % 16;
            break;
        default:
            f = c ^ (b | ~d);
            g = (7 * i) % 16;
            break;
        }
        const uint32_t next = d;
        d = c;
        c = b;
        b = b + std::rotl(a + f + Sines[i] + x[g], Shifts[round * 4 + i % 4]);
        a = next;
    }
    state[0] += a;
    state[1] += b;
    state[2] += c;
    state[3] += d;
}

} // namespace

QString MD5Salt()
{
    return QStringLiteral("~\u00A5;<,<&");
}

QString MD5Hex(QByteArrayView bytes)
{
    State state = {0x67452301, 0xefcdab89, 0x98badcfe, 0x10325476};
    const auto *data = reinterpret_cast<const uint8_t *>(bytes.data());
    const qsizetype size = bytes.size();
    qsizetype done = 0;
    for (; size - done >= 64; done += 64) {
        transform(state, data + done);
    }
    // The tail, the 1 bit, zeros up to 56 mod 64, then the length in bits (little-endian).
    std::array<uint8_t, 128> tail{};
    const qsizetype rest = size - done;
    for (qsizetype i = 0; i < rest; ++i) {
        tail[i] = data[done + i];
    }
    tail[rest] = 0x80;
    const qsizetype tailSize = rest < 56 ? 64 : 128;
    const uint64_t bits = static_cast<uint64_t>(size) * 8;
    for (int i = 0; i < 8; ++i) {
        tail[tailSize - 8 + i] = static_cast<uint8_t>(bits >> (8 * i));
    }
    for (qsizetype block = 0; block < tailSize; block += 64) {
        transform(state, tail.data() + block);
    }

    static constexpr char Hex[] = "0123456789abcdef";
    QString digest;
    digest.reserve(32);
    for (uint32_t word : state) {
        for (int i = 0; i < 4; ++i) {
            const auto byte = static_cast<uint8_t>(word >> (8 * i));
            digest.append(QLatin1Char(Hex[byte >> 4]));
            digest.append(QLatin1Char(Hex[byte & 0xF]));
        }
    }
    return digest;
}

QString MD5Text(const QString &text)
{
    return MD5Hex(platform::vb::toCp1252(text));
}

QString SaltedMD5(const QString &text)
{
    return MD5Text(MD5Salt() + text);
}

} // namespace app::common
