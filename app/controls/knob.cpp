#include "app/controls/knob.h"

#include <algorithm>
#include <cmath>

#include <QLabel>
#include <QMouseEvent>
#include <QPalette>

#include "app/controls/picturebox.h"
#include "app/controls/twips.h"
#include "platform/vb/convert.h"
#include "platform/vb/vberror.h"
#include "platform/win/propertybag.h"

namespace app::controls {

namespace {

constexpr float Step = 2.7f; // degrees per turning step
constexpr float LowestAngle = 45.0f;
constexpr float HighestAngle = 315.0f;
constexpr double TablePi = 3.14;

struct Radii
{
    int16_t inner;
    int16_t outer;
};
constexpr std::array<Radii, 5> RadiiBySize = {{{6, 12}, {8, 15}, {9, 18}, {12, 22}, {15, 37}}};

// Size classes by the picture's height in twips.
int16_t sizeClassFor(double heightTwips)
{
    if (heightTwips > 855)
        return 4;
    if (heightTwips > 735)
        return 3;
    if (heightTwips > 615)
        return 2;
    if (heightTwips > 495)
        return 1;
    return 0;
}

[[noreturn]] void raiseError(int number, const char *description)
{
    throw platform::vb::VbError(number, QStringLiteral("Knob"), QString::fromLatin1(description));
}

void requireFinite(float value)
{
    if (!std::isfinite(value))
        raiseError(platform::vb::VbError::InvalidCall, "Invalid procedure call or argument");
}

} // namespace

Knob::Knob(QWidget *parent) : UserControl(parent)
{
    knob1_ = new PictureBox(this);
    knob1_->setFillStyle(PictureBox::FillSolid);
    knob1_->setMouseTracking(true);
    knob1_->installEventFilter(this);
    lLeft_ = new QLabel(QStringLiteral("000"), this);
    lRight_ = new QLabel(QStringLiteral("000"), this);
    for (QLabel *label : {lLeft_, lRight_}) {
        label->setAttribute(Qt::WA_TransparentForMouseEvents);
        label->adjustSize();
    }
    knob1_->setBackColor(BackColor_);
    knob1_->setForeColor(InnerColor_);
    knob1_->setFillColor(KnobColor_);
    setMarksColor(MarksColor_);
    BuildTable();
    repaintKnob();
}

void Knob::BuildTable()
{
    for (size_t i = 0; i < sine_.size(); ++i) {
        const double radians = static_cast<double>(i) * TablePi / 180.0;
        sine_[i] = std::sin(radians);
        cosine_[i] = std::cos(radians);
    }
}

void Knob::repaintKnob()
{
    drawKnob(*knob1_, counter_, sizeClass_);
}

void Knob::drawKnob(PictureBox &Picture, float Value, int16_t Size, bool ForceIt)
{
    Picture.Cls();
    Picture.setDrawWidth(2);
    centreX_ = static_cast<float>(Picture.ScaleWidth()) / 2.0f;
    centreY_ = static_cast<float>(Picture.ScaleHeight()) / 2.0f;

    // One step per call, whatever the difference.
    if (!ForceIt) {
        if (Value > lastPainted_)
            angle_ -= Step;
        else if (Value < lastPainted_)
            angle_ += Step;
    }
    angle_ = std::clamp(angle_, LowestAngle, HighestAngle);

    const Radii radii = RadiiBySize[static_cast<size_t>(std::clamp<int16_t>(Size, 0, 4))];
    innerRadius_ = radii.inner;
    outerRadius_ = radii.outer;
    const double inner = innerRadius_;
    const double outer = outerRadius_;
    const auto at = [this](int index, double radius) {
        return QPointF(centreX_ + radius * sine_[static_cast<size_t>(index)],
                       centreY_ + radius * cosine_[static_cast<size_t>(index)]);
    };

    const int mark = platform::vb::CInt(angle_);
    const QPointF markFrom = at(mark, inner);
    const QPointF markTo = at(mark, outer);

    Picture.setDrawWidth(MarksWidth_);
    for (int tick : {315, 45, 180}) {
        const QPointF from = at(tick, inner);
        const QPointF to = at(tick, outer + 9);
        Picture.Line(from.x(), from.y(), to.x(), to.y(), MarksColor_);
    }

    Picture.setDrawWidth(OutlineWidth_);
    Picture.Circle(centreX_, centreY_, outer, OutlineColor_);

    Picture.setDrawWidth(InnerWidth_);
    Picture.Circle(centreX_ + 0.5, centreY_ + 0.5, outer * (Size == 0 ? 0.75 : 0.8));

    Picture.setDrawWidth(MarkerWidth_);
    Picture.Line(markFrom.x(), markFrom.y(), markTo.x(), markTo.y(), MarkColor_);

    lastPainted_ = platform::vb::TryCInt(Value).value_or(lastPainted_);
}

// ---- Properties --------------------------------------------------------------------------------

void Knob::ReadProperties(const platform::win::PropertyBag &bag)
{
    setBackColor(bag.readColour(QStringLiteral("BackColor"), 0));
    setMarkColor(bag.readColour(QStringLiteral("MarkColor"), 0));
    setOutlineColor(bag.readColour(QStringLiteral("OutlineColor"), 0));
    setInnerColor(bag.readColour(QStringLiteral("InnerColor"), 0));
    setKnobColor(bag.readColour(QStringLiteral("KnobColor"), 0));
    setMarkerWidth(static_cast<int16_t>(bag.read(QStringLiteral("MarkerWidth"), 2).toInt()));
    setMarksWidth(static_cast<int16_t>(bag.read(QStringLiteral("MarksWidth"), 1).toInt()));
    setMarksColor(bag.readColour(QStringLiteral("MarksColor"), 0));
    setOutlineWidth(static_cast<int16_t>(bag.read(QStringLiteral("OutlineWidth"), 2).toInt()));
    setInnerWidth(static_cast<int16_t>(bag.read(QStringLiteral("InnerWidth"), 1).toInt()));
    setLabelLeft(bag.read(QStringLiteral("LabelLeft"), QStringLiteral("000")).toString());
    setLabelRight(bag.read(QStringLiteral("LabelRight"), QStringLiteral("000")).toString());
    Min_ = bag.read(QStringLiteral("Min"), 0.0f).toFloat();
    Max_ = bag.read(QStringLiteral("Max"), 1000.0f).toFloat();
    setPercent(bag.read(QStringLiteral("Percent"), 0.0f).toFloat());
}

void Knob::WriteProperties(platform::win::PropertyBag &bag) const
{
    bag.writeColour(QStringLiteral("BackColor"), BackColor_, 0);
    bag.writeColour(QStringLiteral("MarkColor"), MarkColor_, 0);
    bag.writeColour(QStringLiteral("OutlineColor"), OutlineColor_, 0);
    bag.writeColour(QStringLiteral("InnerColor"), InnerColor_, 0);
    bag.writeColour(QStringLiteral("KnobColor"), KnobColor_, 0);
    bag.write(QStringLiteral("MarkerWidth"), MarkerWidth_, int16_t{2});
    bag.write(QStringLiteral("MarksWidth"), MarksWidth_, int16_t{1});
    bag.writeColour(QStringLiteral("MarksColor"), MarksColor_, 0);
    bag.write(QStringLiteral("OutlineWidth"), OutlineWidth_, int16_t{2});
    bag.write(QStringLiteral("InnerWidth"), InnerWidth_, int16_t{1});
    bag.write(QStringLiteral("LabelLeft"), LabelLeft(), QStringLiteral("000"));
    bag.write(QStringLiteral("LabelRight"), LabelRight(), QStringLiteral("000"));
    bag.write(QStringLiteral("Min"), Min_, 0.0f);
    bag.write(QStringLiteral("Max"), Max_, 1000.0f);
    bag.write(QStringLiteral("Percent"), Percent(), 0.0f);
}

void Knob::setBackColor(OleColour value)
{
    BackColor_ = value;
    knob1_->setBackColor(value);
    repaintKnob();
}

void Knob::setMarkColor(OleColour value)
{
    MarkColor_ = value;
    repaintKnob();
}

void Knob::setOutlineColor(OleColour value)
{
    OutlineColor_ = value;
    repaintKnob();
}

void Knob::setInnerColor(OleColour value)
{
    InnerColor_ = value;
    knob1_->setForeColor(value);
    repaintKnob();
}

void Knob::setKnobColor(OleColour value)
{
    KnobColor_ = value;
    knob1_->setFillColor(value);
    repaintKnob();
}

void Knob::setMarkerWidth(int16_t value)
{
    MarkerWidth_ = value;
    repaintKnob();
}

void Knob::setMarksWidth(int16_t value)
{
    MarksWidth_ = value;
    repaintKnob();
}

void Knob::setMarksColor(OleColour value)
{
    MarksColor_ = value;
    for (QLabel *label : {lLeft_, lRight_}) {
        QPalette palette = label->palette();
        palette.setColor(QPalette::WindowText, colour(value));
        label->setPalette(palette);
    }
    repaintKnob();
}

void Knob::setOutlineWidth(int16_t value)
{
    OutlineWidth_ = value;
    repaintKnob();
}

void Knob::setInnerWidth(int16_t value)
{
    InnerWidth_ = value;
    repaintKnob();
}

QString Knob::LabelLeft() const
{
    return lLeft_->text();
}

void Knob::setLabelLeft(const QString &value)
{
    lLeft_->setText(value);
    placeLabels();
}

QString Knob::LabelRight() const
{
    return lRight_->text();
}

void Knob::setLabelRight(const QString &value)
{
    lRight_->setText(value);
    placeLabels();
}

float Knob::Percent() const
{
    return std::fabs(angle_ / Step - 117.0f);
}

void Knob::setPercent(float value)
{
    requireFinite(value);
    angle_ = (117.0f - value) * Step;
    // The painter compares with the counter, so the next turning step follows the pointer.
    drawKnob(*knob1_, counter_, sizeClass_, true);
    emit Turned();
}

float Knob::Value() const
{
    return Min_ + (Max_ - Min_) * Percent() / 100.0f;
}

void Knob::setValue(float value)
{
    requireFinite(value);
    const float offset = value - Min_;
    const float range = Max_ - Min_;
    if (range == 0.0f) {
        if (offset == 0.0f)
            raiseError(platform::vb::VbError::Overflow, "Overflow");
        raiseError(platform::vb::VbError::DivisionByZero, "Division by zero");
    }
    setPercent(std::clamp(offset / range * 100.0f, 0.0f, 100.0f));
}

// ---- Layout and turning ------------------------------------------------------------------------

void Knob::resizeEvent(QResizeEvent *event)
{
    UserControl::resizeEvent(event);
    knob1_->setGeometry(0, 0, width(), height());
    sizeClass_ = sizeClassFor(toTwips(knob1_->height()));
    placeLabels();
    repaintKnob();
}

void Knob::placeLabels()
{
    for (QLabel *label : {lLeft_, lRight_})
        label->adjustSize();
    const int bottom = knob1_->geometry().bottom() + 1;
    lLeft_->move(0, bottom - lLeft_->height());
    lRight_->move(knob1_->width() - lRight_->width(), bottom - lRight_->height());
    lLeft_->raise();
    lRight_->raise();
}

bool Knob::eventFilter(QObject *watched, QEvent *event)
{
    if (watched == knob1_ && event->type() == QEvent::MouseMove) {
        const auto *move = static_cast<QMouseEvent *>(event);
        if (move->buttons() == Qt::LeftButton)
            turn(static_cast<float>(move->position().x()),
                 static_cast<float>(move->position().y()));
    }
    return UserControl::eventFilter(watched, event);
}

void Knob::turn(float x, float y)
{
    const float halfWidth = static_cast<float>(knob1_->ScaleWidth()) / 2.0f;
    const float halfHeight = static_cast<float>(knob1_->ScaleHeight()) / 2.0f;
    const float sideways = y < halfHeight ? 1.0f : -1.0f;
    if (x > lastX_)
        counter_ += sideways;
    else if (x < lastX_)
        counter_ -= sideways;
    const float upwards = x < halfWidth ? -1.0f : 1.0f;
    if (y > lastY_)
        counter_ += upwards;
    else if (y < lastY_)
        counter_ -= upwards;

    drawKnob(*knob1_, counter_, sizeClass_);
    emit Turned();

    // The counter comes back into range; the last painted value moves with it, so the next step
    // still turns with the pointer.
    float shift = 0.0f;
    if (counter_ > 100.0f)
        shift = 50.0f - counter_;
    else if (counter_ < -100.0f)
        shift = -50.0f - counter_;
    if (shift != 0.0f) {
        counter_ += shift;
        lastPainted_ = platform::vb::TryCInt(lastPainted_ + shift).value_or(lastPainted_);
    }
    lastX_ = x;
    lastY_ = y;
}

} // namespace app::controls
