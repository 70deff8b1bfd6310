#include "app/common/inifilemodule.h"
#include "support/namedcase.h"

#include <QFile>
#include <QObject>
#include <QTemporaryDir>

#include <gtest/gtest.h>

namespace {

using app::common::LastIniKey;
using app::common::ReadIniFile;
using app::common::ReadIniValue;
using app::common::WriteIniValue;

struct NullCase
{
    const char *name;
    const char *stored; // nullptr: key not written
    const char *defaultValue;
    const char *expected;
};

using testsupport::PrintTo;

class IniNullRules : public testing::TestWithParam<NullCase>
{
protected:
    QTemporaryDir dir_;
    QString path_ = dir_.filePath(QStringLiteral("Config.ini"));
};

TEST_P(IniNullRules, ReadBack)
{
    const NullCase &c = GetParam();
    const QString section = QStringLiteral("Format");
    ASSERT_TRUE(WriteIniValue(path_, section, QStringLiteral("Other"), QStringLiteral("x")));
    if (c.stored) {
        ASSERT_TRUE(
            WriteIniValue(path_, section, QStringLiteral("Key"), QString::fromUtf8(c.stored)));
    }
    EXPECT_EQ(
        ReadIniValue(path_, section, QStringLiteral("Key"), QString::fromUtf8(c.defaultValue)),
        QString::fromUtf8(c.expected));
    EXPECT_EQ(ReadIniValue(ReadIniFile(path_), section, QStringLiteral("Key"),
                           QString::fromUtf8(c.defaultValue)),
              QString::fromUtf8(c.expected))
        << "the file read once";
}

INSTANTIATE_TEST_SUITE_P(
    Marker, IniNullRules,
    testing::Values(NullCase{"marker despite a default", "*NULL*", "0.00000", ""},
                    NullCase{"empty value gives the default", "", "0.00000", "0.00000"},
                    NullCase{"missing key with marker default", nullptr, "*NULL*", ""},
                    NullCase{"missing key", nullptr, "0.00000", "0.00000"},
                    NullCase{"lower case is no marker", "*null*", "d", "*null*"},
                    NullCase{"marker inside a text", "*NULL*x", "d", "*NULL*x"},
                    NullCase{"plain value", "0.000", "d", "0.000"}));

TEST(IniFileModule, LongValuesReadBackCutTo254Characters)
{
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("a.hcf"));
    ASSERT_TRUE(WriteIniValue(path, QStringLiteral("Data"), QStringLiteral("Note"),
                              QString(300, QLatin1Char('n'))));
    EXPECT_EQ(ReadIniValue(path, QStringLiteral("Data"), QStringLiteral("Note"), QString()),
              QString(254, QLatin1Char('n')));
}

TEST(IniFileModule, LastIniKeyNamesTheKeyOfAFailedCall)
{
    QTemporaryDir dir;
    const QString unwritable = dir.filePath(QStringLiteral("no/such/folder/a.hcf"));
    EXPECT_FALSE(WriteIniValue(unwritable, QStringLiteral("Zero"), QStringLiteral("ZERO"),
                               QStringLiteral("1.0")));
    EXPECT_EQ(LastIniKey(), QStringLiteral("ZERO"));
    EXPECT_EQ(ReadIniValue(unwritable, QStringLiteral("Zero"), QStringLiteral("UNTZ"),
                           QStringLiteral("d")),
              QStringLiteral("d"));
    EXPECT_EQ(LastIniKey(), QStringLiteral("UNTZ"));
}

// The thread that reads a whole file keeps running its events meanwhile; every read names its
// key.
TEST(IniFileModule, ReadingAWholeFileRunsEventsAndReadsNameTheirKeys)
{
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("a.hcf"));
    ASSERT_TRUE(WriteIniValue(path, QStringLiteral("Data"), QStringLiteral("Type"),
                              QStringLiteral("HXR")));
    bool ran = false;
    QObject receiver;
    QMetaObject::invokeMethod(&receiver, [&ran] { ran = true; }, Qt::QueuedConnection);
    const platform::win::ParsedProfile file = ReadIniFile(path);
    EXPECT_TRUE(ran);
    EXPECT_EQ(ReadIniValue(file, QStringLiteral("data"), QStringLiteral("type"), QString()),
              QStringLiteral("HXR"));
    EXPECT_EQ(ReadIniValue(file, QStringLiteral("Data"), QStringLiteral("Saved"),
                           QStringLiteral("*")),
              QStringLiteral("*"));
    EXPECT_EQ(LastIniKey(), QStringLiteral("Saved"));
    EXPECT_EQ(ReadIniValue(ReadIniFile(dir.filePath(QStringLiteral("none.hcf"))),
                           QStringLiteral("Data"), QStringLiteral("Type"), QStringLiteral("*")),
              QStringLiteral("*"));
}

} // namespace
