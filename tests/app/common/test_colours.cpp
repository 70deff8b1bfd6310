#include "app/common/colours.h"

#include <gtest/gtest.h>

namespace {

using namespace app::common;

TEST(Channels, SplitTheColour)
{
    EXPECT_EQ(GetRed(0x123456), 0x56);
    EXPECT_EQ(GetGreen(0x123456), 0x34);
    EXPECT_EQ(GetBlue(0x123456), 0x12);
    // Bit 24 belongs to no channel.
    EXPECT_EQ(GetGreen(0x01FFFFFF), 0xFF);
    EXPECT_EQ(GetBlue(0x01FFFFFF), 0xFF);
    // A system colour is looked up: button face (15) is 240, 240, 240.
    EXPECT_EQ(GetRed(0x8000000F), 240);
    EXPECT_EQ(GetGreen(0x8000000F), 240);
    EXPECT_EQ(GetBlue(0x8000000F), 240);
    EXPECT_EQ(MaxOf(3, 7), 7);
    EXPECT_EQ(MinOf(3, 7), 3);
}

struct HslCase
{
    OleColour colour;
    int h, l, s;
};

void PrintTo(const HslCase &c, std::ostream *os)
{
    *os << std::hex << c.colour;
}

class Hsl : public testing::TestWithParam<HslCase>
{};

TEST_P(Hsl, RgbToHsl)
{
    int h = -1;
    int l = -1;
    int s = -1;
    RGBToHSL(GetParam().colour, h, l, s);
    EXPECT_EQ(h, GetParam().h);
    EXPECT_EQ(l, GetParam().l);
    EXPECT_EQ(s, GetParam().s);
}

INSTANTIATE_TEST_SUITE_P(
    Colours, Hsl,
    testing::Values(HslCase{0xFFFFFF, 67, 100, 0}, HslCase{0x000000, 67, 0, 0},
                    HslCase{0x0000FF, 0, 50, 100}, // lightness 50.5 rounds to even
                    HslCase{0x00FF00, 33, 50, 100}, HslCase{0xFF0000, 67, 50, 100},
                    HslCase{0x808080, 67, 51, 0}, HslCase{0xFF00FF, 83, 50, 100},
                    HslCase{0x8000000F, 67, 95, 0}));

TEST(Hsl, BackToRgb)
{
    EXPECT_EQ(HSLToRGB(0, 50, 100), 0x0000FFu); // red 256 counts as 255
    EXPECT_EQ(HSLToRGB(67, 100, 0), 0xFFFFFFu);
    EXPECT_EQ(HSLToRGB(67, 0, 0), 0x000000u);
    EXPECT_EQ(HSLToRGB(67, -5, 0), 0x000000u);
    EXPECT_EQ(HSLToRGB(67, 50, 0), 0x808080u); // 127.5 rounds to the even 128
    EXPECT_EQ(HSLToRGB(67, 50, 100), 0xFF0000u);
}

TEST(Hsl, HueWrapsInPlace)
{
    int32_t hue = -10;
    EXPECT_EQ(HueToRGB(0, 100, hue), 0);
    EXPECT_EQ(hue, 90);
    hue = 130;
    EXPECT_EQ(HueToRGB(0, 100, hue), 100);
    EXPECT_EQ(hue, 30);
    hue = 8; // (100 x 8 + 8.33) / 16.67 = 48.5: half to even
    EXPECT_EQ(HueToRGB(0, 100, hue), 48);
}

TEST(Lightness, LightenAndDarken)
{
    // 0xCCCCCC has lightness 80.
    int h = 0;
    int l = 0;
    int s = 0;
    RGBToHSL(0xCCCCCC, h, l, s);
    ASSERT_EQ(l, 80);
    EXPECT_EQ(LightenColour(0xCCCCCC, 0.5f), 0xFFFFFFu);
    EXPECT_EQ(DarkenColour(0xCCCCCC, 1.0f), 0x000000u);
    EXPECT_EQ(DarkenColour(0xCCCCCC, 0.5f), HSLToRGB(67, 40, 0));
    EXPECT_EQ(LightenColour(0x8000000F, 0.0f), 0x8000000Fu);
    EXPECT_EQ(DarkenColour(0x123456, -1.0f), 0x123456u);
    EXPECT_EQ(LightenColour(0x123456, 1e30f), 0xFFFFFFu);
    // A saturated colour keeps its hue.
    RGBToHSL(DarkenColour(0x0000FF, 0.5f), h, l, s);
    EXPECT_EQ(h, 0);
    EXPECT_EQ(s, 100);
}

TEST(Contrast, RatiosOfKnownPairs)
{
    EXPECT_DOUBLE_EQ(ContrastRatio(0x000000, 0xFFFFFF), 21.0);
    EXPECT_DOUBLE_EQ(ContrastRatio(0xFFFFFF, 0x000000), 21.0); // order does not matter
    EXPECT_DOUBLE_EQ(ContrastRatio(0x2D2723, 0x2D2723), 1.0);
    // Mid grey #777777 on white sits just under the text threshold, #767676 just over it.
    EXPECT_LT(ContrastRatio(0x777777, 0xFFFFFF), TextContrast);
    EXPECT_GT(ContrastRatio(0x767676, 0xFFFFFF), TextContrast);
    // Channels are read 0x00BBGGRR: pure red and pure blue differ in luminance.
    EXPECT_NEAR(ContrastRatio(0x0000FF, 0x000000), 5.25, 0.01);
    EXPECT_NEAR(ContrastRatio(0xFF0000, 0x000000), 2.44, 0.01);
    // A system colour is looked up first: button face (240, 240, 240) on black.
    EXPECT_NEAR(ContrastRatio(0x8000000F, 0x000000), ContrastRatio(0xF0F0F0, 0x000000), 1e-12);
}

} // namespace
