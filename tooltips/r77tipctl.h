#ifndef TOOLTIPS_R77TIPCTL_H
#define TOOLTIPS_R77TIPCTL_H

#include <cstdint>
#include <memory>

#include <QFont>
#include <QImage>
#include <QString>
#include <QWidget>

#include "platform/win/syscolours.h"
#include "tooltips/cinfotips.h"
#include "tooltips/ctooltips.h"
#include "tooltips/r77tipexport.h"

namespace platform::win {
class PropertyBag;
}

namespace tooltips {

// The tooltip control of a form: sits directly on the form, and on LoadTooltips replaces the
// plain tooltip of every control of the form by a tip of its own. A control's text is its
// QWidget::toolTip(). Controls inside another form (a window, or a widget holding its own
// tooltip control) belong to that form.
class R77TIP_EXPORT R77TipCtl : public QWidget
{
    Q_OBJECT

public:
    static constexpr int Side = 28;
    static constexpr int32_t DefaultDelay = 500;
    static constexpr int32_t DefaultDuration = 5000;
    static constexpr int32_t DefaultMaxWidth = 300;

    explicit R77TipCtl(QWidget *form);
    ~R77TipCtl() override;

    // The tooltip control placed directly on the form, or nullptr.
    static R77TipCtl *of(const QWidget *form);

    // Persisted properties: a new instance, and the form's stored set.
    void InitProperties();
    void ReadProperties(const platform::win::PropertyBag &bag);
    void WriteProperties(platform::win::PropertyBag &bag) const;

    platform::win::OleColour BackColor() const { return BackColor_; }
    void setBackColor(platform::win::OleColour value);
    bool Centered() const { return Centered_; }
    void setCentered(bool value);
    int32_t Delay() const { return Delay_; }
    void setDelay(int32_t value);
    int32_t Duration() const { return Duration_; }
    void setDuration(int32_t value);
    QFont Font() const { return Font_; }
    void setFont(const QFont &value);
    platform::win::OleColour ForeColor() const { return ForeColor_; }
    void setForeColor(platform::win::OleColour value);
    enTipIcon Icon() const { return Icon_; }
    void setIcon(enTipIcon value);
    CInfotips &Infotips();
    int32_t MaxWidth() const { return MaxWidth_; }
    void setMaxWidth(int32_t value);
    enTipStyle Style() const { return Style_; }
    void setStyle(enTipStyle value);
    CToolTips &Tooltips();
    bool UseFont() const { return UseFont_; }
    void setUseFont(bool value);

    void LoadDefaultInfotipProperties(CInfotip &Tip);
    void LoadDefaultTooltipProperties(CTooltip &Tip);
    void RemoveAllTooltips(int32_t CtrlHwnd = 0);
    void RemoveTooltip(int32_t CtrlHwnd);
    void SetToolTipText(int32_t CtrlHwnd, const QString &ToolTipText);
    void AddTooltip(int32_t CtrlHwnd, const QString &ToolTipText,
                    const QString &DefaultTitle = QString());
    void LoadTooltips(const QString &DefaultTitle = QString());
    void UnloadTooltips();

    // The form's designer shows the toolbox picture; at run time the control draws nothing.
    void setUserMode(bool userMode);
    bool userMode() const { return userMode_; }
    bool propertiesChanged() const { return changed_; }

    // The toolbox picture (bitmap 101).
    static QImage toolboxBitmap();

signals:
    void BeforeLoadTooltip(int32_t hWndControl, bool &Cancel);
    void BeforeCreateTooltip(tooltips::CTooltip &Tip);

protected:
    void paintEvent(QPaintEvent *event) override;

private:
    void layOut();
    void markChanged() { changed_ = true; }
    // Makes the tip of one control window; true when it is in Tooltips.
    bool makeTooltip(int32_t handle, const QString &text, const QString &DefaultTitle);

    CToolTips Tooltips_;
    CInfotips Infotips_;
    platform::win::OleColour BackColor_ = TipBase::DefaultBackColor;
    platform::win::OleColour ForeColor_ = TipBase::DefaultForeColor;
    int32_t Delay_ = DefaultDelay;
    int32_t Duration_ = DefaultDuration;
    enTipStyle Style_ = TS_Balloon;
    enTipIcon Icon_ = TI_NoIcon;
    bool Centered_ = false;
    int32_t MaxWidth_ = DefaultMaxWidth;
    bool UseFont_ = false;
    QFont Font_;
    bool userMode_ = true;
    bool changed_ = false;
};

// The control's text as a tip shows it: blanks trimmed at both ends, "**" a line break.
R77TIP_EXPORT QString TipTextOf(const QString &toolTipText);

} // namespace tooltips

#endif
