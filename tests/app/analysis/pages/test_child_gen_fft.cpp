#include <limits>
#include <vector>

#include <QApplication>
#include <QMenu>
#include <QResizeEvent>
#include <QTimer>

#include <gmock/gmock.h>

#include "app/analysis/pages/child_gen_fft.h"
#include "app/analysis/pages/signalchart.h"
#include "app/controls/rangeselect.h"
#include "app/controls/vxbtn.h"
#include "app/pages/pagefixture.h"
#include "app/shell/devicecontrol.h"
#include "signalpagetest.h"

namespace app::analysis::pages {
namespace {

using signalpagetests::putReadings;
using signalpagetests::sine;
using testing::ElementsAre;
using testsupport::ChartCall;
using M = testsupport::ChartMember;
using testsupport::RecordingChart;

class FftPageTest : public signalpagetests::SignalPageTest
{
protected:
    void SetUp() override
    {
        SignalPageTest::SetUp();
        page = std::make_unique<CHILD_GEN_FFT>();
        chart = charts.latest();
        ASSERT_NE(chart, nullptr);
        page->FFTTimer()->stop(); // the test runs the ticks itself
        page->Activated();
        page->FFTTimer()->stop();
        chart->log.clear();
    }

    // The y values the last tick plotted, by line number 2..2048.
    std::vector<double> plotted() const
    {
        std::vector<double> ys;
        for (const ChartCall &call : chart->callsOf(M::PlotXY))
            ys.push_back(call.args.at(1).toDouble());
        return ys;
    }

