#ifndef PLATFORM_WIN_MESSAGEHOOK_H
#define PLATFORM_WIN_MESSAGEHOOK_H

#include <functional>

#include <QString>

namespace platform::win {

// Message boxes of code that has no window of its own (the driver's "No handle", "Bad tx",
// "timedout"). Shown modally with an OK button when a QApplication runs, else written to
// stderr. Tests install a recorder in place of both.
using MessageRecorder = std::function<void(const QString &text, const QString &caption)>;

void showPlainMessage(const QString &text, const QString &caption);

// Installs a recorder (an empty one restores the default) and returns the previous one.
MessageRecorder setMessageRecorder(MessageRecorder recorder);

} // namespace platform::win

#endif
