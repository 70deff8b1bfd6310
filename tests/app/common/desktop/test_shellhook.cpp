#include "app/common/desktop/shellhook.h"

#include <vector>

#include <QDir>
#include <QFile>
#include <QStringList>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include "support/recordingmessagedialog.h"

namespace {

using namespace app::common;
using namespace app::common::desktop;

struct Call
{
    QUrl target;
    QString verb;
};

class Shell : public testing::Test
{
protected:
    void SetUp() override
    {
        setMessageDialogFactory(
            [this] { return std::make_unique<testsupport::RecordingMessageDialog>(&messages); });
        setShellHook([this](const QUrl &target, const QString &verb, const ShellFailed &failed) {
            calls.push_back({target, verb});
            if (!reason.isEmpty())
                failed(reason);
        });
        ASSERT_TRUE(folder.isValid());
        manual = folder.filePath(QStringLiteral("Manual.pdf"));
        QFile file(manual);
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    }
    void TearDown() override
    {
        setShellHook({});
        setMessageDialogFactory({});
    }

    QTemporaryDir folder;
    QString manual;
    std::vector<Call> calls;
    QString reason; // empty: the desktop opens what it is given
    QStringList messages;
};

TEST_F(Shell, OpensADocumentOnce)
{
    ShellOpenFile(manual);
    ASSERT_EQ(calls.size(), 1u);
    EXPECT_EQ(calls[0].target, QUrl::fromLocalFile(manual));
    EXPECT_EQ(calls[0].verb, QStringLiteral("Open"));
    EXPECT_TRUE(messages.isEmpty()) << messages.join('\n').toStdString();
}

TEST_F(Shell, RetriesAFailedDocumentWithTheDefaultActionThenSaysWhy)
{
    reason = QStringLiteral("No program on this computer is set up to open it.");
    ShellOpenFile(manual);
    ASSERT_EQ(calls.size(), 2u);
    EXPECT_EQ(calls[0].verb, QStringLiteral("Open"));
    EXPECT_TRUE(calls[1].verb.isEmpty());
    EXPECT_EQ(calls[1].target, calls[0].target);
    ASSERT_EQ(messages.size(), 1);
    EXPECT_TRUE(messages[0].startsWith(QStringLiteral("Cannot Open File: ")));
    EXPECT_TRUE(messages[0].contains(manual));
    EXPECT_TRUE(messages[0].contains(reason));
}

TEST_F(Shell, AFailureReportedLaterStillWarnsOnce)
{
    // The desktop's launcher learns only after the call that nothing can open the file.
    std::vector<ShellFailed> pending;
    setShellHook([&](const QUrl &, const QString &, const ShellFailed &failed) {
        pending.push_back(failed);
    });
    ShellOpenFile(manual);
    ASSERT_EQ(pending.size(), 1u);
    EXPECT_TRUE(messages.isEmpty());
    pending[0](QStringLiteral("first"));
    ASSERT_EQ(pending.size(), 2u);
    EXPECT_TRUE(messages.isEmpty());
    pending[1](QStringLiteral("The program set up to open it could not open it."));
    ASSERT_EQ(messages.size(), 1);
    EXPECT_TRUE(messages[0].contains(QStringLiteral("could not open it")));
}

TEST_F(Shell, AMissingFileIsNamedInFullAndNotLaunched)
{
    // A relative name is shown as the full path the program looked for.
    const QString cwd = QDir::currentPath();
    QDir::setCurrent(folder.path());
    ShellOpenFile(QStringLiteral("Advanced.pdf"));
    QDir::setCurrent(cwd);
    EXPECT_TRUE(calls.empty());
    ASSERT_EQ(messages.size(), 1);
    EXPECT_TRUE(messages[0].contains(folder.filePath(QStringLiteral("Advanced.pdf"))));
    EXPECT_TRUE(messages[0].contains(QStringLiteral("does not exist")));
}

TEST_F(Shell, AThrowingLauncherIsAFailureWithAReason)
{
    setShellHook([](const QUrl &, const QString &, const ShellFailed &) { throw 1; });
    EXPECT_NO_THROW(ShellOpenFile(manual));
    EXPECT_NO_THROW(OpenWebPage(QStringLiteral("www.example.com")));
    ASSERT_EQ(messages.size(), 2);
    EXPECT_TRUE(messages[0].startsWith(QStringLiteral("Cannot Open File: ")));
    EXPECT_TRUE(messages[1].startsWith(QStringLiteral("Cannot Open Web Page: ")));
    EXPECT_TRUE(messages[1].contains(QStringLiteral("http://www.example.com")));
}

struct WebCase
{
    const char *given;
    const char *opened; // nullptr: nothing is opened and the user is told
};

void PrintTo(const WebCase &c, std::ostream *os)
{
    *os << '"' << c.given << '"';
}

class WebPage : public Shell, public testing::WithParamInterface<WebCase>
{};

TEST_P(WebPage, OpensOnlyWebAddresses)
{
    OpenWebPage(QString::fromLatin1(GetParam().given));
    if (!GetParam().opened) {
        EXPECT_TRUE(calls.empty()) << calls[0].target.toString().toStdString();
        ASSERT_EQ(messages.size(), 1);
        EXPECT_TRUE(messages[0].contains(QStringLiteral("not the address of a web page")));
        return;
    }
    ASSERT_EQ(calls.size(), 1u);
    EXPECT_EQ(calls[0].target.toString(), QString::fromLatin1(GetParam().opened));
    EXPECT_EQ(calls[0].verb, QStringLiteral("Open"));
    EXPECT_TRUE(messages.isEmpty());
}

INSTANTIATE_TEST_SUITE_P(
    Addresses, WebPage,
    testing::Values(WebCase{"www.example.com", "http://www.example.com"},
                    WebCase{"WWW.Example.com/a?b=1", "http://www.example.com/a?b=1"},
                    WebCase{"http://example.com/x", "http://example.com/x"},
                    WebCase{"HTTPS://example.com", "https://example.com"},
                    WebCase{" www.example.com ", "http://www.example.com"},
                    WebCase{"file:///etc/passwd", nullptr}, WebCase{"/usr/bin/xterm", nullptr},
                    WebCase{"javascript:alert(1)", nullptr}, WebCase{"ftp://example.com", nullptr},
                    WebCase{"http://", nullptr}, WebCase{"example.com", nullptr}));

TEST_F(Shell, AWebPageTheDesktopCannotOpenIsNamed)
{
    reason = QStringLiteral("No program on this computer is set up to open it.");
    OpenWebPage(QStringLiteral("www.example.com/help"));
    ASSERT_EQ(calls.size(), 1u);
    ASSERT_EQ(messages.size(), 1);
    EXPECT_TRUE(messages[0].contains(QStringLiteral("http://www.example.com/help")));
    EXPECT_TRUE(messages[0].contains(reason));
}

TEST_F(Shell, AnEmptyAddressDoesNothing)
{
    OpenWebPage(QString());
    EXPECT_TRUE(calls.empty());
    EXPECT_TRUE(messages.isEmpty());
}

} // namespace

