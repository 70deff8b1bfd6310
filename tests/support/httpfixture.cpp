#include "httpfixture.h"

#include <QFile>
#include <QSslCertificate>
#include <QSslConfiguration>
#include <QSslKey>
#include <QSslServer>
#include <QSslSocket>
#include <QTcpServer>
#include <QTcpSocket>
#include <QTimer>

namespace testsupport {

FixtureResponse FixtureResponse::redirect(const QByteArray &location)
{
    FixtureResponse response;
    response.status = 302;
    response.headers = {{"Location", location}};
    response.body = "<html><body>Moved</body></html>";
    return response;
}

// One connection: reads the request, answers it from the routes.
class FixtureWorker : public QObject
{
public:
    FixtureWorker(QTcpSocket *socket, std::shared_ptr<HttpFixture::State> state)
        : QObject(socket), socket_(socket), state_(std::move(state))
    {
        connect(socket, &QTcpSocket::readyRead, this, [this] { readRequest(); });
        connect(socket, &QTcpSocket::disconnected, socket, &QObject::deleteLater);
    }

private:
    // Requests on one connection are answered in turn (the client may keep it), until a
    // response that ends or stops the connection.
    void readRequest()
    {
        request_.append(socket_->readAll());
        qsizetype end;
        while (!finished_ && (end = request_.indexOf("\r\n\r\n")) >= 0) {
            const QByteArray head = request_.left(end);
            request_.remove(0, end + 4);
            answerRequest(head);
        }
    }

    void answerRequest(const QByteArray &request)
    {
        const QList<QByteArray> lines = request.split('\n');
        const QList<QByteArray> first = lines.value(0).trimmed().split(' ');
        const QString path = QString::fromLatin1(first.value(1));
        QList<QPair<QByteArray, QByteArray>> headers;
        for (qsizetype i = 1; i < lines.size(); ++i) {
            const qsizetype colon = lines.at(i).indexOf(':');
            if (colon > 0)
                headers.append({lines.at(i).left(colon).trimmed().toLower(),
                                lines.at(i).mid(colon + 1).trimmed()});
        }
        FixtureResponse response;
        {
            std::lock_guard lock(state_->mutex);
            state_->requests.append(path);
            state_->lastHeaders = headers;
            const auto found = state_->routes.find(path);
            if (found == state_->routes.end()) {
                response.status = 404;
                response.body = "<html><body>Not Found</body></html>";
            } else {
                response = found->second;
            }
        }
        answer(response);
    }

    void answer(const FixtureResponse &response)
    {
        QByteArray head = "HTTP/1.1 " + QByteArray::number(response.status) + " Fixture\r\n";
        for (const auto &[name, value] : response.headers)
            head += name + ": " + value + "\r\n";
        const bool open = response.kind == FixtureResponse::Kind::Endless ||
                          response.kind == FixtureResponse::Kind::Trickle;
        if (!open)
            head += "Content-Length: " + QByteArray::number(response.body.size()) + "\r\n";
        finished_ = response.kind != FixtureResponse::Kind::Normal;
        head += finished_ ? "Connection: close\r\n\r\n" : "\r\n";
        socket_->write(head);
        switch (response.kind) {
        case FixtureResponse::Kind::Normal:
            socket_->write(response.body);
            break;
        case FixtureResponse::Kind::Truncated:
            socket_->write(response.body.left(response.body.size() / 2));
            socket_->disconnectFromHost();
            break;
        case FixtureResponse::Kind::Stalled:
            socket_->write(response.body.left(response.body.size() / 2));
            break;
        case FixtureResponse::Kind::Endless:
            connect(socket_, &QTcpSocket::bytesWritten, this, [this] {
                if (socket_->bytesToWrite() < 65536)
                    socket_->write(QByteArray(65536, 'x'));
            });
            socket_->write(QByteArray(65536, 'x'));
            break;
        case FixtureResponse::Kind::Trickle: {
            auto *trickle = new QTimer(this);
            connect(trickle, &QTimer::timeout, this,
                    [this] { socket_->write(QByteArray(1024, 'x')); });
            trickle->start(10);
            break;
        }
        }
    }

    QTcpSocket *socket_;
    std::shared_ptr<HttpFixture::State> state_;
    QByteArray request_;
    // No further request is read once a response has ended or stopped the connection.
    bool finished_ = false;
};

HttpFixture::HttpFixture(bool tls)
    : state_(std::make_shared<State>()), context_(std::make_unique<QObject>()), tls_(tls)
{
    context_->moveToThread(&thread_);
    thread_.start();
    // The server is made and listens on the fixture's thread.
    QMetaObject::invokeMethod(
        context_.get(),
        [this] {
            if (tls_) {
                auto *server = new QSslServer;
                QSslConfiguration configuration = QSslConfiguration::defaultConfiguration();
                QFile certificate(testCertificateFile());
                QFile key(testKeyFile());
                certificate.open(QIODevice::ReadOnly);
                key.open(QIODevice::ReadOnly);
                configuration.setLocalCertificate(QSslCertificate(&certificate, QSsl::Pem));
                configuration.setPrivateKey(QSslKey(&key, QSsl::Ec, QSsl::Pem));
                configuration.setPeerVerifyMode(QSslSocket::VerifyNone);
                server->setSslConfiguration(configuration);
                server_ = server;
            } else {
                server_ = new QTcpServer;
            }
            QObject::connect(server_, &QTcpServer::pendingConnectionAvailable, server_, [this] {
                while (QTcpSocket *socket = server_->nextPendingConnection()) {
                    {
                        std::lock_guard lock(state_->mutex);
                        ++state_->connections;
                    }
                    new FixtureWorker(socket, state_);
                }
            });
            server_->listen(QHostAddress::LocalHost, 0);
            port_ = server_->serverPort();
        },
        Qt::BlockingQueuedConnection);
}

HttpFixture::~HttpFixture()
{
    QMetaObject::invokeMethod(
        context_.get(), [this] { delete server_; }, Qt::BlockingQueuedConnection);
    thread_.quit();
    thread_.wait();
}

void HttpFixture::serve(const QString &path, FixtureResponse response)
{
    std::lock_guard lock(state_->mutex);
    state_->routes[path] = std::move(response);
}

void HttpFixture::serve(const QString &path, const QByteArray &body)
{
    FixtureResponse response;
    response.body = body;
    serve(path, std::move(response));
}

QUrl HttpFixture::url(const QString &path) const
{
    return QUrl(base() + path);
}

QString HttpFixture::base() const
{
    return (tls_ ? QStringLiteral("https://127.0.0.1:") : QStringLiteral("http://127.0.0.1:")) +
           QString::number(port_);
}

int HttpFixture::connections() const
{
    std::lock_guard lock(state_->mutex);
    return state_->connections;
}

QStringList HttpFixture::requests() const
{
    std::lock_guard lock(state_->mutex);
    return state_->requests;
}

QList<QPair<QByteArray, QByteArray>> HttpFixture::lastHeaders() const
{
    std::lock_guard lock(state_->mutex);
    return state_->lastHeaders;
}

QString HttpFixture::testCertificateFile()
{
    return QStringLiteral(HXR_TEST_TLS_DIR "/fixture-cert.pem");
}

QString HttpFixture::testKeyFile()
{
    return QStringLiteral(HXR_TEST_TLS_DIR "/fixture-key.pem");
}

} // namespace testsupport
