#ifndef APP_CONTROLS_TWIPS_H
#define APP_CONTROLS_TWIPS_H

#include <cmath>

namespace app::controls {

// Geometry formulas work in twips; widgets take pixels. One logical pixel is 15 twips.
constexpr int TwipsPerPixel = 15;

// Twips to whole pixels, halves to even.
inline int toPixels(double twips)
{
    return static_cast<int>(std::nearbyint(twips / TwipsPerPixel));
}

inline double toTwips(int pixels)
{
    return static_cast<double>(pixels) * TwipsPerPixel;
}

} // namespace app::controls

#endif
