#include "app/analysis/pages/signalchart.h"

#include <QAction>
#include <QCursor>
#include <QMenu>
#include <QTimer>
#include <QWidget>

#include "app/analysis/chart/chartcontrol.h"
#include "app/analysis/chart/chartdispatch.h"
#include "platform/vb/vberror.h"

namespace app::analysis::pages {

namespace ChartEvent = app::analysis::chart::ChartEvent;

SignalChart::SignalChart(QWidget *page, const QString &copyCaption)
    : QObject(page), chart_(app::analysis::chart::CreateChart(page)),
      dispatch_(new app::analysis::chart::ChartDispatch(*chart_, this)), menu_(new QMenu(page)),
      releaseTimer_(new QTimer(this))
{
    menu_->setObjectName(QStringLiteral("mnuChart"));
    copy_ = menu_->addAction(copyCaption);
    copy_->setObjectName(QStringLiteral("mnuCopyChart"));
    connect(copy_, &QAction::triggered, this, &SignalChart::CopyRequested);

    releaseTimer_->setInterval(ReleaseCaptureMs);
    connect(releaseTimer_, &QTimer::timeout, this, &SignalChart::releaseCapture);
    connect(dispatch_, &app::analysis::chart::ChartDispatch::Event, this,
            &SignalChart::chartEvent);
}

SignalChart::~SignalChart() = default;

QWidget *SignalChart::widget() const
{
    return chart_->widget();
}

void SignalChart::call(int dispid, const QVariantList &args)
{
    try {
        dispatch_->Invoke(dispid, args);
    } catch (const platform::vb::VbError &) {
        // The chart lacks the member: the page carries on without it.
    }
}

void SignalChart::let(int dispid, const QVariant &value)
{
    try {
        dispatch_->Let(dispid, value);
    } catch (const platform::vb::VbError &) {
    }
}

QVariant SignalChart::get(int dispid) const
{
    try {
        return dispatch_->Get(dispid);
    } catch (const platform::vb::VbError &) {
        return {};
    }
}

void SignalChart::chartEvent(int dispid, const QVariantList &args)
{
    if (dispid == ChartEvent::Click) {
        suppressMenu_ = true;
        emit Clicked(args.value(0).toDouble());
        return;
    }
    if (dispid != ChartEvent::Mouse)
        return;
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
