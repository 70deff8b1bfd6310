#include "app/device/drv_hxr.h"

#include <utility>

#include "app/device/devicestate.h"

namespace app::device {

namespace {

DeviceState &state()
{
    return DeviceState::current();
}

} // namespace

void SetHXRObject(HXR *device)
{
    state().deviceObject = device;
}
void ClearHXRObject()
{
    state().deviceObject = nullptr;
}
HXR *HXRObject()
{
    return state().deviceObject;
}

bool StreamRunning()
{
    return state().streamRunning;
}
void setStreamRunning(bool running)
{
    state().streamRunning = running;
}

bool ModuleCommandRunning()
{
    return state().moduleCommands > 0;
}

ModuleCommandScope::ModuleCommandScope()
{
    ++state().moduleCommands;
}

ModuleCommandScope::~ModuleCommandScope()
{
    --state().moduleCommands;
}

BufferResetHook setBufferResetHook(BufferResetHook hook)
{
    return std::exchange(state().bufferResetHook, std::move(hook));
}

void resetReadingBuffer()
{
    if (const BufferResetHook &hook = state().bufferResetHook)
        hook();
}

} // namespace app::device
