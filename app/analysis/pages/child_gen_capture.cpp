#include "app/analysis/pages/child_gen_capture.h"

#include <algorithm>
#include <cmath>

#include <QTimer>

#include "app/analysis/chart/chartcontrol.h"
#include "app/analysis/circularbuffermodule.h"
#include "app/analysis/pages/signalchart.h"
#include "app/analysis/pages/signaltheme.h"
#include "app/analysis/snapshotmodule.h"
#include "app/common/formatting.h"
#include "app/common/globals.h"
#include "app/controls/pagestyle/pagestyle.h"
#include "app/controls/slider.h"
#include "app/controls/vxbtn.h"
#include "app/device/drv_hxr.h"
#include "app/device/hxr.h"
#include "app/shell/connection.h"
#include "app/shell/devicecontrol.h"
#include "app/shell/handlertrap.h"
#include "app/shell/menucontrol.h"
#include "platform/vb/cstr.h"
#include "platform/vb/val.h"
#include "platform/vb/vberror.h"

namespace app::analysis::pages {

namespace pagestyle = app::controls::pagestyle;

namespace {

using app::controls::VXBtn;

constexpr OleColour White = 0xFFFFFF;
constexpr OleColour Red = 0x0000FF;
// A light blue: pure blue hardly shows on the dark plot.
constexpr OleColour Blue = 0xFFA040;
constexpr int ExtraInfoTwips = 2500;

int32_t roundEven(double value)
{
    return static_cast<int32_t>(std::nearbyint(value));
}

} // namespace

CHILD_GEN_CAPTURE::CHILD_GEN_CAPTURE(QWidget *parent)
    : SignalPage(FormName, QStringLiteral("Copy Chart &Image"), parent)
{
    setUpChart(1);
    chart().setChartEnabled(true);
    connect(signalChart_, &SignalChart::CopyRequested, this, &CHILD_GEN_CAPTURE::copyChartPicture);

    slider1_ = new app::controls::Slider(this);
    slider1_->setMin(1000);
    slider1_->setMax(30000);
    slider1_->setValue(10000);
    slider1_->setForeColor(SignalTheme::sliderFore());
    slider1_->setDisabledColor(SignalTheme::sliderDisabled());
    slider1_->setToolTipText(
        QStringLiteral("Set the size of the time window viewed in the trend chart"));
    connect(slider1_, &app::controls::Slider::Change, this, &CHILD_GEN_CAPTURE::windowChanged);

    timescale_ = pagestyle::makeLabel(this, QString(), pagestyle::PageStyle::Body);
    auto toggle = [this](const QString &caption, const QString &tip) {
        VXBtn *button = pagestyle::makeButton(this, caption);
        button->setTOGGLE(true);
        button->SetToolTip(tip);
        return button;
    };
    detect_ = toggle(QStringLiteral("Peak Detect"),
                     QStringLiteral("Draw the highest and lowest reading of each point"));
    auto_ = toggle(QStringLiteral("Auto Scale"), QStringLiteral("Scale the chart to the readings"));
    auto_->setState(true);
    minMax_ = toggle(QStringLiteral("Min / Max"),
                     QStringLiteral("Hold and show the lowest and highest reading"));
    recordViewed_ = pagestyle::makeButton(this, QStringLiteral("Capture"));
    recordViewed_->SetToolTip(QStringLiteral("Capture everything currently viewed in the trend "
                                             "chart above and transfer it to the Review page"));
    connect(minMax_, &VXBtn::Click, this, &CHILD_GEN_CAPTURE::minMaxClicked);
    connect(recordViewed_, &VXBtn::Click, this, &CHILD_GEN_CAPTURE::recordViewedClicked);
    // A page label like Timescale, so that the ratio shows in the branding's text colour.
    label1_ = pagestyle::makeLabel(this, QStringLiteral("1:"),
                                           pagestyle::PageStyle::Body);
    label1_->setObjectName(QStringLiteral("Label1"));
    windowChanged(slider1_->Value());

    trendTimer_ = new QTimer(this);
    trendTimer_->setTimerType(Qt::PreciseTimer);
    trendTimer_->setInterval(TrendMs);
    connect(trendTimer_, &QTimer::timeout, this, &CHILD_GEN_CAPTURE::TrendRedraw);
    trendTimer_->start();
    timer1_ = new QTimer(this);
    timer1_->setInterval(RatioMs);
    connect(timer1_, &QTimer::timeout, this, &CHILD_GEN_CAPTURE::RatioTick);
    timer1_->start();
    layOut();
}

CHILD_GEN_CAPTURE::~CHILD_GEN_CAPTURE() = default;

QString CHILD_GEN_CAPTURE::HelpText() const
{
    return QStringLiteral(
        "Capture.*This page gives you a window of up to 30 seconds duration to view the realtime "
        "trend of the input signal.*At any time you can capture the data from the current view "
        "or you can capture everything that has been recorded so far.*After capture the "
        "captured data will be available to be viewed or saved to a CSV file in the Review "
        "page.");
}

void CHILD_GEN_CAPTURE::Activated()
{
    try {
        app::device::HXR *hxr = app::device::HXRObject();
        if (hxr && !app::device::StreamRunning())
            hxr->RST();
    } catch (const platform::vb::VbError &) {
        app::shell::LogSkippedHandler(objectName(), "Activated");
    }
    app::shell::ShowExtraInfo(QStringLiteral("Min and Max (") +
                                  app::shell::CurrentConnection().DisplayUnitsText +
                                  QStringLiteral(")**Max:*        #1*Min:*        #2*Difference:*"
                                                 "        #3"),
                              ExtraInfoTwips);
    TimedRefresh();
    trendTimer_->start();
}

void CHILD_GEN_CAPTURE::DeActivated()
{
    trendTimer_->stop();
}

void CHILD_GEN_CAPTURE::windowChanged(float milliseconds)
{
    slider1Tag_ = platform::vb::CStr(double(milliseconds), platform::vb::NumberSeparators::invariant());
    timescale_->setCaption(QStringLiteral("Live: ") +
                           platform::vb::CStr(milliseconds / 1000.0, app::common::ProgramSeparators()) +
                           QStringLiteral(" secs view"));
}

int32_t CHILD_GEN_CAPTURE::windowReadings() const
{
    return roundEven(platform::vb::Val(slider1Tag_) * 4800.0 / 1000.0);
}

void CHILD_GEN_CAPTURE::TrendRedraw()
{
    try {
        float minimum = 1.0e8f;
        float maximum = -1.0e8f;
        const int32_t available = app::analysis::BufferCount();
        int32_t count = std::min(windowReadings(), available);
        const int pixels = signalChart_->widget()->width();
        // A chart narrower than two columns has nothing to scale by.
        if (pixels < 2)
            return;
        const bool detect = detect_->State();
        int32_t step = detect ? 2 * (count / pixels) - 1 : roundEven(double(count) / pixels) - 1;
        step = std::max(1, step);
        count = count / step * step;
        lastStep_ = step;
        lastCount_ = count;
        chart().ClearGraph();
        chart().AddElement();
        chart().setElementLineColor(White);
        chart().setElementWidth(10);
        if (count == 0)
            return;
        // Never further back than what was recorded since the reset.
        app::analysis::BufferSeekBack(std::min(count + 1, available));

        int32_t points = 0;
        bool zeroBlockMinimum = false;
        for (int32_t i = 1; i <= count; i += step) {
            if (!detect) {
                const float v = app::analysis::BufferGetStep(step);
                chart().PlotY(v, 1);
                ++points;
                maximum = std::max(maximum, v);
                minimum = std::min(minimum, v);
                continue;
            }
            float m = 0.0f;
            float mx = 0.0f;
            app::analysis::BufferMinMax(step, m, mx);
            chart().PlotY(mx, 1);
            chart().PlotY(m, 1);
            points += 2;
            maximum = std::max(maximum, mx);
            if (m != 0.0f)
                minimum = std::min(minimum, m);
            else
                zeroBlockMinimum = true;
        }
        // Blocks that all bottom out at exactly 0.0 still have a minimum: 0.0.
        if (zeroBlockMinimum && minimum == 1.0e8f)
            minimum = 0.0f;
        runningMinimum_ = std::min(runningMinimum_, minimum);
        runningMaximum_ = std::max(runningMaximum_, maximum);

        const double xMaximum = points - 1;
        if (auto_->State()) {
            const bool held = minMax_->State();
            const double a = held ? runningMinimum_ : minimum;
            const double b = held ? runningMaximum_ : maximum;
            yMinimum_ = a - (b - a) / 20;
            yMaximum_ = b + (b - a) / 20;
        }
        chart().SetRange(0.0, xMaximum, yMinimum_, yMaximum_);
        if (minMax_->State()) {
            drawExtremeLine(2, Red, runningMaximum_, xMaximum);
            drawExtremeLine(3, Blue, runningMinimum_, xMaximum);
            app::shell::FillExtraInfo({app::common::FormatSevenDigits(runningMaximum_),
                                       app::common::FormatSevenDigits(runningMinimum_),
                                       app::common::FormatSevenDigits(runningMaximum_ -
                                                                      runningMinimum_)});
        }
    } catch (const platform::vb::VbError &) {
        // The last picture stays.
        app::shell::LogSkippedHandler(objectName(), "TrendRedraw");
    }
}

void CHILD_GEN_CAPTURE::drawExtremeLine(int element, OleColour colour, float value, double xMaximum)
{
    chart().AddElement();
    chart().setElement(element);
    chart().setElementLineColor(colour);
    const auto mode = static_cast<int16_t>(element);
    chart().PlotY(value, mode);
    chart().PlotXY(0.0, value, mode);
    chart().PlotXY(xMaximum, value, mode);
}

void CHILD_GEN_CAPTURE::RatioTick()
{
    const double difference = std::fabs(double(runningMaximum_) - runningMinimum_);
    const double ratio = std::floor(6.0 / difference);
    // A zero or unusable difference leaves the label as it was.
    if (difference == 0.0 || !std::isfinite(ratio))
        return;
    label1_->setCaption(QStringLiteral("1:") + QString::number(ratio, 'f', 0));
}

void CHILD_GEN_CAPTURE::minMaxClicked()
{
    if (minMax_->State()) {
        runningMinimum_ = ResetMinimum;
        runningMaximum_ = ResetMaximum;
    }
}

void CHILD_GEN_CAPTURE::recordViewedClicked()
{
    trendTimer_->stop();
    try {
        const int32_t count = std::min(windowReadings(), app::analysis::BufferCount());
        app::analysis::TakeSnapshot(count);
        app::shell::ShowSnapshotInReview();
    } catch (const platform::vb::VbError &) {
        app::shell::LogSkippedHandler(objectName(), "recordViewedClicked");
    }
}

void CHILD_GEN_CAPTURE::layOut()
{
    constexpr int Margin = 8;
    constexpr int Row = 24;
    constexpr int Gap = 6;
    const int w = width() - 2 * Margin;
    const int bottom = visibleHeight() - Margin;
    const int controlsTop = bottom - 2 * Row - Gap;
    signalChart_->widget()->setGeometry(Margin, Margin, w, std::max(0, controlsTop - Gap - Margin));
    const int sliderWidth = std::max(100, w / 3);
    slider1_->setGeometry(Margin, controlsTop + (Row - slider1_->height()) / 2, sliderWidth,
                          slider1_->height());
    timescale_->setGeometry(Margin + sliderWidth + Gap, controlsTop, 150, Row);
    label1_->setGeometry(Margin + sliderWidth + 2 * Gap + 150, controlsTop, 120, Row);
    const int buttonWidth = (w - 3 * Gap) / 4;
    int x = Margin;
    for (VXBtn *button : {detect_, auto_, minMax_, recordViewed_}) {
        button->setGeometry(x, bottom - Row, buttonWidth, Row);
        x += buttonWidth + Gap;
    }
}

} // namespace app::analysis::pages
