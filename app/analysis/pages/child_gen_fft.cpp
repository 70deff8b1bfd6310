#include "app/analysis/pages/child_gen_fft.h"

#include <QTimer>

#include "app/analysis/chart/chartcontrol.h"
#include "app/analysis/circularbuffermodule.h"
#include "app/analysis/pages/signalchart.h"
#include "app/analysis/pages/signaltheme.h"
#include "app/analysis/pages/spectrum.h"
#include "app/controls/pagestyle/pagestyle.h"
#include "app/controls/rangeselect.h"
#include "app/controls/twips.h"
#include "app/controls/vxbtn.h"
#include "app/device/drv_hxr.h"
#include "app/device/hxr.h"
#include "app/shell/formtooltips.h"
#include "app/shell/handlertrap.h"
#include "platform/vb/vberror.h"

namespace app::analysis::pages {

namespace pagestyle = app::controls::pagestyle;

namespace {

using app::controls::VXBtn;

constexpr OleColour White = 0xFFFFFF;
constexpr int RangeMax = 1748;

} // namespace

CHILD_GEN_FFT::CHILD_GEN_FFT(QWidget *parent)
    : SignalPage(FormName, QStringLiteral("Copy Chart &Image"), parent)
{
    // The chart's settings, made once.
    setUpChart(2);
    chart().setCursorColor(SignalTheme::chartMarks());
    chart().setAnnotation(1);
    chart().setAnnoLabelColor(SignalTheme::chartMarks());
    chart().setAnnoVisible(false);
    chart().setCursor(0);
    chart().setCursorStyle(chart::LineType::Dashed);
    chart().setCursorMode(chart::CursorMode::FollowsClick);
    chart().setChartEnabled(true);
    connect(signalChart_, &SignalChart::Clicked, this, &CHILD_GEN_FFT::chartClicked);
    connect(signalChart_, &SignalChart::CopyRequested, this, &CHILD_GEN_FFT::copyChartPicture);

    rangeSelect1_ = new app::controls::RangeSelect(this);
    rangeSelect1_->setToolTip(QStringLiteral("Slide end caps to view desired frequency range"));
    rangeSelect1_->setBackColor(SignalTheme::rangeTrack());
    rangeSelect1_->setForeColor(SignalTheme::sliderFore());
    fFrom_ = pagestyle::makeLabel(this, QString(), pagestyle::PageStyle::Body);
    fTo_ = pagestyle::makeLabel(this, QString(), pagestyle::PageStyle::Body);
    fTo_->setAlignment(1);
    tPeak_ = pagestyle::makeButton(this, QStringLiteral("Peak Hold"));
    tPeak_->setTOGGLE(true);
    tPeak_->setCaptionOff(QStringLiteral("Peak Hold Off"));
    tPeak_->setCaptionOn(QStringLiteral("Peak Hold On"));
    tPeak_->SetToolTip(QStringLiteral("Holds the highest amplitude of each frequency"));
    connect(tPeak_, &VXBtn::Click, this, &CHILD_GEN_FFT::peakHoldClicked);
    layOut();

    connect(rangeSelect1_, &app::controls::RangeSelect::Scroll, this,
            &CHILD_GEN_FFT::rangeScrolled);
    try {
        rangeSelect1_->setMax(RangeMax);
        rangeSelect1_->setValueStart(2);
        rangeSelect1_->setValueEnd(1746);
    } catch (const platform::vb::VbError &) {
        // Without a width the selector lays itself out when it gets one.
    }
    rangeScrolled();

    fftTimer_ = new QTimer(this);
    fftTimer_->setTimerType(Qt::PreciseTimer);
    fftTimer_->setInterval(TimerMs);
    connect(fftTimer_, &QTimer::timeout, this, &CHILD_GEN_FFT::DoFFT);
    fftTimer_->start();
    app::shell::LoadFormTooltips(*this);
}

CHILD_GEN_FFT::~CHILD_GEN_FFT() = default;

QString CHILD_GEN_FFT::HelpText() const
{
    return QStringLiteral(
        "Shows the relative amplitude of the frequency components of the input signal. "
        "Frequencies from 1 Hz to 2.0 kHz are detected. The frequency with the highest "
        "amplitude will be automatically located and displayed.*You can click on the chart to "
        "display the frequency at the cursor point.**Use the range selector below to set the "
        "start and end frequencies of the displayed FFT chart.");
}

void CHILD_GEN_FFT::Activated()
{
    try {
        app::device::HXR *hxr = app::device::HXRObject();
        if (hxr && !app::device::StreamRunning())
            hxr->RST();
    } catch (const platform::vb::VbError &) {
        app::shell::LogSkippedHandler(objectName(), "Activated");
    }
    TimedRefresh();
    fftTimer_->start();
    tPeak_->setState(false);
    ClearPeakBuffer();
}

void CHILD_GEN_FFT::DeActivated()
{
    fftTimer_->stop();
}

void CHILD_GEN_FFT::ClearPeakBuffer()
{
    for (int i = 1; i <= Lines; ++i)
        peak_[static_cast<size_t>(i)] = 0.0f;
}

void CHILD_GEN_FFT::DoFFT()
{
    try {
        LoadNewestReadings(fourier_);
    } catch (const platform::vb::VbError &) {
        app::shell::LogSkippedHandler(objectName(), "DoFFT");
        return;
    }
    double best = -1.0;
    int bestIndex = app::analysis::BufferReadPos();
    chart().ClearGraph();
    chart().setElementLineColor(White);
    const bool hold = tPeak_->State();
    for (int i = 2; i <= Lines; ++i) {
        const double m = fourier_.ComplexOut(i);
        double shown = m;
        if (hold) {
            float &held = peak_[static_cast<size_t>(i)];
            if (m > held)
                held = static_cast<float>(m);
            shown = held;
        }
        chart().PlotXY(static_cast<double>(i), shown, 0);
        if (shown > best) {
            best = shown;
            bestIndex = i;
        }
    }
    if (best == 0.0)
        best = 0.001;
    chart().SetRange(static_cast<double>(rangeSelect1_->ValueStart()) + 2,
                     static_cast<double>(rangeSelect1_->ValueEnd()) + 2, -0.1 * best, 1.1 * best);
    chart().setAnnotation(0);
    chart().setAnnoLabelX(static_cast<double>(bestIndex));
    chart().setAnnoLabelY(-0.08 * best);
    chart().setAnnoLabelCaption(HertzText(1000.0 / (SpectrumSpanMs / (bestIndex - 1))));
    chart().setAnnoVisible(true);
    chart().setAnnotation(1);
    chart().setAnnoLabelY(-0.08 * best);
}

void CHILD_GEN_FFT::chartClicked(double x)
{
    chart().setCursor(0);
    chart().setCursorX(x);
    chart().setCursorVisible(true);
    chart().setAnnotation(1);
    const double span =
        static_cast<double>(rangeSelect1_->ValueEnd()) - rangeSelect1_->ValueStart();
    // Near the right edge the label moves left of the cursor, so that it stays inside.
    const bool fits = rangeSelect1_->ValueEnd() - span / 20 >= x;
    chart().setAnnoLabelX(fits ? x : x - span / 19);
    if (x != 0.0)
        chart().setAnnoLabelCaption(HertzText(1000.0 / (SpectrumSpanMs / x) - 1));
    chart().setAnnoVisible(true);
}

void CHILD_GEN_FFT::rangeScrolled()
{
    const int32_t start = rangeSelect1_->ValueStart();
    const int32_t end = rangeSelect1_->ValueEnd();
    if (start + 1 != 0)
        fFrom_->setCaption(HertzText(1000.0 / (SpectrumSpanMs / (start + 1.0)) - 1));
    if (end != 0)
        fTo_->setCaption(HertzText(1000.0 / (SpectrumSpanMs / end) - 1));
}

void CHILD_GEN_FFT::peakHoldClicked()
{
    if (!tPeak_->State())
        ClearPeakBuffer();
}

void CHILD_GEN_FFT::layOut()
{
    constexpr int Margin = 8;
    constexpr int Row = 24;
    const int w = width() - 2 * Margin;
    const int bottom = height() - Margin;
    tPeak_->setGeometry(width() - Margin - 150, Margin, 150, Row);
    signalChart_->widget()->setGeometry(Margin, Margin + Row + 6, w,
                                        std::max(0, bottom - Margin - 3 * Row - 12));
    const int rangeTop = bottom - 2 * Row;
    rangeSelect1_->setGeometry(Margin, rangeTop, w, 17);
    fFrom_->setGeometry(Margin, rangeTop + Row, 120, Row);
    fTo_->setGeometry(width() - Margin - 120, rangeTop + Row, 120, Row);
}

} // namespace app::analysis::pages
