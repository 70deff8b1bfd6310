#ifndef APP_DEVICE_DEVICESTATE_H
#define APP_DEVICE_DEVICESTATE_H

#include "app/device/drv_hxr.h"
#include "app/device/unitcollection.h"
#include "platform/win/programstate.h"

namespace app::device {

class HXR;

// The program-wide state of the device layer: the reference to the device object, whether the
// module streams, the commands in progress, the ring's reset hook and the unit table.
// User-interface thread only, like everything that touches the device object.
struct DeviceState : platform::win::ProgramState<DeviceState>
{
    HXR *deviceObject = nullptr;
    bool streamRunning = false;
    int moduleCommands = 0;
    BufferResetHook bufferResetHook;
    UnitCollection unitTable;
};

} // namespace app::device

#endif
