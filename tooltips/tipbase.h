#ifndef TOOLTIPS_TIPBASE_H
#define TOOLTIPS_TIPBASE_H

#include <cstdint>
#include <memory>
#include <optional>

#include <QFont>
#include <QString>

#include "platform/win/syscolours.h"
#include "tooltips/r77tipexport.h"
#include "tooltips/tipwindow.h"

namespace tooltips {

enum enTipStyle : int32_t { TS_Standard = 0, TS_Balloon = 1 };
enum enTipIcon : int32_t { TI_NoIcon = 0, TI_IconInfo = 1, TI_IconWarning = 2, TI_IconError = 3 };

// What a tooltip and an infotip share: one tip window bound to one control window, its look,
// and the making of that window.
class R77TIP_EXPORT TipBase
{
public:
    static constexpr platform::win::OleColour DefaultBackColor = 0x80000018u;
    static constexpr platform::win::OleColour DefaultForeColor = 0x80000017u;
    static constexpr int32_t DefaultMaxWidth = 300;
    static constexpr int32_t DefaultDuration = 5000;

    TipBase(const TipBase &) = delete;
    TipBase &operator=(const TipBase &) = delete;
    virtual ~TipBase();

    platform::win::OleColour BackColor() const { return BackColor_; }
    void setBackColor(platform::win::OleColour value);
    bool Centered() const { return Centered_; }
    void setCentered(bool value) { Centered_ = value; }
    int32_t Duration() const { return Duration_; }
    void setDuration(int32_t value) { Duration_ = value; }
    std::optional<QFont> Font() const { return Font_; }
    void setFont(const QFont &value) { Font_ = value; }
    platform::win::OleColour ForeColor() const { return ForeColor_; }
    void setForeColor(platform::win::OleColour value);
    // The combo box's own handle when the tip sits on its edit field.
    int32_t hWndControl() const { return comboHwnd_ != 0 ? comboHwnd_ : hWndControl_; }
    void sethWndControl(int32_t value) { hWndControl_ = value; }
    int32_t hWnd() const;
    enTipIcon Icon() const { return Icon_; }
    void setIcon(enTipIcon value);
    int32_t MaxWidth() const { return MaxWidth_; }
    void setMaxWidth(int32_t value);
    enTipStyle Style() const { return Style_; }
    void setStyle(enTipStyle value) { Style_ = value; }
    QString TipText() const { return TipText_; }
    void setTipText(const QString &value);
    QString Title() const { return Title_; }
    void setTitle(const QString &value);

    // Stores the values; sends nothing.
    void Init(int32_t hWndCtl, const QString &sTipText, const QString &sTitle = QString(),
              enTipIcon iIcon = TI_NoIcon);

    // For the tooltip control and the collections.
    bool AutoCreated() const { return AutoCreated_; }
    void setAutoCreated(bool value) { AutoCreated_ = value; }
    void Create();

    // What was made, for tests.
    TipWindow *window() const { return window_.get(); }
    const ToolInfo &toolInfo() const { return tool_; }
    bool OldShell() const { return OldShell_; }

protected:
    TipBase(int32_t errorNumber, const QString &className);

    virtual uint32_t toolFlags() const = 0;
    // The delays a hover tip sends after its colours.
    virtual void sendDelayTimes(TipWindow &) {}
    void destroyWindow();
    [[noreturn]] void raiseFailure(const QString &member, bool property) const;

private:
    void pCreate();
    // Runs a live setter; its errors are raised as the setter's failure.
    template <typename Body>
    void live(const QString &member, Body &&body);

    int32_t errorNumber_;
    QString className_;

    QString Title_;
    QString TipText_;
    platform::win::OleColour BackColor_ = DefaultBackColor;
    platform::win::OleColour ForeColor_ = DefaultForeColor;
    enTipIcon Icon_ = TI_NoIcon;
    enTipStyle Style_ = TS_Balloon;
    bool Centered_ = false;
    int32_t MaxWidth_ = DefaultMaxWidth;
    int32_t Duration_ = DefaultDuration;
    std::optional<QFont> Font_;
    int32_t hWndControl_ = 0;
    int32_t comboHwnd_ = 0;
    ToolInfo tool_;
    bool AutoCreated_ = false;
    std::optional<QFont> madeFont_;
    bool OldShell_ = false;
    std::unique_ptr<TipWindow> window_;
};

} // namespace tooltips

#endif
