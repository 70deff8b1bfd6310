#ifndef PLATFORM_WIN_WINSTATE_H
#define PLATFORM_WIN_WINSTATE_H

#include "platform/win/messagehook.h"
#include "platform/win/osversion.h"
#include "platform/win/programstate.h"

namespace platform::win {

// The program-wide state of the platform layer: what tests put in place of the system.
struct WinState : ProgramState<WinState>
{
    // Read from any thread under the message hook's lock.
    MessageRecorder messageRecorder;
    VersionQuery versionQuery;
};

} // namespace platform::win

#endif
