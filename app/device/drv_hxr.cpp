#include "app/device/drv_hxr.h"

#include <utility>

namespace app::device {

namespace {

// User-interface thread only, like everything that touches the device object.
HXR *deviceObject = nullptr;
bool streamRunning = false;
int moduleCommands = 0;

BufferResetHook &bufferResetHook()
{
    static BufferResetHook hook;
    return hook;
}

} // namespace

void SetHXRObject(HXR *device)
{
    deviceObject = device;
}
void ClearHXRObject()
{
    deviceObject = nullptr;
}
HXR *HXRObject()
{
    return deviceObject;
}

bool StreamRunning()
{
    return streamRunning;
}
void setStreamRunning(bool running)
{
    streamRunning = running;
}

bool ModuleCommandRunning()
{
    return moduleCommands > 0;
}

ModuleCommandScope::ModuleCommandScope()
{
    ++moduleCommands;
}

ModuleCommandScope::~ModuleCommandScope()
{
    --moduleCommands;
}

BufferResetHook setBufferResetHook(BufferResetHook hook)
{
    return std::exchange(bufferResetHook(), std::move(hook));
}

void resetReadingBuffer()
{
    if (const BufferResetHook &hook = bufferResetHook())
        hook();
}

} // namespace app::device
