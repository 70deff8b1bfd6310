#ifndef APP_CONTROLS_TEXTFRAME_H
#define APP_CONTROLS_TEXTFRAME_H

#include <QString>

#include "app/controls/usercontrol.h"

class QLabel;

namespace platform::win {
class PropertyBag;
}

namespace app::controls {

// A text in a coloured panel with rounded corners whose height follows the text: the label
// sits 120 twips in from the left and top edges, wraps at the panel's width less both margins,
// and the panel is as tall as the label plus both margins.
class TextFrame : public UserControl
{
    Q_OBJECT

public:
    static constexpr OleColour DefaultBack = 0xC0FFFFu;
    static constexpr OleColour DefaultFore = 0x80000012u; // button text
    static constexpr int MarginTwips = 120;
    static constexpr int CornerPixels = 7;

    explicit TextFrame(QWidget *parent = nullptr);

    void ReadProperties(const platform::win::PropertyBag &bag);
    void WriteProperties(platform::win::PropertyBag &bag) const;

    QString Caption() const { return Caption_; }
    // Keeps the text, gives it to the label when it differs, and fits the height (always, so
    // the same text again still refits the panel and its corners).
    void setCaption(const QString &value);
    OleColour BackColor() const { return BackColor_; }
    void setBackColor(OleColour value);
    OleColour ForeColor() const { return ForeColor_; }
    void setForeColor(OleColour value);

    // The label, for owners and tests (its geometry shows the layout).
    QLabel *textLabel() const { return text_; }

protected:
    void paintEvent(QPaintEvent *event) override;
    void resizeEvent(QResizeEvent *event) override;

private:
    int margin() const;
    void fitHeight();
    void shapeWindow();
    void applyForeColour();

    QString Caption_;
    OleColour BackColor_ = DefaultBack;
    OleColour ForeColor_ = DefaultFore;
    QLabel *text_ = nullptr;
    bool fitting_ = false;
};

} // namespace app::controls

#endif
