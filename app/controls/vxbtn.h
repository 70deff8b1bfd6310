#ifndef APP_CONTROLS_VXBTN_H
#define APP_CONTROLS_VXBTN_H

#include <cstdint>

#include <QFont>
#include <QPoint>
#include <QRect>
#include <QString>
#include <QStringList>

#include "app/controls/fieldlist.h"
#include "app/controls/usercontrol.h"

class QLineEdit;
class QPainter;

namespace platform::win {
class PropertyBag;
}

namespace app::controls {

class FieldEditor;
class ListPopup;

// The owner-drawn button of the program: push button, toggle, value display and entry field
// (a text editor or a drop-down list over the caption). Lengths are pixels unless named
// otherwise; colours are OLE colours. vxbtn.cpp holds its looks, layout and input,
// vxbtnentry.cpp the entry field and vxbtnproperties.cpp the stored properties.
class VXBtn : public UserControl
{
    Q_OBJECT

public:
    // The system colours the defaults use.
    static constexpr OleColour InactiveCaption = 0x80000003u;
    static constexpr OleColour WindowBackground = 0x80000005u;
    static constexpr OleColour WindowText = 0x80000008u;
    static constexpr OleColour GreyText = 0x80000011u;
    static constexpr OleColour ButtonHighlight = 0x80000014u;

    // The family of the glyph font that draws the list arrow "X".
    static const QString GlyphFontFamily;

    explicit VXBtn(QWidget *parent = nullptr);
    ~VXBtn() override;

    // A newly placed control: the defaults, with the container's font and background colour.
    void InitProperties(const QFont &containerFont, OleColour containerBackColor);
    // The stored property set: read in the order of writing, defaults not written.
    void ReadProperties(const platform::win::PropertyBag &bag);
    void WriteProperties(platform::win::PropertyBag &bag) const;

    // Core operations.
    void Refresh() {}
    void ForceLostFocus();
    void HandleClick();
    void DrawMe();

    // Entry field operations.
    void DoEdit();
    void EndEdit();
    int ValidateNumeric(QLineEdit &TextBox, int KeyAscii) const;
    double Value() const;
    void ListClear();
    void ListAddItem(const QString &Item);
    int16_t ListIndex() const;
    void setListIndex(int16_t value);
    void SetToolTip(const QString &Text);

