#ifndef APP_CONTROLS_RANGESELECT_H
#define APP_CONTROLS_RANGESELECT_H

#include <cstdint>

#include "app/controls/usercontrol.h"

namespace app::controls {

class PropertyBag;
class RangePart;

// A horizontal range bar: a coloured thumb on a track marks ValueStart to ValueEnd on a scale
// from 0 to Max. Dragging the thumb moves the range, dragging a grip moves that end; every move
// raises Scroll. Geometry in twips.
//
// Members that lay the control out raise platform::vb::VbError to the caller where the layout
// cannot be computed: division by zero for a control of width 0, overflow (6) for values that
// do not fit 32 bits. A drag that meets them moves nothing and raises no Scroll.
class RangeSelect : public UserControl
{
    Q_OBJECT

public:
    static constexpr int GripTwips = 80;
    static constexpr int GripInsetTwips = 90;  // the right grip's left edge from the thumb's right
    static constexpr int MinThumbTwips = 200;  // the narrowest thumb a grip drag leaves
    static constexpr int ThumbGapTwips = 30;   // under the thumb, and after a thumb drag to the end
    static constexpr int SetNotSupported = 382;

    enum class Part { Thumb, Left, Right };

    explicit RangeSelect(QWidget *parent = nullptr);

    void ReadProperties(const PropertyBag &bag);
    void WriteProperties(PropertyBag &bag) const;

    OleColour BackColor() const { return BackColor_; }
    void setBackColor(OleColour value);
    OleColour ForeColor() const { return ForeColor_; }
    void setForeColor(OleColour value);
    int32_t ValueStart() const { return ValueStart_; }
    void setValueStart(int32_t value);
    int32_t ValueEnd() const { return ValueEnd_; }
    void setValueEnd(int32_t value);
    int32_t ValueSpan() const { return ValueSpan_; }
    // Read-only: raises error 382 and changes nothing.
    void setValueSpan(int32_t value);
    int32_t Max() const { return Max_; }
    void setMax(int32_t value);

    // Places the thumb from the values.
    void DrawMe();

    // What the control shows, in twips, for tests.
    double thumbLeft() const { return thumbLeft_; }
    double thumbWidth() const { return thumbWidth_; }
    double widthTwips() const;
    float scale() const { return scale_; }
    bool dragging() const { return dragging_; }
    // The grip drawn over the other where they overlap.
    Part frontGrip() const { return front_; }
    QWidget *part(Part which) const;

    // Pointer events of the parts, x in the part's twips.
    void partPressed(Part which, Qt::MouseButton button, double x);
    void partMoved(Part which, double x);
    void partReleased(Part which, Qt::MouseButton button, bool inside);

signals:
    void Scroll();

protected:
    void resizeEvent(QResizeEvent *event) override;
    void paintEvent(QPaintEvent *event) override;

private:
    void computeScale();
    void placeThumb();
    void moveThumb(double x);
    void moveStart(double x);
    void moveEnd(double x);
    void recomputeValues();
    void bringToFront(Part which);

    OleColour BackColor_ = 0xFFFFFFu;
    OleColour ForeColor_ = 0xC0C0C0u;
    int32_t ValueStart_ = 40000;
    int32_t ValueEnd_ = 60000;
    int32_t ValueSpan_ = 20000;
    int32_t Max_ = 100000;

    float scale_ = 0.0f;
    bool dragging_ = false;
    int32_t grab_ = 0;
    double thumbLeft_ = 0.0;
    double thumbWidth_ = 0.0;
    Part front_ = Part::Right;
    Part pressed_ = Part::Thumb;
    RangePart *thumb_ = nullptr;
    RangePart *left_ = nullptr;
    RangePart *right_ = nullptr;
};

} // namespace app::controls

#endif
