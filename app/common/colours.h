#ifndef APP_COMMON_COLOURS_H
#define APP_COMMON_COLOURS_H

#include <cstdint>

#include "platform/win/syscolours.h"

namespace app::common {

using platform::win::OleColour;

// Channels of a colour 0x00BBGGRR; a system colour is looked up first.
int GetRed(OleColour colour);
int GetGreen(OleColour colour);
int GetBlue(OleColour colour);

// The larger (smaller) of two values; the second when they are equal.
int MaxOf(int a, int b);
int MinOf(int a, int b);

// Hue, lightness and saturation on a scale of 0 to 100 (a hue of 100 is 0 again); every
// rounding goes half to even. A grey has hue 67 and saturation 0.
void RGBToHSL(OleColour colour, int &h, int &l, int &s);
OleColour HSLToRGB(int32_t h, int32_t l, int32_t s);
// One channel (0 to 100) for a hue; brings hue into 0..100 in place.
int32_t HueToRGB(int m1, int m2, int32_t &hue);

// The colour with its lightness scaled by 1 + amount (at most 100), or reduced by
// lightness x amount (at least 0). An amount of 0 or less returns the colour as it is.
OleColour LightenColour(OleColour colour, float amount);
OleColour DarkenColour(OleColour colour, float amount);

// How well two colours stand apart, as the web's accessibility guidelines measure it: the
// lighter colour's relative luminance plus 0.05 over the darker one's, from 1 (the same) to
// 21 (black and white). Text wants 4.5 against its background, outlines and marks 3.
double ContrastRatio(OleColour a, OleColour b);
inline constexpr double TextContrast = 4.5;
inline constexpr double MarkContrast = 3.0;

} // namespace app::common

#endif
