#ifndef TESTS_UPDATER_UPVELORUN_H
#define TESTS_UPDATER_UPVELORUN_H

#include <QCoreApplication>
#include <QCryptographicHash>
#include <QDir>
#include <QFile>
#include <QJsonDocument>
#include <QJsonObject>
#include <QProcess>
#include <QProcessEnvironment>
#include <QStringList>
#include <QTemporaryDir>
#include <QTest>

#include <gmock/gmock.h>

#include "httpfixture.h"
#include "platform/win/registrystore.h"

// The end-to-end harness: hxr-comcall creates the update class registered in a classes file of
// the test's own, which starts upvelo-testing; the version file and the installer come from a
// loopback fixture. Temporary files, settings and the message log live in the test's folder.
class UpveloRun : public testing::Test
{
protected:
    static constexpr int Patience = 60000;

    explicit UpveloRun(const QString &tempName = QStringLiteral("tmp"))
    {
        tmp_ = root_.filePath(tempName);
        QDir().mkpath(tmp_);
        QDir().mkpath(root_.filePath(QStringLiteral("config")));
        QDir().mkpath(root_.filePath(QStringLiteral("runtime")));
        QFile::setPermissions(root_.filePath(QStringLiteral("runtime")),
                              QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
        QFile classes(root_.filePath(QStringLiteral("classes.ini")));
        classes.open(QIODevice::WriteOnly);
        classes.write("[VXLiveUpdate.Update]\r\nServer=" + QFile::encodeName(program("upvelo-testing")) +
                      "\r\n");
        classes.close();
        env_ = QProcessEnvironment::systemEnvironment();
        env_.insert(QStringLiteral("HXR_COM_CLASSES"), classes.fileName());
        env_.insert(QStringLiteral("HXR_UPDATE_BASE"), http_.base() + QStringLiteral("/liveupdate/"));
        env_.insert(QStringLiteral("HXR_UPVELO_MESSAGES"), logFile());
        env_.insert(QStringLiteral("HXR_COMCALL_PIDFILE"), root_.filePath(QStringLiteral("caller.pid")));
        env_.insert(QStringLiteral("HXR_TEST_MARKER"), markerFile());
        env_.insert(QStringLiteral("TMPDIR"), tmp_);
        env_.insert(QStringLiteral("XDG_CONFIG_HOME"), root_.filePath(QStringLiteral("config")));
        env_.insert(QStringLiteral("XDG_CACHE_HOME"), root_.filePath(QStringLiteral("cache")));
        env_.insert(QStringLiteral("XDG_RUNTIME_DIR"), root_.filePath(QStringLiteral("runtime")));
        env_.insert(QStringLiteral("HXR_UPVELO_STALL_MS"), QStringLiteral("1000"));
    }

    static QString program(const char *name)
    {
        return QCoreApplication::applicationDirPath() + QLatin1Char('/') + QLatin1String(name);
    }
    QString logFile() const { return root_.filePath(QStringLiteral("messages.log")); }
    QString markerFile() const { return root_.filePath(QStringLiteral("marker")); }

    static QByteArray lines(const QList<QByteArray> &items)
    {
        QByteArray text;
        for (const QByteArray &item : items)
            text += item + "\r\n";
        return text;
    }
    void serveVersion(const QByteArray &text)
    {
        http_.serve(QStringLiteral("/liveupdate/hxrtk/hxrtk.txt"), text);
    }

    // Runs hxr-comcall and returns what it printed ("result false", "error 6", ...).
    QString call(const QString &version, bool silent, const QString &answers = {}, int delay = 0,
                 const QString &product = QStringLiteral("hxrtk"))
    {
        QProcess caller;
        QProcessEnvironment env = env_;
        env.insert(QStringLiteral("HXR_UPVELO_ANSWERS"), answers);
        caller.setProcessEnvironment(env);
        caller.setProcessChannelMode(QProcess::ForwardedErrorChannel);
        QStringList arguments{product};
        arguments << version.split(QLatin1Char('.'));
        arguments << (silent ? QStringLiteral("1") : QStringLiteral("0")) << QString::number(delay);
        caller.start(program("hxr-comcall"), arguments);
        EXPECT_TRUE(QTest::qWaitFor([&] { return caller.state() == QProcess::NotRunning; }, Patience));
        return QString::fromLocal8Bit(caller.readAllStandardOutput()).trimmed();
    }

    QList<QJsonObject> log(const QString &kind = {}) const
    {
        QList<QJsonObject> entries;
        QFile file(logFile());
        if (!file.open(QIODevice::ReadOnly))
            return entries;
        for (const QByteArray &line : file.readAll().split('\n')) {
            const QJsonObject entry = QJsonDocument::fromJson(line).object();
            if (!entry.isEmpty() && (kind.isEmpty() || entry.value(QLatin1String("kind")).toString() == kind))
                entries.append(entry);
        }
        return entries;
    }
    // The texts of the messages and questions shown, in order.
    QStringList shown() const
    {
        QStringList texts;
        for (const QJsonObject &entry : log())
            if (entry.value(QLatin1String("kind")) != QLatin1String("open") &&
                entry.value(QLatin1String("kind")) != QLatin1String("exit"))
                texts.append(entry.value(QLatin1String("text")).toString());
        return texts;
    }
    void clearLog() { QFile::remove(logFile()); }
    // Waits for the utility to end by itself (after True).
    bool waitUtilityEnd() const
    {
        return QTest::qWaitFor([&] { return !log(QStringLiteral("exit")).isEmpty(); }, Patience);
    }

    QStringList privateFolders() const
    {
        return QDir(tmp_).entryList({QStringLiteral("hxr-upvelo-*")}, QDir::Dirs | QDir::Hidden);
    }

    QString registryFile() const
    {
        return root_.filePath(QStringLiteral("config")) + QStringLiteral("/HXR Toolkit/registry.json");
    }
    QString setting(const QString &section, const QString &key) const
    {
        using namespace platform::win;
        RegistryStore registry(registryFile());
        HKey handle = 0;
        if (registry.openKey(HKeyCurrentUser, QStringLiteral("Software\\VXLiveUpdate\\") + section,
                             KeyRead, handle) != RegSuccess)
            return QStringLiteral("<none>");
        QByteArray data;
        uint32_t type = 0;
        const long result = registry.queryValue(handle, key, &type, &data);
        registry.closeKey(handle);
        if (result != RegSuccess)
            return QStringLiteral("<none>");
        data.chop(1);
        return QString::fromUtf8(data);
    }
    void saveSetting(const QString &section, const QString &key, const QString &value)
    {
        using namespace platform::win;
        RegistryStore registry(registryFile());
        HKey handle = 0;
        registry.createKey(HKeyCurrentUser, QStringLiteral("Software\\VXLiveUpdate\\") + section,
                           KeyAllAccess, handle);
        registry.setValue(handle, key, RegSz, RegistryStore::textData(value));
        registry.closeKey(handle);
    }

    QTemporaryDir root_;
    QString tmp_;
    testsupport::HttpFixture http_;
    QProcessEnvironment env_;
};

#endif
