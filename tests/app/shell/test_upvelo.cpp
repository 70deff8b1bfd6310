#include "app/shell/upvelo.h"

#include <unistd.h>

#include <QCoreApplication>
#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>
#include <QTemporaryDir>

#include <gmock/gmock.h>

#include "app/common/dialogs/messages.h"
#include "support/recordingmessagedialog.h"

namespace {

using testing::ElementsAre;
using testing::HasSubstr;

// Registrations of the fake utility: runnable, not runnable, and none.
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
        register_(QStringLiteral("upvelo"));
        qputenv("HXR_COMFAKE_LOG", callLog().toLocal8Bit());
        previous_ = app::common::dialogs::setMessageDialogFactory(
            [this] { return std::make_unique<testsupport::RecordingMessageDialog>(&messages_); });
        app::shell::SetUpdateProduct(QStringLiteral("hxrtk"));
    }
    void TearDown() override
    {
        app::common::dialogs::setMessageDialogFactory(previous_);
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
    app::common::dialogs::MessageDialogFactory previous_;
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
    register_(QString());
    EXPECT_FALSE(start().isValid());
    register_(QStringLiteral("plain"));
    EXPECT_FALSE(start().isValid());
    ASSERT_EQ(messages_.size(), 2);
    EXPECT_THAT(messages_.at(0).toStdString(),
                testing::StartsWith("Error: Cannot launch update component!\r\nError: "));
    EXPECT_THAT(messages_.at(0).toStdString(), HasSubstr("VXLiveUpdate.Update"));
    EXPECT_EQ(messages_.at(1),
              QStringLiteral("Error - Requires Elevated Privileges: Updating this program with "
                             "files downloaded from the Internet requires elevated "
                             "privileges!\r\nYou need to run the program with Administrative "
                             "rights or contact your network administrator."));
    EXPECT_FALSE(QFile::exists(callLog()));
}

} // namespace
