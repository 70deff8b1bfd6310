#ifndef APP_CONTROLS_USERCONTROL_H
#define APP_CONTROLS_USERCONTROL_H

#include <functional>

#include <QColor>
#include <QWidget>

#include "platform/vb/format.h"
#include "platform/win/gui/qcolour.h"

class QEnterEvent;

namespace app::controls {

using platform::win::OleColour;

// What every owner-drawn control of the program shares: OLE colours, the user's number
// separators taken once at creation, the rounded window region, hover tracking and the hand
// cursor, and a beep that tests can count.
class UserControl : public QWidget
{
    Q_OBJECT

public:
    explicit UserControl(QWidget *parent = nullptr);

    static QColor colour(OleColour colour) { return platform::win::gui::toQColor(colour); }

    // The system beep of refused input; a hook replaces it (tests count the calls). Returns
    // the previous hook; an empty hook restores the default.
    using BeepHook = std::function<void()>;
    static BeepHook setBeepHook(BeepHook hook);
    static void beep();

    // True while the pointer is over the control.
    bool pointerInside() const { return pointerInside_; }

protected:
    // The program's separators (app::common) as they were when the control was created.
    QChar decimalSeparator() const { return decimal_; }
    const platform::vb::NumberSeparators &separators() const { return separators_; }

    // Clips the window to the rounded rectangle of its size with an ellipse of the given size
    // in pixels; 0 removes the clip.
    void applyRoundRegion(int ellipse);

    // The hand cursor over the control, or the normal arrow.
    void showHandCursor(bool hand);

    // Pointer tracking: called when the pointer enters or leaves the control.
    virtual void pointerEntered() {}
    virtual void pointerLeft() {}

    void enterEvent(QEnterEvent *event) override;
    void leaveEvent(QEvent *event) override;

private:
    platform::vb::NumberSeparators separators_;
    QChar decimal_;
    bool pointerInside_ = false;
};

} // namespace app::controls

#endif
