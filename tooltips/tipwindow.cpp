#include "tooltips/tipwindow.h"

#include <algorithm>
#include <utility>

#include <QApplication>
#include <QEnterEvent>
#include <QGuiApplication>
#include <QMouseEvent>
#include <QPainter>
#include <QPainterPath>
#include <QScreen>
#include <QStyle>

#include "platform/win/gui/qcolour.h"
#include "platform/win/syscolours.h"
#include "tooltips/mtipapi.h"

namespace tooltips {

namespace {

constexpr int RectMargin = 4;
constexpr int BalloonMargin = 9;
constexpr int StemHeight = 14;
constexpr int StemHalfWidth = 8;
constexpr int CornerRadius = 8;
constexpr int IconSize = 16;
constexpr int TitleGap = 6;
constexpr int StemInset = 18;          // the stem's usual distance from the balloon's left edge
constexpr QPoint PointerOffset{2, 20}; // below the pointer's arrow

constexpr uint32_t InfoTextIndex = 23;
constexpr uint32_t InfoBackIndex = 24;
constexpr uint32_t FrameIndex = 6;

QColor systemColour(uint32_t index)
{
    return platform::win::gui::toQColor(platform::win::SystemColourFlag | index);
}

QColor plainColour(int32_t colour, uint32_t fallbackIndex)
{
    if (colour < 0)
        return systemColour(fallbackIndex);
    return platform::win::gui::toQColor(static_cast<platform::win::OleColour>(colour));
}

TipWindow::Factory &factory()
{
    static TipWindow::Factory f;
    return f;
}

TipWindow::MessageHook &messageHook()
{
    static TipWindow::MessageHook hook;
    return hook;
}

QRect screenArea(QPoint point)
{
    QScreen *screen = QGuiApplication::screenAt(point);
    if (!screen)
        screen = QGuiApplication::primaryScreen();
    return screen ? screen->availableGeometry() : QRect(0, 0, 1920, 1080);
}

} // namespace

TipWindow::TipWindow(uint32_t style, int32_t owner)
    : QWidget(nullptr, Qt::ToolTip | Qt::FramelessWindowHint | Qt::WindowStaysOnTopHint),
      style_(style), owner_(owner), font_(QApplication::font())
{
    setAttribute(Qt::WA_ShowWithoutActivating);
    setFocusPolicy(Qt::NoFocus);
    initialTimer_.setSingleShot(true);
    autoPopTimer_.setSingleShot(true);
    connect(&initialTimer_, &QTimer::timeout, this, [this] {
        if (!toolWidget_ || !toolWidget_->isVisible())
            return;
        if (tool_.uFlags & ToolFlag::CenterTip)
            popUp(toolWidget_->mapToGlobal(QPoint(tool_.rect.center().x(), tool_.rect.bottom())));
        else
            popUp(pointer_ + PointerOffset);
    });
    connect(&autoPopTimer_, &QTimer::timeout, this, &TipWindow::popDown);
}

TipWindow::~TipWindow()
{
    unbindTool();
}

TipWindow::Factory TipWindow::setFactory(Factory f)
{
    return std::exchange(factory(), std::move(f));
}

std::unique_ptr<TipWindow> TipWindow::create(uint32_t style, int32_t owner)
{
    if (factory())
        return factory()(style, owner);
    return std::make_unique<TipWindow>(style, owner);
}

TipWindow::MessageHook TipWindow::setMessageHook(MessageHook hook)
{
    return std::exchange(messageHook(), std::move(hook));
}

void TipWindow::message(uint32_t number) const
{
    if (messageHook())
        messageHook()(number);
}

// ---- Messages ----------------------------------------------------------------------------------

void TipWindow::setMaxTipWidth(int width)
{
    message(TipMessage::SetMaxTipWidth);
    maxWidth_ = width;
    layOut();
}

void TipWindow::setTitle(int icon, const QString &title)
{
    message(TipMessage::SetTitle);
    icon_ = icon;
    title_ = title;
    layOut();
}

void TipWindow::setTipTextColor(int32_t colour)
{
    message(TipMessage::SetTipTextColor);
    textColour_ = colour;
    repaint();
}

void TipWindow::setTipBkColor(int32_t colour)
{
    message(TipMessage::SetTipBkColor);
    backColour_ = colour;
    repaint();
}

void TipWindow::setDelayTime(TipDelay which, int milliseconds)
{
    message(TipMessage::SetDelayTime);
    if (which == TipDelay::AutoPop)
        autoPopMs_ = milliseconds < 0 ? DefaultAutoPopMs : milliseconds;
    else
        initialMs_ = milliseconds < 0 ? DefaultInitialMs : milliseconds;
}

void TipWindow::setTipFont(const QFont &font)
{
    message(TipMessage::SetFont);
    font_ = font;
    layOut();
}

void TipWindow::addTool(const ToolInfo &tool)
{
    message(TipMessage::AddTool);
    tool_ = tool;
    hasTool_ = true;
    setAttribute(Qt::WA_TransparentForMouseEvents, (tool.uFlags & ToolFlag::Transparent) != 0);
    if (tool.uFlags & ToolFlag::Subclass)
        bindTool(WindowFromHandle(tool.uId));
    layOut();
}

void TipWindow::updateTipText(const ToolInfo &tool)
{
    message(TipMessage::UpdateTipText);
    tool_.lpszText = tool.lpszText;
    layOut();
}

void TipWindow::trackPosition(QPoint screenPoint)
{
    message(TipMessage::TrackPosition);
    anchor_ = screenPoint;
    if (isVisible())
        popUp(anchor_);
}

void TipWindow::trackActivate(bool on, const ToolInfo &)
{
    message(TipMessage::TrackActivate);
    if (!hasTool_ || !(tool_.uFlags & ToolFlag::Track))
        return;
    if (on)
        popUp(anchor_);
    else
        popDown();
}

QColor TipWindow::textColour() const
{
    return plainColour(textColour_, InfoTextIndex);
}

QColor TipWindow::backColour() const
{
    return plainColour(backColour_, InfoBackIndex);
}

// ---- Hover tracking ----------------------------------------------------------------------------

void TipWindow::bindTool(QWidget *widget)
{
    unbindTool();
    toolWidget_ = widget;
    if (!widget)
        return;
    widget->installEventFilter(this);
    connect(widget, &QObject::destroyed, this, &TipWindow::popDown);
}

void TipWindow::unbindTool()
{
    if (toolWidget_) {
        toolWidget_->removeEventFilter(this);
        disconnect(toolWidget_, nullptr, this, nullptr);
    }
    toolWidget_.clear();
}

bool TipWindow::eventFilter(QObject *watched, QEvent *event)
{
    if (watched != toolWidget_)
        return false;
    switch (event->type()) {
    case QEvent::Enter:
        pointer_ = static_cast<QEnterEvent *>(event)->globalPosition().toPoint();
        if (!isVisible())
            initialTimer_.start(initialMs_);
        break;
    case QEvent::MouseMove:
        pointer_ = static_cast<QMouseEvent *>(event)->globalPosition().toPoint();
        break;
    case QEvent::Leave:
    case QEvent::MouseButtonPress:
    case QEvent::MouseButtonDblClick:
    case QEvent::Hide:
        popDown();
        break;
    case QEvent::Resize:
        // The tool area follows the window it covers.
        tool_.rect = toolWidget_->rect();
        break;
    default:
        break;
    }
    return false; // the tool window sees every event as before
}

// ---- Showing -----------------------------------------------------------------------------------

QString TipWindow::displayText() const
{
    QString text = tool_.lpszText;
    text.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
    text.replace(QLatin1Char('\r'), QLatin1Char('\n'));
    return text;
}

QPixmap TipWindow::iconPixmap() const
{
    QStyle::StandardPixmap which;
    switch (icon_) {
    case 1:
        which = QStyle::SP_MessageBoxInformation;
        break;
    case 2:
        which = QStyle::SP_MessageBoxWarning;
        break;
    case 3:
        which = QStyle::SP_MessageBoxCritical;
        break;
    default:
        return {};
    }
    return style()->standardIcon(which).pixmap(IconSize, IconSize);
}

QSize TipWindow::bodySize() const
{
    const int margin = isBalloon() ? BalloonMargin : RectMargin;
    const int wrap = maxWidth_ > 0 ? std::max(1, maxWidth_ - 2 * margin) : 0x3FFF;
    const QFontMetrics metrics(font_);
    const QRect textRect = metrics.boundingRect(
        QRect(0, 0, wrap, 0x3FFF), Qt::TextWordWrap | Qt::TextExpandTabs, displayText());
    int width = textRect.width();
    int height = textRect.height();
    if (!title_.isEmpty()) {
        QFont bold = font_;
        bold.setBold(true);
        const QFontMetrics titleMetrics(bold);
        const int iconWidth = icon_ >= 1 && icon_ <= 3 ? IconSize + TitleGap : 0;
        width = std::max(width, iconWidth + titleMetrics.horizontalAdvance(title_));
        height += std::max(IconSize, titleMetrics.height()) + TitleGap;
    }
    return {width + 2 * margin, height + 2 * margin};
}

void TipWindow::layOut()
{
    const QSize body = bodySize();
    resize(body.width(), body.height() + (isBalloon() ? StemHeight : 0));
    if (isVisible())
        update();
}

void TipWindow::popUp(QPoint anchor)
{
    anchor_ = anchor;
    layOut();
    const QRect screen = screenArea(anchor);
    const bool centred = (tool_.uFlags & ToolFlag::CenterTip) != 0;
    const int w = width();
    const int h = height();
    int x = centred ? anchor.x() - w / 2 : anchor.x() - (isBalloon() ? StemInset : 0);
    int y = anchor.y();
    stemBelow_ = false;
    if (y + h > screen.bottom() + 1) {
        // No room below the point: the tip stands above it.
        y = anchor.y() - h - (isBalloon() ? 0 : PointerOffset.y());
        stemBelow_ = true;
    }
    x = std::clamp(x, screen.left(), std::max(screen.left(), screen.right() + 1 - w));
    y = std::clamp(y, screen.top(), std::max(screen.top(), screen.bottom() + 1 - h));
    stemX_ = std::clamp(anchor.x() - x, CornerRadius + StemHalfWidth,
                        std::max(CornerRadius + StemHalfWidth, w - CornerRadius - StemHalfWidth));
    move(x, y);
    if (isBalloon()) {
        QPainterPath shape;
        const int top = stemBelow_ ? 0 : StemHeight;
        shape.addRoundedRect(QRectF(0, top, w, h - StemHeight), CornerRadius, CornerRadius);
        QPolygonF stem;
        if (stemBelow_)
            stem << QPointF(stemX_ - StemHalfWidth, h - StemHeight - 1) << QPointF(stemX_, h)
                 << QPointF(stemX_ + StemHalfWidth, h - StemHeight - 1);
        else
            stem << QPointF(stemX_ - StemHalfWidth, StemHeight + 1) << QPointF(stemX_, 0)
                 << QPointF(stemX_ + StemHalfWidth, StemHeight + 1);
        QPainterPath stemPath;
        stemPath.addPolygon(stem);
        setMask(QRegion(shape.united(stemPath).toFillPolygon().toPolygon()));
    } else {
        clearMask();
    }
    const bool wasVisible = isVisible();
    show();
    raise();
    update();
    if (tool_.uFlags & ToolFlag::Subclass)
        autoPopTimer_.start(autoPopMs_);
    if (!wasVisible)
        emit shown();
}

void TipWindow::popDown()
{
    initialTimer_.stop();
    autoPopTimer_.stop();
    if (!isVisible())
        return;
    hide();
    emit hidden();
}

void TipWindow::paintEvent(QPaintEvent *)
{
    QPainter painter(this);
    const QColor frame = systemColour(FrameIndex);
    const bool balloon = isBalloon();
    const int margin = balloon ? BalloonMargin : RectMargin;
    QRect body = rect();
    if (balloon) {
        painter.setRenderHint(QPainter::Antialiasing, true);
        body =
            stemBelow_ ? body.adjusted(0, 0, 0, -StemHeight) : body.adjusted(0, StemHeight, 0, 0);
        QPainterPath shape;
        shape.addRoundedRect(QRectF(body).adjusted(0.5, 0.5, -0.5, -0.5), CornerRadius,
                             CornerRadius);
        // The stem reaches into the body so that the two outline as one shape.
        const qreal base = stemBelow_ ? body.bottom() - 2 : body.top() + 2;
        const qreal tip = stemBelow_ ? height() - 0.5 : 0.5;
        QPolygonF stem;
        stem << QPointF(stemX_ - StemHalfWidth, base) << QPointF(stemX_, tip)
             << QPointF(stemX_ + StemHalfWidth, base) << QPointF(stemX_ - StemHalfWidth, base);
        QPainterPath stemPath;
        stemPath.addPolygon(stem);
        shape = shape.united(stemPath);
        painter.fillPath(shape, backColour());
        painter.setPen(QPen(frame, 1));
        painter.drawPath(shape);
    } else {
        painter.fillRect(body, backColour());
        painter.setPen(frame);
        painter.drawRect(body.adjusted(0, 0, -1, -1));
    }

    QRect content = body.adjusted(margin, margin, -margin, -margin);
    painter.setPen(textColour());
    if (!title_.isEmpty()) {
        QFont bold = font_;
        bold.setBold(true);
        const QFontMetrics metrics(bold);
        const int lineHeight = std::max(IconSize, metrics.height());
        int x = content.left();
        const QPixmap icon = iconPixmap();
        if (!icon.isNull()) {
            painter.drawPixmap(x, content.top() + (lineHeight - IconSize) / 2, icon);
            x += IconSize + TitleGap;
        }
        painter.setFont(bold);
        painter.drawText(QRect(x, content.top(), content.right() - x + 1, lineHeight),
                         Qt::AlignLeft | Qt::AlignVCenter, title_);
        content.setTop(content.top() + lineHeight + TitleGap);
    }
    painter.setFont(font_);
    // No mnemonic processing: an ampersand shows as it is.
    painter.drawText(content, Qt::AlignLeft | Qt::AlignTop | Qt::TextWordWrap | Qt::TextExpandTabs,
                     displayText());
}

} // namespace tooltips
