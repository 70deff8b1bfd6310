#include "app/device/drv_hxr.h"

#include <utility>

namespace app::device {

namespace {

// User-interface thread only, like everything that touches the device object.
HXR *deviceObject = nullptr;
bool streamRunning = false;

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
