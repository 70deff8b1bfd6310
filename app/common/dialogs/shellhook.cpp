#include "app/common/dialogs/shellhook.h"

#include <utility>

#include <QDesktopServices>

namespace app::common::dialogs {

namespace {

bool openWithDesktop(const QUrl &target, const QString &)
{
    return QDesktopServices::openUrl(target);
}

ShellHook &installedHook()
{
    static ShellHook hook;
    return hook;
}

bool shellOpen(const QUrl &target, const QString &verb)
{
    const ShellHook &hook = installedHook();
    return hook ? hook(target, verb) : openWithDesktop(target, verb);
}

} // namespace

ShellHook setShellHook(ShellHook hook)
{
    return std::exchange(installedHook(), std::move(hook));
}

bool ShellOpenFile(const QString &fileName)
{
    if (fileName.isEmpty())
        return false;
    const QUrl target = QUrl::fromLocalFile(fileName);
    return shellOpen(target, QStringLiteral("Open")) || shellOpen(target, QString());
}

void OpenWebPage(const QString &url)
{
    // The address comes from the branding file: nothing but a web page may be launched from it.
    QString address = url.trimmed();
    if (address.startsWith(QLatin1String("www."), Qt::CaseInsensitive))
        address.prepend(QLatin1String("http://"));
    const QUrl target(address, QUrl::StrictMode);
    const QString scheme = target.scheme().toLower();
    if (!target.isValid() ||
        (scheme != QLatin1String("http") && scheme != QLatin1String("https")) ||
        target.host().isEmpty())
        return;
    try {
        shellOpen(target, QStringLiteral("Open"));
    } catch (...) {
        // A failing launch must not disturb the click that asked for it.
    }
}

} // namespace app::common::dialogs
