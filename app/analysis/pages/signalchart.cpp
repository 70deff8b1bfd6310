#include "app/analysis/pages/signalchart.h"

#include <QAction>
#include <QCursor>
#include <QMenu>
#include <QTimer>
#include <QWidget>

#include "app/analysis/chart/chartcontrol.h"

namespace app::analysis::pages {

SignalChart::SignalChart(QWidget *page, const QString &copyCaption)
    : QObject(page), chart_(app::analysis::chart::CreateChart(page)),
      chartWidget_(chart_->widget()), menu_(new QMenu(page)), releaseTimer_(new QTimer(this))
{
    menu_->setObjectName(QStringLiteral("mnuChart"));
    copy_ = menu_->addAction(copyCaption);
    copy_->setObjectName(QStringLiteral("mnuCopyChart"));
    connect(copy_, &QAction::triggered, this, &SignalChart::CopyRequested);

    releaseTimer_->setInterval(ReleaseCaptureMs);
    connect(releaseTimer_, &QTimer::timeout, this, &SignalChart::releaseCapture);
    chart_->setClickHandler([this](double x) { chartClicked(x); });
    chart_->setMouseHandler([this](int) { mouseReleased(); });
}

SignalChart::~SignalChart()
{
    // The chart is a later child of the page and outlives this object: it must not call back.
    if (chartWidget_) {
        chart_->setClickHandler({});
        chart_->setMouseHandler({});
    }
}

QWidget *SignalChart::widget() const
{
    return chart_->widget();
}

void SignalChart::chartClicked(double x)
{
    suppressMenu_ = true;
    emit Clicked(x);
}

void SignalChart::mouseReleased()
{
    // Qt holds the pointer while a button is down; the timer only ends what is left of it.
    releaseTimer_->start();
    if (!suppressMenu_)
        menu_->popup(QCursor::pos());
    suppressMenu_ = false;
}

void SignalChart::releaseCapture()
{
    if (releaseCaptureTag == QStringLiteral("1"))
        return;
    releaseTimer_->stop();
    if (QWidget *grabber = QWidget::mouseGrabber())
        grabber->releaseMouse();
}

} // namespace app::analysis::pages
