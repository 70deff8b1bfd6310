#include "app/pages/streamscaling.h"

#include "app/common/desktop/messages.h"
#include "app/device/hxr.h"

namespace app::pages {

bool ReloadStreamScaling(app::device::HXR &hxr)
{
    if (hxr.ConfigureCal() || hxr.ConfigureCal())
        return true;
    app::common::desktop::ShowMessage(
        QStringLiteral("There has been a problem reading gains and "
                       "offsets!\r\nThe streamed values may be zero."),
        QStringLiteral("Critical Error"), true, app::common::desktop::MessageOk);
    return false;
}

} // namespace app::pages
