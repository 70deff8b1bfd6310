#include "app/pages/mainwindowlink.h"

#include <utility>

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
}

void SetPageRefreshInterval(int milliseconds)
{
    if (link().setRefreshInterval)
        link().setRefreshInterval(milliseconds);
}

} // namespace app::pages
