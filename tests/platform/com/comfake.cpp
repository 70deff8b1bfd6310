// A server for the tests of object creation and calls. Its members:
// - Echo: answers {"args": the arguments, "pid": the caller's pid from the socket, "self" and
//   "parent": its own pid and its parent's};
// - Raise(number, description): raises that error;
// - Quit: ends without answering;
// - CheckUpdate: answers as HXR_COMFAKE_RESULT says ("true", "false" or "error"), after appending
//   the arguments to the file HXR_COMFAKE_LOG names.
// HXR_COMFAKE_GREET=no makes it end before greeting.
#include <cstdlib>
#include <unistd.h>

#include <QCoreApplication>
#include <QFile>
#include <QJsonDocument>
#include <QJsonObject>

#include "platform/com/automationserver.h"
#include "platform/vb/vberror.h"

namespace {

QJsonValue checkUpdate(const QJsonArray &arguments)
{
    const QString log = qEnvironmentVariable("HXR_COMFAKE_LOG");
    if (!log.isEmpty()) {
        QFile file(log);
        if (file.open(QIODevice::Append))
            file.write(QJsonDocument(arguments).toJson(QJsonDocument::Compact) + '\n');
    }
    const QString result = qEnvironmentVariable("HXR_COMFAKE_RESULT");
    if (result == QLatin1String("error"))
        throw platform::vb::VbError(6, QStringLiteral("Upvelo"), QStringLiteral("Overflow"));
    return result == QLatin1String("true");
}

QJsonValue serve(const QString &member, const QJsonArray &arguments, pid_t callerPid)
{
    if (member == QLatin1String("Echo"))
        return QJsonObject{{QStringLiteral("args"), arguments},
                           {QStringLiteral("pid"), static_cast<int>(callerPid)},
                           {QStringLiteral("self"), static_cast<int>(getpid())},
                           {QStringLiteral("parent"), static_cast<int>(getppid())}};
    if (member == QLatin1String("Raise"))
        throw platform::vb::VbError(arguments.at(0).toInt(), QStringLiteral("comfake"),
                                    arguments.at(1).toString());
    if (member == QLatin1String("Quit"))
        std::exit(0);
    if (member == QLatin1String("CheckUpdate"))
        return checkUpdate(arguments);
    throw platform::vb::VbError(438, QStringLiteral("comfake"),
                                QStringLiteral("Object doesn't support this property or method"));
}

} // namespace

int main(int argc, char **argv)
{
    QCoreApplication app(argc, argv);
    const auto descriptor =
        platform::com::AutomationServer::automationDescriptor(QCoreApplication::arguments());
    if (!descriptor || qEnvironmentVariable("HXR_COMFAKE_GREET") == QLatin1String("no"))
        return 1;
    platform::com::AutomationServer server(*descriptor, &serve);
    QObject::connect(&server, &platform::com::AutomationServer::callerGone, &app,
                     &QCoreApplication::quit);
    return app.exec();
}
