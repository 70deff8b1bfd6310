#include "app/controls/rangeselect.h"

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <limits>

#include <QMouseEvent>
#include <QPainter>

#include "app/controls/propertybag.h"
#include "app/controls/twips.h"
#include "platform/vb/convert.h"
#include "platform/vb/vberror.h"

namespace app::controls {

namespace {

constexpr int DivisionByZero = 11;
constexpr OleColour StripeGrey = 0xA6A6A6u;
constexpr OleColour StripeWhite = 0xFFFFFFu;

const QString Source = QStringLiteral("RangeSelect");
constexpr double PlacementLimitTwips = 1.0e7;

double rounded(double value)
{
    return std::nearbyint(value);
}

int32_t checkedSpan(int32_t end, int32_t start)
{
    const int64_t span = static_cast<int64_t>(end) - start;
    if (span < std::numeric_limits<int32_t>::min() || span > std::numeric_limits<int32_t>::max())
        throw platform::vb::VbError(platform::vb::VbError::Overflow, Source,
                                    QStringLiteral("Overflow"));
    return static_cast<int32_t>(span);
}

} // namespace

// The thumb and its two grips: each paints itself and hands its pointer events to the range
// selector, which does all the geometry.
class RangePart : public QWidget
{
public:
    RangePart(RangeSelect &owner, RangeSelect::Part part, QWidget *parent)
        : QWidget(parent), owner_(owner), part_(part)
    {}

protected:
    void paintEvent(QPaintEvent *) override
    {
        QPainter painter(this);
        painter.fillRect(rect(), UserControl::colour(owner_.ForeColor()));
        if (part_ == RangeSelect::Part::Thumb)
            return;
        // Vertical stripes, one pixel each, inside a one-pixel margin.
        const QRect inner = rect().adjusted(1, 1, -1, -1);
        for (int x = inner.left(); x <= inner.right(); ++x) {
            const bool grey = (x - inner.left()) % 2 == 0;
            painter.fillRect(QRect(x, inner.top(), 1, inner.height()),
                             UserControl::colour(grey ? StripeGrey : StripeWhite));
        }
    }
    void mousePressEvent(QMouseEvent *event) override
    {
        owner_.partPressed(part_, event->button(), event->position().x() * TwipsPerPixel);
    }
    void mouseMoveEvent(QMouseEvent *event) override
    {
        owner_.partMoved(part_, event->position().x() * TwipsPerPixel);
    }
    void mouseReleaseEvent(QMouseEvent *event) override
    {
        owner_.partReleased(part_, event->button(), rect().contains(event->position().toPoint()));
    }

private:
    RangeSelect &owner_;
    RangeSelect::Part part_;
};

RangeSelect::RangeSelect(QWidget *parent) : UserControl(parent)
{
    setMouseTracking(false);
    thumb_ = new RangePart(*this, Part::Thumb, this);
    left_ = new RangePart(*this, Part::Left, thumb_);
    right_ = new RangePart(*this, Part::Right, thumb_);
}

QWidget *RangeSelect::part(Part which) const
{
    switch (which) {
    case Part::Thumb:
        return thumb_;
    case Part::Left:
        return left_;
    case Part::Right:
        return right_;
    }
    return nullptr;
}

double RangeSelect::widthTwips() const
{
    return toTwips(width());
}

void RangeSelect::ReadProperties(const PropertyBag &bag)
{
    Max_ = bag.read(QStringLiteral("Max"), 100000).toInt();
    BackColor_ = bag.readColour(QStringLiteral("BackColor"), 0xFFFFFFu);
    ForeColor_ = bag.readColour(QStringLiteral("ForeColor"), 0xC0C0C0u);
    ValueStart_ = bag.read(QStringLiteral("ValueStart"), 40000).toInt();
    ValueEnd_ = bag.read(QStringLiteral("ValueEnd"), 60000).toInt();
    ValueSpan_ = bag.read(QStringLiteral("ValueSpan"), 20000).toInt();
    update();
    DrawMe();
}

void RangeSelect::WriteProperties(PropertyBag &bag) const
{
    bag.writeColour(QStringLiteral("BackColor"), BackColor_, 0xFFFFFFu);
    bag.writeColour(QStringLiteral("ForeColor"), ForeColor_, 0xC0C0C0u);
    bag.write(QStringLiteral("ValueStart"), ValueStart_, 40000);
    bag.write(QStringLiteral("ValueEnd"), ValueEnd_, 60000);
    bag.write(QStringLiteral("ValueSpan"), ValueSpan_, 20000);
    bag.write(QStringLiteral("Max"), Max_, 100000);
}

void RangeSelect::setBackColor(OleColour value)
{
    BackColor_ = value;
    update();
}

void RangeSelect::setForeColor(OleColour value)
{
    ForeColor_ = value;
    for (QWidget *shown : {static_cast<QWidget *>(thumb_), static_cast<QWidget *>(left_),
                           static_cast<QWidget *>(right_)})
        shown->update();
}

void RangeSelect::setValueStart(int32_t value)
{
    ValueStart_ = value;
    DrawMe();
}

void RangeSelect::setValueEnd(int32_t value)
{
    ValueEnd_ = value;
    DrawMe();
}

void RangeSelect::setValueSpan(int32_t)
{
    throw platform::vb::VbError(SetNotSupported, Source,
                                QStringLiteral("Set not supported at run time"));
}

void RangeSelect::setMax(int32_t value)
{
    Max_ = value;
    computeScale();
    DrawMe();
}

void RangeSelect::computeScale()
{
    const double width = widthTwips();
    if (width == 0.0)
        throw platform::vb::VbError(DivisionByZero, Source, QStringLiteral("Division by zero"));
    scale_ = static_cast<float>(Max_) / static_cast<float>(width);
}

void RangeSelect::DrawMe()
{
    if (scale_ == 0.0f) {
        try {
            computeScale();
        } catch (const platform::vb::VbError &) {
            // Without a width there is nothing to place yet.
        }
    }
    // With Max 0 the scale stays 0 and the thumb keeps its place.
    if (scale_ != 0.0f) {
        const int64_t span = static_cast<int64_t>(ValueEnd_) - ValueStart_;
        if (span >= std::numeric_limits<int32_t>::min() &&
            span <= std::numeric_limits<int32_t>::max()) {
            thumbLeft_ = static_cast<float>(ValueStart_) / scale_;
            thumbWidth_ = static_cast<float>(span) / scale_;
        }
        placeThumb();
    }
    bringToFront(thumbLeft_ > widthTwips() / 2.0 ? Part::Left : Part::Right);
}

void RangeSelect::placeThumb()
{
    // Values far outside the scale put the thumb far off the control, never past what a
    // widget position can hold.
    const auto pixels = [](double twips) {
        return toPixels(std::clamp(twips, -PlacementLimitTwips, PlacementLimitTwips));
    };
    const int height = std::max(0, toPixels(toTwips(this->height()) - ThumbGapTwips));
    thumb_->setGeometry(pixels(thumbLeft_), 0, std::max(0, pixels(thumbWidth_)), height);
    left_->setGeometry(0, 0, toPixels(GripTwips), height);
    right_->setGeometry(pixels(thumbWidth_ - GripInsetTwips), 0, toPixels(GripTwips), height);
}

void RangeSelect::bringToFront(Part which)
{
    front_ = which;
    (which == Part::Left ? left_ : right_)->raise();
}

void RangeSelect::partPressed(Part which, Qt::MouseButton button, double x)
{
    if (button == Qt::RightButton)
        return;
    dragging_ = true;
    pressed_ = which;
    grab_ = static_cast<int32_t>(rounded(x));
}

void RangeSelect::partMoved(Part which, double x)
{
    // Without a scale (Max 0) no values can be computed.
    if (!dragging_ || which != pressed_ || scale_ == 0.0f)
        return;
    const double left = thumbLeft_;
    const double width = thumbWidth_;
    const int32_t start = ValueStart_;
    const int32_t end = ValueEnd_;
    const int32_t span = ValueSpan_;
    try {
        switch (which) {
        case Part::Thumb:
            moveThumb(x);
            break;
        case Part::Left:
            moveStart(x);
            break;
        case Part::Right:
            moveEnd(x);
            break;
        }
        recomputeValues();
    } catch (const platform::vb::VbError &) {
        // Values past 32 bits: the move is undone and not reported.
        thumbLeft_ = left;
        thumbWidth_ = width;
        ValueStart_ = start;
        ValueEnd_ = end;
        ValueSpan_ = span;
        placeThumb();
        return;
    }
    placeThumb();
    emit Scroll();
}

void RangeSelect::partReleased(Part which, Qt::MouseButton button, bool inside)
{
    const bool dragged = dragging_;
    dragging_ = false;
    if (which == Part::Thumb ? (button == Qt::LeftButton && inside) : dragged)
        DrawMe();
}

void RangeSelect::moveThumb(double x)
{
    double left = rounded(thumbLeft_ - (grab_ - x));
    if (left < 0)
        left = 0;
    if (left > widthTwips() - thumbWidth_)
        left = rounded(widthTwips() - thumbWidth_ - ThumbGapTwips);
    thumbLeft_ = left;
}

void RangeSelect::moveStart(double x)
{
    // The right end stays where it is; the start stops the narrowest thumb short of it.
    const double right = thumbLeft_ + thumbWidth_;
    double left = rounded(thumbLeft_ - (grab_ - x));
    if (left > right - MinThumbTwips)
        left = right - MinThumbTwips;
    if (left < 0)
        left = 0;
    thumbLeft_ = left;
    thumbWidth_ = right - left;
}

void RangeSelect::moveEnd(double x)
{
    double right = rounded(thumbWidth_ + thumbLeft_ - (grab_ - x));
    if (right < 0)
        right = 0;
    if (right > widthTwips())
        right = rounded(widthTwips());
    double width = rounded(right - thumbLeft_);
    if (width < MinThumbTwips)
        width = MinThumbTwips;
    thumbWidth_ = width;
}

void RangeSelect::recomputeValues()
{
    const int32_t start =
        platform::vb::CLng(static_cast<double>(static_cast<float>(thumbLeft_) * scale_));
    const int32_t end = platform::vb::CLng(
        static_cast<double>(static_cast<float>(thumbWidth_ + thumbLeft_) * scale_));
    const int32_t span = checkedSpan(end, start);
    ValueStart_ = start;
    ValueEnd_ = end;
    ValueSpan_ = span;
}

void RangeSelect::paintEvent(QPaintEvent *)
{
    QPainter painter(this);
    painter.fillRect(rect(), colour(BackColor_));
}

void RangeSelect::resizeEvent(QResizeEvent *event)
{
    UserControl::resizeEvent(event);
    try {
        computeScale();
        DrawMe();
    } catch (const platform::vb::VbError &) {
        // A width of 0 leaves the last layout; the host learns of it when it sets Max.
    }
}

} // namespace app::controls
