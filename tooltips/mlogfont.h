#ifndef TOOLTIPS_MLOGFONT_H
#define TOOLTIPS_MLOGFONT_H

#include <array>
#include <cstdint>

class QFont;

namespace tooltips {

struct DeviceContext;

// A platform font description.
struct LogFont
{
    int32_t lfHeight = 0; // negative: the character height in pixels
    int32_t lfWidth = 0;
    int32_t lfEscapement = 0;
    int32_t lfOrientation = 0;
    int32_t lfWeight = 400;
    uint8_t lfItalic = 0;
    uint8_t lfUnderline = 0;
    uint8_t lfStrikeOut = 0;
    uint8_t lfCharSet = 0;
    uint8_t lfOutPrecision = 0;
    uint8_t lfClipPrecision = 0;
    uint8_t lfQuality = 0;
    uint8_t lfPitchAndFamily = 0;
    std::array<char, 32> lfFaceName{}; // ANSI, zero-terminated
};

// The description of a font for a device context: the face in at most 31 ANSI bytes, the
// height from the whole point size and the context's vertical pixels per inch.
void StdFontToLogFont(const QFont &font, const DeviceContext &dc, LogFont &lf);

// The font a description makes.
QFont CreateFontIndirect(const LogFont &lf);

} // namespace tooltips

#endif
