#include "app/analysis/chart/repaintpacer.h"

#include <cmath>

#include <QMetaObject>
#include <QScreen>
#include <QWidget>

namespace app::analysis::chart {

RepaintPacer::RepaintPacer(QWidget &widget) : widget_(widget)
{
    frameTimer_.setSingleShot(true);
    frameTimer_.setTimerType(Qt::PreciseTimer);
    QObject::connect(&frameTimer_, &QTimer::timeout, &widget_, [this] { frameEnded(); });
}

void RepaintPacer::changed()
{
    changed_ = true;
    // A burst of changes (a page's whole tick) is paced once, when it is over; QWidget::update
    // and the clock cost enough to be asked once, not once a point.
    if (repaintAsked_ || pacingPosted_)
        return;
    pacingPosted_ = true;
    QMetaObject::invokeMethod(
        &widget_, [this] { pace(); }, Qt::QueuedConnection);
}

void RepaintPacer::painting()
{
    // Only a paint with a repaint asked settles the change and starts a frame: a grab() within
    // a frame paints an image, not the screen, which is still painted as paced.
    if (repaintAsked_) {
        repaintAsked_ = false;
        changed_ = false;
        frameTimer_.stop();
        sincePaint_.start();
    }
}

void RepaintPacer::pace()
{
    pacingPosted_ = false;
    if (!changed_ || repaintAsked_)
        return;
    const int frame = frameMs();
    const qint64 since = sincePaint_.isValid() ? sincePaint_.elapsed() : frame;
    if (since >= frame) {
        ask();
        return;
    }
    // Within a frame of the last paint: the next change after the frame paints it, so that a
    // page ticking faster than the screen paints on its own ticks and no timer wakes the
    // program for it. Should none come, the frame after this one paints it.
    if (!frameTimer_.isActive())
        frameTimer_.start(static_cast<int>(2 * frame - since));
}

void RepaintPacer::ask()
{
    repaintAsked_ = true;
    widget_.update();
}

void RepaintPacer::frameEnded()
{
    // The last change is always painted: a repaint asked before that never came (the widget
    // hidden meanwhile) is asked again.
    if (changed_)
        ask();
}

int RepaintPacer::frameMs() const
{
    const QScreen *shown = widget_.screen();
    const double rate = shown && shown->refreshRate() >= 1.0 ? shown->refreshRate() : 60.0;
    // Rounded up, so that the widget never paints more often than the screen shows.
    return static_cast<int>(std::ceil(1000.0 / rate));
}

} // namespace app::analysis::chart
