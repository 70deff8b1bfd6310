#ifndef APP_SHELL_DEVICESESSION_H
#define APP_SHELL_DEVICESESSION_H

#include <memory>
#include <optional>

#include <QString>

#include "app/device/deviceui.h"
#include "app/device/driverapi.h"

namespace app::device {
class DriverLibrary;
class HXR;
} // namespace app::device

namespace app::shell {

// The driver library of the run and the device object on it, asking the user through the
// program's message box, the given entry prompt and the wait pointer.
class DeviceSession
{
public:
    // Uses `driver` when given (tests), else loads the library from the program folder.
    DeviceSession(const QString &programFolder, const std::optional<app::device::DriverApi> &driver,
                  app::device::DeviceUi::InputPrompt input);
    ~DeviceSession();

    DeviceSession(const DeviceSession &) = delete;
    DeviceSession &operator=(const DeviceSession &) = delete;

    app::device::HXR *device() const { return hxr_.get(); }
    const app::device::DriverApi &driver() const { return driverApi_; }
    // False when the library is missing or lacks an export.
    bool driverBound() const { return driverBound_; }

private:
    // Declared first: the device object goes before the library its driver table points into.
    std::unique_ptr<app::device::DriverLibrary> driverLibrary_;
    app::device::DriverApi driverApi_ = app::device::DriverApi::unavailable();
    bool driverBound_ = false;
    std::unique_ptr<app::device::HXR> hxr_;
};

} // namespace app::shell

#endif
