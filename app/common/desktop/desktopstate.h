#ifndef APP_COMMON_DESKTOP_DESKTOPSTATE_H
#define APP_COMMON_DESKTOP_DESKTOPSTATE_H

#include <functional>
#include <memory>
#include <set>
#include <vector>

#include <QLabel>
#include <QPointer>
#include <QString>
#include <QStringList>

#include "app/common/desktop/filedialogs.h"
#include "app/common/desktop/messages.h"
#include "app/common/desktop/shellhook.h"
#include "platform/win/programstate.h"

namespace app::common::desktop {

// The program-wide state of the desktop services: the fonts the program added, the message
// form and its open message, the hooks tests put in place of dialogs and the desktop, the
// status line of the communications, and the files already warned about.
struct DesktopState : platform::win::ProgramState<DesktopState>
{
    struct Fonts
    {
        bool loaded = false;
        std::vector<int> ids;
        QStringList substituted;
    };

    struct Messages
    {
        MessageDialogFactory factory;
        std::unique_ptr<MessageDialog> notice; // an open notice of modes 1 and 2
        MessageDialog *waiting = nullptr;      // a modal message, owned by its ShowMessage call
    };

    struct CommsStatus
    {
        QPointer<QLabel> label;
        std::function<void()> recovered;
    };

    Fonts fonts;
    Messages messages;
    FileDialogRunner fileDialogRunner;
    ShellHook shellHook;
    CommsStatus comms;
    // Settings files whose failed save was reported once already.
    std::set<QString> settingsWarned;
};

} // namespace app::common::desktop

#endif
