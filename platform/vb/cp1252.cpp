#include "platform/vb/cp1252.h"

#include <array>

namespace platform::vb {

namespace {

// 0x80 to 0x9F; the rest of the code page is Latin-1.
constexpr std::array<char16_t, 32> HighControls = {
    0x20AC, 0x0081, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021, 0x02C6, 0x2030, 0x0160,
    0x2039, 0x0152, 0x008D, 0x017D, 0x008F, 0x0090, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022,
    0x2013, 0x2014, 0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0x009D, 0x017E, 0x0178};

constexpr uint8_t Unmapped = '?';

// The byte of a character, or -1.
int byteOf(char32_t c)
{
    if (c < 0x80 || (c >= 0xA0 && c <= 0xFF)) {
        return static_cast<int>(c);
    }
    for (size_t i = 0; i < HighControls.size(); ++i) {
        if (HighControls[i] == c) {
            return static_cast<int>(0x80 + i);
        }
    }
    return -1;
}

// Calls f with each code point of the text; an unpaired surrogate is passed as it stands.
template <typename F>
void forEachCodePoint(QStringView text, F f)
{
    for (qsizetype i = 0; i < text.size(); ++i) {
        const QChar c = text[i];
        if (c.isHighSurrogate() && i + 1 < text.size() && text[i + 1].isLowSurrogate()) {
            f(QChar::surrogateToUcs4(c, text[i + 1]));
            ++i;
        } else {
            f(static_cast<char32_t>(c.unicode()));
        }
    }
}

} // namespace

uint8_t toCp1252Byte(char32_t character)
{
    const int b = byteOf(character);
    return b < 0 ? Unmapped : static_cast<uint8_t>(b);
}

char16_t fromCp1252Byte(uint8_t byte)
{
    if (byte >= 0x80 && byte < 0xA0) {
        return HighControls[byte - 0x80];
    }
    return byte;
}

QByteArray toCp1252(QStringView text)
{
    QByteArray bytes;
    bytes.reserve(text.size());
    forEachCodePoint(text, [&](char32_t c) { bytes.append(static_cast<char>(toCp1252Byte(c))); });
    return bytes;
}

QString fromCp1252(QByteArrayView bytes)
{
    QString text(bytes.size(), Qt::Uninitialized);
    for (qsizetype i = 0; i < bytes.size(); ++i) {
        text[i] = QChar(fromCp1252Byte(static_cast<uint8_t>(bytes[i])));
    }
    return text;
}

bool fitsCp1252(QStringView text)
{
    bool fits = true;
    forEachCodePoint(text, [&](char32_t c) { fits = fits && byteOf(c) >= 0; });
    return fits;
}

} // namespace platform::vb
