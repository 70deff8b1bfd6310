#include <cmath>
#include <cstdint>
#include <ios>
#include <map>
#include <memory>
#include <vector>

#include <QLabel>
#include <QPlainTextEdit>
#include <QTemporaryDir>
#include <QTimer>

#include <gmock/gmock.h>

#include "app/analysis/circularbuffermodule.h"
#include "app/analysis/csvmodule.h"
#include "app/analysis/pages/child_gen_capture.h"
#include "app/analysis/pages/child_gen_review.h"
#include "app/analysis/pages/signalchart.h"
#include "app/analysis/snapshotmodule.h"
#include "app/common/colours.h"
#include "app/controls/slider.h"
#include "app/controls/vxbtn.h"
#include "app/pages/pagefixture.h"
#include "app/shell/devicecontrol.h"
#include "app/shell/menucontrol.h"
#include "signalpagetest.h"

namespace app::analysis::pages {
namespace {

using app::analysis::chart::OleColour;
using signalpagetests::putReadings;
using testsupport::ChartCall;
using M = testsupport::ChartMember;
using testsupport::RecordingChart;

class CapturePageTest : public signalpagetests::SignalPageTest
{
protected:
    void SetUp() override
    {
        SignalPageTest::SetUp();
        app::shell::SetHelpArea({nullptr, nullptr, nullptr, &extraInfo});
        page = std::make_unique<CHILD_GEN_CAPTURE>();
        chart = charts.latest();
        ASSERT_NE(chart, nullptr);
        page->NTTrend().widget()->resize(600, 300);
        page->Activated();
        page->TrendTimer()->stop(); // the test runs the ticks itself
        page->Timer1()->stop();
    }
    void TearDown() override
    {
        page.reset();
        app::shell::SetHelpArea({});
        SignalPageTest::TearDown();
    }

    // The trend's values of the last redraw (element 1).
    std::vector<double> trend() const
    {
        std::vector<double> ys;
        for (const ChartCall &call : chart->callsOf(M::PlotY))
            if (call.args.at(1).toInt() == 1)
                ys.push_back(call.args.at(0).toDouble());
        return ys;
    }
    void redraw()
    {
        chart->log.clear();
        page->TrendRedraw();
    }
    QVariantList lastRange() const { return chart->callsOf(M::SetRange).back().args; }