namespace {

TEST_F(Shell, AWebPageOpenedForACallerReportsToItInsteadOfWarning)
{
    QStringList reported;
    const ShellFailed report = [&reported](const QString &why) { reported << why; };
    OpenWebPage(QStringLiteral("file:///bin/sh"), report);
    EXPECT_TRUE(calls.empty());
    reason = QStringLiteral("No program on this computer is set up to open it.");
    OpenWebPage(QStringLiteral("www.example.com/news/7.html"), report);
    ASSERT_EQ(calls.size(), 1u);
    EXPECT_EQ(calls[0].target, QUrl(QStringLiteral("http://www.example.com/news/7.html")));
    EXPECT_EQ(reported, (QStringList{QStringLiteral("It is not the address of a web page."), reason}));
    EXPECT_TRUE(messages.isEmpty());
}

} // namespace

namespace {

constexpr int Patience = 30000;

// The shipped path: the desktop's launcher found on PATH, here a script that logs its argument
// to a mark file and ends as the case says.
class DesktopLauncher : public testing::Test
{
protected:
    void SetUp() override
    {
        ASSERT_TRUE(folder.isValid());
        setMessageDialogFactory(
            [this] { return std::make_unique<testsupport::RecordingMessageDialog>(&messages); });
        path = qgetenv("PATH");
        qputenv("PATH", QFile::encodeName(folder.path()) + ':' + path);
        qputenv("HXR_TEST_MARK", QFile::encodeName(folder.filePath(QStringLiteral("mark"))));
        qputenv("HXR_TEST_GO", QFile::encodeName(folder.filePath(QStringLiteral("go"))));
    }
    void TearDown() override
    {
        // Nothing may be left waiting for a file that never comes.
        release();
        EXPECT_TRUE(WaitForLaunches(Patience));
        qputenv("PATH", path);
        setMessageDialogFactory({});
    }

