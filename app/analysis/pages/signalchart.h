#ifndef APP_ANALYSIS_PAGES_SIGNALCHART_H
#define APP_ANALYSIS_PAGES_SIGNALCHART_H

#include <QObject>
#include <QString>
#include <QVariant>
#include <QVariantList>

class QAction;
class QMenu;
class QTimer;
class QWidget;

namespace app::analysis::chart {
class ChartControl;
class ChartDispatch;
} // namespace app::analysis::chart

namespace app::analysis::pages {

// A signal page's chart with what every chart page does around it: calls by identifier whose
// failures are ignored, so a failing call skips only itself; the pop-up menu with its copy
// item, which a click on the plot keeps from opening on the mouse event that follows; and the
// 200 ms timer that ends the mouse capture after a click.
class SignalChart : public QObject
{
    Q_OBJECT

public:
    static constexpr int ReleaseCaptureMs = 200;

    SignalChart(QWidget *page, const QString &copyCaption);
    ~SignalChart() override;

    QWidget *widget() const;
    app::analysis::chart::ChartDispatch &dispatch() const { return *dispatch_; }

    // A method call and a property assignment; a failure is ignored.
    void call(int dispid, const QVariantList &args = {});
    void let(int dispid, const QVariant &value);
    // A property read; invalid when it fails.
    QVariant get(int dispid) const;

    QMenu *mnuChart() const { return menu_; }
    QAction *mnuCopyChart() const { return copy_; }
    QTimer *ReleaseCaptureTimer() const { return releaseTimer_; }
    // The timer keeps the capture while its tag is "1".
    QString releaseCaptureTag;
    bool suppressMenu() const { return suppressMenu_; }

signals:
    // The chart's click with its x in data units (event 9).
    void Clicked(double x);
    // The menu's copy item.
    void CopyRequested();

private:
    void chartEvent(int dispid, const QVariantList &args);
    void releaseCapture();

    app::analysis::chart::ChartControl *chart_ = nullptr;
    app::analysis::chart::ChartDispatch *dispatch_ = nullptr;
    QMenu *menu_ = nullptr;
    QAction *copy_ = nullptr;
    QTimer *releaseTimer_ = nullptr;
    bool suppressMenu_ = false;
};

} // namespace app::analysis::pages

#endif
