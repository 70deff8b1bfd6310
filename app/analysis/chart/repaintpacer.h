#ifndef APP_ANALYSIS_CHART_REPAINTPACER_H
#define APP_ANALYSIS_CHART_REPAINTPACER_H

#include <QElapsedTimer>
#include <QTimer>

class QWidget;

namespace app::analysis::chart {

// When a widget that changes in bursts repaints: a change only marks it changed, and the
// repaint is paced once the burst of changes is over: now if a frame of the screen has passed
// since the last paint, else with the next change after the frame, or at the latest when the
// frame after it ends.
class RepaintPacer
{
public:
    explicit RepaintPacer(QWidget &widget);

    RepaintPacer(const RepaintPacer &) = delete;
    RepaintPacer &operator=(const RepaintPacer &) = delete;

    // Marks the widget changed.
    void changed();
    // The widget paints: a repaint asked for is settled and a frame starts.
    void painting();

private:
    void pace();
    void ask();
    void frameEnded();
    int frameMs() const;

    QWidget &widget_;
    // Repaints: one asked of Qt and not yet painted, a change since the last paint, a pacing
    // posted for the burst of changes under way, the time since the last paint, and the
    // latest a change within a frame waits.
    bool repaintAsked_ = false;
    bool changed_ = false;
    bool pacingPosted_ = false;
    QElapsedTimer sincePaint_;
    QTimer frameTimer_;
};

} // namespace app::analysis::chart

#endif
