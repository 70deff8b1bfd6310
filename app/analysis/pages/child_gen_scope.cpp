#include "app/analysis/pages/child_gen_scope.h"

#include <algorithm>
#include <cmath>

#include <QCheckBox>
#include <QDateTime>
#include <QPalette>
#include <QTimer>

#include "app/analysis/chart/chartcontrol.h"
#include "app/analysis/circularbuffermodule.h"
#include "app/analysis/clsfourier.h"
#include "app/analysis/pages/signalchart.h"
#include "app/analysis/pages/signaltheme.h"
#include "app/analysis/pages/spectrum.h"
#include "app/common/colours.h"
#include "app/common/formatting.h"
#include "app/common/globals.h"
#include "app/controls/pagestyle/pagestyle.h"
#include "app/controls/slider.h"
#include "app/controls/vxbtn.h"
#include "app/device/drv_hxr.h"
#include "app/device/hxr.h"
#include "app/shell/formtooltips.h"
#include "app/shell/handlertrap.h"
#include "platform/vb/convert.h"
#include "platform/vb/cstr.h"
#include "platform/vb/vberror.h"
#include "platform/win/gui/qcolour.h"

namespace app::analysis::pages {

namespace pagestyle = app::controls::pagestyle;

namespace {

using app::controls::Slider;
using app::controls::VXBtn;

constexpr OleColour White = 0xFFFFFF;

QCheckBox *makeCheck(QWidget *parent, const QString &caption)
{
    auto *box = new QCheckBox(caption, parent);
    box->setFocusPolicy(Qt::NoFocus);
    QPalette palette = box->palette();
    palette.setColor(QPalette::WindowText, platform::win::gui::toQColor(SignalTheme::text()));
    box->setPalette(palette);
    return box;
}

Slider *makeSlider(QWidget *parent, const QString &tip)
{
    auto *slider = new Slider(parent);
    slider->setMin(1);
    slider->setForeColor(SignalTheme::sliderFore());
    slider->setDisabledColor(SignalTheme::sliderDisabled());
    slider->setToolTipText(tip);
    return slider;
}

VXBtn *makeToggle(QWidget *parent, const QString &off, const QString &on, const QString &tip)
{
    VXBtn *toggle = pagestyle::makeButton(parent, off);
    toggle->setTOGGLE(true);
    toggle->setCaptionOff(off);
    toggle->setCaptionOn(on);
    toggle->SetToolTip(tip);
    return toggle;
}

} // namespace

CHILD_GEN_SCOPE::CHILD_GEN_SCOPE(QWidget *parent)
    : SignalPage(FormName, QStringLiteral("Copy Scope &Image"), parent)
{
    setProperty("Tag", QDateTime::currentDateTime());
    chart().AddAnnotation();
    chart().AddAnnotation();
    chart().setPlotAreaColor(app::common::LightenColour(chart().controlFrameColor(), 0.2f));
    chart().setFrameColor(chart().plotAreaColor());
    chart().setAnnotation(1);
    chart().setAnnoVisible(false);
    chart().setCursorVisible(false);
    connect(signalChart_, &SignalChart::CopyRequested, this, &CHILD_GEN_SCOPE::CopyPicture);

    sldPerDiv_ = makeSlider(this, QStringLiteral("Set the timebase"));
    txtDivs_ = pagestyle::makeLabel(this, QString(), pagestyle::PageStyle::Body);
    triggerLevel_ = makeSlider(this, QStringLiteral("Set the trigger level"));
    txtTrigger_ = pagestyle::makeLabel(this, QString(), pagestyle::PageStyle::Body);
    cbTrigger_ = makeToggle(this, QStringLiteral("Trigger Off"), QStringLiteral("Trigger On"),
                            QStringLiteral("Switches the trigger on and off"));
    tglFalling_ = makeToggle(this, QStringLiteral("Rising Edge"), QStringLiteral("Falling Edge"),
                             QStringLiteral("Triggers on the rising or the falling edge"));
    checkAuto_ = makeCheck(this, QStringLiteral("Auto"));
    checkAuto_->setToolTip(QStringLiteral("Scales the trace to the signal"));
    autoSetTrigger_ = pagestyle::makeButton(this, QStringLiteral("Auto"));
    autoSetTrigger_->SetToolTip(QStringLiteral("Sets the trigger from the signal"));
    check3_ = makeCheck(this, QStringLiteral("^"));
    check5_ = makeCheck(this, QStringLiteral("-"));
    btnFindSignal_ = pagestyle::makeButton(this, QStringLiteral("Find Signal"));
    btnFindSignal_->SetToolTip(
        QStringLiteral("Finds the strongest frequency and sets the timebase and trigger"));
    located_ = pagestyle::makeLabel(this, QString(), pagestyle::PageStyle::Body);

    connect(sldPerDiv_, &Slider::Change, this, &CHILD_GEN_SCOPE::timebaseChanged);
    connect(triggerLevel_, &Slider::Change, this, &CHILD_GEN_SCOPE::levelChanged);
    connect(cbTrigger_, &VXBtn::Click, this, &CHILD_GEN_SCOPE::triggerSwitch);
    connect(tglFalling_, &VXBtn::Click, this, &CHILD_GEN_SCOPE::edgeSwitch);
    connect(autoSetTrigger_, &VXBtn::Click, this, &CHILD_GEN_SCOPE::AutoSetTriggerClick);
    connect(btnFindSignal_, &VXBtn::Click, this, &CHILD_GEN_SCOPE::FindSignal);

    liveTimer_ = new QTimer(this);
    liveTimer_->setTimerType(Qt::PreciseTimer);
    liveTimer_->setInterval(LiveTimerMs);
    connect(liveTimer_, &QTimer::timeout, this, &CHILD_GEN_SCOPE::DrawTrace);

    layOut();
    triggerLevel_->setValue(50);
    triggerLevel_->setEnabled(false);
    tglFalling_->setEnabled(false);
    located_->setCaption(QString());
    rising_ = true;
    sldPerDiv_->setValue(50);
    chart().setChartEnabled(true);
    app::shell::LoadFormTooltips(*this);
}

CHILD_GEN_SCOPE::~CHILD_GEN_SCOPE() = default;

QString CHILD_GEN_SCOPE::HelpText() const
{
    return QStringLiteral("Scope View.*This page helps you to visualise waveforms in the range "
                          "of 1 Hz to 500 Hz. A simple trigger function help stabilise the "
                          "view.");
}

void CHILD_GEN_SCOPE::Activated()
{
    try {
        app::device::HXR *hxr = app::device::HXRObject();
        if (hxr && !app::device::StreamRunning())
            hxr->RST();
    } catch (const platform::vb::VbError &) {
        app::shell::LogSkippedHandler(objectName(), "Activated");
    }
    liveTimer_->start();
    TimedRefresh();
}

void CHILD_GEN_SCOPE::DeActivated()
{
    liveTimer_->stop();
}

void CHILD_GEN_SCOPE::timebaseChanged(float value)
{
    const int perDiv = static_cast<int>(std::floor(value));
    windowMs_ = perDiv * 10;
    txtDivs_->setCaption(QString::number(perDiv) + QStringLiteral(" ms/div"));
    checkAuto_->setChecked(true);
}

void CHILD_GEN_SCOPE::levelChanged(float value)
{
    // Before the first trace there is no scale for the level.
    if (levelScale_ == 0.0f)
        return;
    level_ = value / levelScale_ + levelOffset_;
    txtTrigger_->setCaption(app::common::FormatSevenDigits(level_));
}

void CHILD_GEN_SCOPE::triggerSwitch()
{
    const bool on = cbTrigger_->State();
    tglFalling_->setEnabled(on);
    triggerLevel_->setEnabled(on);
}

void CHILD_GEN_SCOPE::edgeSwitch()
{
    rising_ = !tglFalling_->State();
}

void CHILD_GEN_SCOPE::AutoSetTriggerClick()
{
    autoTriggerPending_ = true;
    check3_->setChecked(true);
    check5_->setChecked(false);
    cbTrigger_->setState(true);
    checkAuto_->setChecked(true);
}

int32_t CHILD_GEN_SCOPE::findEdge()
{
    const int32_t reads = std::min(3 * windowLength_, app::analysis::RingSize);
    app::analysis::BufferSeekBack(reads);
    // Reading backwards in time: v is the earlier reading of each pair, previous the later.
    bool first = true;
    float previous = 0.0f;
    for (int32_t i = 0; i < reads; ++i) {
        const float v = app::analysis::BufferGetPrev();
        if (first) {
            previous = v;
            first = false;
            continue;
        }
        const bool edge = rising_ ? (v < level_ && previous >= level_)
                                  : (v > level_ && previous <= level_);
        if (edge)
            return app::analysis::BufferReadPos();
        previous = v;
    }
    return -1;
}

void CHILD_GEN_SCOPE::DrawTrace()
{
    minimum_ = 1.0e8f;
    maximum_ = -1.0e8f;
    if (windowMs_ != 0) {
        if (const auto length = platform::vb::TryCLng(4800.0 / (1000.0 / windowMs_)))
            windowLength_ = *length;
    }
    try {
        // The stretch that ends just before the newest reading, wherever the ring stands.
        const int32_t back = std::min(windowLength_ + 1, app::analysis::BufferCount());
        app::analysis::BufferSeekBack(std::max(0, back));
        int32_t start = app::analysis::BufferReadPos();

        int32_t pixels = signalChart_->widget()->width();
        int32_t step = 1;
        if (pixels > 0)
            step = std::max(1, windowLength_ / pixels);

        if (cbTrigger_->State()) {
            const int32_t edge = findEdge();
            if (edge >= 0) {
                start = edge;
                chart().setElementLineType(chart::LineType::Solid);
            } else {
                chart().setElementLineType(chart::LineType::Dotted);
                if (!autoTriggerPending_)
                    return; // the chart keeps its last picture
            }
            app::analysis::BufferSetReadPos(start);
        } else {
            app::analysis::BufferSeekBack(std::min(windowLength_, app::analysis::RingSize));
        }

        chart().ClearGraph();
        chart().AddElement();
        chart().setElementLineColor(White);
        chart().setElementWidth(10);
        int32_t points = 0;
        for (int32_t i = 1; i <= windowLength_; i += step) {
            const float v = app::analysis::BufferGetStep(step);
            chart().PlotY(v, 1);
            ++points;
            if (v > maximum_)
                maximum_ = v;
            if (v < minimum_)
                minimum_ = v;
        }
        const float range = maximum_ - minimum_;
        // The x axis spans the points drawn, so that ten divisions are the whole window.
        if (checkAuto_->isChecked())
            chart().SetRange(0.0, points, minimum_ - range / 10, maximum_ + range / 10);
        levelScale_ = static_cast<float>(100.0 / ((static_cast<double>(range) + 1e-9) * 1.2));
        levelOffset_ = minimum_ - range / 10;
        if (autoTriggerPending_) {
            autoTriggerPending_ = false;
            triggerLevel_->setValue(55);
            checkAuto_->setChecked(false);
        }
        labelHeight_ = maximum_ + range / 12;
    } catch (const platform::vb::VbError &) {
        // A ring read out of range ends this trace; the next tick tries again.
        app::shell::LogSkippedHandler(objectName(), "DrawTrace");
    }
}

int16_t CHILD_GEN_SCOPE::GetFrequency()
{
    if (!fourier_)
        fourier_ = std::make_unique<app::analysis::clsFourier>();
    LoadNewestReadings(*fourier_);
    double best = -1.0;
    int bestIndex = 2;
    for (int i = 2; i <= SpectrumSamples / 2; ++i) {
        const double m = fourier_->ComplexOut(i);
        if (m > best) {
            best = m;
            bestIndex = i;
        }
    }
    return platform::vb::CInt(1000.0 / (SpectrumSpanMs / (bestIndex - 1)));
}

void CHILD_GEN_SCOPE::FindSignal()
{
    try {
        fourier_ = std::make_unique<app::analysis::clsFourier>();
        const int16_t frequency = GetFrequency();
        located_->setCaption(QStringLiteral("Found %1Hz").arg(frequency));
        // Four periods over the ten divisions; without a frequency the timebase stays.
        if (frequency != 0)
            sldPerDiv_->setValue(static_cast<float>(1000.0 / frequency * 4 / 10));
        AutoSetTriggerClick();
        triggerSwitch();
    } catch (const platform::vb::VbError &) {
        app::shell::LogSkippedHandler(objectName(), "FindSignal");
    }
}

void CHILD_GEN_SCOPE::CopyPicture()
{
    if (chart().annotationCount() < 3)
        chart().AddAnnotation();
    chart().setAnnotation(2);
    chart().setAnnoVisible(true);
    chart().setAnnoLabelX(0.0);
    chart().setAnnoLabelY(static_cast<double>(labelHeight_));
    chart().setAnnoLabelCaption(
        platform::vb::CStr(sldPerDiv_->Value(), app::common::ProgramSeparators()) +
        QStringLiteral(" ms/div"));
    copyChartPicture();
    chart().setAnnoVisible(false);
}

void CHILD_GEN_SCOPE::layOut()
{
    constexpr int Margin = 8;
    constexpr int Row = 24;
    constexpr int Gap = 6;
    const int w = width() - 2 * Margin;
    const int controlsTop = visibleHeight() - Margin - 2 * Row - Gap;
    signalChart_->widget()->setGeometry(Margin, Margin, w, std::max(0, controlsTop - Margin - Gap));

    const int sliderWidth = std::max(100, w / 3);
    const int row1 = controlsTop;
    const int row2 = controlsTop + Row + Gap;
    sldPerDiv_->setGeometry(Margin, row1 + (Row - sldPerDiv_->height()) / 2, sliderWidth,
                            sldPerDiv_->height());
    txtDivs_->setGeometry(Margin + sliderWidth + Gap, row1, 90, Row);
    triggerLevel_->setGeometry(Margin, row2 + (Row - triggerLevel_->height()) / 2, sliderWidth,
                               triggerLevel_->height());
    txtTrigger_->setGeometry(Margin + sliderWidth + Gap, row2, 90, Row);

    int x = Margin + sliderWidth + Gap + 90 + Gap;
    cbTrigger_->setGeometry(x, row1, 100, Row);
    tglFalling_->setGeometry(x, row2, 100, Row);
    x += 100 + Gap;
    checkAuto_->setGeometry(x, row1, 60, Row);
    autoSetTrigger_->setGeometry(x, row2, 60, Row);
    x += 60 + Gap;
    check3_->setGeometry(x, row1, 40, Row);
    check5_->setGeometry(x, row2, 40, Row);
    x += 40 + Gap;
    btnFindSignal_->setGeometry(x, row1, std::max(80, width() - Margin - x), Row);
    located_->setGeometry(x, row2, std::max(80, width() - Margin - x), Row);
}

} // namespace app::analysis::pages
