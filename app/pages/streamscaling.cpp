#include "app/pages/streamscaling.h"

#include <cstdint>

#include "app/common/desktop/messages.h"
#include "app/device/driverapi.h"
#include "app/device/drv_hxr.h"
#include "app/device/hxr.h"

namespace app::pages {

namespace {

bool linkFailure(int16_t result)
{
    return result == HXR_TIMEOUT || result == HXR_NODEVICE;
}

// The driver's re-read answers only yes or no: the module is asked for GAIN once more, past
// the device object's latch, to tell a link that no longer answers from a module that refused.
bool linkLost(const app::device::HXR &hxr)
{
    if (app::device::ModuleCommandRunning())
        return false;
    const app::device::ModuleCommandScope scope;
    float gain = 0.0f;
    return linkFailure(hxr.driver().READCOMMAND("GAIN", &gain));
}

} // namespace

bool ReloadStreamScaling(app::device::HXR &hxr)
{
    if (linkFailure(hxr.ErrorState()))
        return false;
    if (hxr.ConfigureCal() || hxr.ConfigureCal())
        return true;
    if (linkLost(hxr))
        app::common::desktop::ShowMessage(
            QStringLiteral("Communications with the module failed while reading its gains and "
                           "offsets!\r\nThe streamed values may be zero."),
            QStringLiteral("Communication Error"), true, app::common::desktop::MessageOk);
    else
        app::common::desktop::ShowMessage(
            QStringLiteral("There has been a problem reading gains and "
                           "offsets!\r\nThe streamed values may be zero."),
            QStringLiteral("Critical Error"), true, app::common::desktop::MessageOk);
    return false;
}

} // namespace app::pages
