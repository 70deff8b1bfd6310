#include "app/analysis/pages/spectrum.h"

#include <array>
#include <cmath>

#include "app/analysis/circularbuffermodule.h"
#include "app/analysis/clsfourier.h"
#include "platform/vb/format.h"

namespace app::analysis::pages {

void LoadNewestReadings(app::analysis::clsFourier &fourier)
{
    fourier.setTransformReverse(false);
    fourier.setNumberOfSamples(SpectrumSamples);
    std::array<float, SpectrumSamples> readings{};
    app::analysis::BufferSeekBack(SpectrumSamples);
    app::analysis::BufferFill(readings);
    for (int i = 1; i <= SpectrumSamples; ++i) {
        const float reading = readings[static_cast<size_t>(i - 1)];
        fourier.setRealIn(i, std::isfinite(reading) ? reading : 0.0);
        fourier.setImagIn(i, 0.0);
    }
}

QString HertzText(double hertz)
{
    return platform::vb::Format(hertz, u"0Hz", platform::vb::NumberSeparators::invariant());
}

} // namespace app::analysis::pages