    // Properties (get, let).
    bool Enabled() const { return Enabled_; }
    void setEnabled(bool value);
    int32_t BorderStyle() const { return BorderStyle_; }
    void setBorderStyle(int32_t value);
    QString Caption() const { return Caption_; }
    void setCaption(const QString &value);
    QFont Font() const { return font_; }
    void setFont(const QFont &value);
    OleColour ForeColorDown() const { return ForeColorDown_; }
    void setForeColorDown(OleColour value);
    QString Tag() const { return Tag_; }
    void setTag(const QString &value) { Tag_ = value; }
    bool State() const { return State_; }
    void setState(bool value);
    OleColour ForeColor() const { return ForeColor_; }
    void setForeColor(OleColour value);
    OleColour ForeColorDisabled() const { return ForeColorDisabled_; }
    void setForeColorDisabled(OleColour value);
    OleColour ForeColorHover() const { return ForeColorHover_; }
    void setForeColorHover(OleColour value) { ForeColorHover_ = value; }
    bool ShowHandPointer() const { return ShowHandPointer_; }
    void setShowHandPointer(bool value) { ShowHandPointer_ = value; }
    int16_t BorderWidth() const { return BorderWidth_; }
    void setBorderWidth(int16_t value);
    uint8_t HoverOffset() const { return HoverOffset_; }
    void setHoverOffset(uint8_t value) { HoverOffset_ = value; }
    OleColour BackColor() const { return BackColor_; }
    void setBackColor(OleColour value);
    bool Underline() const { return Underline_; }
    void setUnderline(bool value) { Underline_ = value; }
    uint8_t ClickOffset() const { return ClickOffset_; }
    void setClickOffset(uint8_t value) { ClickOffset_ = value; }
    OleColour BackColorDisabled() const { return BackColorDisabled_; }
    void setBackColorDisabled(OleColour value);
    OleColour BackColorHover() const { return BackColorHover_; }
    void setBackColorHover(OleColour value) { BackColorHover_ = value; }
    OleColour BackColorDown() const { return BackColorDown_; }
    void setBackColorDown(OleColour value) { BackColorDown_ = value; }
    OleColour BorderColorFocus() const { return BorderColorFocus_; }
    void setBorderColorFocus(OleColour value) { BorderColorFocus_ = value; }
    OleColour BorderColor() const { return BorderColor_; }
    void setBorderColor(OleColour value);
    QString Style() const { return Style_; }
    void setStyle(const QString &value);
    QString UseMyStyle() const { return QStringLiteral("Write to set master style"); }
    void setUseMyStyle(const QString &value);
    bool Inactive() const { return Inactive_; }
    void setInactive(bool value);
    int16_t Alignment() const { return Alignment_; }
    void setAlignment(int16_t value);
    bool Stretch() const { return Stretch_; }
    void setStretch(bool value) { Stretch_ = value; }
    bool TOGGLE() const { return TOGGLE_; }
    void setTOGGLE(bool value) { TOGGLE_ = value; }
    uint8_t Padding() const { return Padding_; }
    void setPadding(uint8_t value);
    uint8_t Editable() const { return Editable_; }
    void setEditable(uint8_t value);
    QString CaptionOff() const { return CaptionOff_; }
    void setCaptionOff(const QString &value);
    QString CaptionOn() const { return CaptionOn_; }
    void setCaptionOn(const QString &value);
    QString List() const { return List_; }
    void setList(const QString &value);
    QString Allowed() const { return Allowed_; }
    void setAllowed(const QString &value) { Allowed_ = value; }
    int16_t MaxLength() const { return MaxLength_; }
    void setMaxLength(int16_t value) { MaxLength_ = value; }
    QString Format() const { return Format_; }
    void setFormat(const QString &value);
    double Min() const { return Min_; }
    void setMin(double value) { Min_ = value; }
    double Max() const { return Max_; }
    void setMax(double value) { Max_ = value; }
    bool UpperCase() const { return UpperCase_; }
    void setUpperCase(bool value) { UpperCase_ = value; }
    QString Source() const { return Source_; }
    void setSource(const QString &value) { Source_ = value; }
    bool UseListIndex() const { return UseListIndex_; }
    void setUseListIndex(bool value) { UseListIndex_ = value; }
    bool DeferSave() const { return DeferSave_; }
    void setDeferSave(bool value) { DeferSave_ = value; }
    bool IsNumeric() const { return IsNumeric_; }
    void setIsNumeric(bool value) { IsNumeric_ = value; }
    OleColour BorderColorDisabled() const { return BorderColorDisabled_; }
    void setBorderColorDisabled(OleColour value);

    // What the control shows and how, for owners, tests and the style registry.
    QString displayText() const { return displayText_; }
    QChar accessKey() const { return accessKey_; }
    bool isEditing() const;
    bool isListOpen() const;
    QLineEdit *textEditor() const;
    ListPopup *listPopup() const;
    // The note that says why the last commit was refused, while it shows; else empty.
    QString refusalShown() const;
    QStringList listEntries() const { return list_.entries(); }
    int listPosition() const { return listPosition_; }
    OleColour currentBackColor() const { return fill_; }
    OleColour currentForeColor() const { return fore_; }
    OleColour currentBorderColor() const { return border_; }
    QRect captionRect() const { return QRect(captionPos_, captionSize_); }
    int32_t instanceNumber() const { return instanceNumber_; }

    // The seven-digit rule of the "*" format: seven digits, not counting the sign, the
    // separator and a leading zero; only decimals are cut.
    static QString sevenDigits(double value, const platform::vb::NumberSeparators &separators);

