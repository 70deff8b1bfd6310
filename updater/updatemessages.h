#ifndef UPDATER_UPDATEMESSAGES_H
#define UPDATER_UPDATEMESSAGES_H

#include <functional>

#include <QString>

namespace updater {

enum class MessageIcon
{
    Exclamation,
    Question,
    Critical,
};

struct UpdateMessage
{
    QString title;
    QString text;
    MessageIcon icon = MessageIcon::Exclamation;
    // A Yes/No question; else a message with OK.
    bool question = false;
};

// Shows a message or asks a question; true for Yes. The default shows a QMessageBox: plain text
// (a server's text never renders as markup), CR LF as one line break, application-modal and on
// top of every window (the caller's window, in another process, cannot own it).
using MessagePresenter = std::function<bool(const UpdateMessage &message)>;

// Installs a presenter (an empty one restores the default) and returns the previous one.
MessagePresenter setMessagePresenter(MessagePresenter presenter);

void ShowUpdateMessage(const QString &text, const QString &title, MessageIcon icon);
bool AskUpdateQuestion(const QString &text, const QString &title);

QString iconName(MessageIcon icon);

} // namespace updater

#endif
