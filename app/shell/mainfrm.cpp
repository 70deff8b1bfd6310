#include "app/shell/mainfrm.h"

#include <initializer_list>
#include <memory>
#include <utility>

#include <QAction>
#include <QCoreApplication>
#include <QDir>
#include <QLabel>
#include <QLockFile>
#include <QMenu>
#include <QMetaObject>
#include <QMouseEvent>
#include <QPlainTextEdit>
#include <QPointer>
#include <QTimer>
#include <QWindow>

#include "app/analysis/circularbuffermodule.h"
#include "app/analysis/recordingmodule.h"
#include "app/analysis/snapshotmodule.h"
#include "app/common/desktop/messages.h"
#include "app/common/desktop/shellhook.h"
#include "app/common/desktop/systemhelpers.h"
#include "app/common/desktop/waitcursor.h"
#include "app/common/globals.h"
#include "app/controls/roundregion.h"
#include "app/controls/vxbtn.h"
#include "app/device/drv_hxr.h"
#include "app/device/hxr.h"
#include "app/shell/brandingmodule.h"
#include "app/shell/childcontrol.h"
#include "app/shell/devicecontrol.h"
#include "app/shell/devicesession.h"
#include "app/shell/entryfrm.h"
#include "app/shell/handlertrap.h"
#include "app/shell/pagebuttons.h"
#include "app/shell/pageswitchcheck.h"
#include "app/shell/panel.h"
#include "app/shell/programcontext.h"
#include "app/shell/shellstate.h"
#include "app/shell/styletemplates.h"

static void initShellResources()
{
    Q_INIT_RESOURCE(shell);
}

namespace app::shell {

namespace {

using app::controls::VXBtn;

QPointer<MainFrm> &theWindow()
{
    return ShellState::current().mainWindow;
}

// Window geometry in pixels.
constexpr int WindowWidth = 1000;
constexpr int WindowHeight = 700;

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

MainFrm::MainFrm(MainFrmOptions options)
    : QWidget(nullptr), options_(std::move(options)),
      closing_(*this, options_.closeWaitMs, closingSteps())
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
    // A window that never ran its closing sequence still leaves nothing behind.
    closing_.finish();
    if (theWindow() == this)
        theWindow() = nullptr;
}

bool MainFrm::focusNextPrevChild(bool next)
{
    return KeepFocusInPage(*this, next) || QWidget::focusNextPrevChild(next);
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
    // Faster than the page refresh, so that a stream that stops shows within about a second.
    readingWatch_ = new QTimer(this);
    readingWatch_->setInterval(250);
    connect(readingWatch_, &QTimer::timeout, this, [] {
        if (!app::common::ShuttingDown())
            RunTrappedStep("MainFrm", "readingWatch", [] { app::analysis::WatchReadings(); });
    });

    pageButtons_ =
        std::make_unique<PageButtons>(ui_, [this](int i) { return ButtonClickCheck(i); });
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
    SetRefreshFinishedHook([this] { closing_.refreshFinished(); });
    showRecordingStatus(0x000040, QStringLiteral("Recorded 00:00"), false);
}

void MainFrm::resizeEvent(QResizeEvent *event)
{
    QWidget::resizeEvent(event);
    RunTrappedStep("MainFrm", "resizeEvent",
                   [this] { setMask(app::controls::roundRectRegion(width(), height(), 15, 15)); });
}

void MainFrm::ArrangeLogoframe()
{
    ui_.arrangeLogoFrame();
}

app::device::HXR *MainFrm::device() const
{
    return session_ ? session_->device() : nullptr;
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
        RunTrappedStep("MainFrm", "pageRefreshTick", [] { UpdateCommsStatus(); });
        RunTrappedStep("MainFrm", "pageRefreshTick",
                       [] { app::analysis::UpdateRecordingStatus(); });
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
    RunTrappedStep("MainFrm", "openManual", [&] {
        app::common::desktop::ShellOpenFile(QDir(programFolder_).filePath(fileName));
    });
}

// ---- PageSetHost -----------------------------------------------------------------------------

void MainFrm::clearButtons()
{
    pageButtons_->clear();
}

void MainFrm::addButton(const QString &glyph, bool enabled)
{
    pageButtons_->add(glyph, enabled);
}

void MainFrm::drawButtons()
{
    pageButtons_->draw();
}

void MainFrm::selectButton(int index)
{
    pageButtons_->select(index);
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
            RunTrappedStep("MainFrm", "eventFilter",
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
    closing_.closeEvent(*event);
}

ClosingSteps MainFrm::closingSteps()
{
    return {.stopTimers =
                [this] {
                    hideTip_->stop();
                    pageRefreshTimer_->stop();
                    readingWatch_->stop();
                },
            .release =
                [this] {
                    SaveINISettings();
                    releaseMouseCapture();
                },
            .closePort =
                [this] {
                    if (app::device::HXR *hxr = device())
                        hxr->ClosePort();
                },
            .removeLinks = [] { removeLinks(); },
            .endProgram = options_.endProgram};
}

void MainFrm::removeLinks()
{
    if (ProgramContext *context = ProgramContext::current())
        context->unlink();
}

} // namespace app::shell
