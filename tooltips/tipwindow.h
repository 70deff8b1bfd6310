#ifndef TOOLTIPS_TIPWINDOW_H
#define TOOLTIPS_TIPWINDOW_H

#include <cstdint>
#include <functional>
#include <memory>

#include <QColor>
#include <QFont>
#include <QPoint>
#include <QPointer>
#include <QRect>
#include <QString>
#include <QTimer>
#include <QWidget>

#include "tooltips/r77tipexport.h"

namespace tooltips {

// Window styles of a tip window.
namespace TipStyle {
constexpr uint32_t Popup = 0x80000000u;
constexpr uint32_t Border = 0x00800000u;
constexpr uint32_t AlwaysTip = 0x01u;
constexpr uint32_t NoPrefix = 0x02u;
constexpr uint32_t Balloon = 0x40u;
} // namespace TipStyle

// Flags of a tool.
namespace ToolFlag {
constexpr uint32_t IdIsHwnd = 1;
constexpr uint32_t CenterTip = 2;
constexpr uint32_t Subclass = 16;
constexpr uint32_t Track = 32;
constexpr uint32_t Transparent = 256;
} // namespace ToolFlag

// The messages a tip window answers, by number.
namespace TipMessage {
constexpr uint32_t SetFont = 0x0030;
constexpr uint32_t SetDelayTime = 1027;
constexpr uint32_t AddTool = 1028;
constexpr uint32_t UpdateTipText = 1036;
constexpr uint32_t TrackActivate = 1041;
constexpr uint32_t TrackPosition = 1042;
constexpr uint32_t SetTipBkColor = 1043;
constexpr uint32_t SetTipTextColor = 1044;
constexpr uint32_t SetMaxTipWidth = 1048;
constexpr uint32_t SetTitle = 1056;
} // namespace TipMessage

// Which delay SetDelayTime sets.
enum class TipDelay { AutoPop = 2, Initial = 3 };

// The description of the one tool a tip window serves.
struct ToolInfo
{
    static constexpr uint32_t Size = 44;
    uint32_t cbSize = Size;
    uint32_t uFlags = 0;
    int32_t hwnd = 0; // owner window
    int32_t uId = 0;  // the tool's window
    QRect rect;       // the tool area in the tool window's coordinates
    int32_t hinst = 0;
    QString lpszText;
    int32_t lParam = 0;
};

// A tooltip window: a rectangle or a balloon with a stem, an optional bold title with an icon
// and the text wrapped at the maximum width. A tool that subclasses its window shows the tip
// by itself when the pointer rests on that window; a tracking tool shows it on demand.
class R77TIP_EXPORT TipWindow : public QWidget
{
    Q_OBJECT

public:
    static constexpr int DefaultInitialMs = 500;
    static constexpr int DefaultAutoPopMs = 5000;

    TipWindow(uint32_t style, int32_t owner);
    ~TipWindow() override;

    // One operation per message. Colours are 0x00BBGGRR; -1 keeps the default.
    void setMaxTipWidth(int width);
    void setTitle(int icon, const QString &title);
    void setTipTextColor(int32_t colour);
    void setTipBkColor(int32_t colour);
    void setDelayTime(TipDelay which, int milliseconds); // negative: the default again
    void setTipFont(const QFont &font);
    void addTool(const ToolInfo &tool);
    void updateTipText(const ToolInfo &tool);
    void trackPosition(QPoint screenPoint);
    void trackActivate(bool on, const ToolInfo &tool);

    // What the window holds and shows.
    uint32_t windowStyle() const { return style_; }
    bool isBalloon() const { return (style_ & TipStyle::Balloon) != 0; }
    int32_t owner() const { return owner_; }
    int maxTipWidth() const { return maxWidth_; }
    int icon() const { return icon_; }
    QString title() const { return title_; }
    QString text() const { return tool_.lpszText; }
    QColor textColour() const;
    QColor backColour() const;
    QFont tipFont() const { return font_; }
    int initialDelay() const { return initialMs_; }
    int autoPopDelay() const { return autoPopMs_; }
    bool hasTool() const { return hasTool_; }
    const ToolInfo &tool() const { return tool_; }
    QWidget *toolWidget() const { return toolWidget_; }
    // The point the tip shows at (the stem's tip of a balloon), in screen coordinates.
    QPoint anchor() const { return anchor_; }
    bool isShowing() const { return isVisible(); }

    // Creation of tip windows (tests replace it; a factory may refuse with nullptr). Returns
    // the previous factory; an empty one restores the default.
    using Factory = std::function<std::unique_ptr<TipWindow>(uint32_t style, int32_t owner)>;
    static Factory setFactory(Factory factory);
    static std::unique_ptr<TipWindow> create(uint32_t style, int32_t owner);

    // Called with the number of every message before it is handled; a hook may throw to make
    // the message fail (tests). Returns the previous hook.
    using MessageHook = std::function<void(uint32_t message)>;
    static MessageHook setMessageHook(MessageHook hook);

signals:
    void shown();
    void hidden();

protected:
    void paintEvent(QPaintEvent *event) override;
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    void message(uint32_t number) const;
    void bindTool(QWidget *widget);
    void unbindTool();
    void popUp(QPoint anchor);
    void popDown();
    void layOut();
    QSize bodySize() const;
    QPixmap iconPixmap() const;
    QString displayText() const;

    uint32_t style_;
    int32_t owner_;
    int maxWidth_ = -1;
    int icon_ = 0;
    QString title_;
    int32_t textColour_ = -1;
    int32_t backColour_ = -1;
    QFont font_;
    int initialMs_ = DefaultInitialMs;
    int autoPopMs_ = DefaultAutoPopMs;
    bool hasTool_ = false;
    ToolInfo tool_;
    QPointer<QWidget> toolWidget_;
    QPoint anchor_;
    QPoint pointer_;
    bool stemBelow_ = false; // the balloon sits above its point
    int stemX_ = 0;
    QTimer initialTimer_;
    QTimer autoPopTimer_;
};

} // namespace tooltips

#endif
