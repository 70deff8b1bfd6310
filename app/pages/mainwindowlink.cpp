#include "app/pages/mainwindowlink.h"

#include <utility>

#include <QTimer>

#include "app/shell/mainfrm.h"

namespace app::pages {

namespace {

MainWindowLink &link()
{
    static MainWindowLink instance;
    return instance;
}

} // namespace

MainWindowLink SetMainWindowLink(MainWindowLink newLink)
{
    return std::exchange(link(), std::move(newLink));
}

void ShowRecordBlanker(bool visible)
{
    if (link().setRecordBlankerVisible)
        link().setRecordBlankerVisible(visible);
    else if (app::shell::MainFrm *main = app::shell::MainFrm::instance())
        main->setRecordBlankerVisible(visible);
}

void SetPageRefreshInterval(int milliseconds)
{
    if (link().setRefreshInterval)
        link().setRefreshInterval(milliseconds);
    else if (app::shell::MainFrm *main = app::shell::MainFrm::instance())
        main->PageRefreshTimer()->setInterval(milliseconds);
}

void EnableMainWindow(bool enabled)
{
    if (link().setMainWindowEnabled)
        link().setMainWindowEnabled(enabled);
    else if (app::shell::MainFrm *main = app::shell::MainFrm::instance())
        main->setEnabled(enabled);
}

void ShutDownProgram()
{
    if (link().shutDown)
        link().shutDown();
    else if (app::shell::MainFrm *main = app::shell::MainFrm::instance())
        main->ShutDown();
}

} // namespace app::pages
