#ifndef APP_SHELL_MAINFRM_H
#define APP_SHELL_MAINFRM_H

#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <vector>

#include <QPoint>
#include <QPointer>
#include <QString>
#include <QVariant>
#include <QWidget>

#include "app/device/driverapi.h"
#include "app/shell/devicecontrol.h"
#include "app/shell/entryrequest.h"
#include "app/shell/mainfrmui.h"

class QLabel;
class QLockFile;
class QMenu;
class QPlainTextEdit;
class QTimer;

namespace app::controls {
class ButtonBar;
class VXBtn;
} // namespace app::controls

namespace app::device {
class DriverLibrary;
class HXR;
} // namespace app::device

namespace app::shell {

class Panel;
class DeviceSession;
class ProgramLinks;
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

// The program's main window: start-up, branding, the page buttons, the refresh loop, help,
// the status line, the recording controls and the closing sequence.
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

private:
    void buildControls();
    void applyBranding();
    void applyFallbackLook();
    void createDevice();
    void createFolders();
    void takeSeparators();
    bool showVersion();
    void roundCorners();
    void pageRefreshTick();
    void hideTipTick();
    void showHelpMenu();
    void openManual(const QString &fileName);
    void refreshFinished();
    void closeWaitExpired();
    void runClosingSequence();
    EntryAnswer ask(const EntryRequest &request);
    void showRecordingStatus(uint32_t ledColour, const QString &text, bool captureEnabled);

    MainFrmOptions options_;
    QString programFolder_;
    std::unique_ptr<QLockFile> instanceLock_;
    std::unique_ptr<DeviceSession> session_;
    // Declared after the device object: the links go before it does.
    std::unique_ptr<ProgramLinks> links_;
    bool closing_ = false;
    bool closePending_ = false;
    bool closed_ = false;
    QPoint dragOffset_;
    bool dragging_ = false;

    MainFrmUi ui_;
    QTimer *pageRefreshTimer_ = nullptr;
    QTimer *hideTip_ = nullptr;
    QTimer *closeWait_ = nullptr;

    std::unique_ptr<StyleTemplates> templates_;
};

} // namespace app::shell

#endif
