#include "app/controls/slider.h"

#include <cmath>

#include <QMouseEvent>
#include <QPainter>

#include "app/controls/propertybag.h"
#include "app/controls/twips.h"

namespace app::controls {

// The round handle: a filled dot in a bevelled ring. It takes the pointer events so that only a
// press on the handle starts a drag, and shows the slider's tooltip.
class SliderHandle : public QWidget
{
public:
    explicit SliderHandle(Slider &slider) : QWidget(&slider), slider_(slider)
    {
        resize(toPixels(Slider::HandleTwips), toPixels(Slider::HandleTwips));
    }

protected:
    void paintEvent(QPaintEvent *) override
    {
        QPainter painter(this);
        painter.setRenderHint(QPainter::Antialiasing);
        const QRectF ring = QRectF(rect()).adjusted(0.5, 0.5, -0.5, -0.5);
        painter.setPen(Qt::NoPen);
        painter.setBrush(UserControl::colour(slider_.fillColour()));
        painter.drawEllipse(ring);
        // The bevel: light from the top left, shade to the bottom right.
        painter.setBrush(Qt::NoBrush);
        painter.setPen(QPen(QColor(255, 255, 255, 200), 1.5));
        painter.drawArc(ring.adjusted(1, 1, -1, -1), 45 * 16, 180 * 16);
        painter.setPen(QPen(QColor(0, 0, 0, 160), 1.5));
        painter.drawArc(ring.adjusted(1, 1, -1, -1), 225 * 16, 180 * 16);
        painter.setPen(QPen(QColor(64, 64, 64), 1.0));
        painter.drawEllipse(ring);
    }
    void mousePressEvent(QMouseEvent *event) override
    {
        slider_.handlePressed(event->button(), toTwips(event->position()));
    }
    void mouseMoveEvent(QMouseEvent *event) override
    {
        slider_.handleMoved(event->buttons(), toTwips(event->position()));
    }
    void mouseReleaseEvent(QMouseEvent *) override { slider_.handleReleased(); }

private:
    static double toTwips(const QPointF &position) { return position.x() * TwipsPerPixel; }

    Slider &slider_;
};

Slider::Slider(QWidget *parent) : UserControl(parent), handle_(new SliderHandle(*this))
{
    setMouseTracking(false);
    // The container's height is ignored: every resize keeps 285 twips.
    setFixedHeight(toPixels(HeightTwips));
    layOut();
}

QWidget *Slider::handle() const
{
    return handle_;
}

double Slider::widthTwips() const
{
    return toTwips(width());
}

void Slider::ReadProperties(const PropertyBag &bag)
{
    Enabled_ = bag.read(QStringLiteral("Enabled"), true).toBool();
    Value_ = bag.read(QStringLiteral("Value"), 0.0f).toFloat();
    Max_ = bag.read(QStringLiteral("Max"), 100.0f).toFloat();
    Min_ = bag.read(QStringLiteral("Min"), 0.0f).toFloat();
    ToolTipText_ = bag.read(QStringLiteral("ToolTipText"), QString()).toString();
    handle_->setToolTip(ToolTipText_);
    layOut();
    // Loading keeps the design fill: only an assignment recolours.
    ForeColor_ = bag.readColour(QStringLiteral("ForeColor"), 0xFFu);
    DisabledColor_ = bag.readColour(QStringLiteral("DisabledColor"), 0u);
}

void Slider::WriteProperties(PropertyBag &bag) const
{
    bag.write(QStringLiteral("Enabled"), Enabled_, true);
    bag.write(QStringLiteral("Value"), Value_, 0.0f);
    bag.write(QStringLiteral("Max"), Max_, 100.0f);
    bag.write(QStringLiteral("Min"), Min_, 0.0f);
    bag.write(QStringLiteral("ToolTipText"), ToolTipText_, QString());
    bag.writeColour(QStringLiteral("ForeColor"), ForeColor_, 0xFFu);
    bag.writeColour(QStringLiteral("DisabledColor"), DisabledColor_, 0u);
}

void Slider::setEnabled(bool value)
{
    Enabled_ = value;
    layOut();
    recolour();
}

void Slider::setValue(float value)
{
    Value_ = value;
    layOut();
    emit Change(Value_);
}

void Slider::setMax(float value)
{
    Max_ = value;
    layOut();
}

void Slider::setMin(float value)
{
    Min_ = value;
    layOut();
}

void Slider::setToolTipText(const QString &value)
{
    ToolTipText_ = value;
    handle_->setToolTip(value);
}

void Slider::setForeColor(OleColour value)
{
    ForeColor_ = value;
    recolour();
}

void Slider::setDisabledColor(OleColour value)
{
    DisabledColor_ = value;
    recolour();
}

void Slider::recolour()
{
    fill_ = Enabled_ ? ForeColor_ : DisabledColor_;
    handle_->update();
    update();
}

void Slider::layOut()
{
    if (Value_ < Min_)
        Value_ = Min_;
    if (Value_ > Max_)
        Value_ = Max_;
    // An empty range has no handle position: the handle stays where it was.
    if (Max_ != Min_) {
        const double left = (widthTwips() - HandleTwips) / (static_cast<double>(Max_) - Min_) *
                            (static_cast<double>(Value_) - Min_);
        if (std::isfinite(left))
            handleLeft_ = left;
    }
    placeHandle();
}

void Slider::placeHandle()
{
    const double top = (HeightTwips - HandleTwips) / 2.0;
    handle_->move(toPixels(handleLeft_), toPixels(top));
    update();
}

void Slider::handlePressed(Qt::MouseButton, double x)
{
    grab_ = static_cast<int>(std::nearbyint(x));
    handle_->setCursor(Qt::PointingHandCursor);
}

void Slider::handleMoved(Qt::MouseButtons buttons, double x)
{
    if (buttons != Qt::LeftButton || !Enabled_)
        return;
    const double travel = widthTwips() - HandleTwips;
    double left = std::nearbyint(handleLeft_ - grab_ + x);
    if (left < 0)
        left = 0;
    if (left > travel)
        left = std::nearbyint(travel);
    handleLeft_ = left;
    placeHandle();
    // A slider no wider than its handle has no travel: the value stays.
    if (travel != 0.0) {
        const double f = std::nearbyint(left / travel * 100.0) / 100.0;
        Value_ = static_cast<float>(Min_ + (static_cast<double>(Max_) - Min_) * f);
    }
    emit Change(Value_);
}

void Slider::handleReleased()
{
    handle_->setCursor(Qt::ArrowCursor);
}

void Slider::resizeEvent(QResizeEvent *event)
{
    UserControl::resizeEvent(event);
    layOut();
}

void Slider::paintEvent(QPaintEvent *)
{
    QPainter painter(this);
    const double top = (toTwips(height()) - RunnerTwips) / 2.0;
    painter.fillRect(QRect(0, toPixels(top), width(), toPixels(RunnerTwips)), colour(fill_));
}

} // namespace app::controls
