#include "app/analysis/pages/child_gen_review.h"

#include <algorithm>
#include <cmath>
#include <utility>

#include <QDir>
#include <QLocale>
#include <QTimer>
#include <QWheelEvent>

#include "app/analysis/chart/chartcontrol.h"
#include "app/analysis/csvmodule.h"
#include "app/analysis/pages/csvprogressnotice.h"
#include "app/analysis/pages/overviewstrip.h"
#include "app/analysis/pages/signalchart.h"
#include "app/analysis/pages/signaltheme.h"
#include "app/analysis/snapshotmodule.h"
#include "app/common/desktop/filedialogs.h"
#include "app/common/desktop/messages.h"
#include "app/common/desktop/settingswarning.h"
#include "app/common/formatting.h"
#include "app/common/globals.h"
#include "app/common/inifilemodule.h"
#include "app/controls/pagestyle/pagestyle.h"
#include "app/controls/vxbtn.h"
#include "app/device/drv_hxr.h"
#include "app/device/hxr.h"
#include "app/shell/connection.h"
#include "app/shell/handlertrap.h"
#include "app/shell/menucontrol.h"
#include "platform/vb/cstr.h"
#include "platform/vb/datetime.h"
#include "platform/vb/val.h"
#include "platform/vb/vberror.h"