    std::unique_ptr<CHILD_GEN_FFT> page;
    RecordingChart *chart = nullptr;
};

// A sine that completes `cycles` periods in the 4,096 readings.
std::function<float(int32_t)> bin(int cycles, double amplitude = 1.0)
{
    return [=](int32_t i) {
        return static_cast<float>(amplitude * std::sin(2.0 * signalpagetests::Pi * cycles * i /
                                                       CHILD_GEN_FFT::Samples));
    };
}

TEST_F(FftPageTest, OneTickPlotsTheSpectrumAndLabelsItsPeak)
{
    putReadings(CHILD_GEN_FFT::Samples, bin(10));
    page->DoFFT();

    std::vector<M> ids = chart->members();
    ASSERT_EQ(ids.size(), 2u + 2047u + 1u + 7u);
    EXPECT_THAT(std::vector<M>(ids.begin(), ids.begin() + 2),
                ElementsAre(M::ClearGraph, M::setElementLineColor));
    EXPECT_EQ(chart->log[1].args.at(0).toLongLong(), 0xFFFFFF);
    const auto points = chart->callsOf(M::PlotXY);
    ASSERT_EQ(points.size(), 2047u);
    for (size_t i = 0; i < points.size(); ++i) {
        ASSERT_EQ(points[i].args.at(0).toDouble(), static_cast<double>(i + 2));
        ASSERT_EQ(points[i].args.at(2).toInt(), 0);
    }
    EXPECT_THAT(std::vector<M>(ids.begin() + 2049, ids.end()),
                ElementsAre(M::SetRange, M::setAnnotation, M::setAnnoLabelX, M::setAnnoLabelY,
                            M::setAnnoLabelCaption, M::setAnnoVisible, M::setAnnotation,
                            M::setAnnoLabelY));

    const double best = points[9].args.at(1).toDouble(); // line 11
    EXPECT_NEAR(best, 2048.0, 1e-3);
    const QVariantList range = chart->callsOf(M::SetRange).front().args;
    EXPECT_EQ(range.at(0).toDouble(), 4.0);
    EXPECT_EQ(range.at(1).toDouble(), 1748.0);
    EXPECT_DOUBLE_EQ(range.at(2).toDouble(), -0.1 * best);
    EXPECT_DOUBLE_EQ(range.at(3).toDouble(), 1.1 * best);
    EXPECT_EQ(chart->lastArg(M::setAnnoLabelX).toDouble(), 11.0);
    EXPECT_EQ(chart->lastArg(M::setAnnoLabelCaption).toString(), QStringLiteral("12Hz"));
    EXPECT_DOUBLE_EQ(chart->lastArg(M::setAnnoLabelY).toDouble(), -0.08 * best);
    EXPECT_EQ(chart->lastArg(M::setAnnoVisible).toBool(), true);
}

TEST_F(FftPageTest, AnAllZeroRingGivesTheSmallestRange)
{
    putReadings(CHILD_GEN_FFT::Samples, [](int32_t) { return 0.0f; });
    page->DoFFT();
    const QVariantList range = chart->callsOf(M::SetRange).front().args;
    EXPECT_DOUBLE_EQ(range.at(2).toDouble(), -0.0001);
    EXPECT_DOUBLE_EQ(range.at(3).toDouble(), 0.0011);
}

TEST_F(FftPageTest, ABadReadingCountsAsZero)
{
    putReadings(CHILD_GEN_FFT::Samples, bin(10));
    app::analysis::BufferPut(std::numeric_limits<float>::quiet_NaN());
    app::analysis::BufferPut(std::numeric_limits<float>::infinity());
    page->DoFFT();
    EXPECT_EQ(chart->lastArg(M::setAnnoLabelX).toDouble(), 11.0);
    const QVariantList range = chart->callsOf(M::SetRange).front().args;
    EXPECT_LT(range.at(2).toDouble(), range.at(3).toDouble());
}

TEST_F(FftPageTest, PeakHoldKeepsTheHighestUntilSwitchedOffOrActivatedAgain)
{
    putReadings(CHILD_GEN_FFT::Samples, bin(10, 2.0));
    page->tPeak()->setState(true);
    page->DoFFT();
    putReadings(CHILD_GEN_FFT::Samples, bin(10, 1.0));
    chart->log.clear();
    page->DoFFT();
    EXPECT_NEAR(plotted()[9], 4096.0, 1e-3); // held from the first tick

    // A click that switches the toggle off clears what was held.
    page->tPeak()->setState(false);
    emit page->tPeak()->Click();
    EXPECT_EQ(page->peak(11), 0.0f);

    page->tPeak()->setState(true);
    page->DoFFT();
    EXPECT_NEAR(page->peak(11), 2048.0f, 1e-3);
    page->Activated();
    page->FFTTimer()->stop();
    EXPECT_FALSE(page->tPeak()->State());
    EXPECT_EQ(page->peak(11), 0.0f);
}

TEST_F(FftPageTest, AClickPutsCursorAndLabelThere)
{
    chart->click(100.0);
    EXPECT_EQ(chart->members(),
              (std::vector<M>{M::setCursor, M::setCursorX, M::setCursorVisible, M::setAnnotation,
                              M::setAnnoLabelX, M::setAnnoLabelCaption, M::setAnnoVisible}));
    EXPECT_EQ(chart->lastArg(M::setCursorX).toDouble(), 100.0);
    EXPECT_EQ(chart->lastArg(M::setAnnoLabelX).toDouble(), 100.0);
    EXPECT_EQ(chart->lastArg(M::setAnnoLabelCaption).toString(), QStringLiteral("116Hz"));
    EXPECT_EQ(chart->lastArg(M::setCursorVisible).toBool(), true);

    chart->log.clear();
    chart->click(1700.0);
    EXPECT_NEAR(chart->lastArg(M::setAnnoLabelX).toDouble(), 1608.21,
                0.005); // kept inside the right edge
    EXPECT_EQ(chart->lastArg(M::setAnnoLabelCaption).toString(), QStringLiteral("1984Hz"));
    EXPECT_EQ(chart->lastArg(M::setCursorX).toDouble(), 1700.0);
}

// A step whose input is missing is skipped, and nothing is raised.
TEST_F(FftPageTest, StepsWithoutTheirInputAreSkipped)
{
    // A click at x 0 has no frequency: the cursor moves, the label keeps its text.
    chart->click(0.0);
    EXPECT_EQ(chart->members(),
              (std::vector<M>{M::setCursor, M::setCursorX, M::setCursorVisible, M::setAnnotation,
                              M::setAnnoLabelX, M::setAnnoVisible}));

    // Squeezed to nothing, chart and range selector have no width: the spectrum is still
    // worked out and the range labels still follow the selector.
    page->resize(0, 0);
    QResizeEvent squeezed(QSize(0, 0), QSize(640, 480)); // a hidden page gets it on show
    QApplication::sendEvent(page.get(), &squeezed);
    ASSERT_EQ(page->RangeSelect1()->width(), 0);
    ASSERT_EQ(chart->width(), 0);
    putReadings(CHILD_GEN_FFT::Samples, bin(10));
    chart->log.clear();
    EXPECT_NO_THROW(page->DoFFT());
    EXPECT_EQ(chart->countOf(M::SetRange), 1);
    EXPECT_NO_THROW(emit page->RangeSelect1()->Scroll());
    EXPECT_EQ(page->fFrom()->Caption(), QStringLiteral("3Hz"));
    EXPECT_EQ(page->fTo()->Caption(), QStringLiteral("2038Hz"));
}

TEST_F(FftPageTest, TheMenuOpensOnMouseEventsThatFollowNoClick)
{
    QMenu *menu = page->NTFFT().mnuChart();
    chart->click(100.0);
    chart->mouseUp(1);
    EXPECT_FALSE(menu->isVisible());
    EXPECT_TRUE(page->NTFFT().ReleaseCaptureTimer()->isActive());
    chart->mouseUp(2);
    EXPECT_TRUE(menu->isVisible());
    menu->close();

    chart->log.clear();
    page->NTFFT().mnuCopyChart()->trigger();
    EXPECT_THAT(chart->members(), ElementsAre(M::CopyWindowToClipboard));
}

TEST_F(FftPageTest, RangeLabelsFollowTheSelector)
{
    page->RangeSelect1()->setValueStart(2);
    page->RangeSelect1()->setValueEnd(1746);
    emit page->RangeSelect1()->Scroll();
    EXPECT_EQ(page->fFrom()->Caption(), QStringLiteral("3Hz"));
    EXPECT_EQ(page->fTo()->Caption(), QStringLiteral("2038Hz"));
    page->RangeSelect1()->setValueEnd(0); // no frequency for an end of 0: the label stays
    emit page->RangeSelect1()->Scroll();
    EXPECT_EQ(page->fTo()->Caption(), QStringLiteral("2038Hz"));
}

TEST_F(FftPageTest, TimerRunsOnlyWhileThePageIsActive)
{
    page->Activated();
    EXPECT_TRUE(page->FFTTimer()->isActive());
    EXPECT_EQ(page->FFTTimer()->interval(), 10);
    EXPECT_EQ(page->FFTTimer()->timerType(), Qt::PreciseTimer);
    page->DeActivated();
    EXPECT_FALSE(page->FFTTimer()->isActive());
}

// The signal pages opened from the module's page set, over the simulated module.
class SignalPagesRoadTest : public pagetests::PageFixture
{};

TEST_F(SignalPagesRoadTest, ActivationStartsTheStreamOnlyWhileItIsOff)
{
    ASSERT_NE(connectModule(), nullptr);
    ASSERT_FALSE(app::device::StreamRunning()); // the Information page stopped it
    const int before = framesEndingWith("RST");
    app::shell::SwitchPage(7);
    EXPECT_EQ(currentPageName(), CHILD_GEN_FFT::FormName);
    EXPECT_EQ(framesEndingWith("RST"), before + 1);
    EXPECT_TRUE(app::device::StreamRunning());
    app::shell::SwitchPage(6);
    EXPECT_EQ(currentPageName(), QStringLiteral("CHILD_GEN_SCOPE"));
    EXPECT_EQ(framesEndingWith("RST"), before + 1);
}

} // namespace
} // namespace app::analysis::pages
