#ifndef APP_ANALYSIS_PAGES_SPECTRUM_H
#define APP_ANALYSIS_PAGES_SPECTRUM_H

#include <QString>

namespace app::analysis {
class clsFourier;
}

namespace app::analysis::pages {

// 4,096 readings of 0.2091 ms: one spectrum line is 1,000 / 856.4736 Hz.
constexpr int SpectrumSamples = 4096;
constexpr double SpectrumSpanMs = SpectrumSamples * 0.2091;

// Gives the newest 4,096 readings of the ring, oldest first, to a forward transform. A reading
// that is not finite goes in as 0, so that one bad reading cannot spoil every line.
void LoadNewestReadings(app::analysis::clsFourier &fourier);

// A frequency as the pages show it: whole hertz followed by "Hz".
QString HertzText(double hertz);

} // namespace app::analysis::pages

#endif
