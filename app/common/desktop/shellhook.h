#ifndef APP_COMMON_DESKTOP_SHELLHOOK_H
#define APP_COMMON_DESKTOP_SHELLHOOK_H

#include <functional>

#include <QString>
#include <QUrl>

namespace app::common::desktop {

// Called once when a launch fails, with the reason in the user's words.
using ShellFailed = std::function<void(const QString &reason)>;

// Hands a document or an address to the desktop: the verb is "Open" or empty (the document's
// default action). A failure is reported through `failed`, at once or later: the desktop's
// launcher may only find out after the call has returned that nothing can open the target.
// The default runs the desktop's launcher and watches how it ends, without ending it when this
// program ends first; tests install a recorder.
using ShellHook =
    std::function<void(const QUrl &target, const QString &verb, const ShellFailed &failed)>;

// Installs a hook (an empty one restores the default) and returns the previous one.
ShellHook setShellHook(ShellHook hook);

// Opens a document with its associated program; when that fails, tries once more with the
// document's default action. When the file is missing or neither attempt opens it, a warning
// gives the full path and the reason, so that the user can open it by hand.
void ShellOpenFile(const QString &fileName);

// Opens a web page: an address beginning with "www." (any case) gets "http://" in front; only
// http and https addresses with a host are handed on. An address refused, or one the desktop
// cannot open, gives a warning with the address and the reason.
void OpenWebPage(const QString &url);
// The same, with a failure (a refused address among them) handed to `failed` in place of the
// warning.
void OpenWebPage(const QString &url, const ShellFailed &failed);

// Waits, with the event loop running, until every desktop launcher started so far has ended
// and reported, at most timeoutMs; true when none is left running. A launch through an
// installed hook has ended when the hook returns.
bool WaitForLaunches(int timeoutMs);

} // namespace app::common::desktop

#endif
