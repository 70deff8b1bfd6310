// MainFrm's start-up: the load step, the device, the branding and the version line.
#include "app/shell/mainfrm.h"

#include <optional>
#include <stdexcept>
#include <utility>

#include <QApplication>
#include <QDir>
#include <QFileInfo>
#include <QIcon>
#include <QImage>
#include <QLabel>
#include <QLockFile>
#include <QPalette>

#include "app/common/desktop/systemhelpers.h"
#include "app/common/globals.h"
#include "app/common/specialfolders.h"
#include "app/controls/roundregion.h"
#include "app/controls/vxbtn.h"
#include "app/device/conversionmodule.h"
#include "app/device/driverlibrary.h"
#include "app/shell/brandingmodule.h"
#include "app/shell/connection.h"
#include "app/shell/devicecontrol.h"
#include "app/shell/devicesession.h"
#include "app/shell/formtooltips.h"
#include "app/shell/handlertrap.h"
#include "app/shell/panel.h"
#include "app/shell/programcontext.h"
#include "app/shell/programlinks.h"
#include "app/shell/styletemplates.h"
#include "platform/vb/format.h"
#include "platform/win/gui/qcolour.h"
#include "platform/win/messagehook.h"

namespace app::shell {

namespace {

// The settings and data folders of the run, made when missing.
void createFolders()
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

// The user's decimal and thousands separators, as the number formats will use them.
void takeSeparators()
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

// Why the driver library could not be used: it is missing, or it is there but unusable.
void showDriverFailure(const QString &programFolder)
{
    const QFileInfo file(
        QDir(programFolder).filePath(QString::fromLatin1(app::device::DriverLibrary::FileName)));
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
}

// The context that holds the program-wide links: the window starts within one.
ProgramContext &programContext()
{
    ProgramContext *context = ProgramContext::current();
    if (!context)
        throw std::logic_error("the main window starts without a program context");
    return *context;
}

// The program's icon in the sizes the desktop picks from.
QIcon programIcon()
{
    QIcon icon;
    for (int size : {16, 32, 48, 256})
        icon.addFile(QStringLiteral(":/hxr/icon-%1.png").arg(size), QSize(size, size));
    return icon;
}

} // namespace

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
    // Each step is trapped alone: one that fails is logged and the start goes on.
    const auto step = [](auto &&work) { RunTrappedStep("MainFrm", "Load", work); };
    // The device and the links come first, for the message presenter shows the branding's
    // warning; a start that ends there leaves no device behind.
    step([this] { createDevice(); });
    step([this] {
        programContext().link(
            ProgramLinkTargets{device(),
                               this,
                               this,
                               ui_.mainFrame,
                               {ui_.mainFrame, ui_.mainHelp, ui_.help, ui_.extraInfo}});
    });
    if (!HandleBranding()) {
        removeLinks();
        session_.reset();
        return false;
    }

    step([] { createFolders(); });
    step([] { takeSeparators(); });
    if (!showVersion())
        return false;
    step([this] {
        const QIcon icon = programIcon();
        setWindowIcon(icon);
        QApplication::setWindowIcon(icon);
    });
    step([this] { roundCorners(); });
    CurrentConnection().AutoDetectPending = true;
    step([this] {
        BuildDeviceList(app::common::FactoryAccess());
        SelectDevice(HomeSetKey);
        BuildButtonBar();
    });
    step([this] {
        ui_.largeLogo->setCursor(CurrentBranding().URL.isEmpty() ? Qt::ArrowCursor
                                                                 : Qt::PointingHandCursor);
    });
    step([this] {
        ui_.recordMsg->SetToolTip(
            QStringLiteral("Indicates how much has been recorded so far (MM:SS)"));
        ui_.recordCapture->SetToolTip(
            QStringLiteral("Capture all data recorded so far and review it"));
        ui_.resetCapture->SetToolTip(QStringLiteral("Clear all of the data recorded so far"));
    });
    LoadFormTooltips(*this);
    pageRefreshTimer_->start();
    readingWatch_->start();
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
    showDriverFailure(programFolder_);
    return false;
}

void MainFrm::roundCorners()
{
    setMask(app::controls::roundRectRegion(width(), height(), 15, 15));
    ui_.roundCorners();
}

} // namespace app::shell
