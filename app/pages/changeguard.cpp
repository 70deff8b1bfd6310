#include "app/pages/changeguard.h"

#include "app/common/desktop/messages.h"
#include "app/device/hxr.h"

namespace app::pages {

bool ChangeAllowed(const app::device::HXR &hxr)
{
    if (hxr.ErrorState() == 0)
        return true;
    app::common::desktop::ShowMessage(
        QStringLiteral("You cannot alter values while communication errors exist!"),
        QStringLiteral("Communications Failure"), true, app::common::desktop::MessageOk);
    return false;
}

} // namespace app::pages
