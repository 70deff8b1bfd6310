#ifndef PLATFORM_WIN_MESSAGEHOOK_H
#define PLATFORM_WIN_MESSAGEHOOK_H

#include <functional>

#include <QString>

class QObject;

namespace platform::win {

// Message boxes of code that has no window of its own (the driver's "No handle", "Bad tx",
// "timedout"). On the application's thread they go to the presenter the program registered,
// else to stderr. Tests install a recorder in place of both.
using MessageRecorder = std::function<void(const QString &text, const QString &caption)>;

void showPlainMessage(const QString &text, const QString &caption);

// Installs a recorder (an empty one restores the default) and returns the previous one.
MessageRecorder setMessageRecorder(MessageRecorder recorder);

// The presenter is any object with an invokable present(QString text, QString caption). It is
// kept on the application object and called by name, so that a library loaded at run time (the
// driver, with its own copy of this code) reaches it while linking Qt Core alone. Registering
// nullptr removes it; the caller keeps ownership and removes it before destroying it.
void setMessagePresenter(QObject *presenter);
QObject *messagePresenter();

} // namespace platform::win

#endif
