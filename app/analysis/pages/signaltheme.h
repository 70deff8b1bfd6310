#ifndef APP_ANALYSIS_PAGES_SIGNALTHEME_H
#define APP_ANALYSIS_PAGES_SIGNALTHEME_H

#include "platform/win/syscolours.h"

namespace app::analysis::pages {

using platform::win::OleColour;

// The branding colours the signal pages give their charts, sliders and range selector: the
// loaded branding's, or the program's own palette while none is loaded.
struct SignalTheme
{
    static OleColour chartFrame();     // around the plot: the window background
    static OleColour chartPlot();      // the plot area: the display background
    static OleColour chartMarks();     // cursors and labels: the live-reading colour
    static OleColour sliderFore();     // handle, track and thumb: the pressed-button colour
    static OleColour sliderDisabled(); // the disabled-button colour
    static OleColour rangeTrack();     // the range selector's track: the resting-button colour
    static OleColour text();           // captions of plain controls: the body text colour
};

} // namespace app::analysis::pages

#endif
