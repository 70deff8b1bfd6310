#include "tooltips/mlogfont.h"

#include <cstring>

#include <QFont>

#include <gtest/gtest.h>

#include "tooltips/mtipapi.h"

namespace tooltips {
namespace {

TEST(MLogFontTest, HeightFromTheWholePointSize)
{
    const DeviceContext dc{96};
    struct Case
    {
        double points;
        int32_t height;
    };
    // The point size rounds half to even before the multiply-divide.
    for (const Case &c : {Case{8.25, -11}, Case{8.5, -11}, Case{9.5, -13}, Case{12, -16}}) {
        QFont font(QStringLiteral("Arial"));
        font.setPointSizeF(c.points);
        LogFont lf;
        StdFontToLogFont(font, dc, lf);
        EXPECT_EQ(lf.lfHeight, c.height) << c.points;
    }
}

TEST(MLogFontTest, StyleAndFaceName)
{
    QFont font(QStringLiteral("Caf\u00e9 Sans With A Very Long Family Name Beyond Limits"));
    font.setPointSize(10);
    font.setBold(true);
    font.setItalic(true);
    font.setUnderline(true);
    LogFont lf;
    StdFontToLogFont(font, DeviceContext{96}, lf);
    EXPECT_EQ(lf.lfWeight, 700);
    EXPECT_EQ(lf.lfItalic, 1);
    EXPECT_EQ(lf.lfUnderline, 1);
    EXPECT_EQ(lf.lfStrikeOut, 0);
    // 31 ANSI bytes and the closing zero; the e acute is one byte.
    EXPECT_EQ(std::strlen(lf.lfFaceName.data()), 31u);
    EXPECT_EQ(static_cast<uint8_t>(lf.lfFaceName[3]), 0xE9);
    EXPECT_EQ(CreateFontIndirect(lf).pixelSize(), 13);
}

} // namespace
} // namespace tooltips
