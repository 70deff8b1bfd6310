#include "app/shell/upvelo.h"

#include <unistd.h>

#include <QCoreApplication>
#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>
#include <QTemporaryDir>

#include <gmock/gmock.h>

#include "app/common/desktop/messages.h"
#include "support/recordingmessagedialog.h"

namespace {

using testing::ElementsAre;
using testing::HasSubstr;

// Registrations of the fake utility: runnable, not runnable, runnable by others only, files that
// are no program, and none.
class StartUpdateTest : public testing::Test
{
protected:
    void SetUp() override
    {
        ASSERT_TRUE(QFile::copy(QCoreApplication::applicationDirPath() + QStringLiteral("/hxr-comfake"),
                                dir_.filePath(QStringLiteral("upvelo"))));
        ASSERT_TRUE(QFile::copy(dir_.filePath(QStringLiteral("upvelo")),
                                dir_.filePath(QStringLiteral("plain"))));
        QFile::setPermissions(dir_.filePath(QStringLiteral("plain")),
                              QFile::ReadOwner | QFile::WriteOwner);
        ASSERT_TRUE(QFile::copy(dir_.filePath(QStringLiteral("upvelo")),
                                dir_.filePath(QStringLiteral("theirs"))));
        QFile::setPermissions(dir_.filePath(QStringLiteral("theirs")),
                              QFile::ReadOwner | QFile::ReadGroup | QFile::ExeGroup);
        QFile notes(dir_.filePath(QStringLiteral("notes.txt")));
        ASSERT_TRUE(notes.open(QIODevice::WriteOnly));
        notes.write("Server notes\n");
        notes.close();
        notes.setPermissions(QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
        register_(QStringLiteral("upvelo"));
        qputenv("HXR_COMFAKE_LOG", callLog().toLocal8Bit());
        previous_ = app::common::desktop::setMessageDialogFactory(
            [this] { return std::make_unique<testsupport::RecordingMessageDialog>(&messages_); });
        app::shell::SetUpdateProduct(QStringLiteral("hxrtk"));
    }
    void TearDown() override
    {
        app::common::desktop::setMessageDialogFactory(previous_);
        app::shell::SetUpdateProduct(QString());
        for (const char *name : {"HXR_COM_CLASSES", "HXR_COMFAKE_LOG", "HXR_COMFAKE_RESULT"})
            qunsetenv(name);
    }

    void register_(const QString &server)
    {
        QFile classes(dir_.filePath(QStringLiteral("classes.ini")));
        classes.open(QIODevice::WriteOnly);
        if (!server.isEmpty())
            classes.write("[VXLiveUpdate.Update]\r\nServer=" + server.toLatin1() + "\r\n");
        classes.close();
        qputenv("HXR_COM_CLASSES", classes.fileName().toLocal8Bit());
    }
    QString callLog() const { return dir_.filePath(QStringLiteral("calls.log")); }

    QVariant start(bool silent = false) { return app::shell::StartUpdate(silent); }

    QTemporaryDir dir_;
    QStringList messages_;
    app::common::desktop::MessageDialogFactory previous_;
};

TEST_F(StartUpdateTest, CallsTheUtilityWithTheProgramsVersionAndProcess)
{
    qputenv("HXR_COMFAKE_RESULT", "true");
    EXPECT_EQ(start(true), QVariant(true));
    QFile log(callLog());
    ASSERT_TRUE(log.open(QIODevice::ReadOnly));
    const QJsonArray arguments = QJsonDocument::fromJson(log.readLine()).array();
    EXPECT_EQ(arguments, (QJsonArray{QStringLiteral("hxrtk"), HXR_VERSION_MAJOR_TEST,
                                     HXR_VERSION_MINOR_TEST, HXR_VERSION_PATCH_TEST,
                                     static_cast<int>(getpid()), true}));
    qputenv("HXR_COMFAKE_RESULT", "false");
    EXPECT_EQ(start(), QVariant(false));
    EXPECT_TRUE(messages_.isEmpty());
}

TEST_F(StartUpdateTest, ErrorsOfTheCallAreNotShown)
{
    qputenv("HXR_COMFAKE_RESULT", "error");
    EXPECT_FALSE(start().isValid());
    EXPECT_TRUE(messages_.isEmpty());
}

TEST_F(StartUpdateTest, WithoutAProductNothingIsCreated)
{
    app::shell::SetUpdateProduct(QString());
    EXPECT_FALSE(start().isValid());
    EXPECT_FALSE(QFile::exists(callLog()));
    EXPECT_TRUE(messages_.isEmpty());
}

TEST_F(StartUpdateTest, UtilityThatCannotBeCreatedIsReported)
{
    const QString cannotLaunch = QStringLiteral("Error: Cannot launch update component!\r\nError: ");
    const QString elevation = QStringLiteral(
        "Error - Requires Elevated Privileges: Updating this program with files downloaded from "
        "the Internet requires elevated privileges!\r\nYou need to run the program with "
        "Administrative rights or contact your network administrator.");
    struct Case
    {
        QString server;
        QString message; // empty: created and called
        QString cause;
    };
    const Case cases[] = {
        {QString(), cannotLaunch, QStringLiteral("\"VXLiveUpdate.Update\" is not registered")},
        {QStringLiteral("plain"), cannotLaunch, QStringLiteral("it is not executable")},
        {QStringLiteral("."), cannotLaunch, QStringLiteral("it is a folder")},
        {QStringLiteral("notes.txt"), cannotLaunch, QStringLiteral("it is not a program")},
        // Others may run it: a refusal of permission, except for the administrator.
        {QStringLiteral("theirs"), geteuid() == 0 ? QString() : elevation, QString()},
    };
    for (const Case &c : cases) {
        messages_.clear();
        QFile::remove(callLog());
        register_(c.server);
        qputenv("HXR_COMFAKE_RESULT", "false");
        const QVariant result = start();
        if (c.message.isEmpty()) {
            EXPECT_EQ(result, QVariant(false)) << c.server.toStdString();
            EXPECT_TRUE(messages_.isEmpty()) << c.server.toStdString();
            continue;
        }
        EXPECT_FALSE(result.isValid()) << c.server.toStdString();
        EXPECT_FALSE(QFile::exists(callLog())) << c.server.toStdString();
        ASSERT_EQ(messages_.size(), 1) << c.server.toStdString();
        EXPECT_TRUE(messages_.at(0).startsWith(c.message)) << messages_.at(0).toStdString();
        EXPECT_THAT(messages_.at(0).toStdString(), HasSubstr(c.cause.toStdString()));
    }
}

} // namespace
