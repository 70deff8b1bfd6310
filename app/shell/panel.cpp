#include "app/shell/panel.h"

#include <QPainter>

#include "platform/win/gui/qcolour.h"

namespace app::shell {

Panel::Panel(QWidget *parent, int corner) : QWidget(parent), corner_(corner)
{
    setAttribute(Qt::WA_NoSystemBackground);
}

void Panel::setBackColor(uint32_t oleColour)
{
    backColour_ = oleColour;
    update();
}

void Panel::setBorderColor(uint32_t oleColour)
{
    borderColour_ = oleColour;
    border_ = true;
    update();
}

void Panel::setCorner(int corner)
{
    corner_ = corner;
    update();
}

void Panel::setRound(bool round)
{
    round_ = round;
    update();
}

void Panel::paintEvent(QPaintEvent *)
{
    QPainter p(this);
    p.setRenderHint(QPainter::Antialiasing);
    const QRectF r = QRectF(rect()).adjusted(0.5, 0.5, -0.5, -0.5);
    p.setPen(border_ ? QPen(platform::win::gui::toQColor(borderColour_), 1.0) : QPen(Qt::NoPen));
    p.setBrush(platform::win::gui::toQColor(backColour_));
    if (round_)
        p.drawEllipse(r);
    else
        p.drawRoundedRect(r, corner_ / 2.0, corner_ / 2.0);
}

} // namespace app::shell
