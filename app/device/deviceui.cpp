#include "app/device/deviceui.h"

#include "platform/win/messagehook.h"

namespace app::device {

DeviceUi DeviceUi::defaults()
{
    DeviceUi ui;
    ui.message = [](const QString &text, const QString &title, bool) {
        platform::win::showPlainMessage(text, title);
    };
    ui.input = [](const QString &, const QString &, const QString &) -> std::optional<QString> {
        return std::nullopt;
    };
    ui.busy = [](bool) {};
    return ui;
}

} // namespace app::device
