#ifndef APP_SHELL_MAINFRM_H
#define APP_SHELL_MAINFRM_H

#include <cstdint>
#include <functional>
#include <memory>
#include <optional>

#include <QPoint>
#include <QString>
#include <QVariant>
#include <QWidget>

#include "app/device/driverapi.h"
#include "app/shell/closingsequence.h"
#include "app/shell/devicecontrol.h"
#include "app/shell/entryrequest.h"
#include "app/shell/mainfrmui.h"

class QLockFile;
class QTimer;

namespace app::controls {
class ButtonBar;
} // namespace app::controls

namespace app::device {
class HXR;
} // namespace app::device

namespace app::shell {

class DeviceSession;
class PageButtons;
class StyleTemplates;

struct MainFrmOptions
{
    // Where the driver library, the branding file, the fonts and the manuals are; empty: the
    // program's own folder.
    QString programFolder;
    // The entry dialog; empty: EntryFrm.
    EntryPrompt entry;
    // Ends the program after the closing sequence or a failed start; empty: leave the event
    // loop with the code.
    std::function<void(int code)> endProgram;
    // How long a close waits for a running page refresh.
    int closeWaitMs = 15000;
    // A driver table to use instead of loading the library (tests).
    std::optional<app::device::DriverApi> driver;
};

// The program's main window: its controls, the hover tips, the refresh loop, help, the status
// line and the recording controls, hosting the page sets. The start-up is in mainfrmstartup.cpp;
// the page button row and the closing sequence are objects of their own.
class MainFrm : public QWidget, public PageSetHost
{
    Q_OBJECT

public:
    explicit MainFrm(MainFrmOptions options = {});
    ~MainFrm() override;

    // The one main window of the run, or nullptr.
    static MainFrm *instance();

    // The load step. False when the program must end (failed branding outside factory mode, a
    // missing or broken driver library); the reason has been shown.
    bool Load();

    // Public members of the form.
    void ShutDown();
    void DoErrorReset();
    static bool IsTrue(const QVariant &value);
    void TipOn(const QString &text) override;
    void TipOff() override;
    void SaveINISettings() {}
    void LoadINISettings() {}
    bool CheckComms() { return true; }
    bool HandleBranding();
    void ArrangeLogoframe();

    // The page switch check of the button bar: true refuses the switch.
    bool ButtonClickCheck(int index);
    void RecordCaptureClick();
    void ResetCaptureClick();

    // For the pages.
    QTimer *PageRefreshTimer() const { return pageRefreshTimer_; }
    QTimer *ReadingWatchTimer() const { return readingWatch_; }
    app::device::HXR *device() const;
    QWidget *MainFrame() const;
    app::controls::ButtonBar *ButtonBar1() const { return ui_.buttonBar; }

    // What the window shows, for tests and screenshots.
    QString versionText() const;
    QString titleText() const;
    QString helpTitle() const;
    QString iconHelpText() const;
    QString infoText() const;
    bool errorResetEnabled() const;
    bool captureEnabled() const;
    QString recordText() const;

    // PageSetHost
    void clearButtons() override;
    void addButton(const QString &glyph, bool enabled) override;
    void drawButtons() override;
    void selectButton(int index) override;
    void restartRefreshTimer() override;
    void setRefreshInterval(int milliseconds) override;
    void setRecordBlankerVisible(bool visible) override;
    void setMainWindowEnabled(bool enabled) override { setEnabled(enabled); }
    void shutDown() override { ShutDown(); }
    void showPageHost() override;
    void releaseMouseCapture() override;
    void setErrorResetEnabled(bool enabled) override;
    void reportCommsFailure(const QString &text, bool failed) override;
    int errorState() override;
    void setStreamRunning(bool running) override;

protected:
    void closeEvent(QCloseEvent *event) override;
    void resizeEvent(QResizeEvent *event) override;
    bool eventFilter(QObject *watched, QEvent *event) override;
    // A control that hides or is disabled with the focus leaves it in the page.
    bool focusNextPrevChild(bool next) override;

private:
    void buildControls();
    void applyBranding();
    void applyFallbackLook();
    void createDevice();
    bool showVersion();
    void roundCorners();
    void pageRefreshTick();
    void hideTipTick();
    void showHelpMenu();
    void openManual(const QString &fileName);
    ClosingSteps closingSteps();
    // The program context's links, which point at the window and its device object.
    static void removeLinks();
    EntryAnswer ask(const EntryRequest &request);
    void showRecordingStatus(uint32_t ledColour, const QString &text, bool captureEnabled);

    MainFrmOptions options_;
    // Declared after the options: it takes its wait and the program's end from them.
    ClosingSequence closing_;
    QString programFolder_;
    std::unique_ptr<QLockFile> instanceLock_;
    std::unique_ptr<DeviceSession> session_;
    QPoint dragOffset_;
    bool dragging_ = false;

    MainFrmUi ui_;
    QTimer *pageRefreshTimer_ = nullptr;
    QTimer *hideTip_ = nullptr;
    QTimer *readingWatch_ = nullptr; // whether readings still arrive while a stream runs
    std::unique_ptr<PageButtons> pageButtons_;

    std::unique_ptr<StyleTemplates> templates_;
};

} // namespace app::shell

#endif
