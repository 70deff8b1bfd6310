#ifndef TESTS_APP_ANALYSIS_PAGES_SIGNALPAGETEST_H
#define TESTS_APP_ANALYSIS_PAGES_SIGNALPAGETEST_H

// The signal pages over a ring the test fills itself: the stream counts as running, no port is
// open, and every chart a page makes is a recording double.

#include <cmath>
#include <cstdint>
#include <functional>
#include <memory>

#include <gtest/gtest.h>

#include "app/analysis/circularbuffermodule.h"
#include "app/device/drv_hxr.h"
#include "support/recordingchart.h"

namespace signalpagetests {

constexpr double Pi = 3.14159265358979323846;

// count readings, value(i) for i = 0, 1, ...
inline void putReadings(int32_t count, const std::function<float(int32_t)> &value)
{
    for (int32_t i = 0; i < count; ++i)
        app::analysis::BufferPut(value(i));
}

// A sine of the given frequency at 4,800 readings a second.
inline std::function<float(int32_t)> sine(double hertz, double amplitude = 1.0)
{
    return [=](int32_t i) {
        return static_cast<float>(amplitude * std::sin(2.0 * Pi * hertz * i / 4800.0));
    };
}

// A square wave of exactly 0.0 and 50.0, `half` readings each, starting high.
inline std::function<float(int32_t)> square(int32_t half)
{
    return [=](int32_t i) { return (i / half) % 2 == 0 ? 50.0f : 0.0f; };
}

class SignalPageTest : public testing::Test
{
protected:
    void SetUp() override
    {
        app::device::setStreamRunning(true);
        app::analysis::ResetBuffer();
    }
    void TearDown() override
    {
        app::device::setStreamRunning(false);
        app::analysis::ResetBuffer();
    }

    testsupport::InstallRecordingCharts charts;
};

} // namespace signalpagetests

#endif
