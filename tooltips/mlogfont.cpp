#include "tooltips/mlogfont.h"

#include <algorithm>
#include <cmath>

#include <QFont>

#include "platform/vb/convert.h"
#include "platform/vb/cp1252.h"
#include "tooltips/mtipapi.h"

namespace tooltips {

namespace {

constexpr int PointsPerInch = 72;
constexpr int BoldWeight = 700;
constexpr int NormalWeight = 400;

// a * b / c rounded to the nearest whole number, halves away from zero.
int32_t mulDiv(int64_t a, int64_t b, int64_t c)
{
    return static_cast<int32_t>(std::llround(static_cast<double>(a * b) / static_cast<double>(c)));
}

} // namespace

void StdFontToLogFont(const QFont &font, const DeviceContext &dc, LogFont &lf)
{
    const QByteArray face = platform::vb::toCp1252(font.family()).left(31);
    lf.lfFaceName.fill('\0');
    std::copy(face.begin(), face.end(), lf.lfFaceName.begin());
    const int16_t points = platform::vb::CInt(font.pointSizeF());
    lf.lfHeight = -mulDiv(points, dc.logPixelsY, PointsPerInch);
    lf.lfItalic = font.italic() ? 1 : 0;
    lf.lfUnderline = font.underline() ? 1 : 0;
    lf.lfStrikeOut = font.strikeOut() ? 1 : 0;
    lf.lfWeight = font.bold() ? BoldWeight : NormalWeight;
    lf.lfCharSet = 0;
}

QFont CreateFontIndirect(const LogFont &lf)
{
    const auto end = std::find(lf.lfFaceName.begin(), lf.lfFaceName.end(), '\0');
    QFont font(platform::vb::fromCp1252(
        QByteArrayView(lf.lfFaceName.data(), std::distance(lf.lfFaceName.begin(), end))));
    if (lf.lfHeight != 0)
        font.setPixelSize(std::abs(lf.lfHeight));
    font.setBold(lf.lfWeight >= BoldWeight);
    font.setItalic(lf.lfItalic != 0);
    font.setUnderline(lf.lfUnderline != 0);
    font.setStrikeOut(lf.lfStrikeOut != 0);
    return font;
}

} // namespace tooltips
