#ifndef APP_ANALYSIS_PAGES_SIGNALPAGE_H
#define APP_ANALYSIS_PAGES_SIGNALPAGE_H

#include <QString>

#include "app/shell/childformclass.h"

namespace app::analysis::chart {
class ChartControl;
}

namespace app::analysis::pages {

class SignalChart;

// What every signal page has: its chart, the page laid out again on each resize, and the
// chart's picture copied to the clipboard.
class SignalPage : public app::shell::ChildFormClass
{
    Q_OBJECT

protected:
    // The page at its design size with its chart, whose pop-up menu offers `copyCaption`.
    SignalPage(const QString &formName, const QString &copyCaption, QWidget *parent);

    // Places the chart and the controls in the page.
    virtual void layOut() = 0;
    // The page's height that shows in the main window: the bottom edge that the logo frame lies
    // over is left out.
    int visibleHeight() const;
    // The chart's picture on the clipboard, in place of whatever was there.
    void copyChartPicture();

    void resizeEvent(QResizeEvent *event) override;

    // The chart, called by member.
    app::analysis::chart::ChartControl &chart() const;
    // The chart's first settings on most pages: `labels` text labels and a cursor, and the
    // theme's colours around and inside the plot.
    void setUpChart(int labels);

    SignalChart *signalChart_ = nullptr;
};

} // namespace app::analysis::pages

#endif
