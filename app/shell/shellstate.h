#ifndef APP_SHELL_SHELLSTATE_H
#define APP_SHELL_SHELLSTATE_H

#include <functional>
#include <map>
#include <memory>
#include <vector>

#include <QPlainTextEdit>
#include <QPointer>
#include <QString>
#include <QStringList>
#include <QWidget>

#include "app/shell/brandingmodule.h"
#include "app/shell/childformclass.h"
#include "app/shell/connection.h"
#include "app/shell/device.h"
#include "app/shell/pageforms.h"
#include "platform/win/programstate.h"

namespace app::shell {

class MainFrm;
class PageSetHost;
class ProgramContext;

// The program-wide state of the shell: the branding, the connection, the page host and the
// pages it shows, the help area, the page sets, the page factories, the message form's owner,
// the main window, the context the state belongs to and how far the run's closing has got.
struct ShellState : platform::win::ProgramState<ShellState>
{
    // Where the pages are shown and which are up.
    struct PageHost
    {
        QPointer<QWidget> host;
        QPointer<QWidget> container;
        std::map<QString, QPointer<ChildFormClass>> registered;
        QStringList registrationOrder;
        QPointer<ChildFormClass> current;
        bool refreshing = false;
        QPointer<ChildFormClass> refreshingPage;
        // Pages unloaded while their own refresh ran: destroyed once it returns.
        std::vector<std::unique_ptr<ChildFormClass>> pendingUnload;
        std::function<void()> refreshFinished;
    };

    // The help area beside the pages.
    struct Menu
    {
        QPointer<QWidget> mainFrame;
        QPointer<QWidget> mainHelp;
        QPointer<QPlainTextEdit> help;
        QPointer<QPlainTextEdit> extraInfo;
        QString extraTemplate;
    };

    struct PageSets
    {
        PageSetHost *host = nullptr;
        std::map<QString, std::unique_ptr<Device>> sets;
        const Device *current = nullptr;
    };

    struct Forms
    {
        std::map<QString, PageFactory> factories;
        // The page's parent may be the container, whose destruction then takes the page along:
        // QPointer notices.
        std::map<QString, QPointer<ChildFormClass>> loaded;
    };

    Branding branding;
    Connection connection;
    PageHost pageHost;
    Menu menu;
    PageSets pageSets;
    Forms forms;
    QPointer<QWidget> messageOwner;
    QPointer<MainFrm> mainWindow;
    int inputHolds = 0;
    QString updateProduct;
    // The context this state belongs to; nullptr: the process's own state.
    ProgramContext *context = nullptr;
    // How many of the steps that end the run have run (closingsteps.h).
    int closingStepsRun = 0;
};

} // namespace app::shell

#endif
