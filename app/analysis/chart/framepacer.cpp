#include "app/analysis/chart/framepacer.h"

#include <cmath>
#include <utility>

#include <QScreen>
#include <QWidget>

namespace app::analysis::chart {

FramePacer::FramePacer(QWidget &widget, std::function<void()> repaint)
    : widget_(widget), repaint_(std::move(repaint))
{
    timer_.setSingleShot(true);
    timer_.setTimerType(Qt::PreciseTimer);
    QObject::connect(&timer_, &QTimer::timeout, &timer_, [this] { frameEnded(); });
}

void FramePacer::change()
{
    changed_ = true;
    // Asked once for the whole pass: a page sets thousands of points in one tick.
    if (!timer_.isActive())
        timer_.start(0);
}

void FramePacer::frameEnded()
{
    if (!changed_ || !widget_.isVisible() || !widget_.updatesEnabled())
        return;
    changed_ = false;
    repaint_();
    timer_.start(frameMs());
}

int FramePacer::frameMs() const
{
    const QScreen *shown = widget_.screen();
    const double rate = shown && shown->refreshRate() >= 1.0 ? shown->refreshRate() : 60.0;
    // Rounded up, so that the widget never paints more often than the screen shows.
    return static_cast<int>(std::ceil(1000.0 / rate));
}

} // namespace app::analysis::chart
