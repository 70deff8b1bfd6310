#include "app/analysis/pages/overviewstrip.h"

#include <QMouseEvent>
#include <QPainter>
#include <QWheelEvent>

namespace app::analysis::pages {

namespace {
constexpr int NotchEighths = 120;
}

OverviewStrip::OverviewStrip(QWidget *parent) : QWidget(parent)
{
    setMouseTracking(true);
    setAttribute(Qt::WA_OpaquePaintEvent);
}

void OverviewStrip::setPicture(const QImage &picture)
{
    picture_ = picture;
    update();
}

void OverviewStrip::paintEvent(QPaintEvent *)
{
    QPainter painter(this);
    painter.fillRect(rect(), Qt::black);
    if (!picture_.isNull())
        painter.drawImage(0, 0, picture_);
}

void OverviewStrip::mousePressEvent(QMouseEvent *event)
{
    if (event->button() == Qt::LeftButton)
        emit MouseDown(qRound(event->position().x()));
}

void OverviewStrip::mouseMoveEvent(QMouseEvent *event)
{
    emit MouseMove(qRound(event->position().x()), event->buttons() & Qt::LeftButton);
}

void OverviewStrip::mouseReleaseEvent(QMouseEvent *event)
{
    if (event->button() == Qt::LeftButton)
        emit MouseUp(qRound(event->position().x()));
}

void OverviewStrip::wheelEvent(QWheelEvent *event)
{
    wheelRest_ += event->angleDelta().y();
    const int notches = wheelRest_ / NotchEighths;
    wheelRest_ -= notches * NotchEighths;
    if (notches != 0)
        emit Wheel(notches);
    event->accept();
}

} // namespace app::analysis::pages
