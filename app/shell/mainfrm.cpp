#include "app/shell/mainfrm.h"

#include <cmath>
#include <exception>
#include <optional>

#include <QApplication>
#include <QCloseEvent>
#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QIcon>
#include <QLabel>
#include <QLockFile>
#include <QMenu>
#include <QMetaObject>
#include <QMouseEvent>
#include <QPlainTextEdit>
#include <QPointer>
#include <QStandardPaths>
#include <QTimer>
#include <QWindow>

#include "app/analysis/circularbuffermodule.h"
#include "app/analysis/csvmodule.h"
#include "app/analysis/readingstream.h"
#include "app/analysis/recordingmodule.h"
#include "app/analysis/snapshotmodule.h"
#include "app/common/desktop/fonts.h"
#include "app/common/desktop/messages.h"
#include "app/common/desktop/shellhook.h"
#include "app/common/desktop/systemhelpers.h"
#include "app/common/desktop/waitcursor.h"
#include "app/common/globals.h"
#include "app/common/specialfolders.h"
#include "app/controls/binding/fieldbinding.h"
#include "app/controls/buttonbar.h"
#include "app/controls/roundregion.h"
#include "app/controls/vxbtn.h"
#include "app/device/conversionmodule.h"
#include "app/device/driverlibrary.h"
#include "app/device/drv_hxr.h"
#include "app/device/hxr.h"
#include "app/shell/brandingmodule.h"
#include "app/shell/childcontrol.h"
#include "app/shell/childformclass.h"
#include "app/shell/connection.h"
#include "app/shell/device.h"
#include "app/shell/devicesession.h"
#include "app/shell/entryfrm.h"
#include "app/shell/formtooltips.h"
#include "app/shell/handlertrap.h"
#include "app/shell/inputhold.h"
#include "app/shell/mainfrmui.h"
#include "app/shell/menucontrol.h"
#include "app/shell/pageforms.h"
#include "app/shell/pageswitchcheck.h"
#include "app/shell/panel.h"
#include "app/shell/programlinks.h"
#include "app/shell/styletemplates.h"
#include "platform/vb/format.h"
#include "platform/vb/val.h"
#include "platform/win/gui/qcolour.h"
#include "platform/win/messagehook.h"

static void initShellResources()
{
    Q_INIT_RESOURCE(shell);
}

