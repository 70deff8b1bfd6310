#include "app/controls/progbar.h"

#include <algorithm>
#include <cmath>

#include <QPainter>

#include "platform/win/propertybag.h"

namespace app::controls {

ProgBar::ProgBar(QWidget *parent) : UserControl(parent)
{
    setAttribute(Qt::WA_OpaquePaintEvent);
    layoutBar();
}

void ProgBar::ReadProperties(const platform::win::PropertyBag &bag)
{
    Min_ = bag.read(QStringLiteral("Min"), 0.0f).toFloat();
    Max_ = bag.read(QStringLiteral("Max"), 100.0f).toFloat();
    BackColor_ = bag.readColour(QStringLiteral("BackColor"), 0x8000000Fu);
    BorderStyle_ = static_cast<int16_t>(bag.read(QStringLiteral("BorderStyle"), 0).toInt());
    ForeColor_ = bag.readColour(QStringLiteral("ForeColor"), 0x80000012u);
    Value_ = bag.read(QStringLiteral("Value"), 0.0f).toFloat();
    Segments_ = static_cast<int16_t>(bag.read(QStringLiteral("Segments"), 10).toInt());
    layoutBar();
}

void ProgBar::WriteProperties(platform::win::PropertyBag &bag) const
{
    bag.write(QStringLiteral("Min"), Min_, 0.0f);
    bag.write(QStringLiteral("Max"), Max_, 100.0f);
    bag.writeColour(QStringLiteral("BackColor"), BackColor_, 0x8000000Fu);
    bag.write(QStringLiteral("BorderStyle"), static_cast<int>(BorderStyle_), 0);
    bag.writeColour(QStringLiteral("ForeColor"), ForeColor_, 0x80000012u);
    bag.write(QStringLiteral("Value"), Value_, 0.0f);
    bag.write(QStringLiteral("Segments"), static_cast<int>(Segments_), 10);
}

void ProgBar::setBackColor(OleColour value)
{
    BackColor_ = value;
    update();
}

void ProgBar::setBorderStyle(int16_t value)
{
    BorderStyle_ = value;
    layoutBar();
}

void ProgBar::setForeColor(OleColour value)
{
    if (value == ForeColor_)
        return;
    ForeColor_ = value;
    layoutBar();
}

void ProgBar::setValue(float value)
{
    if (value == Value_)
        return;
    Value_ = value;
    layoutBar();
}

void ProgBar::setSegments(int16_t value)
{
    Segments_ = value;
    layoutBar();
}

QRect ProgBar::inner() const
{
    return BorderStyle_ != 0 ? rect().adjusted(1, 1, -1, -1) : rect();
}

int ProgBar::countFor(float value) const
{
    // An empty range or no blocks shows nothing rather than failing.
    if (Segments_ <= 0 || Max_ == Min_)
        return 0;
    const double count = (static_cast<double>(value) - Min_) / ((Max_ - Min_) / Segments_);
    if (!std::isfinite(count))
        return 0;
    const double rounded = std::nearbyint(std::clamp(count, -1.0, Segments_ + 1.0));
    return std::clamp(static_cast<int>(rounded), 0, static_cast<int>(Segments_));
}

void ProgBar::layoutBar()
{
    // Rounded down, so that all blocks fit inside the bar.
    segmentWidth_ =
        Segments_ > 0 ? std::max(0, (inner().width() - (Segments_ - 1)) / Segments_) : 0;
    lit_ = countFor(Value_);
    update(); // the whole bar: blocks that went out are cleared too
}

void ProgBar::DrawSegs(int16_t Count)
{
    lit_ = std::clamp(static_cast<int>(Count), 0, std::max(0, static_cast<int>(Segments_)));
    update();
}

void ProgBar::resizeEvent(QResizeEvent *event)
{
    UserControl::resizeEvent(event);
    layoutBar();
}

void ProgBar::paintEvent(QPaintEvent *)
{
    QPainter painter(this);
    painter.fillRect(rect(), colour(BackColor_));
    const QRect area = inner();
    if (BorderStyle_ != 0) {
        painter.setPen(colour(ForeColor_));
        painter.drawRect(rect().adjusted(0, 0, -1, -1));
    }
    const QColor lit = colour(ForeColor_);
    for (int i = 0; i < lit_; ++i) {
        const int x = area.left() + i * (segmentWidth_ + 1);
        // A block spans its width less a one-pixel gap, the full inner height.
        painter.fillRect(QRect(x, area.top(), std::max(1, segmentWidth_ - 1), area.height()), lit);
    }
}

} // namespace app::controls
