#include "platform/com/automationobject.h"

#include <cerrno>
#include <cstring>
#include <sys/socket.h>
#include <unistd.h>

#include <QEventLoop>
#include <QJsonObject>
#include <QTimer>

#include "platform/com/automationchannel.h"
#include "platform/com/classregistry.h"
#include "platform/com/comerrors.h"
#include "platform/com/processstart.h"
#include "platform/com/programfile.h"
#include "platform/vb/vberror.h"

namespace platform::com {

namespace {

const QString Source = QStringLiteral("CreateObject");

[[noreturn]] void cannotCreate(const QString &cause)
{
    throw platform::vb::VbError(CannotCreateObject, Source,
                                QStringLiteral("Cannot create the object: ") + cause);
}

// A refusal for lack of permission is the one the administrator can lift; every other says
// what is wrong with the file.
[[noreturn]] void refuse(const QString &server, const RunCheck &check)
{
    const QString named = QStringLiteral("\"") + server + QStringLiteral("\"");
    if (check.refusal == RunRefusal::Missing)
        cannotCreate(QStringLiteral("its server ") + named + QStringLiteral(" is missing."));
    if (check.refusal == RunRefusal::NotPermitted)
        throw platform::vb::VbError(ElevationRequired, Source,
                                    QStringLiteral("The requested operation requires elevation: ") +
                                        named + QStringLiteral(" may not be run: ") + check.cause +
                                        QLatin1Char('.'));
    cannotCreate(QStringLiteral("its server ") + named + QStringLiteral(" cannot be run: ") +
                 check.cause + QLatin1Char('.'));
}

// Waits for the first message, or for the channel to close or the time to run out.
bool waitForGreeting(AutomationChannel &channel)
{
    QEventLoop loop;
    bool greeted = false;
    QObject::connect(&channel, &AutomationChannel::received, &loop,
                     [&](const QJsonObject &message) {
                         greeted = message.contains(QLatin1String("hello"));
                         loop.quit();
                     });
    QObject::connect(&channel, &AutomationChannel::disconnected, &loop, &QEventLoop::quit);
    QTimer::singleShot(GreetingTimeout, &loop, &QEventLoop::quit);
    if (!channel.isOpen())
        return false;
    loop.exec();
    return greeted;
}

} // namespace

AutomationObject::AutomationObject(std::unique_ptr<AutomationChannel> channel)
    : channel_(std::move(channel))
{}

AutomationObject::~AutomationObject()
{
    channel_->close();
}

QJsonValue AutomationObject::call(const QString &member, const QJsonArray &arguments)
{
    channel_->send(QJsonObject{{QStringLiteral("call"), member}, {QStringLiteral("args"), arguments}});

    QEventLoop loop;
    QJsonObject answer;
    bool answered = false;
    QObject::connect(channel_.get(), &AutomationChannel::received, &loop,
                     [&](const QJsonObject &message) {
                         if (!message.contains(QLatin1String("result")) &&
                             !message.contains(QLatin1String("error")))
                             return;
                         answer = message;
                         answered = true;
                         loop.quit();
                     });
    QObject::connect(channel_.get(), &AutomationChannel::disconnected, &loop, &QEventLoop::quit);
    if (channel_->isOpen())
        loop.exec();

    if (!answered)
        throw platform::vb::VbError(ObjectDisconnected, member,
                                    QStringLiteral("The object invoked has disconnected from its "
                                                   "clients."));
    if (answer.contains(QLatin1String("error"))) {
        const QJsonObject error = answer.value(QLatin1String("error")).toObject();
        throw platform::vb::VbError(error.value(QLatin1String("number")).toInt(),
                                    error.value(QLatin1String("source")).toString(),
                                    error.value(QLatin1String("description")).toString());
    }
    return answer.value(QLatin1String("result"));
}

std::unique_ptr<AutomationObject> CreateObject(const QString &progId)
{
    const QString server = serverForClass(progId);
    if (server.isEmpty())
        cannotCreate(QStringLiteral("the class \"") + progId +
                     QStringLiteral("\" is not registered in ") + classesFileName() +
                     QLatin1Char('.'));
    const RunCheck check = checkProgramFile(server);
    if (check.refusal != RunRefusal::None)
        refuse(server, check);

    int ends[2];
    if (socketpair(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0, ends) != 0)
        cannotCreate(QStringLiteral("no connection could be made (") +
                     QString::fromLocal8Bit(strerror(errno)) + QStringLiteral(")."));
    const StartResult started = startProcess(
        server, {QStringLiteral("--automation"), QStringLiteral("3")}, {true, ends[1]});
    close(ends[1]);
    auto channel = std::make_unique<AutomationChannel>(ends[0]);
    if (started.error != 0)
        refuse(server, explainStartFailure(server, started.error));
    if (!waitForGreeting(*channel))
        cannotCreate(QStringLiteral("its server \"") + server +
                     QStringLiteral("\" did not answer."));
    return std::make_unique<AutomationObject>(std::move(channel));
}

} // namespace platform::com
