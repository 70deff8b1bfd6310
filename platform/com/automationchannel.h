#ifndef PLATFORM_COM_AUTOMATIONCHANNEL_H
#define PLATFORM_COM_AUTOMATIONCHANNEL_H

#include <sys/types.h>

#include <QByteArray>
#include <QJsonObject>
#include <QObject>

class QLocalSocket;

namespace platform::com {

// One end of the connected socket pair between a caller and its server: compact UTF-8 JSON
// objects, one a line, each way. Lines that are no JSON object are dropped; a line longer than
// MaxLineLength closes the channel.
class AutomationChannel : public QObject
{
    Q_OBJECT

public:
    static constexpr qsizetype MaxLineLength = 64 * 1024;

    // Takes over the socket descriptor (closed with the channel).
    explicit AutomationChannel(int descriptor, QObject *parent = nullptr);
    ~AutomationChannel() override;

    bool isOpen() const;
    void send(const QJsonObject &message);
    // Waits until everything sent has left (a server about to end).
    void flush();
    void close();

    // The process that made the socket pair, from the socket's peer credentials; -1 if unknown.
    pid_t peerPid() const;

signals:
    void received(const QJsonObject &message);
    void disconnected();

private:
    void readLines();

    QLocalSocket *socket_ = nullptr;
    QByteArray pending_;
    int descriptor_ = -1;
};

} // namespace platform::com

#endif
