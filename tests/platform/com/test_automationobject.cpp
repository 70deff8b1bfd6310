#include "platform/com/automationobject.h"

#include <cerrno>
#include <csignal>
#include <cstring>
#include <sys/mount.h>
#include <sys/stat.h>
#include <unistd.h>

#include <QCoreApplication>
#include <QDir>
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

void writeFile(const QString &path, const QByteArray &text, QFile::Permissions permissions)
{
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write(text);
    file.close();
    ASSERT_TRUE(file.setPermissions(permissions));
}

constexpr QFile::Permissions Runnable = QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner;

// A registration file in a folder of its own, holding copies of the fake server and files that
// are no servers.
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
        // Others may run it, its owner may not.
        ASSERT_TRUE(QFile::copy(fakeServer(), dir_.filePath(QStringLiteral("theirs"))));
        QFile::setPermissions(dir_.filePath(QStringLiteral("theirs")),
                              QFile::ReadOwner | QFile::ReadGroup | QFile::ExeGroup);
        ASSERT_TRUE(QDir(dir_.path()).mkdir(QStringLiteral("folder")));
        writeFile(dir_.filePath(QStringLiteral("text")), "echo hello\n", Runnable);
        writeFile(dir_.filePath(QStringLiteral("orphan")), "#!/nonexistent/shell\necho hello\n",
                  Runnable);
        ASSERT_EQ(mkfifo(QFile::encodeName(dir_.filePath(QStringLiteral("fifo"))).constData(), 0700),
                  0);
        QFile classes(dir_.filePath(QStringLiteral("classes.ini")));
        ASSERT_TRUE(classes.open(QIODevice::WriteOnly));
        classes.write("[Fake.Object]\r\nServer=fake\r\n"
                      "[Fake.Plain]\r\nServer=plain\r\n"
                      "[Fake.Theirs]\r\nServer=theirs\r\n"
                      "[Fake.Folder]\r\nServer=folder\r\n"
                      "[Fake.Text]\r\nServer=text\r\n"
                      "[Fake.Orphan]\r\nServer=orphan\r\n"
                      "[Fake.Fifo]\r\nServer=fifo\r\n"
                      "[Fake.NoExec]\r\nServer=noexec/fake\r\n"
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
        QString cause;
    };
    // The administrator may run a file that others may execute: for him it is no refusal.
    const int theirs = geteuid() == 0 ? 0 : platform::com::ElevationRequired;
    const Case cases[] = {
        {QStringLiteral("Fake.Unknown"), platform::com::CannotCreateObject,
         QStringLiteral("Fake.Unknown"), QStringLiteral("is not registered")},
        {QStringLiteral("Fake.Missing"), platform::com::CannotCreateObject,
         QStringLiteral("sub/none"), QStringLiteral("is missing")},
        {QStringLiteral("Fake.Plain"), platform::com::CannotCreateObject, QStringLiteral("plain"),
         QStringLiteral("cannot be run: it is not executable")},
        {QStringLiteral("Fake.Folder"), platform::com::CannotCreateObject, QStringLiteral("folder"),
         QStringLiteral("cannot be run: it is a folder")},
        {QStringLiteral("Fake.Fifo"), platform::com::CannotCreateObject, QStringLiteral("fifo"),
         QStringLiteral("cannot be run: it is not a regular file")},
        {QStringLiteral("Fake.Text"), platform::com::CannotCreateObject, QStringLiteral("text"),
         QStringLiteral("cannot be run: it is not a program")},
        {QStringLiteral("Fake.Orphan"), platform::com::CannotCreateObject, QStringLiteral("orphan"),
         QStringLiteral("cannot be run: the interpreter or loader that it names does not exist")},
        {QStringLiteral("Fake.Theirs"), theirs, QStringLiteral("theirs"),
         QStringLiteral("may not be run: this user is not allowed to run it")},
    };
    for (const Case &c : cases) {
        QString description;
        EXPECT_EQ(creationError(c.progId, &description), c.number) << c.progId.toStdString();
        if (c.number == 0)
            continue;
        EXPECT_THAT(description.toStdString(), testing::HasSubstr(c.named.toStdString()));
        EXPECT_THAT(description.toStdString(), testing::HasSubstr(c.cause.toStdString()))
            << c.progId.toStdString();
    }
}

TEST_F(AutomationObjectTest, AServerOnAFileSystemThatRunsNothingCannotBeRun)
{
    const QString mountPoint = dir_.filePath(QStringLiteral("noexec"));
    ASSERT_TRUE(QDir(dir_.path()).mkdir(QStringLiteral("noexec")));
    const QByteArray where = QFile::encodeName(mountPoint);
    if (mount("tmpfs", where.constData(), "tmpfs", MS_NOEXEC, "size=8m") != 0)
        GTEST_SKIP() << "no file system can be mounted here: " << strerror(errno);
    const bool copied = QFile::copy(fakeServer(), mountPoint + QStringLiteral("/fake"));
    QString description;
    const int number = creationError(QStringLiteral("Fake.NoExec"), &description);
    umount2(where.constData(), MNT_DETACH);
    ASSERT_TRUE(copied);
    EXPECT_EQ(number, platform::com::CannotCreateObject);
    EXPECT_THAT(description.toStdString(), testing::HasSubstr("mounted without permission to run"));
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
