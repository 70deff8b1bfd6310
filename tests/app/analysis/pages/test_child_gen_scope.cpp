#include <limits>
#include <vector>

#include <QCheckBox>
#include <QTimer>

#include <gmock/gmock.h>

#include "app/analysis/chart/chartcontrol.h"
#include "app/analysis/pages/child_gen_scope.h"
#include "app/analysis/pages/signalchart.h"
#include "app/common/globals.h"
#include "app/controls/slider.h"
#include "app/controls/vxbtn.h"
#include "signalpagetest.h"

namespace app::analysis::pages {
namespace {

using app::analysis::chart::LineType;
using signalpagetests::putReadings;
using signalpagetests::sine;
using signalpagetests::square;
using testing::ElementsAre;
using testsupport::ChartCall;
using M = testsupport::ChartMember;
using testsupport::RecordingChart;

class ScopePageTest : public signalpagetests::SignalPageTest
{
protected:
    void SetUp() override
    {
        SignalPageTest::SetUp();
        app::common::setDecimalSeparator(QStringLiteral("."));
        page = std::make_unique<CHILD_GEN_SCOPE>();
        chart = charts.latest();
        ASSERT_NE(chart, nullptr);
        chart->resize(600, 300);
        page->Activated();
        page->LiveTimer()->stop(); // the test runs the ticks itself
        chart->log.clear();
    }

    void setTimebase(float msPerDiv) { page->sldPerDiv()->setValue(msPerDiv); }

    // The readings the last trace plotted.
    std::vector<float> plotted() const
    {
        std::vector<float> values;
        for (const ChartCall &call : chart->callsOf(M::PlotY))
            values.push_back(call.args.at(0).toFloat());
        return values;
    }

    void switchTrigger(bool on)
    {
        page->cbTrigger()->setState(on);
        emit page->cbTrigger()->Click();
    }

