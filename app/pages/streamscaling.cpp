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

// The driver's re-read answers only yes or no: whether the module still answers at all (its
// model number, past the device object's latch) tells a link that is gone from a module that
// refused the gains.
bool linkLost(const app::device::HXR &hxr)
{
    if (app::device::ModuleCommandRunning())
        return false;
    const app::device::ModuleCommandScope scope;
    float model = 0.0f;
    return linkFailure(hxr.driver().READCOMMAND("MODL", &model));
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
