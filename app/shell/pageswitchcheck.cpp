#include "app/shell/pageswitchcheck.h"

#include <QStringList>

#include "app/common/desktop/messages.h"
#include "app/device/drv_hxr.h"
#include "app/device/hxr.h"
#include "app/shell/connection.h"
#include "app/shell/device.h"
#include "app/shell/devicecontrol.h"
#include "platform/vb/val.h"

namespace app::shell {

namespace {

const QString LockPage = QStringLiteral("CHILD_GEN_LOCK");

const QString RecordingQuestion = QStringLiteral(
    "This Toolkit records constantly, unless the module is being configured, which enables you "
    "to Capture and Review the data whenever you want.\r\nYou are now going to a page that "
    "configures the module so the recording will be stopped!\r\nDo you want to continue?");
const QString LockQuestion = QStringLiteral(
    "This module has had some lock settings configured. To gain access to this page you must "
    "enter the passcode that was set when the module was locked.");

// The pages that configure the module: going there stops the recording.
bool configuresModule(const QString &form)
{
    static const QStringList forms = {
        QStringLiteral("CHILD_GEN_HOME"), QStringLiteral("CHILD_GEN_INFO"),
        QStringLiteral("CHILD_GEN_FILE"), QStringLiteral("CHILD_GEN_CALIBRATION"),
        QStringLiteral("CHILD_GEN_LOCK"), QStringLiteral("CHILD_GEN_FACTORY")};
    return forms.contains(form);
}

bool checkPasscode(const EntryPrompt &ask, app::device::HXR *device,
                   const std::function<void()> &resetErrors)
{
    EntryRequest request;
    request.kind = EntryRequest::Kind::Manual;
    request.title = QStringLiteral("Lock Settings");
    request.description = LockQuestion;
    request.formatting = QStringLiteral("000000");
    request.numeric = true;
    request.allowed = QStringLiteral("0123456789");
    request.min = 0;
    request.max = 999999;
    request.length = 7;
    const EntryAnswer answer = ask(request);
    if (answer.cancelled)
        return false;
    // The passcode must come from the module now: a latched or failed read would hand back
    // a stale value (0 before the first read).
    bool readOk = false;
    double passcode = 0;
    if (device) {
        device->ResetError();
        passcode = device->PWD1();
        readOk = device->ErrorState() == 0;
    }
    if (!readOk) {
        app::common::desktop::ShowMessage(
            QStringLiteral("The passcode could not be read from the module, so the page stays "
                           "locked. Check the connection and try again."),
            QStringLiteral("Lock Settings"), true, app::common::desktop::MessageOk);
        return false;
    }
    if (passcode != platform::vb::Val(answer.value)) {
        app::common::desktop::ShowMessage(QStringLiteral("Sorry that passcode was incorrect!"),
                                          QStringLiteral("Lock Settings"), false,
                                          app::common::desktop::MessageOk);
        return false;
    }
    resetErrors();
    return true;
}

} // namespace

bool RefusePageSwitch(int index, const EntryPrompt &ask, app::device::HXR *device,
                      const std::function<void()> &resetErrors)
{
    // Decided on the page the button opens, whichever set is current.
    QString target;
    if (const Device *set = CurrentDevice()) {
        if (index >= 1 && index <= set->ButtonCount())
            target = set->Form(index);
    }
    if (app::device::StreamRunning() && configuresModule(target)) {
        EntryRequest request;
        request.kind = EntryRequest::Kind::OkCancel;
        request.title = QStringLiteral("Recording In Progress");
        request.description = RecordingQuestion;
        if (ask(request).cancelled)
            return true;
    }
    if (target == LockPage && CurrentConnection().LockMask != 0)
        return !checkPasscode(ask, device, resetErrors);
    resetErrors();
    return false;
}

} // namespace app::shell
