#ifndef APP_DEVICE_DEVICEUI_H
#define APP_DEVICE_DEVICEUI_H

#include <functional>
#include <optional>

#include <QString>

namespace app::device {

// What the device object needs of the user interface, injected so that the model links no
// widgets. The shell connects these to its own message box, entry dialog and cursor.
struct DeviceUi
{
    // A message with an OK button; `warning` asks for the exclamation icon.
    using MessageSink =
        std::function<void(const QString &text, const QString &title, bool warning)>;
    // A text entry; empty when the user cancels.
    using InputPrompt = std::function<std::optional<QString>(
        const QString &prompt, const QString &title, const QString &defaultText)>;
    // The wait pointer on (true) and off (false).
    using BusyIndicator = std::function<void(bool busy)>;

    MessageSink message;
    InputPrompt input;
    BusyIndicator busy;

    // Messages go to platform::win::showPlainMessage (the program's presenter, else stderr);
    // there is no entry dialog (every prompt reads as cancelled) and no wait pointer.
    static DeviceUi defaults();
};

} // namespace app::device

#endif
