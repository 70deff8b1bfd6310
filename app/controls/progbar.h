#ifndef APP_CONTROLS_PROGBAR_H
#define APP_CONTROLS_PROGBAR_H

#include <cstdint>

#include "app/controls/usercontrol.h"

namespace platform::win {
class PropertyBag;
}

namespace app::controls {

// A segmented progress bar: a row of equal blocks, as many lit as the value's share of the
// range from Min to Max. Drawn in pixels.
class ProgBar : public UserControl
{
    Q_OBJECT

public:
    explicit ProgBar(QWidget *parent = nullptr);

    void ReadProperties(const platform::win::PropertyBag &bag);
    void WriteProperties(platform::win::PropertyBag &bag) const;

    // Shows Count blocks (clamped to 0 .. Segments) until the next layout.
    void DrawSegs(int16_t Count);

    float Min() const { return Min_; }
    void setMin(float value) { Min_ = value; }
    float Max() const { return Max_; }
    void setMax(float value) { Max_ = value; }
    OleColour BackColor() const { return BackColor_; }
    void setBackColor(OleColour value);
    int16_t BorderStyle() const { return BorderStyle_; }
    void setBorderStyle(int16_t value);
    OleColour ForeColor() const { return ForeColor_; }
    void setForeColor(OleColour value);
    float Value() const { return Value_; }
    void setValue(float value);
    int16_t Segments() const { return Segments_; }
    void setSegments(int16_t value);

    // What the bar shows: lit blocks and the pixels per block.
    int litCount() const { return lit_; }
    int segmentWidth() const { return segmentWidth_; }
    // The number of blocks the value lights: 0 for an empty range or no segments.
    int countFor(float value) const;

protected:
    void paintEvent(QPaintEvent *event) override;
    void resizeEvent(QResizeEvent *event) override;

private:
    void layoutBar();
    QRect inner() const;

    float Min_ = 0.0f;
    float Max_ = 100.0f;
    OleColour BackColor_ = 0x8000000Fu;
    int16_t BorderStyle_ = 0;
    OleColour ForeColor_ = 0x80000012u;
    float Value_ = 0.0f;
    int16_t Segments_ = 10;
    int segmentWidth_ = 0;
    int lit_ = 0;
};

} // namespace app::controls

#endif
