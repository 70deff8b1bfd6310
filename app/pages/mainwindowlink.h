#ifndef APP_PAGES_MAINWINDOWLINK_H
#define APP_PAGES_MAINWINDOWLINK_H

#include <functional>

namespace app::pages {

// What the device pages ask of the main window. Each call reaches the one main window when it
// runs; a link installed here (tests, a host without a main window) takes its place.
struct MainWindowLink
{
    std::function<void(bool visible)> setRecordBlankerVisible;
    std::function<void(int milliseconds)> setRefreshInterval;
    std::function<void(bool enabled)> setMainWindowEnabled;
    std::function<void()> shutDown;
};

// Installs the link; members left empty go to the main window. Returns the previous link.
MainWindowLink SetMainWindowLink(MainWindowLink link);

// The cover over the recording controls, shown while no module is connected.
void ShowRecordBlanker(bool visible);
// The interval of the page refresh timer (every page switch sets it back to 1000 ms).
void SetPageRefreshInterval(int milliseconds);
// Takes user input away from the main window, or gives it back.
void EnableMainWindow(bool enabled);
// The main window's closing sequence (MainFrm::ShutDown).
void ShutDownProgram();

} // namespace app::pages

#endif
