#include "app/common/desktop/shellhook.h"

#include <functional>
#include <utility>

#include <QDesktopServices>
#include <QFileInfo>
#include <QStandardPaths>

#include "app/common/desktop/desktoplauncher.h"
#include "app/common/desktop/desktopstate.h"
#include "app/common/desktop/messages.h"

namespace app::common::desktop {

namespace {

const QString CannotOpenFileTitle = QStringLiteral("Cannot Open File");
const QString CannotOpenPageTitle = QStringLiteral("Cannot Open Web Page");

QString noProgramReason()
{
    return QStringLiteral("No program on this computer is set up to open it.");
}

// The launcher's exit codes, in the user's words.
QString launcherReason(int exitCode)
{
    switch (exitCode) {
    case 2:
        return QStringLiteral("The file does not exist.");
    case 3:
        return noProgramReason();
    case 4:
        return QStringLiteral("The program set up to open it could not open it.");
    default:
        return QStringLiteral("The desktop's launcher failed (exit code %1).").arg(exitCode);
    }
}

// The desktop's launcher reports by its exit code whether anything could open the target; it
// may run on while a viewer is open, so it is watched, not waited for.
void launchWithLauncher(const QString &launcher, const QUrl &target, const ShellFailed &failed)
{
    runLauncher(launcher, target.isLocalFile() ? target.toLocalFile() : target.toString(),
                [failed](const LauncherEnd &end) {
                    if (!end.started)
                        failed(QStringLiteral("The desktop's launcher could not be started."));
                    else if (end.crashed)
                        failed(QStringLiteral("The desktop's launcher stopped unexpectedly."));
                    else if (end.exitCode != 0)
                        failed(launcherReason(end.exitCode));
                });
}

void openWithDesktop(const QUrl &target, const QString &, const ShellFailed &failed)
{
    const QString launcher = QStandardPaths::findExecutable(QStringLiteral("xdg-open"));
    if (!launcher.isEmpty()) {
        launchWithLauncher(launcher, target, failed);
        return;
    }
    if (!QDesktopServices::openUrl(target))
        failed(noProgramReason());
}

ShellHook &installedHook()
{
    return DesktopState::current().shellHook;
}

// Every failure, a throwing launcher among them, comes back through `failed`.
void shellOpen(const QUrl &target, const QString &verb, const ShellFailed &failed)
{
    try {
        const ShellHook &hook = installedHook();
        if (hook)
            hook(target, verb, failed);
        else
            openWithDesktop(target, verb, failed);
    } catch (...) {
        failed(QStringLiteral("The desktop's launcher failed."));
    }
}

void warn(const QString &title, const QString &what, const QString &target, const QString &reason,
          const QString &advice)
{
    ShowMessage(what + QStringLiteral("\r\n") + target + QStringLiteral("\r\n\r\n") + reason +
                    QStringLiteral("\r\n") + advice,
                title, true, MessageOk);
}

void warnFile(const QString &path, const QString &reason)
{
    warn(CannotOpenFileTitle, QStringLiteral("This file could not be opened:"), path, reason,
         QStringLiteral("You can open it by hand with a program of your choice."));
}

void warnPage(const QString &address, const QString &reason)
{
    warn(CannotOpenPageTitle, QStringLiteral("This web page could not be opened:"), address,
         reason, QStringLiteral("You can open it by hand in a web browser."));
}

// Opens a web page; a refused address is reported as given, a failed launch with the address
// that was handed on.
void openWebPage(const QString &url,
                 const std::function<void(const QString &address, const QString &reason)> &failed)
{
    // The address comes from a file: nothing but a web page may be launched from it.
    QString address = url.trimmed();
    if (address.isEmpty())
        return;
    if (address.startsWith(QLatin1String("www."), Qt::CaseInsensitive))
        address.prepend(QLatin1String("http://"));
    const QUrl target(address, QUrl::StrictMode);
    const QString scheme = target.scheme().toLower();
    if (!target.isValid() ||
        (scheme != QLatin1String("http") && scheme != QLatin1String("https")) ||
        target.host().isEmpty()) {
        failed(url.trimmed(), QStringLiteral("It is not the address of a web page."));
        return;
    }
    shellOpen(target, QStringLiteral("Open"),
              [address, failed](const QString &reason) { failed(address, reason); });
}

} // namespace

ShellHook setShellHook(ShellHook hook)
{
    return std::exchange(installedHook(), std::move(hook));
}

void ShellOpenFile(const QString &fileName)
{
    if (fileName.isEmpty())
        return;
    const QString path = QFileInfo(fileName).absoluteFilePath();
    if (!QFileInfo(path).isFile()) {
        warnFile(path, QStringLiteral("The file does not exist."));
        return;
    }
    const QUrl target = QUrl::fromLocalFile(path);
    shellOpen(target, QStringLiteral("Open"), [target, path](const QString &) {
        shellOpen(target, QString(), [path](const QString &reason) { warnFile(path, reason); });
    });
}

void OpenWebPage(const QString &url)
{
    openWebPage(url, &warnPage);
}

void OpenWebPage(const QString &url, const ShellFailed &failed)
{
    openWebPage(url, [failed](const QString &, const QString &reason) { failed(reason); });
}

bool WaitForLaunches(int timeoutMs)
{
    return waitForLaunchers(timeoutMs);
}

} // namespace app::common::desktop
