#ifndef APP_CONTROLS_CONTROLSSTATE_H
#define APP_CONTROLS_CONTROLSSTATE_H

#include <cstdint>
#include <vector>

#include <QPointer>
#include <QString>

#include "app/controls/usercontrol.h"
#include "platform/win/programstate.h"

namespace app::controls {

class VXBtn;

// The program-wide state of the controls: the buttons that share a look, and the beep that
// tests put in place of the system's.
struct ControlsState : platform::win::ProgramState<ControlsState>
{
    struct ButtonEntry
    {
        int32_t instance;
        QPointer<VXBtn> button;
        QString styleName;
    };

    struct ButtonRegistry
    {
        std::vector<ButtonEntry> entries;
        int32_t counter = 0;
    };

    ButtonRegistry buttons;
    UserControl::BeepHook beepHook;
};

} // namespace app::controls

#endif
