#ifndef PLATFORM_COM_AUTOMATIONSERVER_H
#define PLATFORM_COM_AUTOMATIONSERVER_H

#include <functional>
#include <memory>
#include <optional>
#include <sys/types.h>

#include <QJsonArray>
#include <QJsonValue>
#include <QObject>
#include <QStringList>

namespace platform::com {

class AutomationChannel;

// The serving end: greets the caller on the inherited descriptor, then runs each call through
// the handler and answers with its result, or with the VbError it raised. One call at a time: a
// call that arrives while one runs is refused with CallRejected.
class AutomationServer : public QObject
{
    Q_OBJECT

public:
    // callerPid is the process that made the socket pair (from the peer credentials).
    using Handler =
        std::function<QJsonValue(const QString &member, const QJsonArray &arguments, pid_t callerPid)>;

    AutomationServer(int descriptor, Handler handler, QObject *parent = nullptr);
    ~AutomationServer() override;

    bool callRunning() const { return running_; }
    // Waits until every answer has left.
    void flush();

    // The descriptor given as "--automation <fd>", if any.
    static std::optional<int> automationDescriptor(const QStringList &arguments);

signals:
    // A call has been answered: with a result (error false) or with an error.
    void answered(const QJsonValue &result, bool error);
    // The caller closed its end (released the object or ended).
    void callerGone();

private:
    void dispatch(const QJsonObject &message);

    std::unique_ptr<AutomationChannel> channel_;
    Handler handler_;
    bool running_ = false;
};

} // namespace platform::com

#endif
