#ifndef UPDATER_NETGRAB_H
#define UPDATER_NETGRAB_H

#include <cstdint>
#include <optional>

#include <QByteArray>
#include <QList>
#include <QPointer>
#include <QSslCertificate>
#include <QString>
#include <QTimer>
#include <QUrl>
#include <QWidget>

class QNetworkAccessManager;
class QNetworkReply;

namespace updater {

// Downloads one address into memory and saves it to a file. Every read is checked, and a read
// that fails a check ends in DownloadFailed with a description that names the check:
// - https with the peer's certificate verified against the system's store (and the authorities
//   added through addCaCertificates); certificate errors are never ignored;
// - plain http only to a loopback address, and only when allowLoopbackHttp is set;
// - at most MaxRedirects redirects, each checked as above, never from https to http;
// - a 2xx status, the identity encoding, a body as long as its Content-Length says;
// - at most maxBytes bytes, a byte at least every stallTimeout ms, done within deadline ms.
class NetGrab : public QWidget
{
    Q_OBJECT

public:
    static constexpr int MaxRedirects = 5;
    static constexpr qint64 DefaultMaxBytes = 256LL * 1024 * 1024;
    static constexpr int DefaultStallTimeout = 30 * 1000;
    static constexpr int DefaultDeadline = 30 * 60 * 1000;
    // DownloadFailed's number when a check failed (the others are the network's error codes).
    static constexpr int32_t CheckFailed = static_cast<int32_t>(0x800C0008u);

    explicit NetGrab(QWidget *parent = nullptr);
    ~NetGrab() override;

    bool Busy() const { return StartTick_ != 0; }
    QByteArray Bytes() const { return ReceivedData_; }
    int32_t Duration() const { return Duration_; }
    bool Success() const { return Success_; }
    void setSuccess(bool value) { Success_ = value; }

    // Mode: the read options; omitted, the read always goes to the network and nothing is cached.
    void DownloadStart(const QString &url, std::optional<int32_t> mode = std::nullopt);
    // Ends the running read without any further event.
    void DownloadCancel();
    // Writes the bytes of the last completed download to the file, replacing it atomically (the
    // old file stays when writing fails). False when there are no bytes or writing failed;
    // saveError() then says why writing failed.
    bool SaveAs(const QString &fileName);
    const QString &saveError() const { return saveError_; }

    qint64 maxBytes() const { return maxBytes_; }
    void setMaxBytes(qint64 bytes) { maxBytes_ = bytes; }
    int stallTimeout() const { return stallTimeout_; }
    void setStallTimeout(int milliseconds) { stallTimeout_ = milliseconds; }
    int deadline() const { return deadline_; }
    void setDeadline(int milliseconds) { deadline_ = milliseconds; }
    bool loopbackHttpAllowed() const { return loopbackHttp_; }
    void allowLoopbackHttp(bool allowed) { loopbackHttp_ = allowed; }

    // For tests only: authorities trusted besides the system's.
    void addCaCertificates(const QList<QSslCertificate> &certificates);

    QSize sizeHint() const override;

    // True for an address whose host is a literal loopback address.
    static bool isLoopback(const QUrl &url);

signals:
    void DownloadComplete(int32_t nBytes);
    void DownloadFailed(int32_t ErrNum, const QString &ErrDesc);
    void DownloadProgress(int32_t nBytes);

protected:
    void paintEvent(QPaintEvent *event) override;

private:
    // Empty when the address may be read; else why not.
    QString refusal(const QUrl &url) const;
    void onReadyRead();
    void sendRequest(std::optional<int32_t> mode);
    void followRedirect(const QUrl &target);
    // Drops the running request, leaving the read and its timers running.
    void dropReply();
    void onFinished();
    void fail(int32_t number, const QString &description);
    void complete();
    void endRead();
    void stopTimers();

    int32_t StartTick_ = 0;
    QByteArray ReceivedData_;
    int32_t ByteCount_ = 0;
    int32_t Duration_ = 0;
    bool Success_ = false;
    QString saveError_;

    QNetworkAccessManager *manager_ = nullptr;
    QPointer<QNetworkReply> reply_;
    QUrl current_;
    std::optional<int32_t> mode_;
    int redirects_ = 0;
    // No byte of the running read has arrived yet.
    bool freshRead_ = false;
    // Numbers the reads, so that the queued failure of a read that could not start reaches only
    // that read.
    quint64 generation_ = 0;
    QTimer stallTimer_;
    QTimer deadlineTimer_;
    qint64 maxBytes_ = DefaultMaxBytes;
    int stallTimeout_ = DefaultStallTimeout;
    int deadline_ = DefaultDeadline;
    bool loopbackHttp_ = false;
    QList<QSslCertificate> extraAuthorities_;
};

} // namespace updater

#endif
