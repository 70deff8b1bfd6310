#include "app/pages/child_gen_home.h"

#include <algorithm>

#include <QCoreApplication>
#include <QTimer>

#include "app/analysis/circularbuffermodule.h"
#include "app/common/desktop/messages.h"
#include "app/common/desktop/waitcursor.h"
#include "app/common/globals.h"
#include "app/common/inifilemodule.h"
#include "app/controls/pagestyle/pagestyle.h"
#include "app/controls/vxbtn.h"
#include "app/device/drv_hxr.h"
#include "app/device/hxr.h"
#include "app/pages/streamscaling.h"
#include "app/shell/brandingmodule.h"
#include "app/shell/connection.h"
#include "app/shell/devicecontrol.h"
#include "app/shell/formtooltips.h"
#include "app/shell/handlertrap.h"
#include "app/shell/upvelo.h"
#include "platform/vb/convert.h"
#include "platform/vb/cstr.h"

namespace app::pages {

namespace style = app::controls::pagestyle;

namespace {

using app::controls::VXBtn;

const QString CrLf = QStringLiteral("\r\n");

// The procedure that receives every reading; the driver keeps a copy of the pointer.
HXRReadingProc ReadingProc = &app::analysis::OnReading;

void showError(const QString &text, const QString &title)
{
    app::common::desktop::ShowMessage(text, title, true, app::common::desktop::MessageOk);
}

void configurationModeError()
{
    showError(QStringLiteral("Cannot put module into configuration mode."),
              QStringLiteral("Configuration Mode Error"));
}

void unsupportedModule()
{
    showError(QStringLiteral("This toolkit does not recognise the attached module!"),
              QStringLiteral("Unsupported Module Type"));
}

// A module that answered its first questions and then stopped.
void moduleStoppedAnswering()
{
    showError(QStringLiteral("The module stopped answering!") + CrLf +
                  QStringLiteral("Check the connection and click Detect again."),
              QStringLiteral("Detection Failed"));
}

QString modelName()
{
    const QString name = app::shell::CurrentBranding().KTW15;
    return name.isEmpty() ? QStringLiteral("HXR-TRB") : name;
}

// The display format kept for the serial number, else the most recent one, else the default.
QString storedDisplayFormat(const QString &serialText)
{
    const QString file = app::common::SettingsFilePath();
    const QString section = QStringLiteral("Format");
    QString format = app::common::ReadIniValue(file, section, serialText, QString());
    if (format.isEmpty())
        format = app::common::ReadIniValue(file, section, QStringLiteral("Recent"),
                                           QStringLiteral("0.00000"));
    return format;
}

// Command mode and CONF, once more when the module is not there yet. A read that failed
// counts as the module not being in configuration mode, and the retry talks to the module
// afresh.
bool enterConfigurationMode(app::device::HXR &hxr)
{
    for (int attempt = 0; attempt < 2; ++attempt) {
        if (attempt > 0)
            hxr.ResetError();
        hxr.CommandMode();
        const bool on = hxr.CONF();
        if (on && hxr.ErrorState() == 0)
            return true;
    }
    return false;
}

} // namespace

CHILD_GEN_HOME::CHILD_GEN_HOME(QWidget *parent) : ChildFormClass(FormName, parent)
{
    title_ = style::makeLabel(this, QStringLiteral("Detected Modules"), style::PageStyle::Header);
    instructions_ = style::makeLabel(
        this, QStringLiteral("Plug in the desired module and click the 'Detect' button"),
        style::PageStyle::Body);
    moduleList_ =
        style::makeLabel(this, QStringLiteral("No module selected."), style::PageStyle::Panel);
    unplugNote_ = style::makeLabel(this, QStringLiteral("Safe to unplug or plug in a module."),
                                   style::PageStyle::Body);

    hyperlinkDetect_ = style::makeButton(this, QStringLiteral("Detect"));
    connect(hyperlinkDetect_, &VXBtn::Click, this, [this] { Detect(); });

    manualConnect_ = style::makeButton(this, QStringLiteral("Manual Connect"));
    manualConnect_->SetToolTip(QStringLiteral("Enter communication settings manually to connect"));
    // There is no manual connection to offer: the button is shown as designed, out of use.
    manualConnect_->setEnabled(false);

    btnCheckUpdates_ = style::makeButton(this, QStringLiteral("Check For Update"));
    connect(btnCheckUpdates_, &VXBtn::Click, this, [this] { CheckForUpdates(); });

    app::shell::SetUpdateProduct(QStringLiteral("hxrtk"));

    layOut();
    app::shell::LoadFormTooltips(*this);
}

QString CHILD_GEN_HOME::HelpText() const
{
    // There is no demo button to point at: the help ends with the modules that may be attached.
    return QStringLiteral("This Home page is where you select which module to connect to.*You "
                          "may have multiple modules connected.");
}

void CHILD_GEN_HOME::Activated()
{
    try {
        app::shell::Connection &connection = app::shell::CurrentConnection();
        connection.ConnectionStatusText.clear();
        QCoreApplication::processEvents();
        hyperlinkDetect_->SetToolTip(QStringLiteral("Attach the module to the PC and click this "
                                                    "button to detect and connect to it"));
        app::shell::LoadFormTooltips(*this);
        if (connection.AutoDetectPending) {
            // At start-up the page is activated before the main window is on screen: detect
            // once it is, so that a failure's message stands in front of the window.
            if (window()->isVisible())
                Detect();
            else
                QTimer::singleShot(0, this, [this] {
                    if (app::shell::CurrentConnection().AutoDetectPending &&
                        !app::common::ShuttingDown())
                        Detect();
                });
        }
        if (app::shell::CurrentConnection().ConnectionStatusText.isEmpty())
            app::shell::ShowRecordBlanker(true);
    } catch (...) {
        // A failing step leaves the activation; the page stays usable.
        app::shell::LogSkippedHandler(objectName(), "Activated");
    }
}

bool CHILD_GEN_HOME::Detect()
{
    const app::common::desktop::WaitCursor busy;
    try {
        app::shell::Connection &connection = app::shell::CurrentConnection();
        connection.AutoDetectPending = false;
        app::device::HXR *hxr = app::device::HXRObject();
        if (!hxr)
            return false;

        // A latched error would skip every read and hand back the last module's values.
        hxr->ResetError();
        hxr->ClosePort();
        hxr->driver().INITIALISE(&ReadingProc);
        hxr->OpenPort();

        if (hxr->DeviceCount() != 1) {
            const QString text =
                hxr->DeviceCount() > 1
                    ? QStringLiteral("More than one module was detected!") + CrLf +
                          QStringLiteral("Remove all but one module and click Detect again.")
                    : QStringLiteral("No module was detected!") + CrLf +
                          QStringLiteral("Connect a module and click Detect again.");
            showError(text, QStringLiteral("Detection Failed"));
            return false;
        }

        if (!enterConfigurationMode(*hxr)) {
            configurationModeError();
            return false;
        }

        const auto separators = app::common::ProgramSeparators();
        const float model = hxr->MODL();
        if (hxr->ErrorState() != 0) {
            unsupportedModule();
            return false;
        }
        connection.ModelNumberText = platform::vb::CStr(model, separators);
        if (connection.ModelNumberText != QLatin1String("1")) {
            unsupportedModule();
            return false;
        }

        const QString name = modelName();
        const double serial = hxr->SERIALNUMBER();
        const float mask = hxr->PMSK();
        if (hxr->ErrorState() != 0) {
            moduleStoppedAnswering();
            return false;
        }
        connection.ModelName = name;
        connection.SerialText = platform::vb::CStr(serial, separators);
        connection.ConnectionStatusText =
            connection.ModelName + QStringLiteral(" serial number ") + connection.SerialText;
        // A mask beyond 16 bits is no mask the module writes: every lock counts as set.
        connection.LockMask = platform::vb::TryCInt(mask).value_or(int16_t{-1});

        app::common::setDisplayFormat(storedDisplayFormat(connection.SerialText));

        // A failure is reported, and the connection stands.
        ReloadStreamScaling(*hxr);

        app::shell::SelectDevice(app::shell::ModuleSetKey);
        app::shell::BuildButtonBar();
        app::analysis::ResetBuffer();
        app::shell::ShowRecordBlanker(false);
        return true;
    } catch (...) {
        app::shell::LogSkippedHandler(objectName(), "Detect");
        return false;
    }
}

void CHILD_GEN_HOME::CheckForUpdates()
{
    // The utility shows its own windows meanwhile; the main window takes no input until it is
    // done, but keeps repainting and recording.
    app::shell::EnableMainWindow(false);
    try {
        bool silent = false;
        if (app::shell::StartUpdate(silent).toBool())
            app::shell::ShutDownProgram();
    } catch (...) {
        // Whatever the utility did, the program goes on.
        app::shell::LogSkippedHandler(objectName(), "CheckForUpdates");
    }
    app::shell::EnableMainWindow(true);
}

void CHILD_GEN_HOME::resizeEvent(QResizeEvent *event)
{
    ChildFormClass::resizeEvent(event);
    layOut();
}

void CHILD_GEN_HOME::layOut()
{
    const int margin = 24;
    const int w = std::max(width(), 480);
    const int inner = w - 2 * margin;
    title_->setGeometry(margin, margin, inner, 32);
    instructions_->setGeometry(margin, 64, inner, 24);
    moduleList_->setGeometry(margin, 100, inner, 72);
    unplugNote_->setGeometry(margin, 180, inner, 24);
    const int buttonWidth = 160;
    hyperlinkDetect_->setGeometry(margin, 220, buttonWidth, 32);
    manualConnect_->setGeometry(margin + buttonWidth + 12, 220, buttonWidth, 32);
    btnCheckUpdates_->setGeometry(w - margin - buttonWidth, 220, buttonWidth, 32);
}

} // namespace app::pages
