#include "updater/upvelo.h"

#include <unistd.h>

#include <QFileInfo>
#include <QSslCertificate>

#include "platform/vb/vberror.h"
#include "upvelorun.h"

namespace {

using testing::ElementsAre;
using testsupport::FixtureResponse;
using testsupport::HttpFixture;

const QString UpToDate = QStringLiteral("The current version is up to date.");
const QString NoVersion = QStringLiteral("Cannot find version information online!");
const QString Question =
    QStringLiteral("Do you want to close this program and download and install the update?");

using UpveloCheck = UpveloRun;

TEST_F(UpveloCheck, OutcomesOfTheVersionFile)
{
    struct Case
    {
        QList<QByteArray> file;
        QString caller;
        bool silent;
        QStringList shown;
    };
    const Case cases[] = {
        {{"[Version]", "Maj=1", "Min=0", "Rev=5"}, QStringLiteral("1.0.5"), true, {}},
        {{"[Version]", "Maj=1", "Min=0", "Rev=5"}, QStringLiteral("1.0.5"), false, {UpToDate}},
        {{"[Version]", "Maj=1", "Min=1", "Rev=0"}, QStringLiteral("1.0.5"), true,
         {QStringLiteral("There is a new version 1.1.0 available.\r\n\r\n") + Question}},
        {{"[Version]", "Maj=1", "Min=1", "Rev=0", "Info=First line*Second line"},
         QStringLiteral("1.0.5"), true,
         {QStringLiteral("There is a new version 1.1.0 available.\r\n\r\nFirst line\r\nSecond "
                         "line\r\n\r\n") +
          Question}},
        {{"[Version]", "Maj=2", "Min=0", "Rev=0", "[Minimum]", "Maj=1", "Min=1", "Rev=0"},
         QStringLiteral("1.0.5"), false,
         {QStringLiteral("The current version 1.0.5 cannot be updated to version 2.0.0")}},
        {{"[Version]", "Maj=1", "Min=100", "Rev=0"}, QStringLiteral("2.0.0"), false, {UpToDate}},
        {{"[Version]", "Maj=1", "Min=2.5", "Rev=0"}, QStringLiteral("1.2.0"), false, {UpToDate}},
        {{"<html><body>Welcome</body></html>"}, QStringLiteral("1.0.5"), false, {NoVersion}},
        {{"[Version]", "Maj=", "Min=9"}, QStringLiteral("1.0.5"), false, {NoVersion}},
    };
    for (const Case &c : cases) {
        const std::string name = (c.file.join(' ') + ' ' + c.caller.toLatin1()).toStdString();
        clearLog();
        serveVersion(lines(c.file));
        EXPECT_EQ(call(c.caller, c.silent, QStringLiteral("No")), QStringLiteral("result false"))
            << name;
        EXPECT_EQ(shown(), c.shown) << name;
        EXPECT_TRUE(privateFolders().isEmpty()) << name;
    }
}

TEST_F(UpveloCheck, QuestionAndMessagesCarryTheirTitlesAndIcons)
{
    serveVersion(lines({"[Version]", "Maj=1", "Min=1", "Rev=0"}));
    call(QStringLiteral("1.0.5"), true, QStringLiteral("No"));
    serveVersion(lines({"[Version]", "Maj=1", "Min=0", "Rev=5"}));
    call(QStringLiteral("1.0.5"), false);
    const QList<QJsonObject> entries = log(QStringLiteral("question")) + log(QStringLiteral("message"));
    ASSERT_EQ(entries.size(), 2);
    EXPECT_EQ(entries.at(0).value(QLatin1String("kind")).toString(), QStringLiteral("question"));
    EXPECT_EQ(entries.at(0).value(QLatin1String("title")).toString(),
              QStringLiteral("Update Available For Version 1.0.5"));
    EXPECT_EQ(entries.at(0).value(QLatin1String("icon")).toString(), QStringLiteral("question"));
    EXPECT_EQ(entries.at(1).value(QLatin1String("title")).toString(), QStringLiteral("Update"));
    EXPECT_EQ(entries.at(1).value(QLatin1String("icon")).toString(), QStringLiteral("exclamation"));
}

TEST_F(UpveloCheck, BadNumbersReachTheCallerAfterTheCleanUp)
{
    struct Case
    {
        QList<QByteArray> file;
        QString expected;
    };
    const Case cases[] = {
        {{"[Version]", "Maj=1", "Min=400"}, QStringLiteral("error 6")},
        {{"[Version]", "Maj=1", "Min=327.5"}, QStringLiteral("error 6")},
        {{"[Version]", "Maj=abc"}, QStringLiteral("error 13")},
        {{"[Version]", "Maj=1", "Min=0", "Rev=5", "[News]", "ID=seven"}, QStringLiteral("error 13")},
    };
    for (const Case &c : cases) {
        clearLog();
        serveVersion(lines(c.file));
        EXPECT_EQ(call(QStringLiteral("1.0.5"), true), c.expected) << c.file.join(' ').toStdString();
        EXPECT_TRUE(privateFolders().isEmpty());
        EXPECT_TRUE(shown().isEmpty());
    }
}

TEST_F(UpveloCheck, VersionFileThatCannotBeHadIsNoVersion)
{
    auto kind = [](FixtureResponse::Kind k) {
        FixtureResponse response;
        response.kind = k;
        response.body = lines({"[Version]", "Maj=9", "Min=0", "Rev=0"});
        return response;
    };
    http_.serve(QStringLiteral("/liveupdate/empty/empty.txt"), QByteArray());
    http_.serve(QStringLiteral("/liveupdate/cut/cut.txt"), kind(FixtureResponse::Kind::Truncated));
    http_.serve(QStringLiteral("/liveupdate/stall/stall.txt"), kind(FixtureResponse::Kind::Stalled));
    http_.serve(QStringLiteral("/liveupdate/big/big.txt"), QByteArray(65 * 1024, '['));
    for (const char *product : {"absent", "empty", "cut", "stall", "big"}) {
        clearLog();
        EXPECT_EQ(call(QStringLiteral("1.0.5"), false, {}, 0, QLatin1String(product)),
                  QStringLiteral("result false"))
            << product;
        EXPECT_THAT(shown(), ElementsAre(NoVersion)) << product;
        EXPECT_TRUE(privateFolders().isEmpty());
    }
}

TEST_F(UpveloCheck, RedirectsAreFollowedOnlyWhereTheyMayGo)
{
    http_.serve(QStringLiteral("/liveupdate/hxrtk/hxrtk.txt"),
                FixtureResponse::redirect("/liveupdate/moved.txt"));
    http_.serve(QStringLiteral("/liveupdate/moved.txt"), lines({"[Version]", "Maj=1", "Rev=5"}));
    http_.serve(QStringLiteral("/liveupdate/away/away.txt"),
                FixtureResponse::redirect("http://example.invalid/liveupdate/away/away.txt"));
    EXPECT_EQ(call(QStringLiteral("1.0.5"), false), QStringLiteral("result false"));
    EXPECT_THAT(shown(), ElementsAre(UpToDate));
    clearLog();
    call(QStringLiteral("1.0.5"), false, {}, 0, QStringLiteral("away"));
    EXPECT_THAT(shown(), ElementsAre(NoVersion));

    // An https base: the test authority is trusted, the step down to http is not.
    HttpFixture https(true);
    https.serve(QStringLiteral("/liveupdate/hxrtk/hxrtk.txt"),
                FixtureResponse::redirect(http_.url(QStringLiteral("/liveupdate/moved.txt")).toEncoded()));
    https.serve(QStringLiteral("/liveupdate/direct/direct.txt"), lines({"[Version]", "Maj=1", "Rev=5"}));
    env_.insert(QStringLiteral("HXR_UPDATE_BASE"), https.base() + QStringLiteral("/liveupdate/"));
    env_.insert(QStringLiteral("HXR_UPVELO_CA"), HttpFixture::testCertificateFile());
    clearLog();
    call(QStringLiteral("1.0.5"), false, {}, 0, QStringLiteral("direct"));
    EXPECT_THAT(shown(), ElementsAre(UpToDate));
    const int plainRequests = http_.requests().count(QStringLiteral("/liveupdate/moved.txt"));
    clearLog();
    call(QStringLiteral("1.0.5"), false);
    EXPECT_THAT(shown(), ElementsAre(NoVersion));
    EXPECT_EQ(http_.requests().count(QStringLiteral("/liveupdate/moved.txt")), plainRequests);
}

TEST_F(UpveloCheck, BaseAndProductCodeAreChecked)
{
    serveVersion(lines({"[Version]", "Maj=1", "Min=0", "Rev=5"}));
    for (const char *product : {"../hxrtk", "", "hxr tk", "a/b", "x123456789012345678901234567890123"}) {
        EXPECT_EQ(call(QStringLiteral("1.0.5"), false, {}, 0, QLatin1String(product)),
                  QStringLiteral("error 5"))
            << product;
    }
    EXPECT_TRUE(http_.requests().isEmpty());
    EXPECT_TRUE(shown().isEmpty());

    env_.insert(QStringLiteral("HXR_UPDATE_BASE"), http_.base() + QStringLiteral("/other/"));
    call(QStringLiteral("1.0.5"), false);
    EXPECT_THAT(shown(), ElementsAre(NoVersion));
    EXPECT_TRUE(http_.requests().isEmpty());
}

TEST_F(UpveloCheck, CallerNamingAnotherProcessIsRefused)
{
    serveVersion(lines({"[Version]", "Maj=1", "Min=0", "Rev=5"}));
    env_.insert(QStringLiteral("HXR_COMCALL_HWND"), QString::number(getppid()));
    EXPECT_EQ(call(QStringLiteral("1.0.5"), false), QStringLiteral("error 5"));
    EXPECT_TRUE(http_.requests().isEmpty());
    EXPECT_TRUE(shown().isEmpty());
}

TEST_F(UpveloCheck, NewsIsOpenedOncePerItemAndOnlyOnTheWeb)
{
    const QByteArray page = http_.url(QStringLiteral("/news/7.html")).toEncoded();
    struct Case
    {
        QString stored;
        QList<QByteArray> news;
        QStringList opened;
        QString storedAfter;
    };
    const Case cases[] = {
        {QStringLiteral("-1"), {"[News]", "ID=7", "7=" + page}, {QString::fromLatin1(page)},
         QStringLiteral("7")},
        {QStringLiteral("7"), {"[News]", "ID=7", "7=" + page}, {}, QStringLiteral("7")},
        {QStringLiteral("7"), {"[News]", "ID=8"}, {}, QStringLiteral("7")},
        // Not opened, and counted as seen all the same.
        {QStringLiteral("-1"), {"[News]", "ID=7", "7=file:///bin/sh"}, {}, QStringLiteral("7")},
        {QStringLiteral("junk"), {"[News]", "ID=7", "7=" + page}, {QString::fromLatin1(page)},
         QStringLiteral("7")},
        {QStringLiteral("-1"), {}, {}, QStringLiteral("-1")},
    };
    for (const Case &c : cases) {
        const std::string name = c.news.join(' ').toStdString();
        clearLog();
        saveSetting(QStringLiteral("hxrtk"), QStringLiteral("ID"), c.stored);
        serveVersion(lines(QList<QByteArray>{"[Version]", "Maj=1", "Min=0", "Rev=5"} + c.news));
        EXPECT_EQ(call(QStringLiteral("1.0.5"), true), QStringLiteral("result false")) << name;
        QStringList opened;
        for (const QJsonObject &entry : log(QStringLiteral("open")))
            opened.append(entry.value(QLatin1String("url")).toString());
        EXPECT_EQ(opened, c.opened) << name;
        EXPECT_EQ(setting(QStringLiteral("hxrtk"), QStringLiteral("ID")), c.storedAfter) << name;
    }
}

// The desktop's launcher as shipped, found on PATH, is started and left running: the check does
// not wait for it, the news counts as seen whether or not it could be opened, and the launcher
// outlives the utility.
TEST_F(UpveloCheck, NewsIsHandedToTheDesktopsLauncherWhichIsNotWaitedFor)
{
    const QByteArray page = http_.url(QStringLiteral("/news/7.html")).toEncoded();
    const QString bin = root_.filePath(QStringLiteral("bin"));
    ASSERT_TRUE(QDir().mkpath(bin));
    env_.insert(QStringLiteral("PATH"), bin + QLatin1Char(':') + env_.value(QStringLiteral("PATH")));
    env_.insert(QStringLiteral("HXR_UPVELO_DESKTOP"), QStringLiteral("1"));
    const QString release = markerFile() + QStringLiteral(".go");
    struct Case
    {
        QByteArray launcher;
        bool held; // runs until the test lets it go, as a browser run in the foreground
    };
    const Case cases[] = {
        {"i=0\nwhile [ ! -e \"$HXR_TEST_MARKER.go\" ] && [ $i -lt 1200 ]; do sleep 0.05; "
         "i=$((i+1)); done\nprintf '%s\\n' \"$1\" >> \"$HXR_TEST_MARKER\"\n",
         true},
        {"printf '%s\\n' \"$1\" >> \"$HXR_TEST_MARKER\"\nexit 3\n", false},
    };
    for (const Case &c : cases) {
        QFile script(bin + QStringLiteral("/xdg-open"));
        ASSERT_TRUE(script.open(QIODevice::WriteOnly | QIODevice::Truncate));
        script.write("#!/bin/sh\n" + c.launcher);
        script.close();
        script.setPermissions(QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
        QFile::remove(markerFile());
        QFile::remove(release);
        clearLog();
        saveSetting(QStringLiteral("hxrtk"), QStringLiteral("ID"), QStringLiteral("-1"));
        serveVersion(lines({"[Version]", "Maj=1", "Min=0", "Rev=5", "[News]", "ID=7", "7=" + page}));

        EXPECT_EQ(call(QStringLiteral("1.0.5"), true), QStringLiteral("result false"))
            << c.launcher.constData();
        EXPECT_EQ(setting(QStringLiteral("hxrtk"), QStringLiteral("ID")), QStringLiteral("7"))
            << c.launcher.constData();
        if (c.held) {
            EXPECT_FALSE(QFile::exists(markerFile())) << "the check answered while it ran";
            ASSERT_TRUE(waitUtilityEnd());
            QFile go(release);
            ASSERT_TRUE(go.open(QIODevice::WriteOnly));
        }
        ASSERT_TRUE(QTest::qWaitFor([&] { return QFile::exists(markerFile()); }, Patience))
            << c.launcher.constData();
        QFile marker(markerFile());
        ASSERT_TRUE(marker.open(QIODevice::ReadOnly));
        EXPECT_EQ(marker.readAll().toStdString(), (page + '\n').toStdString())
            << c.launcher.constData();
        EXPECT_TRUE(shown().isEmpty()) << shown().join('\n').toStdString();
    }
}

TEST_F(UpveloCheck, StartedDirectlyItRefusesAndEnds)
{
    QProcess utility;
    utility.setProcessEnvironment(env_);
    utility.start(program("upvelo-testing"), {});
    ASSERT_TRUE(QTest::qWaitFor([&] { return utility.state() == QProcess::NotRunning; }, Patience));
    EXPECT_EQ(utility.exitCode(), 1);
    const QList<QJsonObject> entries = log(QStringLiteral("message"));
    ASSERT_EQ(entries.size(), 1);
    EXPECT_EQ(entries.first().value(QLatin1String("text")).toString(),
              QStringLiteral("This program cannot be launched from the executable!"));
    EXPECT_EQ(entries.first().value(QLatin1String("title")).toString(), QStringLiteral("Error"));
    EXPECT_EQ(entries.first().value(QLatin1String("icon")).toString(), QStringLiteral("critical"));
}

TEST_F(UpveloCheck, ASettingThatCannotBeSavedIsReportedWithTheFileAndTheCause)
{
    // Where the settings folder should be, a file: the news number cannot be stored.
    QFile blocker(QFileInfo(registryFile()).absolutePath());
    ASSERT_TRUE(blocker.open(QIODevice::WriteOnly));
    blocker.close();
    const QByteArray page = http_.url(QStringLiteral("/news/7.html")).toEncoded();
    serveVersion(lines({"[Version]", "Maj=1", "Min=0", "Rev=5", "[News]", "ID=7", "7=" + page}));
    EXPECT_EQ(call(QStringLiteral("1.0.5"), true), QStringLiteral("result false"));
    const QList<QJsonObject> entries = log(QStringLiteral("message"));
    ASSERT_EQ(entries.size(), 1);
    const QString text = entries.first().value(QLatin1String("text")).toString();
    const QString start = QStringLiteral("The settings could not be saved to ") + registryFile() +
                          QStringLiteral(": ");
    EXPECT_TRUE(text.startsWith(start) && text.size() > start.size() + 1 &&
                text.endsWith(QLatin1Char('.')))
        << text.toStdString();
    EXPECT_EQ(entries.first().value(QLatin1String("title")).toString(), QStringLiteral("Update"));
}

TEST(VersionNumber, CombinesWithCarryAndOverflow)
{
    EXPECT_EQ(updater::VersionNumber(1, 2, 3), 10203);
    EXPECT_EQ(updater::VersionNumber(1, 2, 100), updater::VersionNumber(1, 3, 0));
    EXPECT_EQ(updater::VersionNumber(1, 100, 0), updater::VersionNumber(2, 0, 0));
    EXPECT_EQ(updater::VersionNumber(1, 327, 0), 42700);
    EXPECT_EQ(updater::VersionNumber(1, -327, 0), -22700);
    EXPECT_THROW(updater::VersionNumber(1, 328, 0), platform::vb::VbError);
    EXPECT_THROW(updater::VersionNumber(1, -328, 0), platform::vb::VbError);
}

} // namespace
