#include "platform/com/automationchannel.h"

#include <sys/socket.h>

#include <QJsonDocument>
#include <QLocalSocket>

namespace platform::com {

AutomationChannel::AutomationChannel(int descriptor, QObject *parent)
    : QObject(parent), socket_(new QLocalSocket(this)), descriptor_(descriptor)
{
    connect(socket_, &QLocalSocket::readyRead, this, &AutomationChannel::readLines);
    connect(socket_, &QLocalSocket::disconnected, this, &AutomationChannel::disconnected);
    if (!socket_->setSocketDescriptor(descriptor, QLocalSocket::ConnectedState,
                                      QLocalSocket::ReadWrite))
        descriptor_ = -1;
}

AutomationChannel::~AutomationChannel()
{
    // No disconnect signal from a channel that is going away.
    socket_->disconnect(this);
}

bool AutomationChannel::isOpen() const
{
    return socket_->state() == QLocalSocket::ConnectedState;
}

void AutomationChannel::send(const QJsonObject &message)
{
    if (!isOpen())
        return;
    socket_->write(QJsonDocument(message).toJson(QJsonDocument::Compact) + '\n');
}

void AutomationChannel::flush()
{
    while (isOpen() && socket_->bytesToWrite() > 0 && socket_->waitForBytesWritten(1000)) {
    }
}

void AutomationChannel::close()
{
    socket_->abort();
}

pid_t AutomationChannel::peerPid() const
{
    if (descriptor_ < 0)
        return -1;
    ucred credentials{};
    socklen_t length = sizeof credentials;
    if (getsockopt(descriptor_, SOL_SOCKET, SO_PEERCRED, &credentials, &length) != 0)
        return -1;
    return credentials.pid;
}

void AutomationChannel::readLines()
{
    pending_.append(socket_->readAll());
    qsizetype end;
    while ((end = pending_.indexOf('\n')) >= 0) {
        const QByteArray line = pending_.left(end);
        pending_.remove(0, end + 1);
        QJsonParseError error{};
        const QJsonDocument document = QJsonDocument::fromJson(line, &error);
        if (error.error == QJsonParseError::NoError && document.isObject())
            emit received(document.object());
        if (!isOpen())
            return;
    }
    if (pending_.size() > MaxLineLength) {
        pending_.clear();
        socket_->abort();
    }
}

} // namespace platform::com
