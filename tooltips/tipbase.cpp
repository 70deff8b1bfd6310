#include "tooltips/tipbase.h"

#include <algorithm>

#include "platform/vb/vberror.h"
#include "tooltips/cenvironment.h"
#include "tooltips/mcommonctrls.h"
#include "tooltips/mlogfont.h"
#include "tooltips/mtipapi.h"
#include "tooltips/tiperrors.h"

namespace tooltips {

namespace {

constexpr int32_t MinMaxWidth = 50;
constexpr int32_t MaxMaxWidth = 800;

// The module instance the tools name.
constexpr int32_t LibraryInstance = 0x10000000;

} // namespace

TipBase::TipBase(int32_t errorNumber, const QString &className)
    : errorNumber_(errorNumber), className_(className)
{
    try {
        OldShell_ = CEnvironment::isOldShell(CEnvironment().OsName());
        InitTipCommonControls();
    } catch (...) {
        raiseFailure(QStringLiteral("Class_Initialize"), false);
    }
}

TipBase::~TipBase() = default;

void TipBase::raiseFailure(const QString &member, bool property) const
{
    // The property setters of both classes speak of CTooltip; only the number differs.
    const QString owner = property ? QStringLiteral("CTooltip") : className_;
    raiseComponentFailure(errorNumber_, owner + QLatin1Char('.') + member, owner,
                          property ? QStringLiteral("Property") : QStringLiteral("Sub"), member);
}

template <typename Body>
void TipBase::live(const QString &member, Body &&body)
{
    try {
        if (window_)
            body(*window_);
    } catch (...) {
        raiseFailure(member, true);
    }
}

int32_t TipBase::hWnd() const
{
    return window_ ? WindowHandle(window_.get()) : 0;
}

void TipBase::setBackColor(platform::win::OleColour value)
{
    BackColor_ = value;
    live(QStringLiteral("BackColor"),
         [&](TipWindow &w) { w.setTipBkColor(TranslateColor(value)); });
}

void TipBase::setForeColor(platform::win::OleColour value)
{
    ForeColor_ = value;
    live(QStringLiteral("ForeColor"),
         [&](TipWindow &w) { w.setTipTextColor(TranslateColor(value)); });
}

void TipBase::setIcon(enTipIcon value)
{
    Icon_ = value;
    live(QStringLiteral("Icon"), [&](TipWindow &w) { w.setTitle(Icon_, Title_); });
}

void TipBase::setTitle(const QString &value)
{
    Title_ = value;
    live(QStringLiteral("Title"), [&](TipWindow &w) { w.setTitle(Icon_, Title_); });
}

void TipBase::setTipText(const QString &value)
{
    TipText_ = value;
    live(QStringLiteral("TipText"), [&](TipWindow &w) {
        tool_.lpszText = value;
        w.updateTipText(tool_);
    });
}

void TipBase::setMaxWidth(int32_t value)
{
    MaxWidth_ = std::clamp(value, MinMaxWidth, MaxMaxWidth);
}

void TipBase::Init(int32_t hWndCtl, const QString &sTipText, const QString &sTitle, enTipIcon iIcon)
{
    hWndControl_ = hWndCtl;
    TipText_ = sTipText;
    Title_ = sTitle;
    Icon_ = iIcon;
}

void TipBase::Create()
{
    pCreate();
}

void TipBase::destroyWindow()
{
    window_.reset();
}

void TipBase::pCreate()
{
    try {
        destroyWindow();
        uint32_t style =
            TipStyle::Popup | TipStyle::Border | TipStyle::AlwaysTip | TipStyle::NoPrefix;
        if (Style_ == TS_Balloon)
            style |= TipStyle::Balloon;
        if (hWndControl_ == 0)
            return;
        if (IsComboBox(hWndControl_)) {
            comboHwnd_ = hWndControl_;
            hWndControl_ = GetComboEditHwnd(hWndControl_);
        }
        window_ = TipWindow::create(style, hWndControl_);
        if (!window_)
            throw platform::vb::VbError(0, className_, QStringLiteral("No tooltip window"));
        window_->raise();

        tool_ = ToolInfo{};
        tool_.uFlags = toolFlags();
        if (OldShell_) {
            tool_.uFlags |= ToolFlag::IdIsHwnd;
        } else if (QWidget *bound = WindowFromHandle(hWndControl_)) {
            tool_.rect = bound->rect();
        }
        tool_.cbSize = ToolInfo::Size;
        tool_.hwnd = hWndControl_;
        tool_.uId = hWndControl_;
        tool_.hinst = LibraryInstance;
        tool_.lpszText = TipText_;

        window_->setMaxTipWidth(MaxWidth_);
        window_->setTitle(Icon_, Title_);
        window_->setTipTextColor(TranslateColor(ForeColor_));
        window_->setTipBkColor(TranslateColor(BackColor_));
        sendDelayTimes(*window_);
        if (Font_) {
            LogFont lf;
            StdFontToLogFont(*Font_, GetDesktopDC(), lf);
            const QFont made = CreateFontIndirect(lf);
            window_->setTipFont(made);
            madeFont_ = made; // the one made before is dropped
        }
        window_->addTool(tool_);
    } catch (...) {
        raiseFailure(QStringLiteral("pCreate"), false);
    }
}

} // namespace tooltips
