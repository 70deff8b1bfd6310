#include "app/common/dialogs/shellhook.h"

#include <vector>

#include <gtest/gtest.h>

namespace {

using namespace app::common;
using namespace app::common::dialogs;

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
        setShellHook([this](const QUrl &target, const QString &verb) {
            calls.push_back({target, verb});
            return succeed;
        });
    }
    void TearDown() override { setShellHook({}); }

    std::vector<Call> calls;
    bool succeed = true;
};

TEST_F(Shell, OpensADocumentOnce)
{
    EXPECT_TRUE(ShellOpenFile(QStringLiteral("/opt/hxr/Manual.pdf")));
    ASSERT_EQ(calls.size(), 1u);
    EXPECT_EQ(calls[0].target, QUrl::fromLocalFile(QStringLiteral("/opt/hxr/Manual.pdf")));
    EXPECT_EQ(calls[0].verb, QStringLiteral("Open"));
}

TEST_F(Shell, RetriesAFailedDocumentWithTheDefaultAction)
{
    succeed = false;
    EXPECT_FALSE(ShellOpenFile(QStringLiteral("/opt/hxr/Manual.pdf")));
    ASSERT_EQ(calls.size(), 2u);
    EXPECT_EQ(calls[0].verb, QStringLiteral("Open"));
    EXPECT_TRUE(calls[1].verb.isEmpty());
    EXPECT_EQ(calls[1].target, calls[0].target);
}

struct WebCase
{
    const char *given;
    const char *opened; // nullptr: nothing is opened
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
        return;
    }
    ASSERT_EQ(calls.size(), 1u);
    EXPECT_EQ(calls[0].target.toString(), QString::fromLatin1(GetParam().opened));
    EXPECT_EQ(calls[0].verb, QStringLiteral("Open"));
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
                    WebCase{"http://", nullptr}, WebCase{"", nullptr},
                    WebCase{"example.com", nullptr}));

TEST_F(Shell, IgnoresAFailingLaunch)
{
    setShellHook([](const QUrl &, const QString &) -> bool { throw 1; });
    EXPECT_NO_THROW(OpenWebPage(QStringLiteral("www.example.com")));
}

} // namespace
