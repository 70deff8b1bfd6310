#include "updater/upvelo.h"

#include <QFileInfo>

#include "upvelorun.h"

namespace {

using testsupport::FixtureResponse;

// Appends "after" to the marker when the caller has ended, "early" while it still runs. The
// state is read once: a caller reaped between two looks would otherwise pass for running.
const QByteArray Installer = "#!/bin/sh\n"
                             "pid=$(cat \"$HXR_COMCALL_PIDFILE\")\n"
                             "state=$(sed -n 's/^State:[[:space:]]*//p' /proc/$pid/status "
                             "2>/dev/null)\n"
                             "case \"$state\" in\n"
                             "  ''|Z*|X*) echo after >> \"$HXR_TEST_MARKER\" ;;\n"
                             "  *) echo early >> \"$HXR_TEST_MARKER\" ;;\n"
                             "esac\n";

const QString CannotDownload = QStringLiteral("Cannot download installer.");

class UpveloInstall : public UpveloRun
{
protected:
    explicit UpveloInstall(const QString &tempName = QStringLiteral("tmp")) : UpveloRun(tempName) {}

    void offer(const QByteArray &installer, const QByteArray &sha256, const QByteArray &size,
               FixtureResponse::Kind kind = FixtureResponse::Kind::Normal)
    {
        QList<QByteArray> file{"[Version]", "Maj=1", "Min=1", "Rev=0"};
        if (!sha256.isNull())
            file.append("SHA256=" + sha256);
        if (!size.isNull())
            file.append("Size=" + size);
        serveVersion(lines(file));
        FixtureResponse response;
        response.body = installer;
        response.kind = kind;
        http_.serve(QStringLiteral("/liveupdate/hxrtk/hxrtk.exe"), response);
    }
    void offer(const QByteArray &installer)
    {
        offer(installer, digest(installer), QByteArray::number(installer.size()));
    }
    static QByteArray digest(const QByteArray &bytes)
    {
        return QCryptographicHash::hash(bytes, QCryptographicHash::Sha256).toHex();
    }
    QByteArray marker() const
    {
        QFile file(markerFile());
        return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
    }

