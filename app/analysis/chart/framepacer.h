#ifndef APP_ANALYSIS_CHART_FRAMEPACER_H
#define APP_ANALYSIS_CHART_FRAMEPACER_H

#include <functional>

#include <QTimer>

class QWidget;

namespace app::analysis::chart {

// Paces a widget's repaints to the frames of its screen. A change asks for a repaint after
// this pass of the event loop, when every change of the pass is made, or, within a frame of
// the last repaint, when that frame ends: never more than one a frame, and the last change is
// always painted. A hidden widget is not painted; showing it paints it whole.
class FramePacer
{
public:
    // repaint paints the widget at once, from its state as it is then.
    FramePacer(QWidget &widget, std::function<void()> repaint);
    FramePacer(const FramePacer &) = delete;
    FramePacer &operator=(const FramePacer &) = delete;

    void change();

private:
    void frameEnded();
    int frameMs() const;

    QWidget &widget_;
    std::function<void()> repaint_;
    bool changed_ = false;
    QTimer timer_;
};

} // namespace app::analysis::chart

#endif
