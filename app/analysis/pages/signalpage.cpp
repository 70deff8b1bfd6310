#include "app/analysis/pages/signalpage.h"

#include <algorithm>

#include <QApplication>
#include <QClipboard>

#include "app/analysis/chart/chartcontrol.h"
#include "app/analysis/pages/signalchart.h"
#include "app/analysis/pages/signaltheme.h"
#include "app/controls/twips.h"
#include "app/shell/childcontrol.h"

namespace app::analysis::pages {

namespace {

constexpr int DesignWidth = 720;
constexpr int DesignHeight = 460;

} // namespace

SignalPage::SignalPage(const QString &formName, const QString &copyCaption, QWidget *parent)
    : ChildFormClass(formName, parent)
{
    resize(DesignWidth, DesignHeight);
    signalChart_ = new SignalChart(this, copyCaption);
}

void SignalPage::copyChartPicture()
{
    QApplication::clipboard()->clear();
    chart().CopyWindowToClipboard();
}

app::analysis::chart::ChartControl &SignalPage::chart() const
{
    return signalChart_->control();
}

void SignalPage::setUpChart(int labels)
{
    for (int i = 0; i < labels; ++i)
        chart().AddAnnotation();
    chart().AddCursor();
    chart().setFrameColor(SignalTheme::chartFrame());
    chart().setPlotAreaColor(SignalTheme::chartPlot());
}

int SignalPage::visibleHeight() const
{
    const int covered = app::controls::toPixels(app::shell::CoveredContainerBottomTwips) + 1;
    return std::max(0, height() - covered);
}

void SignalPage::resizeEvent(QResizeEvent *event)
{
    ChildFormClass::resizeEvent(event);
    layOut();
}

} // namespace app::analysis::pages
