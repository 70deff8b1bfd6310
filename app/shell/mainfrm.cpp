#include "app/shell/mainfrm.h"

#include <cmath>
#include <exception>

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
#include "app/analysis/readingstream.h"
#include "app/analysis/recordingmodule.h"
#include "app/analysis/snapshotmodule.h"
#include "app/common/fonts.h"
#include "app/common/globals.h"
#include "app/common/messages.h"
#include "app/common/shellhook.h"
#include "app/common/specialfolders.h"
#include "app/common/systemhelpers.h"
#include "app/controls/buttonbar.h"
#include "app/controls/roundregion.h"
#include "app/controls/vxbtn.h"
#include "app/controls/vxbtnmodule.h"
#include "app/device/conversionmodule.h"
#include "app/device/driverlibrary.h"
#include "app/device/drv_hxr.h"
#include "app/device/hxr.h"
#include "app/shell/brandingmodule.h"
#include "app/shell/childcontrol.h"
#include "app/shell/childformclass.h"
#include "app/shell/connection.h"
#include "app/shell/device.h"
#include "app/shell/entryfrm.h"
#include "app/shell/menucontrol.h"
#include "app/shell/pageforms.h"
#include "app/shell/panel.h"
#include "platform/vb/format.h"
#include "platform/vb/val.h"
#include "platform/win/messagehook.h"
#include "platform/win/syscolours.h"

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

// Runs one start-up step; a failing step is skipped.
template <typename Step>
void trapped(Step &&step)
{
    try {
        step();
    } catch (...) {
    }
}

// Window geometry in pixels.
constexpr int WindowWidth = 1000;
constexpr int WindowHeight = 700;
constexpr int Margin = 12;
constexpr int HeaderHeight = 70;
constexpr int HelpWidth = 250;
constexpr int InfoHeight = 28;

const QString DesignTitle = QStringLiteral("HXR Toolkit");

const QString RecordingQuestion = QStringLiteral(
    "This Toolkit records constantly, unless the module is being configured, which enables you "
    "to Capture and Review the data whenever you want.\r\nYou are now going to a page that "
    "configures the module so the recording will be stopped!\r\nDo you want to continue?");
const QString LockQuestion = QStringLiteral(
    "This module has had some lock settings configured. To gain access to this page you must "
    "enter the passcode that was set when the module was locked.");

const QString ReviewPage = QStringLiteral("CHILD_GEN_REVIEW");
const QString LockPage = QStringLiteral("CHILD_GEN_LOCK");

// The pages that configure the module: going there stops the recording.
bool configuresModule(const QString &form)
{
    static const QStringList forms = {
        QStringLiteral("CHILD_GEN_HOME"), QStringLiteral("CHILD_GEN_INFO"),
        QStringLiteral("CHILD_GEN_FILE"), QStringLiteral("CHILD_GEN_CALIBRATION"),
        QStringLiteral("CHILD_GEN_LOCK"), QStringLiteral("CHILD_GEN_FACTORY")};
    return forms.contains(form);
}

QColor qc(OleColour colour)
{
    return platform::win::toQColor(colour);
}

void setLabelColours(QLabel *label, OleColour fore)
{
    QPalette pal = label->palette();
    pal.setColor(QPalette::WindowText, qc(fore));
    label->setPalette(pal);
}

void setTextBoxColours(QPlainTextEdit *box, OleColour back, OleColour fore)
{
    QPalette pal = box->palette();
    pal.setColor(QPalette::Base, qc(back));
    pal.setColor(QPalette::Window, qc(back));
    pal.setColor(QPalette::Text, qc(fore));
    box->setPalette(pal);
}

QPlainTextEdit *makeTextBox(QWidget *parent)
{
    auto *box = new QPlainTextEdit(parent);
    box->setReadOnly(true);
    box->setFrameShape(QFrame::NoFrame);
    box->setVerticalScrollBarPolicy(Qt::ScrollBarAsNeeded);
    box->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    box->setFocusPolicy(Qt::NoFocus);
    box->setContextMenuPolicy(Qt::NoContextMenu);
    box->viewport()->setCursor(Qt::ArrowCursor);
    QFont f = box->font();
    f.setPointSizeF(9.5);
    box->setFont(f);
    return box;
}

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
    buildTemplates();
    buildControls();
    layOutControls();
    applyFallbackLook(); // the design look until the branding is applied
}

