#include "app/shell/inputhold.h"

#include <algorithm>
#include <cstdint>

#include <QCoreApplication>
#include <QEventLoop>

#include "app/device/clock.h"
#include "app/shell/shellstate.h"

namespace app::shell {

namespace {

int &holds()
{
    return ShellState::current().inputHolds;
}

// Short enough for the window to repaint smoothly while it waits.
constexpr int64_t PaintStepMs = 20;

} // namespace

InputHold::InputHold()
{
    ++holds();
}

InputHold::~InputHold()
{
    --holds();
}

void InputHold::letPaint()
{
    QCoreApplication::processEvents(QEventLoop::ExcludeUserInputEvents);
}

bool InputHeld()
{
    return holds() > 0;
}

void Delay(app::device::Clock &clock, int milliseconds)
{
    InputHold hold;
    const int64_t end = clock.monotonicMs() + milliseconds;
    for (int64_t left = end - clock.monotonicMs(); left > 0; left = end - clock.monotonicMs()) {
        InputHold::letPaint();
        clock.sleepMs(static_cast<int>(std::min(left, PaintStepMs)));
    }
}

} // namespace app::shell