    QPlainTextEdit extraInfo;
    std::unique_ptr<CHILD_GEN_CAPTURE> page;
    RecordingChart *chart = nullptr;
};

TEST_F(CapturePageTest, StepAndCountFollowTheWindowAndTheMode)
{
    putReadings(150'000, signalpagetests::sine(5, 10.0));
    struct Case
    {
        float window;
        bool detect;
        int32_t step;
        int32_t count;
        size_t points;
    };
    const Case cases[] = {
        {10'000, false, 79, 47'953, 607}, {10'000, true, 159, 47'859, 602},
        {1'000, false, 7, 4'795, 685},    {1'000, true, 15, 4'800, 640},
        {30'000, false, 239, 143'878, 602}, {30'000, true, 479, 143'700, 600},
    };
    for (const Case &c : cases) {
        page->Slider1()->setValue(c.window);
        page->Detect()->setState(c.detect);
        redraw();
        EXPECT_EQ(page->lastStep(), c.step) << c.window << " " << c.detect;
        EXPECT_EQ(page->lastCount(), c.count) << c.window << " " << c.detect;
        EXPECT_EQ(trend().size(), c.points) << c.window << " " << c.detect;
        // x always runs to the last point.
        EXPECT_EQ(lastRange().at(1).toDouble(), double(c.points - 1)) << c.window;
    }
    EXPECT_EQ(page->Slider1Tag(), QStringLiteral("30000"));
    EXPECT_EQ(page->Timescale()->Caption(), QStringLiteral("Live: 30 secs view"));
}

TEST_F(CapturePageTest, NothingIsPlottedWithoutReadings)
{
    redraw();
    EXPECT_TRUE(trend().empty());
    EXPECT_EQ(chart->countOf(M::SetRange), 0);
}

TEST_F(CapturePageTest, NeverReadsFromBeforeTheReset)
{
    putReadings(100'000, [](int32_t) { return -50.0f; });
    app::analysis::ResetBuffer();
    // 47,953 is 607 steps of 79: the window takes every reading recorded since the reset.
    putReadings(47'953, [](int32_t) { return 5.0f; });
    redraw();
    ASSERT_EQ(page->lastCount(), 47'953);
    for (double y : trend())
        ASSERT_EQ(y, 5.0);
}

TEST_F(CapturePageTest, ZeroBlockMinimaGiveAMinimumOfZero)
{
    putReadings(60'000, signalpagetests::square(50));
    page->Detect()->setState(true);
    redraw();
    EXPECT_EQ(lastRange().at(2).toDouble(), -2.5); // 0 - 50 / 20
    EXPECT_EQ(lastRange().at(3).toDouble(), 52.5);
}

TEST_F(CapturePageTest, RunningExtremesDrawLinesAcrossTheTrendAndFillThePanel)
{
    putReadings(60'000, signalpagetests::sine(5, 10.0));
    page->MinMax()->setState(true);
    page->minMaxClicked();
    EXPECT_EQ(page->runningMinimum(), 1.0e8f);
    redraw();
    const float high = page->runningMaximum();
    EXPECT_NEAR(high, 10.0, 0.01);
    std::vector<ChartCall> lines = chart->callsOf(M::PlotXY);
    ASSERT_EQ(lines.size(), 4u);
    EXPECT_EQ(lines[1].args.at(0).toDouble(), 606.0);
    EXPECT_EQ(lines[1].args.at(1).toDouble(), double(high));
    EXPECT_THAT(extraInfo.toPlainText().toStdString(), testing::HasSubstr("Max:"));

    // Auto off: x still follows the points, y stays as it was.
    const QVariantList before = lastRange();
    page->Auto()->setState(false);
    page->Slider1()->setValue(1000);
    redraw();
    EXPECT_EQ(lastRange().at(1).toDouble(), 684.0);
    EXPECT_EQ(lastRange().at(2), before.at(2));
}

TEST_F(CapturePageTest, TheExtremeLinesStandOutOnThePlotInRedAndBlue)
{
    putReadings(4'800, signalpagetests::sine(5, 10.0));
    page->MinMax()->setState(true);
    page->minMaxClicked();
    redraw();
    // The colour each line takes: the one given after its element is chosen.
    std::map<int, OleColour> colours;
    int element = 0;
    for (const ChartCall &call : chart->log) {
        if (call.member == M::setElement)
            element = call.args.at(0).toInt();
        else if (call.member == M::setElementLineColor)
            colours[element] = static_cast<OleColour>(call.args.at(0).toLongLong());
    }
    const OleColour plot = chart->plotAreaColor();
    ASSERT_EQ(colours.count(2), 1u);
    ASSERT_EQ(colours.count(3), 1u);
    for (int line : {2, 3})
        EXPECT_GE(app::common::ContrastRatio(colours[line], plot), app::common::MarkContrast)
            << "line " << line << " colour " << std::hex << colours[line];
    const auto channel = [](OleColour colour, int shift) { return (colour >> shift) & 0xFF; };
    EXPECT_EQ(colours[2], 0x0000FFu); // the maximum stays red
    const OleColour minimum = colours[3];
    EXPECT_GT(channel(minimum, 16), channel(minimum, 8)); // blue over green
    EXPECT_GT(channel(minimum, 8), channel(minimum, 0));  // green over red
}

TEST_F(CapturePageTest, RatioLeavesTheLabelOnAZeroDifference)
{
    putReadings(60'000, [](int32_t i) { return i % 2 ? 1.0f : 0.0f; });
    page->MinMax()->setState(true);
    page->minMaxClicked();
    redraw();
    page->RatioTick();
    EXPECT_EQ(page->Label1()->Caption(), QStringLiteral("1:6"));
    app::analysis::ResetBuffer();
    putReadings(60'000, [](int32_t) { return 3.0f; });
    page->minMaxClicked();
    redraw();
    page->RatioTick();
    EXPECT_EQ(page->Label1()->Caption(), QStringLiteral("1:6"));
}

// The pages opened from the module's page set, over the streaming simulated module.
class CaptureRoadTest : public pagetests::PageFixture
{
protected:
    static constexpr int CaptureButton = 4;
    static constexpr int ReviewButton = 5;
};

TEST_F(CaptureRoadTest, CaptureOpensReviewWithTheWindow)
{
    ASSERT_NE(connectModule(), nullptr);
    app::shell::SwitchPage(CaptureButton);
    auto *capture = static_cast<CHILD_GEN_CAPTURE *>(app::shell::CurrentPage());
    ASSERT_EQ(capture->objectName(), CHILD_GEN_CAPTURE::FormName);
    capture->TrendTimer()->stop();
    app::analysis::ResetBuffer();
    putReadings(60'000, signalpagetests::sine(5));
    capture->recordViewedClicked();
    EXPECT_EQ(currentPageName(), CHILD_GEN_REVIEW::FormName);
    EXPECT_EQ(host.selected, ReviewButton);
    EXPECT_EQ(app::analysis::CurrentSnapshot().upperBound(), 48'000); // 10,000 ms x 4.8
    auto *review = static_cast<CHILD_GEN_REVIEW *>(app::shell::CurrentPage());
    EXPECT_GT(review->sectionLength(), 0);
}

TEST_F(CaptureRoadTest, ReadingsKeepArrivingWhileALargeFileIsSavedAndLoaded)
{
    modules.devices[0].signal = platform::ftd2xx::sim::SignalConfig{};
    ASSERT_NE(connectModule(), nullptr);
    app::shell::SwitchPage(CaptureButton); // starts the stream
    ASSERT_TRUE(app::device::StreamRunning());
    Snapshot &snap = app::analysis::CurrentSnapshot();
    snap.readings.assign(2'000'001, 1.25f);
    snap.startTime = QDateTime(QDate(2020, 1, 2), QTime(3, 4, 5));
    QTemporaryDir dir;
    int ticks = 0;
    QTimer timer;
    timer.setInterval(10);
    QObject::connect(&timer, &QTimer::timeout, [&ticks] { ++ticks; });
    timer.start();

    const int32_t before = app::analysis::BufferCount();
    ASSERT_EQ(app::analysis::SaveCSV(dir.filePath(QStringLiteral("big.csv"))), QString());
    const int32_t afterSave = app::analysis::BufferCount();
    const int ticksAfterSave = ticks;
    ASSERT_EQ(app::analysis::LoadCSV(dir.filePath(QStringLiteral("big.csv"))), QString());
    EXPECT_GT(afterSave, before);
    EXPECT_GT(app::analysis::BufferCount(), afterSave);
    EXPECT_GT(ticksAfterSave, 0);
    EXPECT_GT(ticks, ticksAfterSave);
    EXPECT_EQ(snap.upperBound(), 2'000'000);
}

} // namespace
} // namespace app::analysis::pages
