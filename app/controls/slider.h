#ifndef APP_CONTROLS_SLIDER_H
#define APP_CONTROLS_SLIDER_H

#include <QString>

#include "app/controls/usercontrol.h"

namespace app::controls {

class PropertyBag;
class SliderHandle;

// A horizontal slider: a round handle on a thin track gives a value between Min and Max in
// hundredths of the range. Always 285 twips high; geometry in twips.
class Slider : public UserControl
{
    Q_OBJECT

public:
    static constexpr int HeightTwips = 285;
    static constexpr int HandleTwips = 315;
    static constexpr int RunnerTwips = 60;
    // The fill of handle and track until a colour or Enabled is assigned.
    static constexpr OleColour DesignFill = 0xFF80FFu;

    explicit Slider(QWidget *parent = nullptr);

    void ReadProperties(const PropertyBag &bag);
    void WriteProperties(PropertyBag &bag) const;

    bool Enabled() const { return Enabled_; }
    void setEnabled(bool value);
    float Value() const { return Value_; }
    // Stores, clamps into [Min, Max] and raises Change with the clamped value.
    void setValue(float value);
    float Max() const { return Max_; }
    void setMax(float value);
    float Min() const { return Min_; }
    void setMin(float value);
    QString ToolTipText() const { return ToolTipText_; }
    void setToolTipText(const QString &value);
    OleColour ForeColor() const { return ForeColor_; }
    void setForeColor(OleColour value);
    OleColour DisabledColor() const { return DisabledColor_; }
    void setDisabledColor(OleColour value);

    // What the control shows, for tests.
    double handleLeft() const { return handleLeft_; }
    double handleWidth() const { return HandleTwips; }
    double widthTwips() const;
    OleColour fillColour() const { return fill_; }
    QWidget *handle() const;

    // The handle's pointer events, x in the handle's twips.
    void handlePressed(Qt::MouseButton button, double x);
    void handleMoved(Qt::MouseButtons buttons, double x);
    void handleReleased();

signals:
    void Change(float Value);

protected:
    void paintEvent(QPaintEvent *event) override;
    void resizeEvent(QResizeEvent *event) override;

private:
    void layOut();
    void recolour();
    void placeHandle();

    bool Enabled_ = true;
    float Value_ = 0.0f;
    float Max_ = 100.0f;
    float Min_ = 0.0f;
    QString ToolTipText_;
    OleColour ForeColor_ = 0xFFu;
    OleColour DisabledColor_ = 0u;

    OleColour fill_ = DesignFill;
    double handleLeft_ = 0.0;
    int grab_ = 0;
    SliderHandle *handle_ = nullptr;
};

} // namespace app::controls

#endif
