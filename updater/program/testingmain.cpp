// The utility with the tests' hooks, never shipped:
// - HXR_UPVELO_MESSAGES: a file to which every message, question and opened document is appended
//   as one JSON object a line ({"kind", "title", "text", "icon"} or {"kind": "open", "url"}),
//   and at the end {"kind": "exit", "code"};
// - HXR_UPVELO_ANSWERS: the answers to the questions in turn, "Yes" or "No" separated by commas
//   (No when they run out);
// - HXR_UPVELO_STALL_MS: the stall limit of the downloads;
// - HXR_UPVELO_CA: a PEM file of authorities trusted besides the system's;
// - HXR_UPVELO_DESKTOP=1: documents go to the desktop's launcher found on PATH, as shipped,
//   in place of being logged.
#include <QApplication>
#include <QFile>
#include <QJsonDocument>
#include <QJsonObject>
#include <QSslCertificate>

#include "app/common/desktop/shellhook.h"
#include "updater/updatemessages.h"
#include "updater/upvelo.h"
#include "updater/utility.h"

namespace {

void record(const QJsonObject &entry)
{
    QFile log(qEnvironmentVariable("HXR_UPVELO_MESSAGES"));
    if (log.fileName().isEmpty() || !log.open(QIODevice::Append))
        return;
    log.write(QJsonDocument(entry).toJson(QJsonDocument::Compact) + '\n');
}

bool answer()
{
    static QStringList answers =
        qEnvironmentVariable("HXR_UPVELO_ANSWERS").split(QLatin1Char(','), Qt::SkipEmptyParts);
    if (answers.isEmpty())
        return false;
    return answers.takeFirst().trimmed() == QLatin1String("Yes");
}

} // namespace

int main(int argc, char **argv)
{
    QApplication application(argc, argv);
    QCoreApplication::setApplicationName(QStringLiteral("upvelo"));

    updater::setMessagePresenter([](const updater::UpdateMessage &message) {
        record({{QStringLiteral("kind"),
                 message.question ? QStringLiteral("question") : QStringLiteral("message")},
                {QStringLiteral("title"), message.title},
                {QStringLiteral("text"), message.text},
                {QStringLiteral("icon"), updater::iconName(message.icon)}});
        return message.question && answer();
    });
    if (qEnvironmentVariable("HXR_UPVELO_DESKTOP") != QLatin1String("1"))
        app::common::desktop::setShellHook(
            [](const QUrl &target, const QString &, const app::common::desktop::ShellFailed &) {
                record({{QStringLiteral("kind"), QStringLiteral("open")},
                        {QStringLiteral("url"), target.toString()}});
            });
    updater::DownloadLimits limits;
    bool ok = false;
    const int stall = qEnvironmentVariableIntValue("HXR_UPVELO_STALL_MS", &ok);
    if (ok && stall > 0)
        limits.stallTimeout = stall;
    updater::setDownloadLimits(limits);
    const QString authorities = qEnvironmentVariable("HXR_UPVELO_CA");
    if (!authorities.isEmpty())
        updater::addTestAuthorities(QSslCertificate::fromPath(authorities));

    const int code = updater::runUtility(application);
    record({{QStringLiteral("kind"), QStringLiteral("exit")}, {QStringLiteral("code"), code}});
    return code;
}
