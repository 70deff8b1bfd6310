#include "app/analysis/pages/overviewstrip.h"

#include <algorithm>

#include <QLineF>
#include <QMouseEvent>
#include <QPainter>
#include <QWheelEvent>

#include "app/common/desktop/systemhelpers.h"

namespace app::analysis::pages {

namespace {

constexpr int NotchEighths = 120;

QColor qtColour(platform::win::OleColour colour)
{
    return QColor(static_cast<int>(colour & 0xFF), static_cast<int>((colour >> 8) & 0xFF),
                  static_cast<int>((colour >> 16) & 0xFF));
}

} // namespace

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

void OverviewStrip::drawTrace(const OverviewTrace &trace, platform::win::OleColour background,
                              platform::win::OleColour marks)
{
    const int w = width();
    const int h = height();
    if (w < 2 || h < 1)
        return;
    double yScale = (double(trace.maximum) - trace.minimum) / h;
    if (yScale == 0.0)
        yScale = 1.0;
    QImage drawing(w, h, QImage::Format_ARGB32_Premultiplied);
    drawing.fill(qtColour(background));
    QPainter painter(&drawing);
    painter.setPen(qtColour(marks));
    auto column = [&](int x, double top) { painter.drawLine(QLineF(x + 0.5, h, x + 0.5, top)); };
    if (trace.envelope) {
        for (int x = 0; x <= w; ++x) {
            const auto i = static_cast<size_t>(x);
            const float m = std::min(trace.lows[i], trace.lows[i + 1]);
            const float mx = std::max(trace.highs[i], trace.highs[i + 1]);
            column(x, h - 1 - (m - trace.minimum) / yScale);
            column(x + 1, h - 1 - (mx - trace.minimum) / yScale);
        }
    } else {
        for (int x = 0; x < w; ++x)
            column(x, h - (trace.lows[static_cast<size_t>(x)] - trace.minimum) / yScale);
    }
    painter.end();
    drawing_ = drawing;
    mask_ = QImage(w, h, QImage::Format_ARGB32_Premultiplied);
    mask_.fill(Qt::black);
}

void OverviewStrip::showThumb(int left, int width, platform::win::OleColour marks)
{
    if (drawing_.isNull())
        return;
    QImage shade(drawing_.size(), QImage::Format_ARGB32_Premultiplied);
    app::common::desktop::BlendOutsideRange(mask_, shade, Qt::transparent, left, left + width,
                                            ShadeAlpha);
    QImage shown = drawing_;
    QPainter painter(&shown);
    painter.drawImage(0, 0, shade);
    painter.setPen(qtColour(marks));
    const int right = left + width - 1;
    painter.drawLine(left, 0, left, shown.height() - 1);
    painter.drawLine(right, 0, right, shown.height() - 1);
    painter.end();
    setPicture(shown);
}

void OverviewStrip::clear()
{
    drawing_ = QImage();
    setPicture(QImage());
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
