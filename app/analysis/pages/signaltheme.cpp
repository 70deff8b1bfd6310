#include "app/analysis/pages/signaltheme.h"

#include <algorithm>

#include "app/shell/brandingmodule.h"

namespace app::analysis::pages {

namespace {

using app::shell::BrandColour;

OleColour themeColour(BrandColour which)
{
    const app::shell::Branding &branding = app::shell::CurrentBranding();
    // A branding that never loaded leaves every colour 0.
    const bool loaded = std::any_of(branding.colours.begin(), branding.colours.end(),
                                    [](uint32_t colour) { return colour != 0; });
    return loaded ? branding.colour(which)
                  : app::shell::BuiltInPalette()[static_cast<size_t>(which)];
}

} // namespace

OleColour SignalTheme::chartFrame()
{
    return themeColour(BrandColour::Back);
}

OleColour SignalTheme::chartPlot()
{
    return themeColour(BrandColour::DisplayBack);
}

OleColour SignalTheme::chartMarks()
{
    return themeColour(BrandColour::Live);
}

OleColour SignalTheme::sliderFore()
{
    return themeColour(BrandColour::ButtonBackDown);
}

OleColour SignalTheme::sliderDisabled()
{
    return themeColour(BrandColour::ButtonBackDisabled);
}

OleColour SignalTheme::rangeTrack()
{
    // The display background is the page's own colour: a narrowed thumb then floats on nothing.
    return themeColour(BrandColour::ButtonBack);
}

OleColour SignalTheme::text()
{
    return themeColour(BrandColour::Text);
}

} // namespace app::analysis::pages