namespace app::shell {

namespace {

using app::controls::VXBtn;
using platform::win::OleColour;

QPointer<MainFrm> &theWindow()
{
    static QPointer<MainFrm> window;
    return window;
}

// Runs one step of a handler (the start-up, the refresh, the closing); a failing step is
// skipped, and the log says where and why.
template <typename Step>
void trapped(const char *handler, Step &&step)
{
    try {
        step();
    } catch (...) {
        LogSkippedHandler("MainFrm", handler);
    }
}

// Window geometry in pixels.
constexpr int WindowWidth = 1000;
constexpr int WindowHeight = 700;
// How soon a close asked for during a page's input hold is tried again.
constexpr int HeldCloseRetryMs = 100;

// The program's entry dialog.
EntryAnswer entryForm(const EntryRequest &request)
{
    EntryFrm form(MainFrm::instance());
    if (request.kind == EntryRequest::Kind::OkCancel)
        form.InitOKCancel(request.title, request.description);
    else
        form.InitManual(request.title, request.description, request.defaultText, request.formatting,
                        request.numeric, request.allowed, request.min, request.max, request.length);
    form.exec();
    EntryAnswer answer;
    answer.cancelled = form.Cancelled();
    answer.value = form.Value();
    return answer;
}

} // namespace

MainFrm::MainFrm(MainFrmOptions options) : QWidget(nullptr), options_(std::move(options))
{
    initShellResources();
    theWindow() = this;
    programFolder_ = options_.programFolder.isEmpty() ? QCoreApplication::applicationDirPath()
                                                      : options_.programFolder;
    setObjectName(QStringLiteral("MainFrm"));
    setWindowTitle(DesignTitle);
    setWindowFlags(Qt::Window | Qt::FramelessWindowHint);
    setAttribute(Qt::WA_DeleteOnClose, false);
    setFixedSize(WindowWidth, WindowHeight);
    templates_ = std::make_unique<StyleTemplates>(this);
    buildControls();
    ui_.layOut(width(), height());
    applyFallbackLook(); // the design look until the branding is applied
}

MainFrm::~MainFrm()
{
    SetRefreshFinishedHook({});
    app::analysis::SetRecordingDisplay({});
    app::common::desktop::setCommsStatusLabel(nullptr);
    if (!closed_) {
        // A window that never ran its closing sequence still leaves nothing behind.
        CloseAllPages();
        ClearDevices();
        links_.reset();
    }
    if (theWindow() == this)
        theWindow() = nullptr;
}

MainFrm *MainFrm::instance()
{
    return theWindow();
}

QWidget *MainFrm::MainFrame() const
{
    return ui_.mainFrame;
}

// ---- Controls ------------------------------------------------------------------------------

void MainFrm::buildControls()
{
    ui_.setupUi(this);
    const std::pair<VXBtn *, QString> windowTips[] = {
        {ui_.buttonHelp, QStringLiteral("Show Help*Select a help file to display.")},
        {ui_.buttonMin, QStringLiteral("Minimise*Minimise this window.")},
        {ui_.buttonClose, QStringLiteral("Close*Close this application.")}};
    for (const auto &[button, tip] : windowTips) {
        connect(button, &VXBtn::MouseIn, this, [this, tip = tip] { TipOn(tip); });
        connect(button, &VXBtn::MouseOut, this, &MainFrm::TipOff);
    }
    connect(ui_.standardHelp, &QAction::triggered, this,
            [this] { openManual(QStringLiteral("PLMUSB Standard Manual.pdf")); });
    connect(ui_.advancedHelp, &QAction::triggered, this,
            [this] { openManual(QStringLiteral("PLMUSB Advanced Manual.pdf")); });

    pageRefreshTimer_ = new QTimer(this);
    pageRefreshTimer_->setInterval(1000);
    connect(pageRefreshTimer_, &QTimer::timeout, this, &MainFrm::pageRefreshTick);
    hideTip_ = new QTimer(this);
    hideTip_->setInterval(200);
    connect(hideTip_, &QTimer::timeout, this, &MainFrm::hideTipTick);
    closeWait_ = new QTimer(this);
    closeWait_->setSingleShot(true);
    connect(closeWait_, &QTimer::timeout, this, &MainFrm::closeWaitExpired);

    connect(ui_.buttonBar, &app::controls::ButtonBar::ButtonIn, this,
            [](int i) { ShowButtonTip(i); });
    connect(ui_.buttonBar, &app::controls::ButtonBar::ButtonOut, this, [] { HideButtonTip(); });
    connect(ui_.buttonBar, &app::controls::ButtonBar::ButtonClickCheck, this, [this](int i) {
        if (ButtonClickCheck(i))
            app::controls::CancelButtonClick = true;
    });
    connect(ui_.buttonBar, &app::controls::ButtonBar::ButtonClick, this, [](int i) {
        try {
            SwitchPage(i);
        } catch (const std::exception &) {
            // Nothing switches.
            LogSkippedHandler("MainFrm", "ButtonClick");
        }
    });
    connect(ui_.btnErrorReset, &VXBtn::Click, this, &MainFrm::DoErrorReset);
    connect(ui_.recordCapture, &VXBtn::Click, this, &MainFrm::RecordCaptureClick);
    connect(ui_.resetCapture, &VXBtn::Click, this, &MainFrm::ResetCaptureClick);
    connect(ui_.buttonClose, &VXBtn::Click, this, [this] {
        releaseMouseCapture();
        app::common::desktop::UnloadMessage();
        close();
    });
    connect(ui_.buttonMin, &VXBtn::Click, this, [this] {
        showMinimized();
        ui_.buttonMin->setState(false);
    });
    connect(ui_.buttonHelp, &VXBtn::Click, this, &MainFrm::showHelpMenu);

    // Dragging the window by its title area.
    for (QWidget *w : std::initializer_list<QWidget *>{this, ui_.titleLabel, ui_.versionLabel,
                                                       ui_.smallLogo, ui_.frameExt, ui_.infoFrame})
        w->installEventFilter(this);
    ui_.largeLogo->installEventFilter(this);

    app::common::desktop::setCommsStatusLabel(ui_.infoLabel);
    app::analysis::SetRecordingDisplay([this](const app::analysis::RecordingStatus &s) {
        showRecordingStatus(s.ledColour, s.text, s.captureEnabled);
    });
    SetRefreshFinishedHook([this] { refreshFinished(); });
    showRecordingStatus(0x000040, QStringLiteral("Recorded 00:00"), false);
}

void MainFrm::resizeEvent(QResizeEvent *event)
{
    QWidget::resizeEvent(event);
    trapped("resizeEvent",
            [this] { setMask(app::controls::roundRectRegion(width(), height(), 15, 15)); });
}

void MainFrm::ArrangeLogoframe()
{
    ui_.arrangeLogoFrame();
}

// ---- Branding ------------------------------------------------------------------------------

bool MainFrm::HandleBranding()
{
    if (LoadBranding(BrandingFileName(programFolder_))) {
        applyBranding();
        return true;
    }
    platform::win::showPlainMessage(
        QStringLiteral("The integrity of the branding resource data cannot be verified! "
                       "Reinstalling this software may fix this issue.\r\n\r\nIf after "
                       "reinstalling you still see this message please contact the software "
                       "supplier."),
        QStringLiteral("Warning"));
    if (app::common::FactoryAccess()) {
        applyFallbackLook();
        return true;
    }
    return false;
}

void MainFrm::applyFallbackLook()
{
    // The design look: the complete built-in palette, the design title and logos.
    Branding &b = CurrentBranding();
    b.colours = BuiltInPalette();
    b.Logo = QImage(QStringLiteral(":/hxr/logo.png"));
    b.LogoSmall = QImage(QStringLiteral(":/hxr/logo-small.png"));
    const QString title = b.LongName;
    b.LongName = DesignTitle;
    applyBranding();
    b.LongName = title;
}

void MainFrm::applyBranding()
{
    const Branding &b = CurrentBranding();
    QPalette pal = palette();
    pal.setColor(QPalette::Window, platform::win::gui::toQColor(b.colour(BrandColour::Back)));
    setPalette(pal);
    setAutoFillBackground(true);
    ui_.applyBranding(b);
    templates_->applyBranding(b);

    update();
}

// ---- Start-up --------------------------------------------------------------------------------

bool MainFrm::Load()
{
    app::device::RegisterUnits();
    // Held for the run; nothing tests it, so a second instance starts normally.
    instanceLock_ = std::make_unique<QLockFile>(
        QDir(QDir::tempPath()).filePath(QStringLiteral("HXRToolkit.lock")));
    instanceLock_->tryLock(0);
    // Qt's precise timers stand in for the 1 ms timer resolution.
    app::common::desktop::DetectFactoryMode();
    app::common::desktop::InitTwipsPerPixel();
    // The device and the links come first, for the message presenter shows the branding's
    // warning; a start that ends there leaves no device behind.
    trapped("Load", [this] { createDevice(); });
    trapped("Load", [this] {
        links_ = std::make_unique<ProgramLinks>(
            ProgramLinkTargets{device(),
                               this,
                               this,
                               ui_.mainFrame,
                               {ui_.mainFrame, ui_.mainHelp, ui_.help, ui_.extraInfo}});
    });
    if (!HandleBranding()) {
        links_.reset();
        session_.reset();
        return false;
    }

    trapped("Load", [this] { createFolders(); });
    trapped("Load", [this] { takeSeparators(); });
    if (!showVersion())
        return false;
    trapped("Load", [this] {
        QIcon icon;
        for (int size : {16, 32, 48, 256})
            icon.addFile(QStringLiteral(":/hxr/icon-%1.png").arg(size), QSize(size, size));
        setWindowIcon(icon);
        QApplication::setWindowIcon(icon);
    });
    trapped("Load", [this] { roundCorners(); });
    CurrentConnection().AutoDetectPending = true;
    trapped("Load", [this] {
        BuildDeviceList(app::common::FactoryAccess());
        SelectDevice(HomeSetKey);
        BuildButtonBar();
    });
    trapped("Load", [this] {
        ui_.largeLogo->setCursor(CurrentBranding().URL.isEmpty() ? Qt::ArrowCursor
                                                                 : Qt::PointingHandCursor);
    });
    trapped("Load", [this] {
        ui_.recordMsg->SetToolTip(
            QStringLiteral("Indicates how much has been recorded so far (MM:SS)"));
        ui_.recordCapture->SetToolTip(
            QStringLiteral("Capture all data recorded so far and review it"));
        ui_.resetCapture->SetToolTip(QStringLiteral("Clear all of the data recorded so far"));
    });
    LoadFormTooltips(*this);
    pageRefreshTimer_->start();
    return true;
}

void MainFrm::createDevice()
{
    session_ = std::make_unique<DeviceSession>(
        programFolder_, options_.driver,
        [this](const QString &prompt, const QString &title,
               const QString &defaultText) -> std::optional<QString> {
            EntryRequest request;
            request.kind = EntryRequest::Kind::Manual;
            request.title = title;
            request.description = prompt;
            request.defaultText = defaultText;
            const EntryAnswer answer = ask(request);
            if (answer.cancelled)
                return std::nullopt;
            return answer.value;
        });
}

app::device::HXR *MainFrm::device() const
{
    return session_ ? session_->device() : nullptr;
}

void MainFrm::createFolders()
{
    using namespace app::common;
    const QString settings =
        QDir(GetSpecialFolderPath(FolderAppData)).filePath(QStringLiteral("HXR Toolkit")) + '/';
    setSettingsFilePath(settings + QStringLiteral("Config.ini"));
    setDataFolder(settings);
    QDir().mkpath(settings);
    const QString documents =
        QDir(GetSpecialFolderPath(FolderDocuments)).filePath(QStringLiteral("HXR Toolkit")) + '/';
    setDataFolder(documents);
    QDir().mkpath(documents);
}

void MainFrm::takeSeparators()
{
    using platform::vb::Format;
    const auto user = platform::vb::NumberSeparators::user();
    const QString one = Format(1.0, u"0.0", user);
    const QString tenThousand = Format(10000.0, u"#,#", user);
    if (one.size() > 1)
        app::common::setDecimalSeparator(one.mid(1, 1));
    if (tenThousand.size() > 2)
        app::common::setThousandsSeparator(tenThousand.mid(2, 1));
}

bool MainFrm::showVersion()
{
    using platform::vb::Format;
    const QString program = QStringLiteral("Version: ") + Format(HXR_VERSION_MAJOR, u"00") +
                            QLatin1Char('.') + Format(HXR_VERSION_MINOR, u"00") +
                            QStringLiteral(" (build ") + QString::number(HXR_VERSION_PATCH) +
                            QStringLiteral(") | DLL: ");
    if (session_ && session_->driverBound()) {
        ui_.versionLabel->setText(program + Format(session_->driver().VERSION(), u"00.00",
                                                   platform::vb::NumberSeparators::invariant()));
        return true;
    }
    const QFileInfo file(
        QDir(programFolder_).filePath(QString::fromLatin1(app::device::DriverLibrary::FileName)));
    if (!file.exists() || file.size() == 0)
        platform::win::showPlainMessage(
            QStringLiteral("Cannot find the libHXRDrv.so. This should be located in the same "
                           "folder as this application."),
            QStringLiteral("Critical Error"));
    else
        platform::win::showPlainMessage(
            QStringLiteral("The USB drivers have not been installed correctly! The USB hardware "
                           "must have been attached to this computer, been detected and "
                           "installed, before this software will run."),
            QStringLiteral("Critical Error"));
    return false;
}

void MainFrm::roundCorners()
{
    setMask(app::controls::roundRectRegion(width(), height(), 15, 15));
    ui_.roundCorners();
}

// ---- Refresh loop and hover tips ------------------------------------------------------------

void MainFrm::pageRefreshTick()
{
    if (app::common::ShuttingDown())
        return;
    // A refresh that lets events run is still going, or a module command waits for its reply
    // with events running: this tick is skipped.
    if (IsRefreshing() || app::device::ModuleCommandRunning())
        return;
    ui_.comms->show();
    ui_.comms->repaint();
    RefreshCurrentPage();
    if (!app::common::ShuttingDown()) {
        ui_.comms->hide();
        trapped("pageRefreshTick", [] { UpdateCommsStatus(); });
        trapped("pageRefreshTick", [] { app::analysis::UpdateRecordingStatus(); });
    }
}

void MainFrm::TipOn(const QString &text)
{
    const qsizetype star = text.indexOf(QLatin1Char('*'));
    if (star >= 0) {
        QString title = text.left(star);
        ui_.helpTitleLabel->setText(title.replace(QStringLiteral("&&"), QStringLiteral("&")));
        ui_.iconHelp->setPlainText(
            text.mid(star + 1).replace(QStringLiteral("**"), QStringLiteral("\n")));
    } else {
        ui_.iconHelp->setPlainText(QStringLiteral("No information available!"));
    }
    ui_.iconHelp->raise();
    ui_.iconHelp->show();
    hideTip_->stop();
}

void MainFrm::TipOff()
{
    hideTip_->start();
}

void MainFrm::hideTipTick()
{
    if (app::common::ShuttingDown())
        return;
    hideTip_->stop();
    ui_.iconHelp->clear();
    ui_.iconHelp->hide();
    ui_.helpTitleLabel->setText(QStringLiteral("Help"));
}

// ---- Page switch check -----------------------------------------------------------------------

bool MainFrm::ButtonClickCheck(int index)
{
    return RefusePageSwitch(
        index, [this](const EntryRequest &request) { return ask(request); }, device(),
        [this] { DoErrorReset(); });
}

EntryAnswer MainFrm::ask(const EntryRequest &request)
{
    return options_.entry ? options_.entry(request) : entryForm(request);
}

void MainFrm::DoErrorReset()
{
    ui_.btnErrorReset->setEnabled(false);
    ui_.infoLabel->clear();
    // Always: an error latched before any module was connected must be clearable too.
    if (app::device::HXR *hxr = device())
        hxr->ResetError();
    ui_.btnErrorReset->setEnabled(false);
    app::common::desktop::ReportCommsFailure(QString(), false);
}

bool MainFrm::IsTrue(const QVariant &value)
{
    static const QStringList yes = {QStringLiteral("1"), QStringLiteral("YES"),
                                    QStringLiteral("ON"), QStringLiteral("ACTIVE"),
                                    QStringLiteral("TRUE")};
    return yes.contains(value.toString().toUpper());
}

// ---- Recording controls ----------------------------------------------------------------------

void MainFrm::RecordCaptureClick()
{
    const app::common::desktop::WaitCursor busy;
    try {
        app::analysis::TakeSnapshot(app::analysis::BufferCount());
        ShowSnapshotInReview();
    } catch (...) {
        LogSkippedHandler("MainFrm", "RecordCaptureClick");
    }
}

void MainFrm::ResetCaptureClick()
{
    app::analysis::ResetBuffer();
}

void MainFrm::showRecordingStatus(uint32_t ledColour, const QString &text, bool captureEnabled)
{
    ui_.recordLed->setBackColor(ledColour);
    ui_.recordMsg->setCaption(text);
    ui_.recordCapture->setEnabled(captureEnabled);
    ui_.resetCapture->setEnabled(captureEnabled);
}

void MainFrm::setRecordBlankerVisible(bool visible)
{
    ui_.recordBlanker->setVisible(visible);
    if (visible)
        ui_.recordBlanker->raise();
}

void MainFrm::showPageHost()
{
    ui_.mainFrame->show();
}

// ---- Help ------------------------------------------------------------------------------------

void MainFrm::showHelpMenu()
{
    // Right-aligned under the button, so that it opens over the window and not beside it.
    const int left = ui_.buttonHelp->width() - ui_.mnuHelp->sizeHint().width();
    ui_.mnuHelp->popup(ui_.buttonHelp->mapToGlobal(QPoint(left, ui_.buttonHelp->height())));
    ui_.buttonHelp->setState(false);
}

void MainFrm::openManual(const QString &fileName)
{
    trapped("openManual",
            [&] { app::common::desktop::ShellOpenFile(QDir(programFolder_).filePath(fileName)); });
}

// ---- PageSetHost -----------------------------------------------------------------------------

void MainFrm::clearButtons()
{
    ui_.buttonBar->Clear();
    // Clearing gives the bar its design grey back; it stays on the display's colour.
    ui_.buttonBar->setMenuBackcolor(CurrentBranding().colour(BrandColour::DisplayBack));
}

void MainFrm::addButton(const QString &glyph, bool enabled)
{
    ui_.buttonBar->AddButton(glyph);
    const auto &elements = ui_.buttonBar->ButtonArray();
    const int added = ui_.buttonBar->addedCount();
    if (added >= 1 && added <= static_cast<int>(elements.size()))
        elements[static_cast<size_t>(added - 1)]->setEnabled(enabled);
}

void MainFrm::drawButtons()
{
    // The bar and its panel keep their right edge while they grow or shrink.
    ui_.buttonBar->DrawMe();
    const int right = ui_.themes->x() + ui_.themes->width();
    ui_.themes->setGeometry(right - ui_.buttonBar->width() - 8, ui_.themes->y(),
                            ui_.buttonBar->width() + 8, ui_.themes->height());
    ui_.buttonBar->move(4, ui_.buttonBar->y());
    ui_.fitTitleBesideButtons();
}

void MainFrm::selectButton(int index)
{
    ui_.buttonBar->SetSelectedButton(static_cast<int16_t>(index));
}

void MainFrm::restartRefreshTimer()
{
    pageRefreshTimer_->setInterval(1000);
    pageRefreshTimer_->stop();
    pageRefreshTimer_->start();
}

void MainFrm::setRefreshInterval(int milliseconds)
{
    pageRefreshTimer_->setInterval(milliseconds);
}

void MainFrm::releaseMouseCapture()
{
    if (QWidget *grabber = QWidget::mouseGrabber())
        grabber->releaseMouse();
}

void MainFrm::setErrorResetEnabled(bool enabled)
{
    ui_.btnErrorReset->setEnabled(enabled);
}

void MainFrm::reportCommsFailure(const QString &text, bool failed)
{
    app::common::desktop::ReportCommsFailure(text, failed);
}

int MainFrm::errorState()
{
    return device() ? device()->ErrorState() : 0;
}

void MainFrm::setStreamRunning(bool running)
{
    app::device::setStreamRunning(running);
}

// ---- What the window shows -------------------------------------------------------------------

QString MainFrm::versionText() const
{
    return ui_.versionLabel->text();
}

QString MainFrm::titleText() const
{
    return ui_.titleLabel->text();
}

QString MainFrm::helpTitle() const
{
    return ui_.helpTitleLabel->text();
}

QString MainFrm::iconHelpText() const
{
    return ui_.iconHelp->toPlainText();
}

QString MainFrm::infoText() const
{
    return ui_.infoLabel->text();
}

bool MainFrm::errorResetEnabled() const
{
    return ui_.btnErrorReset->Enabled();
}

bool MainFrm::captureEnabled() const
{
    return ui_.recordCapture->Enabled();
}

QString MainFrm::recordText() const
{
    return ui_.recordMsg->Caption();
}

// ---- Dragging and the logo link --------------------------------------------------------------

bool MainFrm::eventFilter(QObject *watched, QEvent *event)
{
    if (watched == ui_.largeLogo) {
        if (event->type() == QEvent::MouseButtonRelease && !CurrentBranding().URL.isEmpty())
            trapped("eventFilter",
                    [] { app::common::desktop::OpenWebPage(CurrentBranding().URL); });
        return false;
    }
    auto *mouse = dynamic_cast<QMouseEvent *>(event);
    if (!mouse)
        return false;
    if (event->type() == QEvent::MouseButtonPress && mouse->button() == Qt::LeftButton) {
        releaseMouseCapture();
        if (windowHandle() && windowHandle()->startSystemMove())
            return true;
        dragging_ = true;
        dragOffset_ = mouse->globalPosition().toPoint() - frameGeometry().topLeft();
        return true;
    }
    if (event->type() == QEvent::MouseMove && dragging_) {
        move(mouse->globalPosition().toPoint() - dragOffset_);
        return true;
    }
    if (event->type() == QEvent::MouseButtonRelease && dragging_) {
        dragging_ = false;
        return true;
    }
    return false;
}

// ---- Closing ---------------------------------------------------------------------------------

void MainFrm::ShutDown()
{
    QMetaObject::invokeMethod(this, &QWidget::close, Qt::QueuedConnection);
}

void MainFrm::closeEvent(QCloseEvent *event)
{
    if (closed_) {
        event->accept();
        return;
    }
    if (app::analysis::CsvJobRunning()) {
        // A data file is being written or read further down this call stack: stop it at its
        // next block (the old file or snapshot stays) and close once it has returned.
        app::analysis::CancelCsvJob();
        event->ignore();
        QTimer::singleShot(HeldCloseRetryMs, this, [this] { close(); });
        return;
    }
    if (InputHeld()) {
        // A page holds the user's input (a settle wait, a save): close once it is done.
        event->ignore();
        QTimer::singleShot(HeldCloseRetryMs, this, [this] { close(); });
        return;
    }
    if (IsRefreshing()) {
        // The refresh is further down this very call stack: waiting here would keep it from
        // ever finishing. Wait for it to return instead, at most closeWaitMs.
        event->ignore();
        if (!closePending_) {
            closePending_ = true;
            app::common::setShuttingDown(true);
            pageRefreshTimer_->stop();
            hideTip_->stop();
            app::common::desktop::ShowMessage(
                QStringLiteral("Waiting for current page refresh to complete..."),
                QStringLiteral("Closing..."), false, app::common::desktop::MessageNotice);
            closeWait_->start(options_.closeWaitMs);
        }
        return;
    }
    runClosingSequence();
    event->accept();
}

void MainFrm::refreshFinished()
{
    if (closePending_ && !closed_) {
        closeWait_->stop();
        QMetaObject::invokeMethod(
            this, [this] { close(); }, Qt::QueuedConnection);
    }
}

void MainFrm::closeWaitExpired()
{
    if (closed_ || !IsRefreshing())
        return;
    app::common::desktop::UnloadMessage();
    platform::win::showPlainMessage(
        QStringLiteral("Tried to shut down but events still being executed in child page refresh!"),
        QStringLiteral("Error Closing"));
    // Closing goes on; the page whose refresh still runs is destroyed once it returns.
    runClosingSequence();
    hide();
}

void MainFrm::runClosingSequence()
{
    if (closed_)
        return;
    closed_ = true;
    std::optional<app::common::desktop::WaitCursor> busy(std::in_place);
    trapped("runClosingSequence", [this] {
        app::common::setShuttingDown(true);
        hideTip_->stop();
        SaveINISettings();
        releaseMouseCapture();
        pageRefreshTimer_->stop();
        closeWait_->stop();
    });
    trapped("runClosingSequence", [] { app::common::desktop::UnloadMessage(); });
    trapped("runClosingSequence", [] { CloseAllPages(); });
    trapped("runClosingSequence", [] { ClearDevices(); });
    trapped("runClosingSequence", [this] {
        if (app::device::HXR *hxr = device())
            hxr->ClosePort();
    });
    trapped("runClosingSequence", [this] {
        links_.reset();
        hide();
    });
    busy.reset();
    trapped("runClosingSequence", [] { app::common::desktop::UnloadFonts(); });
    if (options_.endProgram)
        options_.endProgram(0);
    else
        QCoreApplication::exit(0);
}

} // namespace app::shell
