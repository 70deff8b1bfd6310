#include "updater/updatemessages.h"

#include <utility>

#include <QApplication>
#include <QMessageBox>

namespace updater {

namespace {

MessagePresenter &installedPresenter()
{
    static MessagePresenter presenter;
    return presenter;
}

QMessageBox::Icon boxIcon(MessageIcon icon)
{
    switch (icon) {
    case MessageIcon::Question:
        return QMessageBox::Question;
    case MessageIcon::Critical:
        return QMessageBox::Critical;
    case MessageIcon::Exclamation:
        break;
    }
    return QMessageBox::Warning;
}

bool showBox(const UpdateMessage &message)
{
    QString text = message.text;
    text.replace(QLatin1String("\r\n"), QLatin1String("\n"));
    QMessageBox box(boxIcon(message.icon), message.title, text,
                    message.question ? QMessageBox::Yes | QMessageBox::No : QMessageBox::Ok);
    box.setTextFormat(Qt::PlainText);
    box.setWindowModality(Qt::ApplicationModal);
    box.setWindowFlag(Qt::WindowStaysOnTopHint);
    // A question starts on "No", and Escape answers No: Yes is the user's deliberate choice.
    if (message.question) {
        box.setDefaultButton(QMessageBox::No);
        box.setEscapeButton(QMessageBox::No);
    }
    box.show();
    box.raise();
    box.activateWindow();
    return box.exec() == QMessageBox::Yes;
}

bool present(const UpdateMessage &message)
{
    const MessagePresenter &presenter = installedPresenter();
    return presenter ? presenter(message) : showBox(message);
}

} // namespace

MessagePresenter setMessagePresenter(MessagePresenter presenter)
{
    return std::exchange(installedPresenter(), std::move(presenter));
}

void ShowUpdateMessage(const QString &text, const QString &title, MessageIcon icon)
{
    present({title, text, icon, false});
}

bool AskUpdateQuestion(const QString &text, const QString &title)
{
    return present({title, text, MessageIcon::Question, true});
}

QString iconName(MessageIcon icon)
{
    switch (icon) {
    case MessageIcon::Question:
        return QStringLiteral("question");
    case MessageIcon::Critical:
        return QStringLiteral("critical");
    case MessageIcon::Exclamation:
        break;
    }
    return QStringLiteral("exclamation");
}

} // namespace updater
