#include "app/controls/picturebox.h"

#include <algorithm>
#include <cmath>

#include <QPainter>

#include "platform/win/gui/qcolour.h"

namespace app::controls {

namespace {

// Far beyond any picture, and safe to turn into an int.
constexpr double CoordinateLimit = 1.0e6;

int pixel(double coordinate)
{
    if (std::isnan(coordinate))
        return 0;
    return static_cast<int>(std::lround(std::clamp(coordinate, -CoordinateLimit, CoordinateLimit)));
}

QPoint point(double x, double y)
{
    return {pixel(x), pixel(y)};
}

} // namespace

PictureBox::PictureBox(QWidget *parent) : QWidget(parent)
{
    setAttribute(Qt::WA_OpaquePaintEvent);
    image_ = QImage(std::max(1, width()), std::max(1, height()), QImage::Format_RGB32);
    image_.fill(platform::win::gui::toQColor(BackColor_));
}

PictureBox::~PictureBox()
{
    endPainting();
}

void PictureBox::setBackColor(platform::win::OleColour value)
{
    BackColor_ = value;
    Cls();
}

void PictureBox::flush() const
{
    // Lines and points of one pen go out in one call each: a strip chart draws a thousand.
    if (!painter_)
        return;
    if (!pendingLines_.empty())
        painter_->drawLines(pendingLines_.data(), static_cast<int>(pendingLines_.size()));
    if (!pendingPoints_.empty())
        painter_->drawPoints(pendingPoints_.data(), static_cast<int>(pendingPoints_.size()));
    pendingLines_.clear();
    pendingPoints_.clear();
}

void PictureBox::endPainting() const
{
    if (painter_) {
        flush();
        painter_->end();
        painter_.reset();
    }
}

QPainter &PictureBox::painter(platform::win::OleColour colour)
{
    fitImage();
    if (!painter_) {
        painter_ = std::make_unique<QPainter>(&image_);
        painter_->setRenderHint(QPainter::Antialiasing, false);
        penWidth_ = 0;
    }
    if (penWidth_ != DrawWidth_ || penColour_ != colour) {
        flush();
        QPen pen(platform::win::gui::toQColor(colour));
        pen.setWidth(DrawWidth_ > 1 ? DrawWidth_ : 0);
        pen.setCapStyle(Qt::RoundCap);
        painter_->setPen(pen);
        penWidth_ = DrawWidth_;
        penColour_ = colour;
    }
    return *painter_;
}

void PictureBox::Cls()
{
    endPainting();
    fitImage();
    image_.fill(platform::win::gui::toQColor(BackColor_));
    scheduleUpdate();
}

void PictureBox::Line(double x1, double y1, double x2, double y2,
                      std::optional<platform::win::OleColour> colour)
{
    painter(colour.value_or(ForeColor_));
    pendingLines_.emplace_back(point(x1, y1), point(x2, y2));
    scheduleUpdate();
}

void PictureBox::PSet(double x, double y, std::optional<platform::win::OleColour> colour)
{
    painter(colour.value_or(ForeColor_));
    pendingPoints_.push_back(point(x, y));
    scheduleUpdate();
}

void PictureBox::Circle(double x, double y, double radius,
                        std::optional<platform::win::OleColour> colour)
{
    QPainter &p = painter(colour.value_or(ForeColor_));
    flush();
    p.setRenderHint(QPainter::Antialiasing, true);
    if (FillStyle_ == FillSolid)
        p.setBrush(platform::win::gui::toQColor(FillColor_));
    else
        p.setBrush(Qt::NoBrush);
    p.drawEllipse(QPointF(x, y), radius, radius);
    p.setRenderHint(QPainter::Antialiasing, false);
    scheduleUpdate();
}

const QImage &PictureBox::image() const
{
    fitImage();
    endPainting();
    return image_;
}

void PictureBox::scheduleUpdate()
{
    // One repaint request for a whole drawing, however many calls make it.
    if (updatePending_)
        return;
    updatePending_ = true;
    update();
}

void PictureBox::paintEvent(QPaintEvent *)
{
    updatePending_ = false;
    endPainting();
    QPainter p(this);
    p.drawImage(0, 0, image_);
}

void PictureBox::resizeEvent(QResizeEvent *event)
{
    fitImage();
    QWidget::resizeEvent(event);
}

void PictureBox::fitImage() const
{
    const QSize size(std::max(1, width()), std::max(1, height()));
    if (image_.size() == size)
        return;
    // A hidden widget hears of its new size only when shown; the drawing follows at once.
    endPainting();
    QImage resized(size, QImage::Format_RGB32);
    resized.fill(platform::win::gui::toQColor(BackColor_));
    QPainter p(&resized);
    p.drawImage(0, 0, image_);
    p.end();
    image_ = resized;
}

} // namespace app::controls