    // A whole update: Yes, True, the caller ends delay ms later, the installer runs after it.
    void expectInstalled(int delay)
    {
        offer(Installer);
        ASSERT_EQ(call(QStringLiteral("1.0.5"), true, QStringLiteral("Yes"), delay),
                  QStringLiteral("result true"));
        ASSERT_TRUE(waitUtilityEnd());
        EXPECT_EQ(marker(), QByteArray("after\n"));
        const QString installed = setting(QStringLiteral("TEMP"), QStringLiteral("TEMP"));
        const QFileInfo info(installed);
        EXPECT_TRUE(info.isFile());
        EXPECT_TRUE(info.fileName().startsWith(QLatin1String("TMP")));
        EXPECT_EQ(QFileInfo(info.absolutePath()).canonicalFilePath(),
                  QDir(tmp_).filePath(privateFolders().value(0)));
        EXPECT_EQ(info.permissions() & 0x7077, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
        // The version file went; the installer stays until the next update.
        EXPECT_EQ(QDir(info.absolutePath()).entryList(QDir::Files), QStringList{info.fileName()});
    }
};

TEST_F(UpveloInstall, InstallerRunsOnceTheCallerHasEnded)
{
    expectInstalled(3000);
}

TEST_F(UpveloInstall, CallerAlreadyGoneDoesNotHoldTheInstaller)
{
    expectInstalled(0);
}

TEST_F(UpveloInstall, InstallStepRemovesOnlyItsOwnLastInstaller)
{
    const QString outside = root_.filePath(QStringLiteral("TMPkeep"));
    QFile keep(outside);
    ASSERT_TRUE(keep.open(QIODevice::WriteOnly));
    keep.close();
    saveSetting(QStringLiteral("TEMP"), QStringLiteral("TEMP"), outside);
    expectInstalled(0);
    EXPECT_TRUE(QFile::exists(outside));

    // The next update deletes the last installer and its folder.
    const QString previous = setting(QStringLiteral("TEMP"), QStringLiteral("TEMP"));
    QFile::remove(markerFile());
    clearLog();
    expectInstalled(0);
    EXPECT_FALSE(QFile::exists(previous));
    EXPECT_EQ(privateFolders().size(), 1);
}

class UpveloInstallSpacedTemp : public UpveloInstall
{
protected:
    UpveloInstallSpacedTemp() : UpveloInstall(QStringLiteral("temp with space")) {}
};

TEST_F(UpveloInstallSpacedTemp, InstallerPathMayHoldASpace)
{
    expectInstalled(0);
}

TEST_F(UpveloInstall, InstallerThatFailsAnyCheckIsNeverRun)
{
    const QByteArray size = QByteArray::number(Installer.size());
    const QByteArray html = "<html><body>Moved</body></html>";
    struct Case
    {
        const char *name;
        QByteArray body;
        QByteArray sha256;
        QByteArray size;
        FixtureResponse::Kind kind;
    };
    const Case cases[] = {
        {"wrong digest", Installer, digest("other"), size, FixtureResponse::Kind::Normal},
        {"no digest", Installer, QByteArray(), size, FixtureResponse::Kind::Normal},
        {"short digest", Installer, digest(Installer).left(63), size, FixtureResponse::Kind::Normal},
        {"wrong size", Installer, digest(Installer), QByteArray::number(Installer.size() - 1),
         FixtureResponse::Kind::Normal},
        {"no size", Installer, digest(Installer), QByteArray(), FixtureResponse::Kind::Normal},
        {"truncated", Installer, digest(Installer), size, FixtureResponse::Kind::Truncated},
        {"html page", html, digest(html), QByteArray::number(html.size()),
         FixtureResponse::Kind::Normal},
        {"empty", QByteArray(), digest(QByteArray()), "0", FixtureResponse::Kind::Normal},
    };
    for (const Case &c : cases) {
        clearLog();
        offer(c.body, c.sha256, c.size, c.kind);
        EXPECT_EQ(call(QStringLiteral("1.0.5"), true, QStringLiteral("Yes")),
                  QStringLiteral("result false"))
            << c.name;
        EXPECT_EQ(shown().value(1), CannotDownload) << c.name;
        EXPECT_TRUE(privateFolders().isEmpty()) << c.name;
        EXPECT_TRUE(marker().isEmpty()) << c.name;
    }
}

TEST_F(UpveloInstall, InstallerThatCannotStartLeavesNothingBehind)
{
    offer("#!/nonexistent/interpreter\n");
    ASSERT_EQ(call(QStringLiteral("1.0.5"), true, QStringLiteral("Yes")), QStringLiteral("result true"));
    ASSERT_TRUE(waitUtilityEnd());
    EXPECT_TRUE(privateFolders().isEmpty());
    EXPECT_EQ(setting(QStringLiteral("TEMP"), QStringLiteral("TEMP")), QStringLiteral("<none>"));
}

TEST_F(UpveloInstall, CallerDyingMidCheckEndsTheUtility)
{
    FixtureResponse stalled;
    stalled.kind = FixtureResponse::Kind::Stalled;
    stalled.body = QByteArray(4000, '[');
    serveVersion({});
    http_.serve(QStringLiteral("/liveupdate/hxrtk/hxrtk.txt"), stalled);
    env_.insert(QStringLiteral("HXR_UPVELO_STALL_MS"), QStringLiteral("600000"));

    QProcess caller;
    caller.setProcessEnvironment(env_);
    caller.start(program("hxr-comcall"), {QStringLiteral("hxrtk"), QStringLiteral("1"),
                                          QStringLiteral("0"), QStringLiteral("5"),
                                          QStringLiteral("1")});
    ASSERT_TRUE(QTest::qWaitFor([&] { return !privateFolders().isEmpty(); }, Patience));
    ASSERT_TRUE(QTest::qWaitFor([&] { return http_.connections() > 0; }, Patience));
    caller.kill();
    ASSERT_TRUE(caller.waitForFinished(Patience));
    EXPECT_TRUE(QTest::qWaitFor([&] { return privateFolders().isEmpty(); }, Patience));
}

} // namespace
