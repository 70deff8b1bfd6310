#ifndef APP_CONTROLS_KNOB_H
#define APP_CONTROLS_KNOB_H

#include <array>
#include <cstdint>

#include <QString>

#include "app/controls/usercontrol.h"

class QLabel;

namespace platform::win {
class PropertyBag;
}

namespace app::controls {

class PictureBox;

// A rotary knob drawn on a picture: a round body, an inner ring, a marker at the position
// (an angle from 315 down to 45 degrees as the percentage goes from 0 to 100), three scale ticks
// and a label under each end. Turned by moving the pointer around its centre with the left
// button held.
class Knob : public UserControl
{
    Q_OBJECT

public:
    explicit Knob(QWidget *parent = nullptr);

    void ReadProperties(const platform::win::PropertyBag &bag);
    void WriteProperties(platform::win::PropertyBag &bag) const;

    OleColour BackColor() const { return BackColor_; }
    void setBackColor(OleColour value);
    OleColour MarkColor() const { return MarkColor_; }
    void setMarkColor(OleColour value);
    OleColour OutlineColor() const { return OutlineColor_; }
    void setOutlineColor(OleColour value);
    OleColour InnerColor() const { return InnerColor_; }
    void setInnerColor(OleColour value);
    void BuildTable();
    void drawKnob(PictureBox &Picture, float Value, int16_t Size, bool ForceIt = false);
    OleColour KnobColor() const { return KnobColor_; }
    void setKnobColor(OleColour value);
    int16_t MarkerWidth() const { return MarkerWidth_; }
    void setMarkerWidth(int16_t value);
    int16_t MarksWidth() const { return MarksWidth_; }
    void setMarksWidth(int16_t value);
    OleColour MarksColor() const { return MarksColor_; }
    void setMarksColor(OleColour value);
    int16_t OutlineWidth() const { return OutlineWidth_; }
    void setOutlineWidth(int16_t value);
    int16_t InnerWidth() const { return InnerWidth_; }
    void setInnerWidth(int16_t value);
    QString LabelLeft() const;
    void setLabelLeft(const QString &value);
    QString LabelRight() const;
    void setLabelRight(const QString &value);
    float Min() const { return Min_; }
    void setMin(float value) { Min_ = value; }
    float Max() const { return Max_; }
    void setMax(float value) { Max_ = value; }
    float Percent() const;
    void setPercent(float value);
    float Value() const;
    void setValue(float value);

    // State, for tests and owners.
    float angle() const { return angle_; }
    int16_t sizeClass() const { return sizeClass_; }
    float turnCounter() const { return counter_; }
    PictureBox *Knob1() const { return knob1_; }
    QLabel *lLeft() const { return lLeft_; }
    QLabel *lRight() const { return lRight_; }

signals:
    void Turned();

protected:
    void resizeEvent(QResizeEvent *event) override;
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    void repaintKnob();
    void placeLabels();
    void turn(float x, float y);

    // Persisted properties.
    OleColour BackColor_ = 0;
    OleColour MarkColor_ = 0;
    OleColour OutlineColor_ = 0;
    OleColour InnerColor_ = 0;
    OleColour KnobColor_ = 0;
    int16_t MarkerWidth_ = 2;
    int16_t MarksWidth_ = 1;
    OleColour MarksColor_ = 0;
    int16_t OutlineWidth_ = 2;
    int16_t InnerWidth_ = 1;
    float Min_ = 0.0f;
    float Max_ = 1000.0f;

    // State.
    float angle_ = 0.0f;
    float counter_ = 0.0f;
    float lastX_ = 0.0f;
    float lastY_ = 0.0f;
    int16_t lastPainted_ = 0;
    int16_t sizeClass_ = 0;
    int16_t innerRadius_ = 6;
    int16_t outerRadius_ = 12;
    float centreX_ = 0.0f;
    float centreY_ = 0.0f;
    std::array<double, 360> sine_{};
    std::array<double, 360> cosine_{};

    PictureBox *knob1_ = nullptr;
    QLabel *lLeft_ = nullptr;
    QLabel *lRight_ = nullptr;
};

} // namespace app::controls

#endif
