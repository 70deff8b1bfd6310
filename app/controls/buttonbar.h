#ifndef APP_CONTROLS_BUTTONBAR_H
#define APP_CONTROLS_BUTTONBAR_H

#include <cstdint>
#include <optional>
#include <vector>

#include "app/controls/usercontrol.h"
#include "platform/win/propertybag.h"

namespace app::controls {

class VXBtn;

// Set false by the button bar before it raises ButtonClickCheck; a handler sets it true to
// refuse the switch.
extern bool CancelButtonClick;

// The strip of page buttons: one VXBtn per page of the current set, laid out from the right
// edge leftwards with thin separators. A click raises ButtonClickCheck, which may refuse, then
// ButtonClick. Indexes of the events and of SetSelectedButton count from 1.
class ButtonBar : public UserControl
{
    Q_OBJECT

public:
    static constexpr OleColour DefaultBack = 0x353535u;
    static constexpr int HeightTwips = 720;

    explicit ButtonBar(QWidget *parent = nullptr);

    // Sets the caption of element Index, counted from 0; a bad index does nothing.
    void SetButtonImage(int16_t Index, const QString &Text);
    void Clear();
    void SetSelectedButton(int16_t Index);
    void AddButton(const QString &Caption);
    void DrawMe();

    // Write-only colours: the bar and the style of its buttons.
    void setMenuBackcolor(OleColour colour);
    void setMenuForecolor(OleColour colour);
    void setMenuForecolorDisabled(OleColour colour);
    void setMenuForecolorHover(OleColour colour);
    void setMenuForecolorDown(OleColour colour);
    // The focus ring of the buttons: as designed it is the bar's own grey, which hides it.
    void setMenuFocusColour(OleColour colour);

    // The loaded elements, element 0 first (for the shell and tests).
    const std::vector<VXBtn *> &ButtonArray() const { return buttons_; }
    int addedCount() const { return added_; }
    // The separators' x positions in pixels, as last drawn.
    const std::vector<int> &separators() const { return separators_; }
    OleColour backColour() const { return back_; }

signals:
    void ButtonIn(int Index);
    void ButtonOut(int Index);
    void ButtonClick(int Index);
    void ButtonClickCheck(int Index);

protected:
    void paintEvent(QPaintEvent *event) override;
    void resizeEvent(QResizeEvent *event) override;

private:
    VXBtn *loadElement();
    void connectElement(VXBtn *button, int index);
    void clicked(int index);
    void publishMenuColour(void (VXBtn::*setter)(OleColour), OleColour colour);

    std::vector<VXBtn *> buttons_;
    // Element 0 as designed, which every loaded element inherits.
    platform::win::PropertyBag design_;
    std::vector<int> separators_;
    OleColour back_ = DefaultBack;
    std::optional<OleColour> menuBack_;
    int added_ = 0;
    int keptWidthTwips_ = 0;
};

} // namespace app::controls

#endif
