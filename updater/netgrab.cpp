#include "updater/netgrab.h"

#include <algorithm>
#include <ctime>

#include <QHostAddress>
#include <QNetworkAccessManager>
#include <QNetworkReply>
#include <QNetworkRequest>
#include <QPainter>
#include <QPainterPath>
#include <QSslConfiguration>

#include "platform/win/wholefilewriter.h"

namespace updater {

namespace {

// The control's picture: a small download arrow over a tray.
constexpr QSize PictureSize(24, 24);

// Milliseconds of a monotonic clock in 32 bits; never 0, which means "no read".
int32_t tickCount()
{
    timespec now{};
    clock_gettime(CLOCK_MONOTONIC, &now);
    const auto ms = static_cast<uint32_t>(static_cast<uint64_t>(now.tv_sec) * 1000u +
                                          static_cast<uint64_t>(now.tv_nsec) / 1000000u);
    return ms == 0 ? 1 : static_cast<int32_t>(ms);
}

int32_t elapsedSince(int32_t start)
{
    const auto difference =
        static_cast<int32_t>(static_cast<uint32_t>(tickCount()) - static_cast<uint32_t>(start));
    return difference < 0 ? -difference : difference;
}

QNetworkRequest::CacheLoadControl cacheControl(int32_t mode)
{
    // The read options of the system's asynchronous read, as far as a cache is concerned.
    constexpr int32_t OfflineOperation = 0x8;
    constexpr int32_t ForceUpdate = 0x10;
    constexpr int32_t Resynchronize = 0x200;
    constexpr int32_t CacheIfNetFail = 0x80000;
    if (mode & (ForceUpdate | Resynchronize))
        return QNetworkRequest::AlwaysNetwork;
    if (mode & OfflineOperation)
        return QNetworkRequest::AlwaysCache;
    if (mode & CacheIfNetFail)
        return QNetworkRequest::PreferNetwork;
    return QNetworkRequest::PreferCache;
}

QString secondsText(int milliseconds)
{
    return QString::number(milliseconds / 1000.0, 'g', 6) + QStringLiteral(" s");
}

} // namespace

NetGrab::NetGrab(QWidget *parent) : QWidget(parent), manager_(new QNetworkAccessManager(this))
{
    setFixedSize(PictureSize);
    manager_->setStrictTransportSecurityEnabled(false);
    stallTimer_.setSingleShot(true);
    deadlineTimer_.setSingleShot(true);
    connect(&stallTimer_, &QTimer::timeout, this, [this] {
        fail(CheckFailed,
             QStringLiteral("Stalled: no data for ") + secondsText(stallTimeout_) +
                 QStringLiteral(" from ") + current_.toDisplayString());
    });
    connect(&deadlineTimer_, &QTimer::timeout, this, [this] {
        fail(CheckFailed, QStringLiteral("Deadline: the download took longer than ") +
                              secondsText(deadline_));
    });
}

NetGrab::~NetGrab()
{
    endRead();
}

QSize NetGrab::sizeHint() const
{
    return PictureSize;
}

void NetGrab::addCaCertificates(const QList<QSslCertificate> &certificates)
{
    extraAuthorities_.append(certificates);
    // A kept connection would go on with the trust it was made with.
    manager_->clearConnectionCache();
}

bool NetGrab::isLoopback(const QUrl &url)
{
    QHostAddress address;
    return address.setAddress(url.host()) && address.isLoopback();
}

QString NetGrab::refusal(const QUrl &url) const
{
    const QString scheme = url.scheme().toLower();
    if (!url.isValid() || url.host().isEmpty() ||
        (scheme != QLatin1String("https") && scheme != QLatin1String("http")))
        return QStringLiteral("Address: \"") + url.toString() +
               QStringLiteral("\" is no http or https address");
    if (scheme == QLatin1String("http") && !(loopbackHttp_ && isLoopback(url)))
        return QStringLiteral("Transport: plain http to \"") + url.host() +
               QStringLiteral("\" is refused; only https is used");
    return {};
}

void NetGrab::DownloadStart(const QString &url, std::optional<int32_t> mode)
{
    Success_ = false;
    if (url.isEmpty())
        return;
    if (StartTick_ != 0)
        DownloadCancel();
    Duration_ = 0;
    StartTick_ = tickCount();
    const quint64 generation = ++generation_;
    current_ = QUrl(url, QUrl::StrictMode);
    redirects_ = 0;
    freshRead_ = true;

    const QString refused = refusal(current_);
    if (!refused.isEmpty()) {
        // Nothing is sent: the failure arrives the way a network failure would.
        QMetaObject::invokeMethod(
            this,
            [this, generation, refused] {
                if (generation == generation_ && Busy())
                    fail(CheckFailed, refused);
            },
            Qt::QueuedConnection);
        return;
    }
    stallTimer_.start(stallTimeout_);
    deadlineTimer_.start(deadline_);
    sendRequest(mode);
}

void NetGrab::sendRequest(std::optional<int32_t> mode)
{
    QNetworkRequest request(current_);
    request.setRawHeader("Accept-Encoding", "identity");
    // Redirects are followed here, each after its target passed the checks.
    request.setAttribute(QNetworkRequest::RedirectPolicyAttribute,
                         QNetworkRequest::ManualRedirectPolicy);
    request.setAttribute(QNetworkRequest::CacheLoadControlAttribute,
                         mode ? cacheControl(*mode) : QNetworkRequest::AlwaysNetwork);
    request.setAttribute(QNetworkRequest::CacheSaveControlAttribute, mode.has_value());
    request.setAttribute(QNetworkRequest::Http2AllowedAttribute, false);
    QSslConfiguration tls = QSslConfiguration::defaultConfiguration();
    tls.setPeerVerifyMode(QSslSocket::VerifyPeer);
    if (!extraAuthorities_.isEmpty())
        tls.addCaCertificates(extraAuthorities_);
    request.setSslConfiguration(tls);

    QNetworkReply *reply = manager_->get(request);
    reply_ = reply;
    mode_ = mode;
    connect(reply, &QNetworkReply::readyRead, this, [this, reply] {
        if (reply == reply_)
            onReadyRead();
    });
    connect(reply, &QNetworkReply::finished, this, [this, reply] {
        if (reply == reply_)
            onFinished();
    });
}

void NetGrab::DownloadCancel()
{
    try {
        endRead();
        StartTick_ = 0;
    } catch (...) {
        // Cancelling never raises.
    }
}

void NetGrab::endRead()
{
    stopTimers();
    dropReply();
}

void NetGrab::dropReply()
{
    if (QNetworkReply *reply = reply_.data()) {
        reply_.clear();
        reply->disconnect(this);
        reply->abort();
        reply->deleteLater();
    }
}

void NetGrab::stopTimers()
{
    stallTimer_.stop();
    deadlineTimer_.stop();
}

void NetGrab::onReadyRead()
{
    const int status = reply_->attribute(QNetworkRequest::HttpStatusCodeAttribute).toInt();
    if (status >= 300 && status <= 399 &&
        reply_->attribute(QNetworkRequest::RedirectionTargetAttribute).isValid()) {
        // A redirect's own body is no part of the download.
        reply_->readAll();
        return;
    }
    const qint64 announced = reply_->header(QNetworkRequest::ContentLengthHeader).toLongLong();
    if (announced > maxBytes_) {
        fail(CheckFailed, QStringLiteral("Size: ") + QString::number(announced) +
                              QStringLiteral(" bytes announced, at most ") +
                              QString::number(maxBytes_) + QStringLiteral(" allowed"));
        return;
    }
    if (freshRead_) {
        // The last download's bytes stay readable until this one delivers its first.
        ReceivedData_.clear();
        if (announced > 0)
            ReceivedData_.reserve(announced);
        freshRead_ = false;
    }
    // Straight into the array: no copy of what has arrived before, none of the chunk.
    const qint64 available = reply_->bytesAvailable();
    const qsizetype before = ReceivedData_.size();
    ReceivedData_.resize(before + available);
    const qint64 got = reply_->read(ReceivedData_.data() + before, available);
    ReceivedData_.resize(before + std::max<qint64>(got, 0));
    if (ReceivedData_.size() > maxBytes_) {
        fail(CheckFailed, QStringLiteral("Size: more than ") + QString::number(maxBytes_) +
                              QStringLiteral(" bytes"));
        return;
    }
    stallTimer_.start(stallTimeout_);
    ByteCount_ = static_cast<int32_t>(ReceivedData_.size());
    emit DownloadProgress(ByteCount_);
}

void NetGrab::followRedirect(const QUrl &target)
{
    const QUrl from = current_;
    if (++redirects_ > MaxRedirects) {
        fail(CheckFailed, QStringLiteral("Redirects: more than ") + QString::number(MaxRedirects));
        return;
    }
    if (from.scheme().toLower() == QLatin1String("https") &&
        target.scheme().toLower() != QLatin1String("https")) {
        fail(CheckFailed, QStringLiteral("Redirect: from https to \"") + target.toString() +
                              QStringLiteral("\" is refused"));
        return;
    }
    const QString refused = refusal(target);
    if (!refused.isEmpty()) {
        fail(CheckFailed, QStringLiteral("Redirect: ") + refused);
        return;
    }
    current_ = target;
    // Bytes of a redirect's own body are not the download.
    freshRead_ = true;
    dropReply();
    stallTimer_.start(stallTimeout_);
    sendRequest(mode_);
}

void NetGrab::onFinished()
{
    QNetworkReply *reply = reply_.data();
    if (reply->bytesAvailable() > 0) {
        onReadyRead();
        if (reply_ != reply)
            return;
    }
    const int status = reply->attribute(QNetworkRequest::HttpStatusCodeAttribute).toInt();
    const QVariant location = reply->attribute(QNetworkRequest::RedirectionTargetAttribute);
    if (status >= 300 && status <= 399 && location.isValid()) {
        followRedirect(current_.resolved(location.toUrl()));
        return;
    }
    if (reply->error() != QNetworkReply::NoError && status == 0) {
        fail(static_cast<int32_t>(reply->error()), reply->errorString());
        return;
    }
    if (status < 200 || status > 299) {
        fail(CheckFailed, QStringLiteral("Status: the server answered ") +
                              QString::number(status) + QLatin1Char(' ') +
                              reply->attribute(QNetworkRequest::HttpReasonPhraseAttribute)
                                  .toString());
        return;
    }
    if (reply->error() != QNetworkReply::NoError) {
        fail(static_cast<int32_t>(reply->error()), reply->errorString());
        return;
    }
    const QByteArray encoding = reply->rawHeader("Content-Encoding").trimmed().toLower();
    if (!encoding.isEmpty() && encoding != "identity") {
        fail(CheckFailed, QStringLiteral("Encoding: \"") + QString::fromLatin1(encoding) +
                              QStringLiteral("\" where identity was asked"));
        return;
    }
    bool announced = false;
    const qint64 length = reply->rawHeader("Content-Length").trimmed().toLongLong(&announced);
    if (announced && length != ReceivedData_.size()) {
        fail(CheckFailed, QStringLiteral("Length: ") + QString::number(ReceivedData_.size()) +
                              QStringLiteral(" bytes received, Content-Length ") +
                              QString::number(length));
        return;
    }
    complete();
}

void NetGrab::complete()
{
    Duration_ = elapsedSince(StartTick_);
    endRead();
    if (freshRead_)
        ReceivedData_.clear();
    ByteCount_ = static_cast<int32_t>(ReceivedData_.size());
    emit DownloadComplete(ByteCount_);
    Success_ = true;
    StartTick_ = 0;
}

void NetGrab::fail(int32_t number, const QString &description)
{
    Duration_ = elapsedSince(StartTick_);
    endRead();
    ReceivedData_.clear();
    ByteCount_ = 0;
    emit DownloadFailed(number, description);
    StartTick_ = 0;
}

bool NetGrab::SaveAs(const QString &fileName)
{
    saveError_.clear();
    if (ByteCount_ == 0)
        return false;
    // The files are scratch files, used at once and removed: not worth a wait for the disk.
    platform::win::WholeFileWriter file(fileName);
    file.setDurable(false);
    if (file.open() && file.write(ReceivedData_) && file.commit())
        return true;
    saveError_ = file.errorString();
    return false;
}

void NetGrab::paintEvent(QPaintEvent *)
{
    QPainter painter(this);
    painter.setRenderHint(QPainter::Antialiasing);
    const QColor ink(0x20, 0x50, 0x90);
    painter.setPen(QPen(ink, 2));
    painter.drawLine(QPointF(12, 3), QPointF(12, 14));
    QPainterPath head;
    head.moveTo(6, 10);
    head.lineTo(12, 16);
    head.lineTo(18, 10);
    painter.drawPath(head);
    painter.drawPolyline(QPolygonF({QPointF(3, 15), QPointF(3, 21), QPointF(21, 21), QPointF(21, 15)}));
}

} // namespace updater
