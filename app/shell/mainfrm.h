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

namespace platform::win::messagebox {
class MessageBoxPresenter;
} // namespace platform::win::messagebox

namespace app::shell {

class Panel;

// A question the main window asks through the entry dialog.
struct EntryRequest
{
    enum class Kind { OkCancel, Manual };
    Kind kind = Kind::OkCancel;
    QString title;
    QString description;
    // Manual entries only.
    QString defaultText;
    QString formatting;
    bool numeric = false;
    QString allowed;
    float min = 0.0f;
    float max = 0.0f;
    int16_t length = 0;
};

struct EntryAnswer
{
    bool cancelled = true;
    QString value; // the entered value, "." as decimal separator
};

using EntryPrompt = std::function<EntryAnswer(const EntryRequest &)>;

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
    void setRecordBlankerVisible(bool visible);
    app::device::HXR *device() const { return hxr_.get(); }
    QWidget *MainFrame() const;
    app::controls::ButtonBar *ButtonBar1() const { return buttonBar_; }

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
    void buildTemplates();
    void layOutControls();
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
    bool checkPasscode();
    void showRecordingStatus(uint32_t ledColour, const QString &text, bool captureEnabled);

    MainFrmOptions options_;
    std::unique_ptr<platform::win::messagebox::MessageBoxPresenter> presenter_;
    QString programFolder_;
    std::unique_ptr<QLockFile> instanceLock_;
    std::unique_ptr<app::device::DriverLibrary> driverLibrary_;
    std::unique_ptr<app::device::HXR> hxr_;
    bool driverBound_ = false;
    app::device::DriverApi driverApi_ = app::device::DriverApi::unavailable();
    bool closing_ = false;
    bool closePending_ = false;
    bool closed_ = false;
    QPoint dragOffset_;
    bool dragging_ = false;

    // Controls; owned by the window.
    app::controls::ButtonBar *buttonBar_ = nullptr;
    Panel *frameExt_ = nullptr;
    Panel *themes_ = nullptr;
    Panel *mainFrame_ = nullptr;
    Panel *mainHelp_ = nullptr;
    Panel *logoFrame_ = nullptr;
    Panel *infoFrame_ = nullptr;
    Panel *recordBlanker_ = nullptr;
    Panel *recordLed_ = nullptr;
    Panel *comms_ = nullptr;
    QPlainTextEdit *help_ = nullptr;
    QPlainTextEdit *extraInfo_ = nullptr;
    QPlainTextEdit *iconHelp_ = nullptr;
    QLabel *helpTitleLabel_ = nullptr;
    QLabel *infoLabel_ = nullptr;
    QLabel *versionLabel_ = nullptr;
    QLabel *titleLabel_ = nullptr;
    QLabel *largeLogo_ = nullptr;
    QLabel *smallLogo_ = nullptr;
    app::controls::VXBtn *btnErrorReset_ = nullptr;
    app::controls::VXBtn *recordMsg_ = nullptr;
    app::controls::VXBtn *recordCapture_ = nullptr;
    app::controls::VXBtn *resetCapture_ = nullptr;
    app::controls::VXBtn *buttonClose_ = nullptr;
    app::controls::VXBtn *buttonMin_ = nullptr;
    app::controls::VXBtn *buttonHelp_ = nullptr;
    QMenu *mnuHelp_ = nullptr;
    QTimer *pageRefreshTimer_ = nullptr;
    QTimer *hideTip_ = nullptr;
    QTimer *closeWait_ = nullptr;

    // Style templates that the program's fields copy their look from.
    struct Templates
    {
        app::controls::VXBtn *BFrmButton = nullptr;
        app::controls::VXBtn *BButton = nullptr;
        app::controls::VXBtn *BCheck = nullptr;
        app::controls::VXBtn *BToggle = nullptr;
        app::controls::VXBtn *BField = nullptr;
        app::controls::VXBtn *BField1 = nullptr;
        app::controls::VXBtn *BHyper = nullptr;
        app::controls::VXBtn *BChrtButton = nullptr;
        app::controls::VXBtn *LCD = nullptr;
        app::controls::VXBtn *LCDSeg = nullptr;
        app::controls::VXBtn *BTitle = nullptr;
        app::controls::VXBtn *BHeader1 = nullptr;
        app::controls::VXBtn *BHeader2 = nullptr;
        app::controls::VXBtn *BBody = nullptr;
        app::controls::VXBtn *BLive = nullptr;
        app::controls::VXBtn *BLiftout = nullptr;
    } templates_;
};

// The style names of the templates, for the pages' fields.
namespace styles {
inline const QString FrmButton = QStringLiteral("FrmButton");
inline const QString Button = QStringLiteral("Button");
inline const QString Check = QStringLiteral("Check");
inline const QString Toggle = QStringLiteral("Toggle");
inline const QString Field = QStringLiteral("Field");
inline const QString Field1 = QStringLiteral("Field1");
inline const QString Hyper = QStringLiteral("Hyper");
inline const QString ChrtButton = QStringLiteral("ChrtButton");
inline const QString LCD = QStringLiteral("LCD");
inline const QString LCDSeg = QStringLiteral("LCDSeg");
inline const QString Title = QStringLiteral("Title");
inline const QString Header1 = QStringLiteral("Header1");
inline const QString Header2 = QStringLiteral("Header2");
inline const QString Body = QStringLiteral("Body");
inline const QString Live = QStringLiteral("Live");
inline const QString Liftout = QStringLiteral("Liftout");
} // namespace styles

} // namespace app::shell

#endif