namespace app::analysis::pages {

namespace pagestyle = app::controls::pagestyle;

namespace {

using app::controls::VXBtn;

constexpr OleColour White = 0xFFFFFF;
constexpr double MicrosPerReading = 208.333333333333;
constexpr int32_t MaxPosition = 10'000'000;
constexpr int32_t HighestStart = 9'995'200;
constexpr int ExtraInfoTwips = 2000;
const QString ExtraInfoTemplate =
    QStringLiteral("Cursors**Time Difference:*    #1*Value Difference:*    #2");
const QString LogFilter = QStringLiteral("Log Files (*.csv)") + QChar(0) + QStringLiteral("*.csv") +
                          QChar(0) + QStringLiteral("All Files (*.*)") + QChar(0) +
                          QStringLiteral("*.*") + QChar(0);

// Rounds as the system does: halves to even.
int32_t roundEven(double value)
{
    return static_cast<int32_t>(std::nearbyint(value));
}

// The snapshot's n readings reduced for an overview w columns wide. Column x shows positions
// round(N / W x) .. round(N / W (x + 2)): two neighbouring segments, each reduced once.
// Together the segments cover 1 .. N, so they also give the snapshot's extremes without a pass
// of their own. Where the strip has a column for every two readings or fewer, a column shows
// one reading.
OverviewTrace overviewTrace(int32_t n, int w)
{
    OverviewTrace trace;
    const std::vector<float> &readings = CurrentSnapshot().readings;
    const double perColumn = w > 0 ? double(n) / w : 0.0;
    trace.envelope = w >= 2 && 2 * w < n;
    if (!trace.envelope) {
        SnapshotMinMax(1, n, trace.minimum, trace.maximum);
        for (int x = 0; x < w; ++x)
            trace.lows.push_back(
                readings[static_cast<size_t>(std::clamp(roundEven(perColumn * x), 1, n))]);
        return trace;
    }
    trace.lows.assign(static_cast<size_t>(w) + 2, 0.0f);
    trace.highs.assign(static_cast<size_t>(w) + 2, 0.0f);
    trace.minimum = readings[1];
    trace.maximum = trace.minimum;
    for (int x = 0; x <= w + 1; ++x) {
        const int32_t from = std::max(1, roundEven(perColumn * x));
        const int32_t to = std::min(n, roundEven(perColumn * (x + 1)));
        float &m = trace.lows[static_cast<size_t>(x)];
        float &mx = trace.highs[static_cast<size_t>(x)];
        if (!SnapshotMinMax(from, std::max(from, to), m, mx))
            m = mx = readings[static_cast<size_t>(n)];
        trace.minimum = std::min(trace.minimum, m);
        trace.maximum = std::max(trace.maximum, mx);
    }
    return trace;
}

// The number a seven-digit text shows, in the program's separators.
double shownNumber(QString text)
{
    text.replace(app::common::ProgramSeparators().decimal, QLatin1Char('.'));
    return platform::vb::Val(text);
}

} // namespace

CHILD_GEN_REVIEW::CHILD_GEN_REVIEW(QWidget *parent)
    : SignalPage(FormName, QStringLiteral("Copy Chart &Image"), parent)
{
    setUpChart(1);
    chart().setChartEnabled(true);
    connect(signalChart_, &SignalChart::Clicked, this, &CHILD_GEN_REVIEW::chartClicked);
    connect(signalChart_, &SignalChart::CopyRequested, this, &CHILD_GEN_REVIEW::copyChart);
    connect(signalChart_->ReleaseCaptureTimer(), &QTimer::timeout, this, [this] { setFocus(); });

    overview_ = new OverviewStrip(this);
    overview_->setObjectName(QStringLiteral("OverView"));
    connect(overview_, &OverviewStrip::MouseDown, this, &CHILD_GEN_REVIEW::overviewMouseDown);
    connect(overview_, &OverviewStrip::MouseMove, this, &CHILD_GEN_REVIEW::overviewMouseMove);
    connect(overview_, &OverviewStrip::MouseUp, this, &CHILD_GEN_REVIEW::overviewMouseUp);
    connect(overview_, &OverviewStrip::Wheel, this, &CHILD_GEN_REVIEW::wheelTurned);

    auto toggle = [this](const QString &caption, const QString &tip) {
        VXBtn *button = pagestyle::makeButton(this, caption);
        button->setTOGGLE(true);
        button->SetToolTip(tip);
        return button;
    };
    detect_ = toggle(QStringLiteral("Peak Detect"),
                     QStringLiteral("Draw the highest and lowest reading of each point"));
    auto_ = toggle(QStringLiteral("Auto Scale"), QStringLiteral("Scale the chart to the readings"));
    cursor2_ = toggle(QStringLiteral("Cursor 2"),
                      QStringLiteral("The next click on the chart places the second cursor"));
    zoom_ = pagestyle::makeButton(this, QStringLiteral("Crop"));
    zoom_->SetToolTip(QStringLiteral("Keep only the highlighted section"));
    save_ = pagestyle::makeButton(this, QStringLiteral("Save"));
    save_->SetToolTip(QStringLiteral("Save the data to a CSV file"));
    load_ = pagestyle::makeButton(this, QStringLiteral("Load"));
    load_->SetToolTip(QStringLiteral("Load a CSV data file"));
    connect(detect_, &VXBtn::Click, this, &CHILD_GEN_REVIEW::drawChart);
    connect(cursor2_, &VXBtn::Click, this, &CHILD_GEN_REVIEW::cursor2Clicked);
    connect(zoom_, &VXBtn::Click, this, &CHILD_GEN_REVIEW::zoomClicked);
    connect(save_, &VXBtn::Click, this, &CHILD_GEN_REVIEW::saveClicked);
    connect(load_, &VXBtn::Click, this, &CHILD_GEN_REVIEW::loadClicked);

    peaksTimer_ = new QTimer(this);
    peaksTimer_->setSingleShot(true);
    peaksTimer_->setInterval(PeaksMs);
    connect(peaksTimer_, &QTimer::timeout, this, &CHILD_GEN_REVIEW::peaksTimeout);

    setFocusPolicy(Qt::StrongFocus);
    layOut();
    // Label 0 hidden, the second cursor's switch run once, cursor 0 hidden.
    chart().setAnnotation(0);
    chart().setAnnoVisible(false);
    cursor2Clicked();
    chart().setCursor(0);
    chart().setCursorVisible(false);
    clearPage();
}

CHILD_GEN_REVIEW::~CHILD_GEN_REVIEW() = default;

QString CHILD_GEN_REVIEW::HelpText() const
{
    return QStringLiteral(
        "This page allows you to review the captured data.*Use the navigation control under the "
        "chart to move, expand and contract the highlighted section to locate the data of "
        "interest.**If you have captured a large amount of data you can navigate so you are "
        "viewing the data of interest, then click 'Crop' to remove the unwanted data. You can "
        "now review or save this new subset of data.**Previously saved data can be reloaded "
        "and reviewed.");
}

QTimer *CHILD_GEN_REVIEW::ReleaseCaptureTimer() const
{
    return signalChart_->ReleaseCaptureTimer();
}

void CHILD_GEN_REVIEW::Activated()
{
    try {
        app::device::HXR *hxr = app::device::HXRObject();
        const bool connected = !app::shell::CurrentConnection().ConnectionStatusText.isEmpty();
        if (hxr && connected && !app::device::StreamRunning())
            hxr->RST();
    } catch (const platform::vb::VbError &) {
        app::shell::LogSkippedHandler(objectName(), "Activated");
    }
    app::shell::ShowExtraInfo(ExtraInfoTemplate, ExtraInfoTwips);
    panelFilled_ = false;
    TimedRefresh();
}

void CHILD_GEN_REVIEW::DeActivated()
{
    // The panel goes to the next page.
    panelFilled_ = false;
}

void CHILD_GEN_REVIEW::ShowSnapshot()
{
    const Snapshot &snap = CurrentSnapshot();
    startTime_ = snap.startTime;
    startMicros_ = snap.startMicros;
    first_ = 1;
    last_ = total_ = snap.upperBound();
    if (total_ <= 0) {
        clearPage();
        return;
    }
    chart().ClearGraph();
    // The chart keeps look and mode per cursor: both follow the click that places them, or the
    // second would stay where it was made, at the left edge.
    for (int c : {1, 0}) {
        chart().setCursor(c);
        chart().setCursorColor(SignalTheme::chartMarks());
        chart().setCursorStyle(chart::LineType::Dashed);
        chart().setCursorMode(chart::CursorMode::FollowsClick);
        chart().setCursorVisible(false);
    }
    chart().setAnnotation(0);
    chart().setAnnoLabelColor(SignalTheme::chartMarks());
    chart().setAnnoVisible(false);
    ShowOverview(overview_, true);
}

void CHILD_GEN_REVIEW::clearPage()
{
    // Nothing to show: no old picture, and nothing that would read outside the data.
    chart().ClearGraph();
    plottedValues_.clear();
    plottedPositions_.clear();
    plottedCount_ = 0;
    total_ = last_ = 0;
    thumbLeft_ = thumbWidth_ = sectionStart_ = sectionLength_ = 0;
    dragging_ = false;
    peaksTimer_->stop();
    overview_->clear();
    setDataControlsEnabled(false);
}

void CHILD_GEN_REVIEW::setDataControlsEnabled(bool enabled)
{
    overview_->setEnabled(enabled);
    zoom_->setEnabled(enabled && sectionLength_ > 10);
    save_->setEnabled(enabled);
    cursor2_->setEnabled(false);
    chart().setChartEnabled(enabled);
}

const QImage &CHILD_GEN_REVIEW::OverviewMask() const
{
    return overview_->mask();
}

const QImage &CHILD_GEN_REVIEW::overviewBackground() const
{
    return overview_->drawing();
}

int CHILD_GEN_REVIEW::overviewWidth() const
{
    return overview_->width();
}

void CHILD_GEN_REVIEW::ShowOverview(OverviewStrip *picture, bool resetThumb)
{
    const int32_t n = CurrentSnapshot().upperBound();
    if (n <= 0 || !picture)
        return;
    const int w = picture->width();
    OverviewTrace trace = overviewTrace(n, w);
    // One wild reading would flatten the picture: clean the snapshot and scale again.
    if (std::fabs(trace.minimum) > 99'999'999.0f || std::fabs(trace.maximum) > 99'999'999.0f) {
        CleanupSnapshot();
        trace = overviewTrace(n, w);
    }
    picture->drawTrace(trace, SignalTheme::chartPlot(), SignalTheme::chartMarks());
    if (resetThumb) {
        thumbLeft_ = roundEven(w / 20.0);
        thumbWidth_ = roundEven(w * 0.9);
        sectionStart_ = roundEven(n / 20.0);
        sectionLength_ = roundEven(n * 0.9);
    }
    RedrawSelectorThumb();
    auto_->setState(true);
    drawChart();
    setDataControlsEnabled(true);
}

void CHILD_GEN_REVIEW::RedrawSelectorThumb()
{
    overview_->showThumb(thumbLeft_, thumbWidth_, SignalTheme::chartMarks());
}

void CHILD_GEN_REVIEW::notePoint(float value, double position, double &minimum, double &maximum)
{
    chart().PlotY(value, 1);
    plottedValues_.push_back(value);
    plottedPositions_.push_back(position);
    minimum = std::min(minimum, double(value));
    maximum = std::max(maximum, double(value));
}

void CHILD_GEN_REVIEW::setRanges(double xMaximum, double minimum, double maximum)
{
    if (!auto_->State())
        return;
    const double margin = (maximum - minimum) / 20;
    chart().SetRange(0.0, xMaximum, minimum - margin, maximum + margin);
}

void CHILD_GEN_REVIEW::plotPlain(int32_t step, int pixels, double &minimum, double &maximum)
{
    const std::vector<float> &readings = CurrentSnapshot().readings;
    // The section is positions s + 1 .. s + L; the last point starts a whole step.
    const int32_t end = sectionStart_ + sectionLength_ - step + 1;
    for (int32_t p = sectionStart_ + 1; p <= end; p += step)
        notePoint(readings[static_cast<size_t>(p)], p, minimum, maximum);
    const int32_t points = static_cast<int32_t>(plottedValues_.size());
    const int32_t xMaximum = sectionLength_ < pixels ? sectionLength_ - 1 : points;
    setRanges(xMaximum, minimum, maximum);
    plottedCount_ = xMaximum;
}

void CHILD_GEN_REVIEW::plotPeaks(int32_t step, double &minimum, double &maximum)
{
    const int32_t sectionEnd = sectionStart_ + sectionLength_;
    const int32_t end = sectionEnd - step + 1;
    for (int32_t p = sectionStart_ + 1; p <= end; p += step) {
        float m = 0.0f;
        float mx = 0.0f;
        // A block never reaches past the section.
        if (!SnapshotMinMax(p, std::min(p + step, sectionEnd), m, mx))
            continue;
        notePoint(mx, p, minimum, maximum);
        notePoint(m, p, minimum, maximum);
    }
    plottedCount_ = static_cast<int32_t>(plottedValues_.size());
    setRanges(plottedCount_, minimum, maximum);
}

void CHILD_GEN_REVIEW::drawChart()
{
    double maximum = -1.0e10;
    double minimum = 1.0e9;
    if (sectionStart_ + sectionLength_ > total_)
        sectionLength_ = total_ - sectionStart_;
    const int pixels = signalChart_->widget()->width();
    if (total_ <= 0 || sectionLength_ <= 0 || pixels < 2)
        return;
    const int32_t step = std::max(1, sectionLength_ / pixels);

    cursor2_->setState(false);
    cursor2Clicked();
    for (int c : {0, 1}) {
        chart().setCursor(c);
        chart().setCursorVisible(false);
        chart().setAnnotation(c);
        chart().setAnnoVisible(false);
    }
    chart().setCursor(0);
    chart().setAnnotation(0);
    cursor2_->setEnabled(false);
    // The cursors' differences go with them: the panel empty and hidden, as the page opened.
    if (std::exchange(panelFilled_, false)) {
        app::shell::ShowExtraInfo(ExtraInfoTemplate, ExtraInfoTwips);
        app::shell::HideExtraInfo();
    }

    plottedValues_.clear();
    plottedPositions_.clear();
    chart().ClearGraph();
    chart().AddElement();
    chart().setElementLineColor(White);
    if (sectionLength_ <= pixels || !detect_->State())
        plotPlain(step, pixels, minimum, maximum);
    else
        plotPeaks(2 * step, minimum, maximum);
    labelHeight_ = minimum - (maximum - minimum) / 25;
    storedMaximum_ = maximum;
}

int CHILD_GEN_REVIEW::modeAt(int x) const
{
    const int w = overviewWidth();
    int mode = 1;
    if (x < thumbLeft_ + 1)
        mode = 0;
    else if (x >= thumbLeft_ + thumbWidth_ - 1)
        mode = 2;
    const bool atEnd = thumbLeft_ == 0 || thumbLeft_ + thumbWidth_ == w || thumbWidth_ >= w;
    if (atEnd && x < 10)
        mode = 0;
    else if (atEnd && x > w - 10)
        mode = 2;
    return mode;
}

void CHILD_GEN_REVIEW::overviewMouseDown(int x)
{
    if (total_ <= 0)
        return;
    dragging_ = true;
    dragAnchor_ = x;
    dragMode_ = modeAt(x);
    dragStartLeft_ = thumbLeft_;
    dragStartWidth_ = thumbWidth_;
    lastDragX_ = -1;
}

void CHILD_GEN_REVIEW::overviewMouseMove(int x, bool buttonDown)
{
    if (total_ <= 0)
        return;
    const int w = overviewWidth();
    if (!dragging_ || !buttonDown) {
        static const Qt::CursorShape Shapes[] = {Qt::SplitHCursor, Qt::SizeAllCursor,
                                                 Qt::SplitHCursor};
        overview_->setCursor(Shapes[modeAt(x)]);
        return;
    }
    if ((x < 0 && thumbLeft_ == 0) || (x > w && thumbLeft_ + thumbWidth_ == w) || x == lastDragX_)
        return;
    const int32_t d = dragAnchor_ - x;
    switch (dragMode_) {
    case 0: {
        // The right edge stays; the left one moves within the strip and short of it.
        const int32_t right = dragStartLeft_ + dragStartWidth_;
        thumbLeft_ = std::clamp(dragStartLeft_ - d, 0, std::max(0, right - 1));
        thumbWidth_ = std::max(1, right - thumbLeft_);
        break;
    }
    case 2:
        thumbWidth_ = std::clamp(dragStartWidth_ - d, 1, std::max(1, w - thumbLeft_));
        break;
    default:
        thumbLeft_ = std::clamp(dragStartLeft_ - d, 0, std::max(0, w - thumbWidth_));
        break;
    }
    sectionFromThumb(double(last_ - first_) / (w - 1), true);
    detect_->setState(false);
    auto_->setState(false);
    peaksTimer_->start();
    drawChart();
    RedrawSelectorThumb();
    lastDragX_ = x;
    zoom_->setEnabled(sectionLength_ > 10);
}

void CHILD_GEN_REVIEW::overviewMouseUp(int)
{
    if (!dragging_)
        return;
    dragging_ = false;
    drawChart();
    setFocus();
}

void CHILD_GEN_REVIEW::sectionFromThumb(double scale, bool thinThumbMinimum)
{
    sectionStart_ = roundEven(scale * thumbLeft_);
    sectionLength_ = roundEven(scale * thumbWidth_);
    if (thinThumbMinimum && thumbWidth_ <= 3)
        sectionLength_ = std::max(sectionLength_, roundEven(overviewWidth() * 1.5));
    if (sectionStart_ > MaxPosition)
        sectionStart_ = HighestStart;
    sectionStart_ = std::max(0, sectionStart_);
    sectionLength_ = std::clamp(sectionLength_, 0, MaxPosition - sectionStart_);
}

void CHILD_GEN_REVIEW::peaksTimeout()
{
    detect_->setState(true);
    auto_->setState(true);
    drawChart();
}

void CHILD_GEN_REVIEW::wheelTurned(int notches)
{
    if (total_ <= 0)
        return;
    for (; notches > 0; --notches)
        zoomThumb(true);
    for (; notches < 0; ++notches)
        zoomThumb(false);
}

void CHILD_GEN_REVIEW::zoomThumb(bool in)
{
    const int w = overviewWidth();
    if (w < 2)
        return;
    const int32_t centre = roundEven(thumbWidth_ / 2.0 + thumbLeft_);
    if (in) {
        thumbWidth_ = std::max(1, roundEven(thumbWidth_ / 1.5));
        thumbLeft_ = std::max(0, roundEven(centre - thumbWidth_ / 2.0));
    } else {
        thumbWidth_ = std::min(w, roundEven(thumbWidth_ * 1.5));
        thumbLeft_ = roundEven(centre - thumbWidth_ / 2.0);
        if (thumbLeft_ + thumbWidth_ > w)
            thumbLeft_ = w - thumbWidth_;
        thumbLeft_ = std::max(0, thumbLeft_);
    }
    sectionFromThumb(double(last_ - first_) / w, false);
    drawChart();
    RedrawSelectorThumb();
    zoom_->setEnabled(sectionLength_ > 10);
}

void CHILD_GEN_REVIEW::wheelEvent(QWheelEvent *event)
{
    // The page stands in for the focused wheel list: every notch anywhere on it counts.
    const int notches = event->angleDelta().y() / 120;
    if (notches != 0)
        wheelTurned(notches);
    event->accept();
}

void CHILD_GEN_REVIEW::chartClicked(double x)
{
    if (plottedValues_.empty())
        return;
    cursor2_->setEnabled(true);
    const bool second = cursor2_->State();
    // A click past the plotted points reads the nearest one.
    const auto i = static_cast<size_t>(
        std::clamp(roundEven(x), 0, static_cast<int32_t>(plottedValues_.size()) - 1));
    // Position 1 is the start time.
    const double t = std::nearbyint((plottedPositions_[i] - 1) * MicrosPerReading) + startMicros_;
    const double s = std::floor(t / 1'000'000.0);
    const auto micros = static_cast<int64_t>(t - s * 1'000'000.0);
    const QDateTime when = startTime_.addSecs(static_cast<qint64>(s));
    const QString timeText = QLocale().toString(when.date(), QLocale::ShortFormat) +
                             QLatin1Char(' ') + platform::vb::LongTime(when.time()) +
                             QLatin1Char(':') + QString::number(micros) +
                             QStringLiteral("\u00B5s");
    // The value as the label shows it: differences are taken between the shown values, so
    // that 61.529 and 52.28 differ by 9.249, not by a float's rounding of it.
    const QString valueText = app::common::FormatSevenDigits(plottedValues_[i]);
    const double value = shownNumber(valueText);

    const int index = second ? 1 : 0;
    chart().setCursor(index);
    chart().setAnnotation(index);
    chart().setAnnoLabelX(plottedCount_ * (second ? 0.66 : 0.04));
    chart().setAnnoLabelY(labelHeight_);
    chart().setAnnoLabelCaption(timeText + QStringLiteral(" = ") + valueText);
    chart().setCursorVisible(true);
    chart().setAnnoVisible(true);
    setFocus();
    if (second) {
        const QString units = app::shell::CurrentConnection().DisplayUnitsText;
        const QString difference =
            platform::vb::CStr(value - firstCursorValue_, app::common::ProgramSeparators());
        app::shell::FillExtraInfo(
            {app::common::FormatInterval(roundEven(t - firstCursorTime_)),
             app::common::FormatSevenDigitsStr(difference) + QLatin1Char(' ') + units});
        panelFilled_ = true;
    } else {
        firstCursorValue_ = value;
        firstCursorTime_ = t;
    }
}

void CHILD_GEN_REVIEW::cursor2Clicked()
{
    const OleColour marks = SignalTheme::chartMarks();
    if (cursor2_->State()) {
        for (int c : {0, 1}) {
            chart().setCursor(c);
            chart().setCursorColor(marks);
            chart().setCursorVisible(true);
            chart().setAnnotation(c);
            chart().setAnnoLabelColor(marks);
            chart().setAnnoVisible(true);
        }
        return;
    }
    chart().setCursor(1);
    chart().setCursorVisible(false);
    chart().setAnnotation(1);
    chart().setAnnoVisible(false);
    chart().setCursor(0);
    chart().setAnnotation(0);
}

void CHILD_GEN_REVIEW::zoomClicked()
{
    if (total_ <= 0 || sectionLength_ <= 0)
        return;
    CropSnapshot(sectionStart_, sectionStart_ + sectionLength_);
    ShowSnapshot();
}

void CHILD_GEN_REVIEW::copyChart()
{
    if (chart().annotationCount() < 3)
        chart().AddAnnotation();
    QString info = app::shell::ExtraInfoText();
    info.remove(QStringLiteral("       "));
    info.replace(QStringLiteral("\r\n"), QStringLiteral("   "));
    info.replace(QLatin1Char('\n'), QStringLiteral("   "));
    chart().setAnnotation(2);
    chart().setAnnoVisible(true);
    chart().setAnnoLabelX(0.0);
    chart().setAnnoLabelY(storedMaximum_);
    chart().setAnnoLabelCaption(info);
    copyChartPicture();
    chart().setAnnoVisible(false);
}

QString CHILD_GEN_REVIEW::GetSaveFileName()
{
    return chooseLogFile(true);
}

QString CHILD_GEN_REVIEW::GetRestoreFilename()
{
    return chooseLogFile(false);
}

// Both dialogs start in the last folder of "Files"/"LogsInitDir" and keep it there.
QString CHILD_GEN_REVIEW::chooseLogFile(bool save)
{
    using namespace app::common;
    const QString section = QStringLiteral("Files");
    const QString key = QStringLiteral("LogsInitDir");
    QString folder = ReadIniValue(SettingsFilePath(), section, key, DataFolder());
    desktop::WriteIniSetting(section, key, folder);
    QString fileName;
    const QString path =
        save ? desktop::ShowSaveDialog(this, LogFilter, QStringLiteral("csv"), folder,
                                       QStringLiteral("Save Log File"), fileName, true)
             : desktop::ShowOpenDialog(this, LogFilter, QStringLiteral("csv"), folder,
                                       QStringLiteral("Load Log File"), fileName, true);
    if (!path.isEmpty())
        desktop::WriteIniSetting(section, key, folder);
    return path;
}

void CHILD_GEN_REVIEW::saveClicked()
{
    runFileJob(true);
}

void CHILD_GEN_REVIEW::loadClicked()
{
    runFileJob(false);
}

void CHILD_GEN_REVIEW::runFileJob(bool save)
{
    const QString path = save ? GetSaveFileName() : GetRestoreFilename();
    if (path.isEmpty())
        return;
    // The page takes no input meanwhile; the notice holds the main window's.
    setEnabled(false);
    bool cancelled = false;
    QString error;
    {
        CsvProgressNotice notice;
        error = save ? SaveCSV(path, &notice, &cancelled) : LoadCSV(path, &notice, &cancelled);
    }
    setEnabled(true);
    if (!error.isEmpty()) {
        const QString what = save ? QStringLiteral("saved") : QStringLiteral("loaded");
        app::common::desktop::ShowMessage(QStringLiteral("The file %1 could not be %2.\r\n%3")
                                     .arg(QDir::toNativeSeparators(path), what, error),
                                 save ? QStringLiteral("Save Data") : QStringLiteral("Load Data"),
                                 true, app::common::desktop::MessageOk);
        return;
    }
    if (!save && !cancelled)
        ShowSnapshot();
}

void CHILD_GEN_REVIEW::layOut()
{
    constexpr int Margin = 8;
    constexpr int Row = 24;
    constexpr int Strip = 48;
    const int w = width() - 2 * Margin;
    const int buttonsTop = visibleHeight() - Margin - Row;
    const int stripTop = buttonsTop - 6 - Strip;
    signalChart_->widget()->setGeometry(Margin, Margin, w, std::max(0, stripTop - 6 - Margin));
    overview_->setGeometry(Margin, stripTop, w, Strip);
    const int buttonWidth = (w - 5 * 6) / 6;
    int x = Margin;
    for (VXBtn *button : {detect_, auto_, cursor2_, zoom_, save_, load_}) {
        button->setGeometry(x, buttonsTop, buttonWidth, Row);
        x += buttonWidth + 6;
    }
}

} // namespace app::analysis::pages
