#ifndef TESTS_SUPPORT_HTTPFIXTURE_H
#define TESTS_SUPPORT_HTTPFIXTURE_H

#include <map>
#include <memory>
#include <mutex>

#include <QByteArray>
#include <QList>
#include <QPair>
#include <QString>
#include <QThread>
#include <QUrl>

class QTcpServer;

namespace testsupport {

// What the fixture answers for one path.
struct FixtureResponse
{
    enum class Kind
    {
        Normal,
        // Announces the body's length but sends only its first half, then closes.
        Truncated,
        // Sends the headers and the first half of the body, then nothing more.
        Stalled,
        // Sends bytes without end and without a length.
        Endless,
        // The same, a little every 10 ms: never stalls, and no size limit is reached soon.
        Trickle,
    };

    int status = 200;
    QByteArray body;
    QList<QPair<QByteArray, QByteArray>> headers;
    Kind kind = Kind::Normal;
    // Sets status 302 with this Location.
    static FixtureResponse redirect(const QByteArray &location);
};

// A loopback HTTP server on a port of its own (port 0), serving from its own thread, so that a
// test may block while it answers. With tls it speaks HTTPS with the self-signed test
// certificate (testCertificateFile) for 127.0.0.1.
class HttpFixture
{
public:
    explicit HttpFixture(bool tls = false);
    ~HttpFixture();
    HttpFixture(const HttpFixture &) = delete;
    HttpFixture &operator=(const HttpFixture &) = delete;

    void serve(const QString &path, FixtureResponse response);
    void serve(const QString &path, const QByteArray &body);

    quint16 port() const { return port_; }
    // scheme://127.0.0.1:port + path
    QUrl url(const QString &path) const;
    QString base() const;

    int connections() const;
    // Paths requested, in order.
    QStringList requests() const;
    // The headers of the last request, names in lower case.
    QList<QPair<QByteArray, QByteArray>> lastHeaders() const;

    static QString testCertificateFile();
    static QString testKeyFile();

private:
    friend class FixtureWorker;
    struct State
    {
        mutable std::mutex mutex;
        std::map<QString, FixtureResponse> routes;
        int connections = 0;
        QStringList requests;
        QList<QPair<QByteArray, QByteArray>> lastHeaders;
    };

    std::shared_ptr<State> state_;
    std::unique_ptr<QObject> context_;
    QThread thread_;
    QTcpServer *server_ = nullptr;
    quint16 port_ = 0;
    bool tls_ = false;
};

} // namespace testsupport

#endif
