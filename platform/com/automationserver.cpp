#include "platform/com/automationserver.h"

#include <QCoreApplication>
#include <QJsonObject>

#include "platform/com/automationchannel.h"
#include "platform/com/comerrors.h"
#include "platform/vb/vberror.h"

namespace platform::com {

namespace {

QJsonObject errorAnswer(int number, const QString &source, const QString &description)
{
    return {{QStringLiteral("error"), QJsonObject{{QStringLiteral("number"), number},
                                                  {QStringLiteral("source"), source},
                                                  {QStringLiteral("description"), description}}}};
}

} // namespace

AutomationServer::AutomationServer(int descriptor, Handler handler, QObject *parent)
    : QObject(parent), channel_(std::make_unique<AutomationChannel>(descriptor)),
      handler_(std::move(handler))
{
    connect(channel_.get(), &AutomationChannel::received, this, &AutomationServer::dispatch);
    connect(channel_.get(), &AutomationChannel::disconnected, this, &AutomationServer::callerGone);
    channel_->send({{QStringLiteral("hello"), QCoreApplication::applicationName()}});
}

AutomationServer::~AutomationServer() = default;

void AutomationServer::flush()
{
    channel_->flush();
}

std::optional<int> AutomationServer::automationDescriptor(const QStringList &arguments)
{
    const qsizetype at = arguments.indexOf(QStringLiteral("--automation"));
    if (at < 0 || at + 1 >= arguments.size())
        return std::nullopt;
    bool ok = false;
    const int descriptor = arguments.at(at + 1).toInt(&ok);
    if (!ok || descriptor < 0)
        return std::nullopt;
    return descriptor;
}

void AutomationServer::dispatch(const QJsonObject &message)
{
    const QString member = message.value(QLatin1String("call")).toString();
    if (member.isEmpty())
        return;
    if (running_) {
        channel_->send(errorAnswer(CallRejected, member,
                                   QStringLiteral("A call is already running.")));
        return;
    }
    running_ = true;
    QJsonObject answer;
    bool failed = false;
    try {
        answer = {{QStringLiteral("result"),
                   handler_(member, message.value(QLatin1String("args")).toArray(),
                            channel_->peerPid())}};
    } catch (const platform::vb::VbError &error) {
        answer = errorAnswer(error.number(), error.source(), error.description());
        failed = true;
    } catch (const std::exception &error) {
        answer = errorAnswer(platform::vb::VbError::InvalidCall, member,
                             QString::fromLocal8Bit(error.what()));
        failed = true;
    }
    running_ = false;
    channel_->send(answer);
    emit answered(failed ? answer.value(QLatin1String("error")) : answer.value(QLatin1String("result")),
                  failed);
}

} // namespace platform::com
