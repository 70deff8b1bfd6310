#include "app/shell/devicesession.h"

#include <utility>

#include <QApplication>

#include "app/common/desktop/messages.h"
#include "app/device/driverlibrary.h"
#include "app/device/hxr.h"

namespace app::shell {

DeviceSession::DeviceSession(const QString &programFolder,
                             const std::optional<app::device::DriverApi> &driver,
                             app::device::DeviceUi::InputPrompt input)
{
    if (driver) {
        driverApi_ = *driver;
        driverBound_ = true;
    } else {
        driverLibrary_ = std::make_unique<app::device::DriverLibrary>();
        driverLibrary_->load(programFolder);
        driverApi_ = driverLibrary_->api();
        driverBound_ = driverLibrary_->isLoaded();
    }
    hxr_ = std::make_unique<app::device::HXR>(driverApi_);
    app::device::DeviceUi ui;
    ui.message = [](const QString &text, const QString &title, bool warning) {
        app::common::desktop::ShowMessage(text, title, warning, app::common::desktop::MessageOk);
    };
    ui.input = std::move(input);
    ui.busy = [](bool busy) {
        if (busy)
            QApplication::setOverrideCursor(Qt::WaitCursor);
        else
            QApplication::restoreOverrideCursor();
    };
    hxr_->setUi(ui);
}

DeviceSession::~DeviceSession() = default;

} // namespace app::shell
