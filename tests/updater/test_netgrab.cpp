#include "updater/netgrab.h"

#include <cerrno>
#include <cstring>

#include <QFile>
#include <QNetworkAccessManager>
#include <QNetworkProxy>
#include <QNetworkReply>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>

#include <gmock/gmock.h>

#include "httpfixture.h"
#include "support/ordinaryuser.h"
#include "support/smallfilesystem.h"

namespace {

using testing::HasSubstr;
using testsupport::FixtureResponse;
using testsupport::HttpFixture;
using updater::NetGrab;

constexpr int Patience = 30000;

struct Events
{
    explicit Events(NetGrab &grab)
        : complete(&grab, &NetGrab::DownloadComplete), failed(&grab, &NetGrab::DownloadFailed),
          progress(&grab, &NetGrab::DownloadProgress)
    {}

    // Waits for the running download to end; true when it completed.
    bool waitEnd(NetGrab &grab)
    {
        EXPECT_TRUE(QTest::qWaitFor([&] { return !grab.Busy(); }, Patience));
        return complete.count() > 0;
    }
    QString failure() const
    {
        return failed.isEmpty() ? QString() : failed.last().at(1).toString();
    }

    QSignalSpy complete;
    QSignalSpy failed;
    QSignalSpy progress;
};

class NetGrabTest : public testing::Test
{
protected:
    NetGrabTest() { grab_.allowLoopbackHttp(true); }

    QString download(const QString &path)
    {
        Events events(grab_);
        grab_.DownloadStart(http_.url(path).toString());
        events.waitEnd(grab_);
        return events.failure();
    }

