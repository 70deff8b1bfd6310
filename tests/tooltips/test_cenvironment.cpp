#include "tooltips/cenvironment.h"

#include <gtest/gtest.h>

#include "platform/vb/vberror.h"
#include "platform/win/osversion.h"

namespace tooltips {
namespace {

using platform::win::OsVersionInfo;

// A system that answers only the given record size.
platform::win::VersionQuery system(uint32_t platform, uint32_t major, uint32_t minor,
                                   uint32_t answeredSize = OsVersionInfo::ExtendedSize)
{
    return [=](OsVersionInfo &info) {
        if (info.size != answeredSize)
            return false;
        info.platform = platform;
        info.major = major;
        info.minor = minor;
        return true;
    };
}

class CEnvironmentTest : public testing::Test
{
protected:
    void TearDown() override { platform::win::setVersionQuery({}); }
};

TEST_F(CEnvironmentTest, NamesBySystemVersion)
{
    struct Case
    {
        uint32_t platform, major, minor;
        const char *name;
        bool oldShell;
    };
    for (const Case &c :
         {Case{1, 4, 0, "Win95", true}, Case{1, 4, 10, "Win98", true}, Case{1, 5, 0, "Win98", true},
          Case{2, 4, 0, "WinNT4", true}, Case{2, 10, 0, "WinNT10", false}}) {
        platform::win::setVersionQuery(system(c.platform, c.major, c.minor));
        const QString name = CEnvironment().OsName();
        EXPECT_EQ(name, QString::fromLatin1(c.name));
        EXPECT_EQ(CEnvironment::isOldShell(name), c.oldShell) << c.name;
    }
}

TEST_F(CEnvironmentTest, TheDefaultSystemIsNT10)
{
    EXPECT_EQ(CEnvironment().OsName(), QStringLiteral("WinNT10"));
}

TEST_F(CEnvironmentTest, FallsBackToTheBasicRecord)
{
    platform::win::setVersionQuery(system(2, 6, 1, OsVersionInfo::BasicSize));
    EXPECT_EQ(CEnvironment().OsName(), QStringLiteral("WinNT6"));
}

TEST_F(CEnvironmentTest, Errors)
{
    struct Case
    {
        platform::win::VersionQuery query;
        uint32_t number;
        const char *description;
    };
    for (const Case &c : {Case{[](OsVersionInfo &) { return false; }, 0x800443E5u,
                               "Cannot get operating system name"},
                          Case{system(3, 10, 0), 0x800443E6u, "Unknown operating system"}}) {
        platform::win::setVersionQuery(c.query);
        try {
            CEnvironment().OsName();
            ADD_FAILURE() << "no error for " << c.description;
        } catch (const platform::vb::VbError &error) {
            EXPECT_EQ(error.number(), static_cast<int>(c.number));
            EXPECT_EQ(error.source(), QStringLiteral("R77Tip.CEnvironment"));
            EXPECT_EQ(error.description(), QString::fromLatin1(c.description));
        }
    }
}

} // namespace
} // namespace tooltips
