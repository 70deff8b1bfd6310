#ifndef APP_SHELL_DEVICECONTROL_H
#define APP_SHELL_DEVICECONTROL_H

#include <QString>

namespace app::shell {

class Device;

// What the page sets need of the main window (MainFrm implements it; tests use a fake).
class PageSetHost
{
public:
    virtual ~PageSetHost() = default;

    // The button bar.
    virtual void clearButtons() = 0;
    virtual void addButton(const QString &glyph, bool enabled) = 0;
    virtual void drawButtons() = 0;
    virtual void selectButton(int index) = 0;

    // Refresh timer back to 1000 ms, restarted.
    virtual void restartRefreshTimer() = 0;
    // The interval of the page refresh timer, as a page asks for it.
    virtual void setRefreshInterval(int milliseconds) = 0;
    // The cover over the recording controls, shown while no module is connected.
    virtual void setRecordBlankerVisible(bool visible) = 0;
    // User input to the main window taken away or given back (while the update utility runs).
    virtual void setMainWindowEnabled(bool enabled) = 0;
    // The main window's closing sequence.
    virtual void shutDown() = 0;
    // The panel the pages are shown in made visible.
    virtual void showPageHost() = 0;
    virtual void TipOn(const QString &text) = 0;
    virtual void TipOff() = 0;
    virtual void releaseMouseCapture() = 0;

    // The communication status line and its reset button.
    virtual void setErrorResetEnabled(bool enabled) = 0;
    virtual void reportCommsFailure(const QString &text, bool failed) = 0;

    // The device object.
    virtual int errorState() = 0;
    virtual void setStreamRunning(bool running) = 0;
};

void SetPageSetHost(PageSetHost *host);

// What the pages ask of the main window, through the installed host; nothing without one.
void ShowRecordBlanker(bool visible);
// Every page switch sets the interval back to 1000 ms.
void SetPageRefreshInterval(int milliseconds);
void EnableMainWindow(bool enabled);
void ShutDownProgram();
void ShowPageHost();

inline const QString HomeSetKey = QStringLiteral("HOME");
inline const QString ModuleSetKey = QStringLiteral("PLM");

// Builds the "HOME" and "PLM" sets; the factory button only with factoryAccess.
void BuildDeviceList(bool factoryAccess);
// Raises platform::vb::VbError for an unknown key.
void SelectDevice(const QString &key);
void ClearDevices();
const Device *CurrentDevice();

// Fills the button bar from the current set (buttons of pages the program does not have are
// disabled) and opens its default page.
void BuildButtonBar();
void ShowButtonTip(int index);
void HideButtonTip();
// The page switch of a button click (1-based). Raises platform::vb::VbError, before anything
// changes, for an index beyond the current set.
void SwitchPage(int index);
void UpdateCommsStatus();

} // namespace app::shell

#endif
