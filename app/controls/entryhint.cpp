#include "app/controls/entryhint.h"

#include <algorithm>

#include <QScreen>
#include <QTimer>
#include <QToolTip>

namespace app::controls {

EntryHint::EntryHint(QWidget &field)
    : QLabel(&field, Qt::ToolTip | Qt::FramelessWindowHint), field_(field)
{
    setObjectName(QStringLiteral("EntryHint"));
    setAttribute(Qt::WA_ShowWithoutActivating);
    setAttribute(Qt::WA_TransparentForMouseEvents);
    setFocusPolicy(Qt::NoFocus);
    // The desktop's tooltip look: the user reads it as a passing note.
    setPalette(QToolTip::palette());
    setFont(QToolTip::font());
    setAutoFillBackground(true);
    setFrameStyle(QFrame::Box | QFrame::Plain);
    setMargin(3);
    timer_ = new QTimer(this);
    timer_->setSingleShot(true);
    timer_->setInterval(ShowMs);
    connect(timer_, &QTimer::timeout, this, &QWidget::hide);
}

void EntryHint::showText(const QString &text)
{
    setText(text);
    adjustSize();
    placeBelowField();
    show();
    raise();
    timer_->start();
}

void EntryHint::placeBelowField()
{
    QPoint at = field_.mapToGlobal(QPoint(0, field_.height() + 2));
    const QScreen *screen = field_.screen();
    if (screen) {
        const QRect room = screen->availableGeometry();
        if (at.y() + height() > room.bottom())
            at.setY(field_.mapToGlobal(QPoint(0, 0)).y() - height() - 2);
        at.setX(std::clamp(at.x(), room.left(), std::max(room.left(), room.right() - width())));
    }
    move(at);
}

} // namespace app::controls
