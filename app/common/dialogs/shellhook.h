#ifndef APP_COMMON_DIALOGS_SHELLHOOK_H
#define APP_COMMON_DIALOGS_SHELLHOOK_H

#include <functional>

#include <QString>
#include <QUrl>

namespace app::common::dialogs {

// Hands a document or an address to the desktop: the verb is "Open" or empty (the document's
// default action); true when the desktop took it. The default opens through QDesktopServices
// (which has one action for both verbs); tests install a recorder.
using ShellHook = std::function<bool(const QUrl &target, const QString &verb)>;

// Installs a hook (an empty one restores the default) and returns the previous one.
ShellHook setShellHook(ShellHook hook);

// Opens a document with its associated program; when that fails, tries once more with the
// document's default action. True when one of the two succeeded.
bool ShellOpenFile(const QString &fileName);

// Opens a web page: an address beginning with "www." (any case) gets "http://" in front; only
// http and https addresses with a host are handed on, anything else is ignored, and so is every
// failure.
void OpenWebPage(const QString &url);

} // namespace app::common::dialogs

#endif