    std::unique_ptr<CHILD_GEN_SCOPE> page;
    RecordingChart *chart = nullptr;
};

struct TimebaseCase
{
    int width;
    float msPerDiv;
    int step;
    int points;
    double xMax;
};

TEST_F(ScopePageTest, PointsAndXRangeFollowWidthAndTimebase)
{
    const TimebaseCase cases[] = {
        {600, 50, 4, 600, 600},
        {700, 50, 3, 800, 800},
        {700, 20, 1, 960, 960},
        {700, 5, 1, 240, 240},
    };
    putReadings(6000, [](int32_t i) { return static_cast<float>(i); });
    for (const TimebaseCase &c : cases) {
        chart->resize(c.width, 300);
        setTimebase(c.msPerDiv);
        chart->log.clear();
        page->DrawTrace();
        const std::vector<float> values = plotted();
        ASSERT_EQ(static_cast<int>(values.size()), c.points) << c.width << "/" << c.msPerDiv;
        EXPECT_EQ(values.at(1) - values.at(0), static_cast<float>(c.step));
        const QVariantList range = chart->callsOf(M::SetRange).at(0).args;
        EXPECT_EQ(range.at(0).toDouble(), 0.0);
        EXPECT_EQ(range.at(1).toDouble(), c.xMax) << c.width << "/" << c.msPerDiv;
    }
}

TEST_F(ScopePageTest, WindowLengthPerTimebase)
{
    putReadings(5000, sine(50));
    for (auto [msPerDiv, readings] : {std::pair{1.0f, 48}, {50.0f, 2400}, {100.0f, 4800}}) {
        setTimebase(msPerDiv);
        page->DrawTrace();
        EXPECT_EQ(page->windowLength(), readings) << msPerDiv;
        EXPECT_EQ(page->windowMs(), static_cast<int>(msPerDiv) * 10);
    }
    EXPECT_EQ(page->txtDivs()->Caption(), QStringLiteral("100 ms/div"));
}

TEST_F(ScopePageTest, TriggersOnARisingEdgeOfASine)
{
    putReadings(20000, sine(50, 2.0));
    page->DrawTrace(); // scales the level to the signal
    page->Triggerlevel()->setValue(50);
    EXPECT_NEAR(page->triggerLevel(), 0.0, 1e-3);
    switchTrigger(true);
    EXPECT_TRUE(page->Triggerlevel()->Enabled());
    chart->log.clear();
    page->DrawTrace();
    EXPECT_EQ(chart->lastArg(M::setElementLineType).toInt(), static_cast<int>(LineType::Solid));
    const std::vector<float> values = plotted();
    ASSERT_GE(values.size(), 2u);
    EXPECT_LT(values[0], page->triggerLevel());
    EXPECT_GT(values[1], page->triggerLevel()); // rising through the level
}

TEST_F(ScopePageTest, TriggersOnAFallingEdgeDownToZero)
{
    putReadings(20000, square(48));
    page->DrawTrace();
    page->Triggerlevel()->setValue(50); // 25.0 between the 0 and 50 levels
    page->tglFalling()->setState(true);
    emit page->tglFalling()->Click();
    switchTrigger(true);
    chart->log.clear();
    page->DrawTrace();
    EXPECT_EQ(chart->lastArg(M::setElementLineType).toInt(), static_cast<int>(LineType::Solid));
    const std::vector<float> values = plotted();
    ASSERT_GE(values.size(), 2u);
    EXPECT_EQ(values[0], 50.0f);
    EXPECT_EQ(values[1], 0.0f);
}

TEST_F(ScopePageTest, NoCrossingKeepsThePicture)
{
    putReadings(20000, [](int32_t) { return 3.0f; });
    page->DrawTrace();
    page->Triggerlevel()->setValue(90);
    switchTrigger(true);
    chart->log.clear();
    page->DrawTrace();
    EXPECT_EQ(chart->lastArg(M::setElementLineType).toInt(), static_cast<int>(LineType::Dotted));
    EXPECT_EQ(chart->countOf(M::ClearGraph), 0);
}

TEST_F(ScopePageTest, AutomaticTriggerOnASquareWave)
{
    putReadings(20000, square(48));
    page->AutoSetTriggerClick();
    EXPECT_TRUE(page->Check3()->isChecked());
    EXPECT_FALSE(page->Check5()->isChecked());
    page->DrawTrace(); // level 0 meets no rising edge: drawn untriggered once
    EXPECT_EQ(chart->lastArg(M::setElementLineType).toInt(), static_cast<int>(LineType::Dotted));
    EXPECT_EQ(chart->countOf(M::ClearGraph), 1);
    EXPECT_EQ(page->Triggerlevel()->Value(), 55.0f);
    EXPECT_EQ(page->txtTrigger()->Caption(), QStringLiteral("28.00000"));
    EXPECT_FALSE(page->CheckAuto()->isChecked());

    chart->log.clear();
    page->DrawTrace(); // now the level lies between the two
    EXPECT_EQ(chart->lastArg(M::setElementLineType).toInt(), static_cast<int>(LineType::Solid));
    EXPECT_EQ(chart->countOf(M::SetRange), 0); // the scale found stays
}

TEST_F(ScopePageTest, UntriggeredTraceAfterTheRingWrapsIsTheNewestWindow)
{
    putReadings(app::analysis::RingSize - 100, [](int32_t) { return 7.0f; });
    putReadings(20000, [](int32_t i) { return static_cast<float>(i % 3000); });
    ASSERT_TRUE(app::analysis::BufferWrapped());
    chart->resize(4000, 300); // every reading a point
    page->AutoSetTriggerClick();
    page->Triggerlevel()->setValue(100);
    page->DrawTrace();
    const std::vector<float> values = plotted();
    ASSERT_EQ(values.size(), 2400u);
    // The window up to the reading before the newest: 19,999 is (19,999 % 3,000) = 1,999.
    EXPECT_EQ(values.back(), 1998.0f);
    EXPECT_EQ(values.front(), static_cast<float>((19999 - 2400) % 3000));
}

TEST_F(ScopePageTest, AFlatSignalScalesWithoutDividingByZero)
{
    putReadings(5000, [](int32_t) { return 4.0f; });
    EXPECT_NO_THROW(page->DrawTrace());
    EXPECT_FLOAT_EQ(page->levelScale(), static_cast<float>(100 / 1.2e-9));
    page->Triggerlevel()->setValue(10);
    EXPECT_TRUE(std::isfinite(page->triggerLevel()));
}

// A step whose input is missing is skipped, and nothing is raised.
TEST_F(ScopePageTest, StepsWithoutTheirInputAreSkipped)
{
    // A chart of no width: one reading a point.
    putReadings(5000, sine(50));
    setTimebase(50);
    chart->resize(0, 300);
    EXPECT_NO_THROW(page->DrawTrace());
    EXPECT_EQ(plotted().size(), 2400u);
    EXPECT_EQ(chart->callsOf(M::SetRange).at(0).args.at(1).toDouble(), 2400.0);

    // A level change before the first trace: there is no scale to turn it into a level yet.
    CHILD_GEN_SCOPE fresh;
    ASSERT_EQ(fresh.levelScale(), 0.0f);
    const QString caption = fresh.txtTrigger()->Caption();
    const float level = fresh.triggerLevel();
    EXPECT_NO_THROW(fresh.Triggerlevel()->setValue(30));
    EXPECT_EQ(fresh.txtTrigger()->Caption(), caption);
    EXPECT_EQ(fresh.triggerLevel(), level);
}

TEST_F(ScopePageTest, FindSignalSetsTimebaseFromTheStrongestFrequency)
{
    struct Case
    {
        double hertz;
        int16_t found;
        int msPerDiv;
    };
    for (const Case &c : {Case{7, 7, 57}, Case{50, 50, 8}, Case{100, 99, 4}, Case{500, 499, 1}}) {
        putReadings(4096, sine(c.hertz));
        EXPECT_EQ(page->GetFrequency(), c.found) << c.hertz;
        page->FindSignal();
        EXPECT_EQ(page->Located()->Caption(), QStringLiteral("Found %1Hz").arg(c.found));
        EXPECT_EQ(page->txtDivs()->Caption(), QStringLiteral("%1 ms/div").arg(c.msPerDiv));
        EXPECT_TRUE(page->cbTrigger()->State());
        EXPECT_TRUE(page->Triggerlevel()->Enabled());
    }
}

TEST_F(ScopePageTest, FrequencyIgnoresBadReadings)
{
    putReadings(4096, sine(50));
    app::analysis::BufferPut(std::numeric_limits<float>::quiet_NaN());
    EXPECT_EQ(page->GetFrequency(), 50);
}

TEST_F(ScopePageTest, FrequencyWithFewReadingsReadsTheEndOfTheRing)
{
    putReadings(app::analysis::RingSize, sine(500));
    app::analysis::ResetBuffer();
    putReadings(1000, sine(50, 0.5));
    EXPECT_EQ(page->GetFrequency(), 499);
}

TEST_F(ScopePageTest, CopiedPictureCarriesTheTimebase)
{
    putReadings(5000, sine(50));
    page->DrawTrace();
    chart->log.clear();
    page->CopyPicture();
    // Two labels from the start: a third is added for the timebase.
    EXPECT_THAT(chart->members(),
                ElementsAre(M::annotationCount, M::AddAnnotation, M::setAnnotation,
                            M::setAnnoVisible, M::setAnnoLabelX, M::setAnnoLabelY,
                            M::setAnnoLabelCaption, M::CopyWindowToClipboard, M::setAnnoVisible));
    EXPECT_EQ(chart->callsOf(M::setAnnotation).at(0).args.at(0).toInt(), 2);
    EXPECT_EQ(chart->callsOf(M::setAnnoVisible).at(0).args.at(0).toBool(), true);
    EXPECT_EQ(chart->lastArg(M::setAnnoLabelX).toDouble(), 0.0);
    EXPECT_FLOAT_EQ(chart->lastArg(M::setAnnoLabelY).toFloat(), page->labelHeight());
    EXPECT_EQ(chart->lastArg(M::setAnnoLabelCaption).toString(), QStringLiteral("50 ms/div"));
    EXPECT_EQ(chart->lastArg(M::setAnnoVisible).toBool(), false);

    chart->log.clear();
    page->CopyPicture();
    EXPECT_EQ(chart->countOf(M::AddAnnotation), 0);
}

TEST_F(ScopePageTest, LoadLightensTheBaseColourIntoPlotAndFrame)
{
    auto fresh = std::make_unique<CHILD_GEN_SCOPE>();
    RecordingChart *made = charts.latest();
    EXPECT_EQ(made->countOf(M::AddAnnotation), 2);
    EXPECT_TRUE(made->lastArg(M::setPlotAreaColor).isValid());
    EXPECT_EQ(made->lastArg(M::setFrameColor), made->lastArg(M::setPlotAreaColor));
    EXPECT_EQ(made->lastArg(M::setCursorVisible).toBool(), false);
    EXPECT_EQ(fresh->Located()->Caption(), QString());
    EXPECT_FALSE(fresh->Triggerlevel()->Enabled());
    EXPECT_EQ(fresh->LiveTimer()->interval(), 50);
    EXPECT_EQ(fresh->LiveTimer()->timerType(), Qt::PreciseTimer);
}

} // namespace
} // namespace app::analysis::pages
