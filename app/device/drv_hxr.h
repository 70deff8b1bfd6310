#ifndef APP_DEVICE_DRV_HXR_H
#define APP_DEVICE_DRV_HXR_H

#include <functional>

namespace app::device {

class HXR;

// The program-wide reference to the one device object. The main window owns the object; it
// stores it here after creating it and clears it before releasing it.
void SetHXRObject(HXR *device);
void ClearHXRObject();
// The stored object, nullptr before SetHXRObject and after ClearHXRObject.
HXR *HXRObject();

// True while the module streams readings: set by HXR::RST, cleared by HXR::CommandMode and by
// the shell when it returns to the home page set.
bool StreamRunning();
void setStreamRunning(bool running);

// True while a device object's call to the driver works on the port. Such a call waits for the
// module's reply with the window's events running; what those events would ask of the module
// meanwhile (a refresh tick, say) is skipped. Set by ModuleCommandScope.
bool ModuleCommandRunning();

class ModuleCommandScope
{
public:
    ModuleCommandScope();
    ~ModuleCommandScope();
    ModuleCommandScope(const ModuleCommandScope &) = delete;
    ModuleCommandScope &operator=(const ModuleCommandScope &) = delete;
};

// What HXR::RST calls to empty the reading ring buffer; the ring installs it. Returns the hook
// that was installed before; an empty hook makes the reset do nothing.
using BufferResetHook = std::function<void()>;
BufferResetHook setBufferResetHook(BufferResetHook hook);
// Runs the installed hook, if any.
void resetReadingBuffer();

} // namespace app::device

#endif