MainFrm::~MainFrm()
{
    SetRefreshFinishedHook({});
    app::analysis::SetRecordingDisplay({});
    app::common::setCommsStatusLabel(nullptr);
    if (!closed_) {
        // A window that never ran its closing sequence still leaves nothing behind.
        CloseAllPages();
        ClearDevices();
        SetPageSetHost(nullptr);
        SetHelpArea({});
        if (hxr_)
            app::device::ClearHXRObject();
        app::analysis::DetachReadingStream();
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
    return mainFrame_;
}

// ---- Controls ------------------------------------------------------------------------------

void MainFrm::buildTemplates()
{
    // Hidden models: the first control registered under a style is the one the program's
    // fields copy their look from, so these come before every other control.
    auto make = [this](const QString &style) {
        auto *b = new VXBtn(this);
        b->hide();
        b->setStyle(style);
        return b;
    };
    templates_.BFrmButton = make(styles::FrmButton);
    templates_.BButton = make(styles::Button);
    // Buttons keep the caption size they are given rather than filling their height.
    templates_.BButton->setStretch(false);
    templates_.BCheck = make(styles::Check);
    templates_.BToggle = make(styles::Toggle);
    templates_.BField = make(styles::Field);
    templates_.BField1 = make(styles::Field1);
    templates_.BHyper = make(styles::Hyper);
    templates_.BChrtButton = make(styles::ChrtButton);
    templates_.LCD = make(styles::LCD);
    templates_.LCDSeg = make(styles::LCDSeg);
    templates_.BTitle = make(styles::Title);
    templates_.BHeader1 = make(styles::Header1);
    templates_.BHeader2 = make(styles::Header2);
    templates_.BBody = make(styles::Body);
    templates_.BLive = make(styles::Live);
    templates_.BLiftout = make(styles::Liftout);
    // The designed fonts travel with each style.
    auto font = [](VXBtn *b, double points, bool bold) {
        QFont f = b->Font();
        f.setPointSizeF(points);
        f.setBold(bold);
        b->setFont(f);
    };
    for (VXBtn *b : {templates_.BButton, templates_.BToggle, templates_.BField, templates_.BField1,
                     templates_.BCheck, templates_.BHyper, templates_.BChrtButton, templates_.BBody,
                     templates_.BLiftout, templates_.BLive})
        font(b, 9.0, false);
    font(templates_.BFrmButton, 11.0, true);
    font(templates_.BTitle, 13.0, true);
    font(templates_.BHeader1, 10.5, true);
    font(templates_.BHeader2, 9.5, true);
    templates_.BToggle->setTOGGLE(true);
    templates_.BCheck->setTOGGLE(true);
    templates_.BHyper->setUnderline(true);
    templates_.BHyper->setShowHandPointer(true);
}

void MainFrm::buildControls()
{
    frameExt_ = new Panel(this, 12);
    themes_ = new Panel(this, 12);
    buttonBar_ = new app::controls::ButtonBar(themes_);

    smallLogo_ = new QLabel(this);
    titleLabel_ = new QLabel(DesignTitle, this);
    QFont titleFont = titleLabel_->font();
    titleFont.setPixelSize(21);
    titleFont.setBold(true);
    titleLabel_->setFont(titleFont);
    versionLabel_ = new QLabel(this);
    QFont small = versionLabel_->font();
    small.setPixelSize(11);
    versionLabel_->setFont(small);

    auto windowButton = [this](const QString &caption, const QString &tip) {
        auto *b = new VXBtn(this);
        b->setStyle(styles::FrmButton);
        QFont f = b->Font();
        f.setPointSizeF(11.0);
        f.setBold(true);
        b->setFont(f);
        b->setCaption(caption);
        connect(b, &VXBtn::MouseIn, this, [this, tip] { TipOn(tip); });
        connect(b, &VXBtn::MouseOut, this, &MainFrm::TipOff);
        return b;
    };
    buttonHelp_ = windowButton(QStringLiteral("?"),
                               QStringLiteral("Show Help*Select a help file to display."));
    buttonMin_ =
        windowButton(QString(QChar(0x2013)), QStringLiteral("Minimise*Minimise this window."));
    buttonClose_ =
        windowButton(QString(QChar(0x00D7)), QStringLiteral("Close*Close this application."));

    mainHelp_ = new Panel(this, 12);
    helpTitleLabel_ = new QLabel(QStringLiteral("Help"), mainHelp_);
    QFont helpTitleFont = helpTitleLabel_->font();
    helpTitleFont.setPixelSize(15);
    helpTitleFont.setBold(true);
    helpTitleLabel_->setFont(helpTitleFont);
    help_ = makeTextBox(mainHelp_);
    iconHelp_ = makeTextBox(mainHelp_);
    iconHelp_->hide();
    extraInfo_ = makeTextBox(mainHelp_);
    extraInfo_->hide();

    mainFrame_ = new Panel(this, 12);
    mainFrame_->setObjectName(QStringLiteral("MainFrame"));
    logoFrame_ = new Panel(this, 12);
    largeLogo_ = new QLabel(logoFrame_);

    infoFrame_ = new Panel(this, 7);
    infoLabel_ = new QLabel(infoFrame_);
    QFont infoFont = infoLabel_->font();
    infoFont.setPixelSize(12);
    infoLabel_->setFont(infoFont);
    // The status line's buttons: the program's button look with a caption of the line's size.
    auto statusButton = [this](const QString &caption) {
        auto *b = new VXBtn(infoFrame_);
        b->setStyle(styles::Button);
        b->setCaption(caption);
        QFont f = b->Font();
        f.setPointSizeF(9.0);
        b->setFont(f);
        return b;
    };
    btnErrorReset_ = statusButton(QStringLiteral("Reset"));
    btnErrorReset_->setEnabled(false);
    comms_ = new Panel(infoFrame_);
    comms_->setRound(true);
    comms_->hide();
    recordLed_ = new Panel(infoFrame_);
    recordLed_->setRound(true);
    recordLed_->setBackColor(0x000040);
    recordMsg_ = statusButton(QString());
    recordCapture_ = statusButton(QStringLiteral("Capture"));
    resetCapture_ = statusButton(QStringLiteral("Clear"));
    recordBlanker_ = new Panel(infoFrame_, 7);

    mnuHelp_ = new QMenu(this);
    mnuHelp_->setObjectName(QStringLiteral("mnuHelp"));
    QAction *std = mnuHelp_->addAction(QStringLiteral("Standard Help"));
    QAction *adv = mnuHelp_->addAction(QStringLiteral("Advanced / OEM Help"));
    connect(std, &QAction::triggered, this,
            [this] { openManual(QStringLiteral("PLMUSB Standard Manual.pdf")); });
    connect(adv, &QAction::triggered, this,
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

    connect(buttonBar_, &app::controls::ButtonBar::ButtonIn, this, [](int i) { ShowButtonTip(i); });
    connect(buttonBar_, &app::controls::ButtonBar::ButtonOut, this, [] { HideButtonTip(); });
    connect(buttonBar_, &app::controls::ButtonBar::ButtonClickCheck, this, [this](int i) {
        if (ButtonClickCheck(i))
            app::controls::CancelButtonClick = true;
    });
    connect(buttonBar_, &app::controls::ButtonBar::ButtonClick, this, [](int i) {
        try {
            SwitchPage(i);
        } catch (const std::exception &) {
            // Nothing switches.
        }
    });
    connect(btnErrorReset_, &VXBtn::Click, this, &MainFrm::DoErrorReset);
    connect(recordCapture_, &VXBtn::Click, this, &MainFrm::RecordCaptureClick);
    connect(resetCapture_, &VXBtn::Click, this, &MainFrm::ResetCaptureClick);
    connect(buttonClose_, &VXBtn::Click, this, [this] {
        releaseMouseCapture();
        app::common::UnloadMessage();
        close();
    });
    connect(buttonMin_, &VXBtn::Click, this, [this] {
        showMinimized();
        buttonMin_->setState(false);
    });
    connect(buttonHelp_, &VXBtn::Click, this, &MainFrm::showHelpMenu);

    // Dragging the window by its title area.
    for (QWidget *w : std::initializer_list<QWidget *>{this, titleLabel_, versionLabel_, smallLogo_,
                                                       frameExt_, infoFrame_})
        w->installEventFilter(this);
    largeLogo_->installEventFilter(this);

    app::common::setCommsStatusLabel(infoLabel_);
    app::analysis::SetRecordingDisplay([this](const app::analysis::RecordingStatus &s) {
        showRecordingStatus(s.ledColour, s.text, s.captureEnabled);
    });
    SetRefreshFinishedHook([this] { refreshFinished(); });
    showRecordingStatus(0x000040, QStringLiteral("Recorded 00:00"), false);
}

void MainFrm::layOutControls()
{
    const int w = width();
    const int h = height();
    frameExt_->setGeometry(Margin / 2, Margin / 2, w - Margin, HeaderHeight - Margin / 2);
    smallLogo_->setGeometry(Margin + 6, 13, 40, 40);
    titleLabel_->setGeometry(Margin + 58, 10, 360, 28);
    versionLabel_->setGeometry(Margin + 60, 38, 360, 18);

    const int windowButtonsLeft = w - Margin - 3 * 30 - 2 * 4;
    buttonHelp_->setGeometry(windowButtonsLeft, 21, 30, 26);
    buttonMin_->setGeometry(windowButtonsLeft + 34, 21, 30, 26);
    buttonClose_->setGeometry(windowButtonsLeft + 68, 21, 30, 26);
    // The button bar grows to the left from its right edge, inside its themed panel.
    const int barWidth = buttonBar_->width();
    themes_->setGeometry(windowButtonsLeft - 12 - barWidth - 8, 8, barWidth + 8, 54);
    buttonBar_->setGeometry(4, 3, barWidth, 48);

    const int bodyTop = HeaderHeight + 8;
    const int bodyBottom = h - Margin - InfoHeight - 8;
    mainHelp_->setGeometry(Margin, bodyTop, HelpWidth, bodyBottom - bodyTop);
    helpTitleLabel_->setGeometry(14, 10, HelpWidth - 28, 22);
    help_->setGeometry(10, 38, HelpWidth - 20, mainHelp_->height() - 48);
    iconHelp_->setGeometry(help_->geometry());
    extraInfo_->setGeometry(8, mainHelp_->height() - 120, HelpWidth - 16, 112);

    const int right = Margin + HelpWidth + Margin;
    mainFrame_->setGeometry(right, bodyTop, w - right - Margin, bodyBottom - bodyTop);
    logoFrame_->setGeometry(right, bodyBottom - 70, w - right - Margin, 70);
    ArrangeLogoframe();

    infoFrame_->setGeometry(Margin, h - Margin - InfoHeight, w - 2 * Margin, InfoHeight);
    const int iw = infoFrame_->width();
    infoLabel_->setGeometry(12, 4, 430, 20);
    btnErrorReset_->setGeometry(450, 3, 96, 22);
    comms_->setGeometry(556, 9, 10, 10);
    recordLed_->setGeometry(iw - 392, 9, 10, 10);
    recordMsg_->setGeometry(iw - 376, 3, 180, 22);
    recordCapture_->setGeometry(iw - 190, 3, 88, 22);
    resetCapture_->setGeometry(iw - 96, 3, 88, 22);
    recordBlanker_->setGeometry(iw - 400, 1, 400, InfoHeight - 2);
    recordBlanker_->raise();
}

void MainFrm::resizeEvent(QResizeEvent *event)
{
    QWidget::resizeEvent(event);
    trapped([this] { setMask(app::controls::roundRectRegion(width(), height(), 15, 15)); });
}

void MainFrm::ArrangeLogoframe()
{
    // The formulas are in twips: 160 twips of frame around the logo, 80 above it.
    const int pad = static_cast<int>(std::nearbyint(160 / 15.0));
    const int logoHeight = largeLogo_->pixmap().isNull() ? 56 : largeLogo_->pixmap().height();
    logoFrame_->resize(logoFrame_->width(), logoHeight + pad);
    largeLogo_->move(logoFrame_->width() - largeLogo_->width() - 14,
                     static_cast<int>(std::nearbyint(80 / 15.0)));
    logoFrame_->move(logoFrame_->x(), mainHelp_->y() + mainHelp_->height() - logoFrame_->height());
    mainFrame_->resize(mainFrame_->width(), logoFrame_->y() - mainFrame_->y() + pad);
    logoFrame_->raise();
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
    auto c = [&b](BrandColour which) { return b.colour(which); };
    using BC = BrandColour;

    QPalette pal = palette();
    pal.setColor(QPalette::Window, qc(c(BC::Back)));
    setPalette(pal);
    setAutoFillBackground(true);
    for (Panel *p : {mainFrame_, themes_})
        p->setBackColor(c(BC::DisplayBack));
    // Framing panels of the design follow the branding's surfaces.
    frameExt_->setBackColor(c(BC::Back));
    logoFrame_->setBackColor(c(BC::DisplayBack));
    infoFrame_->setBackColor(c(BC::DisplayBack));
    recordBlanker_->setBackColor(c(BC::DisplayBack));
    comms_->setBackColor(c(BC::Live));
    buttonBar_->setMenuBackcolor(c(BC::DisplayBack));
    setLabelColours(infoLabel_, c(BC::Title));
    setLabelColours(titleLabel_, c(BC::Title));
    titleLabel_->setText(b.LongName);
    setLabelColours(versionLabel_, c(BC::Text));
    mainHelp_->setBackColor(c(BC::HelpBack));
    setTextBoxColours(help_, c(BC::HelpBack), c(BC::HelpFore));
    setTextBoxColours(iconHelp_, c(BC::HelpBack), c(BC::HelpFore));
    setTextBoxColours(extraInfo_, c(BC::LiftoutBack), c(BC::LiftoutFore));
    setLabelColours(helpTitleLabel_, c(BC::HelpFore));
    buttonBar_->setMenuForecolor(c(BC::MenuFore));
    buttonBar_->setMenuForecolorHover(c(BC::MenuHover));
    buttonBar_->setMenuForecolorDown(c(BC::MenuDown));
    buttonBar_->setMenuForecolorDisabled(c(BC::MenuDisabled));
    // The help menu in the display colours rather than the desktop's light ones.
    QPalette menu = mnuHelp_->palette();
    menu.setColor(QPalette::Window, qc(c(BC::DisplayBack)));
    menu.setColor(QPalette::Base, qc(c(BC::DisplayBack)));
    menu.setColor(QPalette::WindowText, qc(c(BC::Text)));
    menu.setColor(QPalette::Text, qc(c(BC::Text)));
    menu.setColor(QPalette::ButtonText, qc(c(BC::Text)));
    menu.setColor(QPalette::Highlight, qc(c(BC::ButtonBackHover)));
    menu.setColor(QPalette::HighlightedText, qc(c(BC::MenuHover)));
    mnuHelp_->setPalette(menu);

    auto borders = [&](VXBtn *t) {
        t->setBorderColor(c(BC::Border));
        t->setBorderColorFocus(c(BC::BorderFocus));
        t->setBorderColorDisabled(c(BC::BorderDisabled));
    };
    auto backs = [](VXBtn *t, OleColour n, OleColour h, OleColour d, OleColour x) {
        t->setBackColor(n);
        t->setBackColorHover(h);
        t->setBackColorDown(d);
        t->setBackColorDisabled(x);
    };
    auto fores = [](VXBtn *t, OleColour n, OleColour h, OleColour d, OleColour x) {
        t->setForeColor(n);
        t->setForeColorHover(h);
        t->setForeColorDown(d);
        t->setForeColorDisabled(x);
    };
    const Templates &t = templates_;
    for (VXBtn *button : {t.BButton, t.BToggle}) {
        borders(button);
        backs(button, c(BC::ButtonBack), c(BC::ButtonBackHover), c(BC::ButtonBackDown),
              c(BC::ButtonBackDisabled));
        fores(button, c(BC::ButtonFore), c(BC::ButtonForeHover), c(BC::ButtonForeDown),
              c(BC::ButtonForeDisabled));
    }
    borders(t.BField);
    backs(t.BField, c(BC::FieldBack), c(BC::FieldBackHover), c(BC::FieldBackDown),
          c(BC::FieldBackDisabled));
    fores(t.BField, c(BC::FieldFore), c(BC::FieldForeHover), c(BC::FieldForeDown),
          c(BC::FieldForeDisabled));
    borders(t.BCheck);
    backs(t.BCheck, c(BC::DisplayBack), c(BC::DisplayBack), c(BC::DisplayBack), c(BC::DisplayBack));
    fores(t.BCheck, c(BC::ButtonFore), c(BC::ButtonBackHover), c(BC::ButtonFore),
          c(BC::ButtonForeDisabled));
    backs(t.BHyper, c(BC::DisplayBack), c(BC::DisplayBack), c(BC::DisplayBack), c(BC::DisplayBack));
    fores(t.BHyper, c(BC::FieldBack), c(BC::ButtonBackDown), c(BC::ButtonBackDown),
          c(BC::FieldBackDisabled));
    backs(t.BFrmButton, c(BC::Back), c(BC::Back), c(BC::Back), c(BC::Back));
    fores(t.BFrmButton, c(BC::FieldBack), c(BC::FieldBackHover), c(BC::FieldBackDown),
          c(BC::FieldBackDisabled));
    backs(t.BChrtButton, c(BC::DisplayBack), c(BC::DisplayBack), c(BC::DisplayBack),
          c(BC::DisplayBack));
    fores(t.BChrtButton, c(BC::FieldBack), c(BC::FieldBackHover), c(BC::FieldBackDown),
          c(BC::FieldBackDisabled));
    for (VXBtn *lcd : {t.LCD, t.LCDSeg}) {
        lcd->setBorderColor(c(BC::Live));
        lcd->setBackColor(c(BC::Live));
        lcd->setForeColor(c(BC::DisplayBack));
    }
    // Texts on the display; their background is the display's (a design choice).
    for (VXBtn *text : {t.BTitle, t.BHeader1, t.BHeader2, t.BBody, t.BLive, t.BField1}) {
        backs(text, c(BC::DisplayBack), c(BC::DisplayBack), c(BC::DisplayBack), c(BC::DisplayBack));
        text->setBorderColor(c(BC::DisplayBack));
    }
    for (VXBtn *header : {t.BTitle, t.BHeader1, t.BHeader2})
        header->setForeColor(c(BC::Headers));
    t.BBody->setForeColor(c(BC::Text));
    t.BField1->setForeColor(c(BC::Text));
    t.BLive->setForeColor(c(BC::Live));
    t.BLiftout->setBackColor(c(BC::LiftoutBack));
    t.BLiftout->setBorderColor(c(BC::LiftoutBack));
    t.BLiftout->setForeColor(c(BC::LiftoutFore));
    for (VXBtn *model :
         {t.BHeader1, t.BHeader2, t.BBody, t.BLiftout, t.BField, t.BButton, t.BToggle, t.BLive,
          t.BTitle, t.BFrmButton, t.BChrtButton, t.BHyper, t.BCheck, t.BField1, t.LCD, t.LCDSeg})
        model->setUseMyStyle(QString());

    smallLogo_->setPixmap(QPixmap::fromImage(b.LogoSmall));
    largeLogo_->setPixmap(QPixmap::fromImage(b.Logo));
    largeLogo_->resize(largeLogo_->pixmap().isNull() ? QSize(180, 56)
                                                     : largeLogo_->pixmap().size());
    ArrangeLogoframe();
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
    app::common::DetectFactoryMode();
    app::common::InitTwipsPerPixel();
    if (!HandleBranding())
        return false;

    trapped([this] { createDevice(); });
    trapped([this] { createFolders(); });
    trapped([this] { takeSeparators(); });
    if (!showVersion())
        return false;
    trapped([this] {
        QIcon icon;
        for (int size : {16, 32, 48, 256})
            icon.addFile(QStringLiteral(":/hxr/icon-%1.png").arg(size), QSize(size, size));
        setWindowIcon(icon);
        QApplication::setWindowIcon(icon);
    });
    trapped([this] { roundCorners(); });
    CurrentConnection().AutoDetectPending = true;
    trapped([this] {
        SetPageContainer(this, mainFrame_);
        SetHelpArea({mainFrame_, mainHelp_, help_, extraInfo_});
        SetPageSetHost(this);
        BuildDeviceList(app::common::FactoryAccess());
        SelectDevice(HomeSetKey);
        BuildButtonBar();
    });
    trapped([this] {
        largeLogo_->setCursor(CurrentBranding().URL.isEmpty() ? Qt::ArrowCursor
                                                              : Qt::PointingHandCursor);
    });
    trapped([this] {
        using app::controls::SetupEditField;
        SetupEditField(*recordMsg_, QString(), QString(), false, QString(), 0, 0, 0, QString(),
                       false, false,
                       QStringLiteral("Indicates how much has been recorded so far (MM:SS)"));
        SetupEditField(*recordCapture_, QString(), QString(), false, QString(), 0, 0, 0, QString(),
                       false, false,
                       QStringLiteral("Capture all data recorded so far and review it"));
        SetupEditField(*resetCapture_, QString(), QString(), false, QString(), 0, 0, 0, QString(),
                       false, false, QStringLiteral("Clear all of the data recorded so far"));
    });
    pageRefreshTimer_->start();
    return true;
}

void MainFrm::createDevice()
{
    if (options_.driver) {
        driverApi_ = *options_.driver;
        driverBound_ = true;
    } else {
        driverLibrary_ = std::make_unique<app::device::DriverLibrary>();
        driverLibrary_->load(programFolder_);
        driverApi_ = driverLibrary_->api();
        driverBound_ = driverLibrary_->isLoaded();
    }
    hxr_ = std::make_unique<app::device::HXR>(driverApi_);
    app::device::DeviceUi ui;
    ui.message = [](const QString &text, const QString &title, bool warning) {
        app::common::ShowMessage(text, title, warning, app::common::MessageOk);
    };
    ui.input = [this](const QString &prompt, const QString &title,
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
    };
    ui.busy = [](bool busy) {
        if (busy)
            QApplication::setOverrideCursor(Qt::WaitCursor);
        else
            QApplication::restoreOverrideCursor();
    };
    hxr_->setUi(ui);
    app::device::SetHXRObject(hxr_.get());
    app::analysis::AttachReadingStream(driverApi_);
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
    if (driverBound_) {
        versionLabel_->setText(program + Format(driverApi_.VERSION(), u"00.00",
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
    mainFrame_->setCorner(12);
    mainHelp_->setCorner(12);
    frameExt_->setCorner(12);
    infoFrame_->setCorner(7);
    logoFrame_->setCorner(12);
    themes_->setCorner(12);
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
    comms_->show();
    comms_->repaint();
    RefreshCurrentPage();
    if (!app::common::ShuttingDown()) {
        comms_->hide();
        trapped([] { UpdateCommsStatus(); });
        trapped([] { app::analysis::UpdateRecordingStatus(); });
    }
}

void MainFrm::TipOn(const QString &text)
{
    const qsizetype star = text.indexOf(QLatin1Char('*'));
    if (star >= 0) {
        QString title = text.left(star);
        helpTitleLabel_->setText(title.replace(QStringLiteral("&&"), QStringLiteral("&")));
        iconHelp_->setPlainText(
            text.mid(star + 1).replace(QStringLiteral("**"), QStringLiteral("\n")));
    } else {
        iconHelp_->setPlainText(QStringLiteral("No information available!"));
    }
    iconHelp_->raise();
    iconHelp_->show();
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
    iconHelp_->clear();
    iconHelp_->hide();
    helpTitleLabel_->setText(QStringLiteral("Help"));
}

// ---- Page switch check -----------------------------------------------------------------------

bool MainFrm::ButtonClickCheck(int index)
{
    // Decided on the page the button opens, whichever set is current.
    QString target;
    if (const Device *set = CurrentDevice()) {
        if (index >= 1 && index <= set->ButtonCount())
            target = set->Form(index);
    }
    if (app::device::StreamRunning() && configuresModule(target)) {
        EntryRequest request;
        request.kind = EntryRequest::Kind::OkCancel;
        request.title = QStringLiteral("Recording In Progress");
        request.description = RecordingQuestion;
        if (ask(request).cancelled)
            return true;
    }
    if (target == LockPage && CurrentConnection().LockMask != 0)
        return !checkPasscode();
    DoErrorReset();
    return false;
}

bool MainFrm::checkPasscode()
{
    EntryRequest request;
    request.kind = EntryRequest::Kind::Manual;
    request.title = QStringLiteral("Lock Settings");
    request.description = LockQuestion;
    request.formatting = QStringLiteral("000000");
    request.numeric = true;
    request.allowed = QStringLiteral("0123456789");
    request.min = 0;
    request.max = 999999;
    request.length = 7;
    const EntryAnswer answer = ask(request);
    if (answer.cancelled)
        return false;
    // The passcode must come from the module now: a latched or failed read would hand back
    // a stale value (0 before the first read).
    app::device::HXR *device = hxr_.get();
    bool readOk = false;
    double passcode = 0;
    if (device) {
        device->ResetError();
        passcode = device->PWD1();
        readOk = device->ErrorState() == 0;
    }
    if (!readOk) {
        app::common::ShowMessage(
            QStringLiteral("The passcode could not be read from the module, so the page stays "
                           "locked. Check the connection and try again."),
            QStringLiteral("Lock Settings"), true, app::common::MessageOk);
        return false;
    }
    if (passcode != platform::vb::Val(answer.value)) {
        app::common::ShowMessage(QStringLiteral("Sorry that passcode was incorrect!"),
                                 QStringLiteral("Lock Settings"), false, app::common::MessageOk);
        return false;
    }
    DoErrorReset();
    return true;
}

EntryAnswer MainFrm::ask(const EntryRequest &request)
{
    return options_.entry ? options_.entry(request) : entryForm(request);
}

void MainFrm::DoErrorReset()
{
    btnErrorReset_->setEnabled(false);
    infoLabel_->clear();
    // Always: an error latched before any module was connected must be clearable too.
    if (hxr_)
        hxr_->ResetError();
    btnErrorReset_->setEnabled(false);
    app::common::ReportCommsFailure(QString(), false);
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
    QApplication::setOverrideCursor(Qt::WaitCursor);
    try {
        app::analysis::TakeSnapshot(app::analysis::BufferCount());
        const Device *set = CurrentDevice();
        const int review = set ? static_cast<int>(set->FormCollection.indexOf(ReviewPage)) + 1 : 0;
        if (review > 0 && HasPageFactory(ReviewPage)) {
            // The current page is told DeActivated before the Review page shows the snapshot.
            SwitchPage(review);
            buttonBar_->SetSelectedButton(static_cast<int16_t>(review));
            if (ChildFormClass *page = LoadedPage(ReviewPage))
                QMetaObject::invokeMethod(page, "ShowSnapshot");
        }
    } catch (const std::exception &) {
    }
    QApplication::restoreOverrideCursor();
}

void MainFrm::ResetCaptureClick()
{
    app::analysis::ResetBuffer();
}

void MainFrm::showRecordingStatus(uint32_t ledColour, const QString &text, bool captureEnabled)
{
    recordLed_->setBackColor(ledColour);
    recordMsg_->setCaption(text);
    recordCapture_->setEnabled(captureEnabled);
    resetCapture_->setEnabled(captureEnabled);
}

void MainFrm::setRecordBlankerVisible(bool visible)
{
    recordBlanker_->setVisible(visible);
    if (visible)
        recordBlanker_->raise();
}

// ---- Help ------------------------------------------------------------------------------------

void MainFrm::showHelpMenu()
{
    // Right-aligned under the button, so that it opens over the window and not beside it.
    const int left = buttonHelp_->width() - mnuHelp_->sizeHint().width();
    mnuHelp_->popup(buttonHelp_->mapToGlobal(QPoint(left, buttonHelp_->height())));
    buttonHelp_->setState(false);
}

void MainFrm::openManual(const QString &fileName)
{
    trapped([&] { app::common::ShellOpenFile(QDir(programFolder_).filePath(fileName)); });
}

// ---- PageSetHost -----------------------------------------------------------------------------

void MainFrm::clearButtons()
{
    buttonBar_->Clear();
    // Clearing gives the bar its design grey back; it stays on the display's colour.
    buttonBar_->setMenuBackcolor(CurrentBranding().colour(BrandColour::DisplayBack));
}

void MainFrm::addButton(const QString &glyph, bool enabled)
{
    buttonBar_->AddButton(glyph);
    const auto &elements = buttonBar_->ButtonArray();
    const int added = buttonBar_->addedCount();
    if (added >= 1 && added <= static_cast<int>(elements.size()))
        elements[static_cast<size_t>(added - 1)]->setEnabled(enabled);
}

void MainFrm::drawButtons()
{
    // The bar and its panel keep their right edge while they grow or shrink.
    buttonBar_->DrawMe();
    const int right = themes_->x() + themes_->width();
    themes_->setGeometry(right - buttonBar_->width() - 8, themes_->y(), buttonBar_->width() + 8,
                         themes_->height());
    buttonBar_->move(4, buttonBar_->y());
}

void MainFrm::selectButton(int index)
{
    buttonBar_->SetSelectedButton(static_cast<int16_t>(index));
}

void MainFrm::restartRefreshTimer()
{
    pageRefreshTimer_->setInterval(1000);
    pageRefreshTimer_->stop();
    pageRefreshTimer_->start();
}

void MainFrm::releaseMouseCapture()
{
    if (QWidget *grabber = QWidget::mouseGrabber())
        grabber->releaseMouse();
}

void MainFrm::setErrorResetEnabled(bool enabled)
{
    btnErrorReset_->setEnabled(enabled);
}

void MainFrm::reportCommsFailure(const QString &text, bool failed)
{
    app::common::ReportCommsFailure(text, failed);
}

int MainFrm::errorState()
{
    return hxr_ ? hxr_->ErrorState() : 0;
}

void MainFrm::setStreamRunning(bool running)
{
    app::device::setStreamRunning(running);
}

// ---- What the window shows -------------------------------------------------------------------

QString MainFrm::versionText() const
{
    return versionLabel_->text();
}

QString MainFrm::titleText() const
{
    return titleLabel_->text();
}

QString MainFrm::helpTitle() const
{
    return helpTitleLabel_->text();
}

QString MainFrm::iconHelpText() const
{
    return iconHelp_->toPlainText();
}

QString MainFrm::infoText() const
{
    return infoLabel_->text();
}

bool MainFrm::errorResetEnabled() const
{
    return btnErrorReset_->Enabled();
}

bool MainFrm::captureEnabled() const
{
    return recordCapture_->Enabled();
}

QString MainFrm::recordText() const
{
    return recordMsg_->Caption();
}

// ---- Dragging and the logo link --------------------------------------------------------------

bool MainFrm::eventFilter(QObject *watched, QEvent *event)
{
    if (watched == largeLogo_) {
        if (event->type() == QEvent::MouseButtonRelease && !CurrentBranding().URL.isEmpty())
            trapped([] { app::common::OpenWebPage(CurrentBranding().URL); });
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
    if (IsRefreshing()) {
        // The refresh is further down this very call stack: waiting here would keep it from
        // ever finishing. Wait for it to return instead, at most closeWaitMs.
        event->ignore();
        if (!closePending_) {
            closePending_ = true;
            app::common::setShuttingDown(true);
            pageRefreshTimer_->stop();
            hideTip_->stop();
            app::common::ShowMessage(
                QStringLiteral("Waiting for current page refresh to complete..."),
                QStringLiteral("Closing..."), false, app::common::MessageNotice);
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
    app::common::UnloadMessage();
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
    QApplication::setOverrideCursor(Qt::WaitCursor);
    trapped([this] {
        app::common::setShuttingDown(true);
        hideTip_->stop();
        SaveINISettings();
        releaseMouseCapture();
        pageRefreshTimer_->stop();
        closeWait_->stop();
    });
    trapped([] { app::common::UnloadMessage(); });
    trapped([] { CloseAllPages(); });
    trapped([] { ClearDevices(); });
    trapped([this] {
        if (hxr_)
            hxr_->ClosePort();
    });
    trapped([this] {
        SetPageSetHost(nullptr);
        SetHelpArea({});
        hide();
        app::device::ClearHXRObject();
        app::analysis::DetachReadingStream();
    });
    QApplication::restoreOverrideCursor();
    trapped([] { app::common::UnloadFonts(); });
    if (options_.endProgram)
        options_.endProgram(0);
    else
        QCoreApplication::exit(0);
}

} // namespace app::shell