    HttpFixture http_;
    NetGrab grab_;
};

TEST_F(NetGrabTest, DownloadDeliversTheBodyAndItsEvents)
{
    const QByteArray body(200000, 'b');
    http_.serve(QStringLiteral("/file"), body);
    Events events(grab_);
    grab_.DownloadStart(http_.url(QStringLiteral("/file")).toString());
    EXPECT_TRUE(grab_.Busy());
    EXPECT_EQ(grab_.Duration(), 0);
    ASSERT_TRUE(events.waitEnd(grab_)) << events.failure().toStdString();

    EXPECT_TRUE(grab_.Success());
    EXPECT_EQ(grab_.Bytes(), body);
    EXPECT_EQ(events.complete.count(), 1);
    EXPECT_EQ(events.complete.first().at(0).toInt(), body.size());
    ASSERT_FALSE(events.progress.isEmpty());
    EXPECT_EQ(events.progress.last().at(0).toInt(), body.size());
    EXPECT_GE(grab_.Duration(), 0);
    EXPECT_THAT(http_.lastHeaders(),
                testing::Contains(testing::Pair(QByteArray("accept-encoding"), QByteArray("identity"))));
}

TEST_F(NetGrabTest, EmptyAddressClearsOnlySuccess)
{
    http_.serve(QStringLiteral("/file"), QByteArray("abc"));
    ASSERT_TRUE(download(QStringLiteral("/file")).isEmpty());
    const int32_t duration = grab_.Duration();
    Events events(grab_);
    grab_.DownloadStart(QString());
    EXPECT_FALSE(grab_.Success());
    EXPECT_FALSE(grab_.Busy());
    EXPECT_EQ(grab_.Bytes(), QByteArray("abc"));
    EXPECT_EQ(grab_.Duration(), duration);
    QCoreApplication::processEvents();
    EXPECT_TRUE(events.complete.isEmpty() && events.failed.isEmpty());
    grab_.setSuccess(true);
    EXPECT_TRUE(grab_.Success());
}

TEST_F(NetGrabTest, SaveAsReplacesTheFileOrLeavesItAlone)
{
    QTemporaryDir dir;
    const QString target = dir.filePath(QStringLiteral("TMP1"));
    QFile file(target);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write("old contents that are longer");
    file.close();
    file.setPermissions(QFile::ReadOwner | QFile::WriteOwner);

    http_.serve(QStringLiteral("/empty"), QByteArray());
    ASSERT_TRUE(download(QStringLiteral("/empty")).isEmpty());
    EXPECT_FALSE(grab_.SaveAs(target));
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    EXPECT_EQ(file.readAll(), QByteArray("old contents that are longer"));
    file.close();

    http_.serve(QStringLiteral("/new"), QByteArray("new"));
    ASSERT_TRUE(download(QStringLiteral("/new")).isEmpty());
    EXPECT_TRUE(grab_.SaveAs(target));
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    EXPECT_EQ(file.readAll(), QByteArray("new"));
    file.close();
    EXPECT_EQ(file.permissions() & (QFile::ReadOwner | QFile::WriteOwner | QFile::ReadOther |
                                    QFile::WriteOther | QFile::ReadGroup),
              QFile::ReadOwner | QFile::WriteOwner);

    EXPECT_FALSE(grab_.SaveAs(dir.filePath(QStringLiteral("missing/folder/file"))));
}

TEST_F(NetGrabTest, SaveAsOntoAFullDiskFailsWithTheCauseAndKeepsTheOldFile)
{
    testsupport::SmallFileSystem disk;
    SKIP_UNLESS_MOUNTED(disk);
    const QString target = disk.filePath(QStringLiteral("TMP1"));
    QFile file(target);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write("old");
    file.close();
    ASSERT_TRUE(disk.fill(8192));

    http_.serve(QStringLiteral("/installer"), QByteArray(40000, 'i'));
    ASSERT_TRUE(download(QStringLiteral("/installer")).isEmpty());
    EXPECT_FALSE(grab_.SaveAs(target));
    EXPECT_EQ(grab_.saveError(), QString::fromLocal8Bit(std::strerror(ENOSPC)));
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    EXPECT_EQ(file.readAll(), QByteArray("old"));
    file.close();
    EXPECT_EQ(disk.entries(), QStringList{QStringLiteral("TMP1")});

    EXPECT_FALSE(grab_.SaveAs(disk.filePath(QStringLiteral("missing/TMP2"))));
    EXPECT_EQ(grab_.saveError(), QString::fromLocal8Bit(std::strerror(ENOENT)));
}

// As an ordinary user (root passes every permission bit), a read-only file is refused with the
// system's cause and kept as it was.
TEST_F(NetGrabTest, SaveAsRefusesAReadOnlyFileWithTheSystemsCause)
{
    QTemporaryDir dir;
    const QString target = dir.filePath(QStringLiteral("TMP1"));
    QFile file(target);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write("old");
    file.close();
    ASSERT_TRUE(file.setPermissions(QFile::ReadOwner));
    ASSERT_TRUE(testsupport::OrdinaryFileUser::own(dir.path()));
    ASSERT_TRUE(testsupport::OrdinaryFileUser::own(target));
    http_.serve(QStringLiteral("/new"), QByteArray("new"));
    ASSERT_TRUE(download(QStringLiteral("/new")).isEmpty());
    bool saved = true;
    {
        const testsupport::OrdinaryFileUser user;
        SKIP_UNLESS_ORDINARY(user);
        saved = grab_.SaveAs(target);
    }
    EXPECT_FALSE(saved);
    EXPECT_EQ(grab_.saveError(), QString::fromLocal8Bit(std::strerror(EACCES)));
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    EXPECT_EQ(file.readAll(), QByteArray("old"));
}

TEST_F(NetGrabTest, SecondStartReportsOnlyTheSecondDownload)
{
    FixtureResponse stalled;
    stalled.kind = FixtureResponse::Kind::Stalled;
    stalled.body = QByteArray(1000, 's');
    http_.serve(QStringLiteral("/slow"), stalled);
    http_.serve(QStringLiteral("/fast"), QByteArray("fast"));

    Events events(grab_);
    grab_.DownloadStart(http_.url(QStringLiteral("/slow")).toString());
    QTRY_VERIFY_WITH_TIMEOUT(!events.progress.isEmpty(), Patience);
    events.progress.clear();
    grab_.DownloadStart(http_.url(QStringLiteral("/fast")).toString());
    ASSERT_TRUE(events.waitEnd(grab_)) << events.failure().toStdString();
    EXPECT_EQ(events.complete.count(), 1);
    EXPECT_EQ(events.complete.first().at(0).toInt(), 4);
    EXPECT_TRUE(events.failed.isEmpty());
    for (const QList<QVariant> &progress : events.progress)
        EXPECT_LE(progress.at(0).toInt(), 4);
    EXPECT_EQ(grab_.Bytes(), QByteArray("fast"));
}

TEST_F(NetGrabTest, EveryCheckEndsInDownloadFailed)
{
    auto response = [](FixtureResponse::Kind kind, QByteArray body) {
        FixtureResponse r;
        r.kind = kind;
        r.body = std::move(body);
        return r;
    };
    FixtureResponse gzip;
    gzip.body = "compressed";
    gzip.headers = {{"Content-Encoding", "gzip"}};
    http_.serve(QStringLiteral("/truncated"),
                response(FixtureResponse::Kind::Truncated, QByteArray(4000, 't')));
    http_.serve(QStringLiteral("/stalled"),
                response(FixtureResponse::Kind::Stalled, QByteArray(4000, 's')));
    http_.serve(QStringLiteral("/endless"), response(FixtureResponse::Kind::Endless, {}));
    http_.serve(QStringLiteral("/trickle"), response(FixtureResponse::Kind::Trickle, {}));
    http_.serve(QStringLiteral("/large"), QByteArray(5000, 'l'));
    http_.serve(QStringLiteral("/gzip"), gzip);
    http_.serve(QStringLiteral("/away"), FixtureResponse::redirect("http://example.invalid/x"));
    for (int i = 0; i < 6; ++i)
        http_.serve(QStringLiteral("/hop%1").arg(i),
                    FixtureResponse::redirect(QStringLiteral("/hop%1").arg(i + 1).toLatin1()));
    http_.serve(QStringLiteral("/hop6"), QByteArray("end"));

    grab_.setMaxBytes(4096);
    // Only the stalled server waits for the short stall limit: an answer that is merely slow on
    // a busy machine still gets to say what it says.
    constexpr int ShortStall = 300;
    struct Case
    {
        const char *path;
        testing::Matcher<std::string> reason;
        int stallTimeout = NetGrab::DefaultStallTimeout;
    };
    const Case cases[] = {
        {"/missing", HasSubstr("Status: the server answered 404")},
        // The network layer or the length check may be the first to see the cut.
        {"/truncated",
         testing::AnyOf(HasSubstr("Connection closed"),
                        HasSubstr("Length: 2000 bytes received, Content-Length 4000"))},
        {"/stalled", HasSubstr("Stalled: no data for 0.3 s"), ShortStall},
        {"/endless", HasSubstr("Size: more than 4096 bytes")},
        {"/large", HasSubstr("Size: 5000 bytes announced")},
        {"/gzip", HasSubstr("Encoding")},
        {"/away", HasSubstr("Redirect: Transport")},
        {"/hop0", HasSubstr("Redirects: more than 5")},
    };
    for (const Case &c : cases) {
        grab_.setStallTimeout(c.stallTimeout);
        Events events(grab_);
        grab_.DownloadStart(http_.url(QString::fromLatin1(c.path)).toString());
        EXPECT_FALSE(events.waitEnd(grab_)) << c.path;
        ASSERT_EQ(events.failed.count(), 1) << c.path;
        EXPECT_THAT(events.failure().toStdString(), c.reason) << c.path;
        EXPECT_FALSE(grab_.Success());
        EXPECT_FALSE(grab_.SaveAs(QStringLiteral("/nonexistent/never")));
    }
    grab_.setStallTimeout(NetGrab::DefaultStallTimeout);
    EXPECT_FALSE(http_.requests().contains(QStringLiteral("/hop6")));

    // Five redirects are allowed; a read that goes on past the deadline is not.
    Events fiveHops(grab_);
    grab_.DownloadStart(http_.url(QStringLiteral("/hop1")).toString());
    EXPECT_TRUE(fiveHops.waitEnd(grab_)) << fiveHops.failure().toStdString();
    EXPECT_EQ(grab_.Bytes(), QByteArray("end"));

    grab_.setMaxBytes(NetGrab::DefaultMaxBytes);
    grab_.setDeadline(300);
    Events late(grab_);
    grab_.DownloadStart(http_.url(QStringLiteral("/trickle")).toString());
    EXPECT_FALSE(late.waitEnd(grab_));
    EXPECT_THAT(late.failure().toStdString(), HasSubstr("Deadline"));
}

TEST_F(NetGrabTest, RedirectWithinTheServerIsFollowed)
{
    http_.serve(QStringLiteral("/old"), FixtureResponse::redirect("/new"));
    http_.serve(QStringLiteral("/new"), QByteArray("arrived"));
    QSignalSpy progress(&grab_, &NetGrab::DownloadProgress);
    EXPECT_TRUE(download(QStringLiteral("/old")).isEmpty());
    ASSERT_FALSE(progress.isEmpty());
    EXPECT_EQ(progress.first().at(0).toInt(), 7);
    // The redirect's own body is no part of the download.
    EXPECT_EQ(grab_.Bytes(), QByteArray("arrived"));
    EXPECT_EQ(http_.requests(), (QStringList{QStringLiteral("/old"), QStringLiteral("/new")}));
}

TEST_F(NetGrabTest, HttpsNeedsATrustedCertificateAndNeverFallsBackToHttp)
{
    HttpFixture https(true);
    https.serve(QStringLiteral("/file"), QByteArray("secret"));
    https.serve(QStringLiteral("/down"),
                FixtureResponse::redirect(http_.url(QStringLiteral("/file")).toEncoded()));
    http_.serve(QStringLiteral("/file"), QByteArray("plain"));

    NetGrab grab;
    grab.allowLoopbackHttp(true);
    Events untrusted(grab);
    grab.DownloadStart(https.url(QStringLiteral("/file")).toString());
    EXPECT_FALSE(untrusted.waitEnd(grab));

    grab.addCaCertificates(QSslCertificate::fromPath(HttpFixture::testCertificateFile()));
    Events trusted(grab);
    grab.DownloadStart(https.url(QStringLiteral("/file")).toString());
    ASSERT_TRUE(trusted.waitEnd(grab)) << trusted.failure().toStdString();
    EXPECT_EQ(grab.Bytes(), QByteArray("secret"));

    Events downgraded(grab);
    grab.DownloadStart(https.url(QStringLiteral("/down")).toString());
    EXPECT_FALSE(downgraded.waitEnd(grab));
    EXPECT_THAT(downgraded.failure().toStdString(), HasSubstr("from https"));
    EXPECT_FALSE(http_.requests().contains(QStringLiteral("/file")));
}

TEST_F(NetGrabTest, PlainHttpElsewhereIsRefusedWithoutConnecting)
{
    // Every connection the process makes goes through this proxy, so a connection to any
    // address would show up in the trap's count.
    HttpFixture trap;
    QNetworkProxy::setApplicationProxy(
        QNetworkProxy(QNetworkProxy::HttpProxy, QStringLiteral("127.0.0.1"), trap.port()));

    NetGrab grab;
    grab.allowLoopbackHttp(true);
    Events events(grab);
    grab.DownloadStart(QStringLiteral("http://10.0.0.1/liveupdate/hxrtk/hxrtk.txt"));
    EXPECT_FALSE(events.waitEnd(grab));
    EXPECT_THAT(events.failure().toStdString(), HasSubstr("Transport"));
    EXPECT_EQ(trap.connections(), 0);

    NetGrab strict;
    Events loopback(strict);
    strict.DownloadStart(http_.url(QStringLiteral("/x")).toString());
    EXPECT_FALSE(loopback.waitEnd(strict));
    EXPECT_EQ(trap.connections(), 0);

    // The trap does catch a request that is made.
    QNetworkAccessManager manager;
    std::unique_ptr<QNetworkReply> reply(
        manager.get(QNetworkRequest(QUrl(QStringLiteral("http://10.0.0.1/")))));
    QTRY_VERIFY_WITH_TIMEOUT(trap.connections() == 1, Patience);
    QNetworkProxy::setApplicationProxy(QNetworkProxy::NoProxy);
}

} // namespace
