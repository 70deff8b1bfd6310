#include "app/analysis/readingstream.h"

#include "app/analysis/circularbuffermodule.h"
#include "app/device/driverapi.h"
#include "app/device/drv_hxr.h"

namespace app::analysis {

void AttachReadingStream(const app::device::DriverApi &driver)
{
    app::device::setBufferResetHook(&ResetBuffer);
    SetFindMinMax(driver.FINDMINMAX);
}

void DetachReadingStream()
{
    app::device::setBufferResetHook({});
    SetFindMinMax(nullptr);
}

} // namespace app::analysis