    void launcher(const QByteArray &ending)
    {
        QFile script(folder.filePath(QStringLiteral("xdg-open")));
        ASSERT_TRUE(script.open(QIODevice::WriteOnly | QIODevice::Truncate));
        script.write("#!/bin/sh\nprintf '%s\\n' \"$1\" >> \"$HXR_TEST_MARK\"\n" + ending + "\n");
        script.close();
        script.setPermissions(QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
    }
    void release()
    {
        QFile go(folder.filePath(QStringLiteral("go")));
        go.open(QIODevice::WriteOnly);
    }
    QStringList marks() const
    {
        QFile mark(folder.filePath(QStringLiteral("mark")));
        if (!mark.open(QIODevice::ReadOnly))
            return {};
        return QString::fromLocal8Bit(mark.readAll()).split(QLatin1Char('\n'), Qt::SkipEmptyParts);
    }

    QTemporaryDir folder;
    QByteArray path;
    QStringList messages;
};

TEST_F(DesktopLauncher, ItsEndingIsTheOutcome)
{
    struct Case
    {
        QByteArray ending;
        QString reason; // empty: opened
    };
    const Case cases[] = {
        {"exit 0", {}},
        {"sleep 0.2; exit 0", {}},
        {"exit 1", QStringLiteral("The desktop's launcher failed (exit code 1).")},
        {"exit 2", QStringLiteral("The file does not exist.")},
        {"exit 3", QStringLiteral("No program on this computer is set up to open it.")},
        {"exit 4", QStringLiteral("The program set up to open it could not open it.")},
        {"kill -KILL $$", QStringLiteral("The desktop's launcher stopped unexpectedly.")},
    };
    for (const Case &c : cases) {
        QFile::remove(folder.filePath(QStringLiteral("mark")));
        launcher(c.ending);
        QStringList reported;
        OpenWebPage(QStringLiteral("www.example.com/news"),
                    [&reported](const QString &why) { reported << why; });
        EXPECT_TRUE(WaitForLaunches(Patience)) << c.ending.constData();
        EXPECT_EQ(marks(), QStringList{QStringLiteral("http://www.example.com/news")})
            << c.ending.constData();
        EXPECT_EQ(reported, c.reason.isEmpty() ? QStringList() : QStringList{c.reason})
            << c.ending.constData();
    }
    EXPECT_TRUE(messages.isEmpty()) << messages.join('\n').toStdString();
}

TEST_F(DesktopLauncher, TheWaitIsBoundedAndEndsWhenTheLauncherDoes)
{
    launcher("while [ ! -e \"$HXR_TEST_GO\" ]; do sleep 0.05; done");
    bool failed = false;
    OpenWebPage(QStringLiteral("https://example.com"),
                [&failed](const QString &) { failed = true; });
    EXPECT_FALSE(WaitForLaunches(50));
    release();
    EXPECT_TRUE(WaitForLaunches(Patience));
    EXPECT_FALSE(failed);
    EXPECT_EQ(marks(), QStringList{QStringLiteral("https://example.com")});
}

TEST_F(DesktopLauncher, ADocumentNothingOpensIsTriedTwiceThenNamed)
{
    // The second try starts from the first one's end: the wait covers both.
    launcher("exit 3");
    const QString manual = folder.filePath(QStringLiteral("Manual.pdf"));
    ASSERT_TRUE(QFile(manual).open(QIODevice::WriteOnly));
    ShellOpenFile(manual);
    EXPECT_TRUE(WaitForLaunches(Patience));
    EXPECT_EQ(marks(), (QStringList{manual, manual}));
    ASSERT_EQ(messages.size(), 1);
    EXPECT_TRUE(messages[0].contains(manual));
    EXPECT_TRUE(messages[0].contains(QStringLiteral("No program on this computer")));
}

} // namespace
