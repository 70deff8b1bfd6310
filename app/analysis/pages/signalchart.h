#ifndef APP_ANALYSIS_PAGES_SIGNALCHART_H
#define APP_ANALYSIS_PAGES_SIGNALCHART_H

#include <QObject>
#include <QPointer>
#include <QString>
#include <QWidget>

class QAction;
class QMenu;
class QTimer;

namespace app::analysis::chart {
class ChartControl;
}

namespace app::analysis::pages {

// A signal page's chart with what every chart page does around it: the pop-up menu with its
// copy item, which a click on the plot keeps from opening on the mouse event that follows; and
// the 200 ms timer that ends the mouse capture after a click.
class SignalChart : public QObject
{
    Q_OBJECT

public:
    static constexpr int ReleaseCaptureMs = 200;

    SignalChart(QWidget *page, const QString &copyCaption);
    ~SignalChart() override;

    QWidget *widget() const;
    // The chart itself, called by member.
    app::analysis::chart::ChartControl &control() const { return *chart_; }

    QMenu *mnuChart() const { return menu_; }
    QAction *mnuCopyChart() const { return copy_; }
    QTimer *ReleaseCaptureTimer() const { return releaseTimer_; }
    // The timer keeps the capture while its tag is "1".
    QString releaseCaptureTag;
    bool suppressMenu() const { return suppressMenu_; }

signals:
    // The chart's click with its x in data units.
    void Clicked(double x);
    // The menu's copy item.
    void CopyRequested();

private:
    void chartClicked(double x);
    void mouseReleased();
    void releaseCapture();

    app::analysis::chart::ChartControl *chart_ = nullptr;
    QPointer<QWidget> chartWidget_;
    QMenu *menu_ = nullptr;
    QAction *copy_ = nullptr;
    QTimer *releaseTimer_ = nullptr;
    bool suppressMenu_ = false;
};

} // namespace app::analysis::pages

#endif
