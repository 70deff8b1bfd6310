#include "app/common/colours.h"

#include <algorithm>
#include <cmath>

namespace app::common {

namespace {

using platform::win::translateColour;

// Nearest whole number, halves to the even neighbour (the default rounding mode).
double roundEven(double value)
{
    return std::nearbyint(value);
}

constexpr double Sixth = 100.0 / 6.0;
constexpr double Third = 100.0 / 3.0;
constexpr double TwoThirds = 200.0 / 3.0;

int channelByte(double value)
{
    // A full channel of 100 gives 255.5, which rounds to 256: it counts as 255.
    return std::clamp(int(roundEven((value * 255.0 + 50.0) / 100.0)), 0, 255);
}

OleColour rgb(int r, int g, int b)
{
    return OleColour(r) | (OleColour(g) << 8) | (OleColour(b) << 16);
}

// The colour again with its lightness changed by newLightness; an amount of 0 or less keeps it.
template <typename Change>
OleColour withLightness(OleColour colour, float amount, Change newLightness)
{
    if (amount <= 0)
        return colour;
    int h = 0;
    int l = 0;
    int s = 0;
    RGBToHSL(colour, h, l, s);
    return HSLToRGB(h, int(newLightness(double(l), double(amount))), s);
}

} // namespace

int GetRed(OleColour colour)
{
    return int(translateColour(colour) & 0xFFu);
}
int GetGreen(OleColour colour)
{
    return int((translateColour(colour) & 0xFF00u) >> 8);
}
int GetBlue(OleColour colour)
{
    return int((translateColour(colour) & 0xFF0000u) >> 16);
}

int MaxOf(int a, int b)
{
    return a > b ? a : b;
}
int MinOf(int a, int b)
{
    return a < b ? a : b;
}

void RGBToHSL(OleColour colour, int &h, int &l, int &s)
{
    const int r = GetRed(colour);
    const int g = GetGreen(colour);
    const int b = GetBlue(colour);
    const int max = MaxOf(MaxOf(r, g), b);
    const int min = MinOf(MinOf(r, g), b);
    const double sum = max + min;
    const double diff = max - min;
    // The unrounded lightness chooses the saturation formula (pure red: 50.5).
    const double lightness = (sum * 100.0 + 255.0) / 510.0;
    l = int(roundEven(lightness));
    if (max == min) {
        s = 0;
        h = 67;
        return;
    }
    const double saturation =
        lightness <= 50.0 ? (diff * 100.0 + 0.5) / sum : (diff * 100.0 + 0.5) / (510.0 - sum);
    const double rd = (Sixth * (max - r) + 0.5) / diff;
    const double gd = (Sixth * (max - g) + 0.5) / diff;
    const double bd = (Sixth * (max - b) + 0.5) / diff;
    double hue = 0;
    if (r == max)
        hue = bd - gd;
    else if (g == max)
        hue = Third + rd - bd;
    else
        hue = TwoThirds + gd - rd;
    if (hue < 0)
        hue += 100.0;
    h = int(roundEven(hue));
    s = int(roundEven(saturation));
}

int32_t HueToRGB(int m1, int m2, int32_t &hue)
{
    if (hue < 0)
        hue += 100;
    if (hue > 100)
        hue -= 100;
    if (hue < 17)
        return int32_t(roundEven(m1 + ((m2 - m1) * double(hue) + 100.0 / 12.0) / Sixth));
    if (hue < 50)
        return m2;
    if (hue < 67)
        return int32_t(roundEven(m1 + ((TwoThirds - hue) * (m2 - m1) + 100.0 / 12.0) / Sixth));
    return m1;
}

OleColour HSLToRGB(int32_t h, int32_t l, int32_t s)
{
    // Out-of-scale arguments are meaningless; bounding them keeps the arithmetic defined.
    l = std::clamp(l, 0, 100);
    s = std::clamp(s, 0, 100);
    h = std::clamp(h, -1000, 1000);
    if (s == 0) {
        const int grey = std::clamp(int(roundEven(l * 255.0 / 100.0)), 0, 255);
        return rgb(grey, grey, grey);
    }
    const double m2Exact =
        l <= 50 ? ((100.0 + s) * l + 50.0) / 100.0 : l + s - (double(l) * s + 50.0) / 100.0;
    const int m2 = int(roundEven(m2Exact));
    const int m1 = 2 * l - m2;
    int32_t redHue = int32_t(roundEven(h + Third));
    int32_t greenHue = h;
    int32_t blueHue = int32_t(roundEven(h - Third));
    const int red = channelByte(HueToRGB(m1, m2, redHue));
    const int green = channelByte(HueToRGB(m1, m2, greenHue));
    const int blue = channelByte(HueToRGB(m1, m2, blueHue));
    return rgb(red, green, blue);
}

OleColour LightenColour(OleColour colour, float amount)
{
    return withLightness(colour, amount, [](double l, double amount) {
        return std::min(100.0, roundEven(l * (1.0 + amount)));
    });
}

OleColour DarkenColour(OleColour colour, float amount)
{
    return withLightness(colour, amount, [](double l, double amount) {
        return std::max(0.0, roundEven(l - l * amount));
    });
}

namespace {

// sRGB channel to linear light.
double linear(int channel)
{
    const double v = channel / 255.0;
    return v <= 0.04045 ? v / 12.92 : std::pow((v + 0.055) / 1.055, 2.4);
}

double relativeLuminance(OleColour colour)
{
    return 0.2126 * linear(GetRed(colour)) + 0.7152 * linear(GetGreen(colour)) +
           0.0722 * linear(GetBlue(colour));
}

} // namespace

double ContrastRatio(OleColour a, OleColour b)
{
    const double la = relativeLuminance(a);
    const double lb = relativeLuminance(b);
    return (std::max(la, lb) + 0.05) / (std::min(la, lb) + 0.05);
}

} // namespace app::common