    QSize sizeHint() const override;

signals:
    void Changed();
    void MouseIn();
    void MouseOut();
    void RightClick();
    void Click();
    void DblClick();
    void MouseMove();
    void BeforeDropdown();

protected:
    void paintEvent(QPaintEvent *event) override;
    void resizeEvent(QResizeEvent *event) override;
    void showEvent(QShowEvent *event) override;
    void mouseMoveEvent(QMouseEvent *event) override;
    void mousePressEvent(QMouseEvent *event) override;
    void mouseReleaseEvent(QMouseEvent *event) override;
    void mouseDoubleClickEvent(QMouseEvent *event) override;
    void keyPressEvent(QKeyEvent *event) override;
    void keyReleaseEvent(QKeyEvent *event) override;
    void focusInEvent(QFocusEvent *event) override;
    void focusOutEvent(QFocusEvent *event) override;
    bool event(QEvent *event) override;
    void pointerEntered() override;
    void pointerLeft() override;

private:
    static Qt::Alignment textAlignment(int16_t alignment);
    void layoutControl();
    void fitFont();
    void applyHostEnabled();
    void applyBorderWidth();
    // Whether the keyboard focus is on the control or in its text editor.
    bool showsFocus() const;
    void paintFocusRing(QPainter &painter) const;
    QString buildCaptionText() const;
    QString formatCaption(const QString &text) const;
    void updateAccessKey();
    void showPressedLook(bool keyPress);
    void setLookColour(OleColour &member, OleColour value);
    void setDisabledLookColour(OleColour &member, OleColour value);
    void hover(bool on);
    QFont editorFont() const;
    void commitEdit();
    void cancelEdit();
    void listChosen(int row);
    void listDismissed();
    void fillList();
    void focusLossHandling();
    void registerStyle();
    void unregisterStyle();
    bool acceptsInput() const { return Enabled_ && !Inactive_; }

    // Persisted properties.
    bool Enabled_ = true;
    int32_t BorderStyle_ = 0;
    QString Caption_ = QStringLiteral("Caption");
    QFont font_;
    OleColour ForeColorDown_ = WindowText;
    bool State_ = false;
    OleColour ForeColor_ = WindowText;
    OleColour ForeColorDisabled_ = GreyText;
    OleColour ForeColorHover_ = WindowText;
    bool ShowHandPointer_ = true;
    int16_t BorderWidth_ = 1;
    uint8_t HoverOffset_ = 1;
    OleColour BackColor_ = WindowBackground;
    bool Underline_ = false;
    uint8_t ClickOffset_ = 0;
    OleColour BackColorDisabled_ = InactiveCaption;
    OleColour BackColorHover_ = WindowBackground;
    OleColour BackColorDown_ = WindowBackground;
    OleColour BorderColorFocus_ = 0xFFu;
    OleColour BorderColor_ = ButtonHighlight;
    QString Style_;
    bool Inactive_ = false;
    int16_t Alignment_ = 2;
    bool Stretch_ = true;
    bool TOGGLE_ = false;
    uint8_t Padding_ = 0;
    uint8_t Editable_ = 0;
    QString CaptionOff_;
    QString CaptionOn_;
    QString List_;
    QString Allowed_;
    int16_t MaxLength_ = 0;
    QString Format_;
    double Min_ = 0.0;
    double Max_ = 0.0;
    bool UpperCase_ = false;
    QString Source_;
    bool UseListIndex_ = false;
    bool DeferSave_ = false;
    bool IsNumeric_ = false;
    OleColour BorderColorDisabled_ = 0;
    QString toolTipText_;
    QString Tag_;

    // Run-time state.
    bool hovering_ = false;
    bool mouseInRaised_ = false; // a MouseIn waits for its MouseOut
    bool mouseArmed_ = false;
    bool keyArmed_ = false;
    bool fillingList_ = false;
    bool stylePending_ = false;
    int32_t instanceNumber_ = 0;
    int listPosition_ = -1;
    FieldList list_;
    QChar accessKey_;
    int accessShortcut_ = 0;

    // The look DrawMe chose.
    OleColour fill_ = WindowBackground;
    OleColour fore_ = WindowText;
    OleColour border_ = ButtonHighlight;
    bool underlined_ = false;
    bool captionVisible_ = true;
    QString displayText_;
    QPoint captionPos_;
    QSize captionSize_;
    QRect arrowRect_;

    FieldEditor *editors_ = nullptr;
};

} // namespace app::controls

#endif
