#include "platform/com/automationobject.h"

#include <csignal>
#include <unistd.h>

#include <QCoreApplication>
#include <QFile>
#include <QJsonObject>
#include <QTemporaryDir>
#include <QTest>

#include <gmock/gmock.h>

#include "platform/com/comerrors.h"
#include "platform/vb/vberror.h"

namespace {

using platform::com::CreateObject;
using platform::vb::VbError;

QString fakeServer()
{
    return QCoreApplication::applicationDirPath() + QStringLiteral("/hxr-comfake");
}

// A registration file in a folder of its own, holding copies of the fake server.
class AutomationObjectTest : public testing::Test
{
protected:
    void SetUp() override
    {
        ASSERT_TRUE(dir_.isValid());
        ASSERT_TRUE(QFile::copy(fakeServer(), dir_.filePath(QStringLiteral("fake"))));
        ASSERT_TRUE(QFile::copy(fakeServer(), dir_.filePath(QStringLiteral("plain"))));
        QFile::setPermissions(dir_.filePath(QStringLiteral("plain")),
                              QFile::ReadOwner | QFile::WriteOwner);
        QFile classes(dir_.filePath(QStringLiteral("classes.ini")));
        ASSERT_TRUE(classes.open(QIODevice::WriteOnly));
        classes.write("[Fake.Object]\r\nServer=fake\r\n"
                      "[Fake.Plain]\r\nServer=plain\r\n"
                      "[Fake.Missing]\r\nServer=sub/none\r\n");
        classes.close();
        qputenv("HXR_COM_CLASSES", classes.fileName().toLocal8Bit());
    }
    void TearDown() override
    {
        qunsetenv("HXR_COM_CLASSES");
        qunsetenv("HXR_COMFAKE_GREET");
    }

    QTemporaryDir dir_;
};

int creationError(const QString &progId, QString *description = nullptr)
{
    try {
        CreateObject(progId);
    } catch (const VbError &error) {
        if (description)
            *description = error.description();
        return error.number();
    }
    return 0;
}

TEST_F(AutomationObjectTest, CreationFailuresNameTheirCause)
{
    struct Case
    {
        QString progId;
        int number;
        QString named;
    };
    const Case cases[] = {
        {QStringLiteral("Fake.Unknown"), platform::com::CannotCreateObject,
         QStringLiteral("Fake.Unknown")},
        {QStringLiteral("Fake.Missing"), platform::com::CannotCreateObject,
         QStringLiteral("sub/none")},
        {QStringLiteral("Fake.Plain"), platform::com::ElevationRequired, QStringLiteral("plain")},
    };
    for (const Case &c : cases) {
        QString description;
        EXPECT_EQ(creationError(c.progId, &description), c.number) << c.progId.toStdString();
        EXPECT_THAT(description.toStdString(), testing::HasSubstr(c.named.toStdString()));
    }
}

TEST_F(AutomationObjectTest, ServerThatNeverGreetsCannotBeCreated)
{
    qputenv("HXR_COMFAKE_GREET", "no");
    QString description;
    EXPECT_EQ(creationError(QStringLiteral("Fake.Object"), &description),
              platform::com::CannotCreateObject);
    EXPECT_THAT(description.toStdString(), testing::HasSubstr("did not answer"));
}

TEST_F(AutomationObjectTest, CallCarriesArgumentsAndTheCallerIsKnownBySocket)
{
    auto object = CreateObject(QStringLiteral("Fake.Object"));
    const QJsonArray arguments{QStringLiteral("hxrtk"), 1, 0, 5, 1234, false};
    const QJsonObject answer = object->call(QStringLiteral("Echo"), arguments).toObject();
    EXPECT_EQ(answer.value(QLatin1String("args")).toArray(), arguments);
    EXPECT_EQ(answer.value(QLatin1String("pid")).toInt(), getpid());
}

TEST_F(AutomationObjectTest, ServerOutlivesNothingButItsCaller)
{
    // The server is detached: not our child, and it ends when the object is released.
    auto object = CreateObject(QStringLiteral("Fake.Object"));
    const pid_t server = object->call(QStringLiteral("Echo"), {})
                             .toObject()
                             .value(QLatin1String("self"))
                             .toInt();
    ASSERT_GT(server, 0);
    EXPECT_NE(object->call(QStringLiteral("Echo"), {})
                  .toObject()
                  .value(QLatin1String("parent"))
                  .toInt(),
              getpid());
    object.reset();
    QTRY_VERIFY_WITH_TIMEOUT(kill(server, 0) != 0, 20000);
}

TEST_F(AutomationObjectTest, RaisedErrorsAndLostConnectionsReachTheCaller)
{
    auto object = CreateObject(QStringLiteral("Fake.Object"));
    try {
        object->call(QStringLiteral("Raise"), {13, QStringLiteral("Type mismatch")});
        ADD_FAILURE() << "no error";
    } catch (const VbError &error) {
        EXPECT_EQ(error.number(), 13);
        EXPECT_EQ(error.description(), QStringLiteral("Type mismatch"));
        EXPECT_EQ(error.source(), QStringLiteral("comfake"));
    }
    try {
        object->call(QStringLiteral("Quit"), {});
        ADD_FAILURE() << "no error";
    } catch (const VbError &error) {
        EXPECT_EQ(error.number(), platform::com::ObjectDisconnected);
    }
}

} // namespace
