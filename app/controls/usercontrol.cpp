#include "app/controls/usercontrol.h"

#include <utility>

#include <QApplication>
#include <QEnterEvent>

#include "app/common/globals.h"
#include "app/controls/controlsstate.h"
#include "app/controls/roundregion.h"

namespace app::controls {

namespace {

UserControl::BeepHook &beepHook()
{
    return ControlsState::current().beepHook;
}

} // namespace

UserControl::UserControl(QWidget *parent)
    : QWidget(parent), separators_(app::common::ProgramSeparators()), decimal_(separators_.decimal)
{
    setMouseTracking(true);
}

UserControl::BeepHook UserControl::setBeepHook(BeepHook hook)
{
    return std::exchange(beepHook(), std::move(hook));
}

void UserControl::beep()
{
    if (beepHook())
        beepHook()();
    else
        QApplication::beep();
}

void UserControl::applyRoundRegion(int ellipse)
{
    if (ellipse <= 0)
        clearMask();
    else
        setMask(roundRectRegion(width(), height(), ellipse, ellipse));
    update();
}

void UserControl::showHandCursor(bool hand)
{
    if (hand)
        setCursor(Qt::PointingHandCursor);
    else
        unsetCursor();
}

void UserControl::enterEvent(QEnterEvent *event)
{
    pointerInside_ = true;
    pointerEntered();
    QWidget::enterEvent(event);
}

void UserControl::leaveEvent(QEvent *event)
{
    pointerInside_ = false;
    pointerLeft();
    QWidget::leaveEvent(event);
}

} // namespace app::controls
