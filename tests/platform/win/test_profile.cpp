#include "platform/win/profile.h"
#include "support/filebytes.h"
#include "support/namedcase.h"
#include "support/ordinaryuser.h"
#include "support/smallfilesystem.h"

#include <cerrno>
#include <cstring>

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include <gtest/gtest.h>

namespace {

using platform::win::getPrivateProfileString;
using platform::win::writePrivateProfileString;

using testsupport::readAll;
using testsupport::writeAll;

class ProfileFile : public testing::Test
{
protected:
    QTemporaryDir dir_;
    QString path_ = dir_.filePath(QStringLiteral("Config.ini"));
};

struct ReadCase
{
    const char *name;
    QByteArray file;
    const char *section;
    const char *key;
    const char *defaultValue;
    int size;
    const char16_t *expected;
};

using testsupport::PrintTo;

class ProfileRead : public ProfileFile, public testing::WithParamInterface<ReadCase>
{};

TEST_P(ProfileRead, FindsTheValue)
{
    const ReadCase &c = GetParam();
    writeAll(path_, c.file);
    QString result = QStringLiteral("stale");
    const int length =
        getPrivateProfileString(QString::fromUtf8(c.section), QString::fromUtf8(c.key),
                                QString::fromUtf8(c.defaultValue), result, c.size, path_);
    const QString expected = QString::fromUtf16(c.expected);
    EXPECT_EQ(result, expected);
    EXPECT_EQ(length, expected.size());
}

INSTANTIATE_TEST_SUITE_P(
    Rules, ProfileRead,
    testing::Values(
        ReadCase{"double quotes", "[s]\r\nk=\"a b\"\r\n", "s", "k", "d", 255, u"a b"},
        ReadCase{"single quotes", "[s]\r\nk='a'\r\n", "s", "k", "d", 255, u"a"},
        ReadCase{"one pair only", "[s]\r\nk=\"\"a\"\"\r\n", "s", "k", "d", 255, u"\"a\""},
        ReadCase{"unmatched quotes", "[s]\r\nk=\"a'\r\n", "s", "k", "d", 255, u"\"a'"},
        ReadCase{"blanks", "  [ s ]  \r\n  k  =  a b  \t\r\n", "s", "k", "d", 255, u"a b"},
        ReadCase{"case", "[FORMAT]\r\nRECENT=0.000\r\n", "Format", "recent", "d", 255, u"0.000"},
        ReadCase{"first key wins", "[s]\r\nk=1\r\nK=2\r\n", "s", "k", "d", 255, u"1"},
        ReadCase{"first section wins", "[s]\r\nk=1\r\n[S]\r\nk=2\r\nj=3\r\n", "s", "j", "d", 255,
                 u"d"},
        ReadCase{"other section", "[a]\r\nk=1\r\n[b]\r\nk=2\r\n", "b", "k", "d", 255, u"2"},
        ReadCase{"key before any section", "k=1\r\n[s]\r\n", "s", "k", "d", 255, u"d"},
        ReadCase{"equals in value", "[s]\r\nk=a=b\r\n", "s", "k", "d", 255, u"a=b"},
        ReadCase{"LF lines", "[s]\nj=0\nk=1\n", "s", "k", "d", 255, u"1"},
        ReadCase{"CR lines", "[s]\rj=0\rk=1", "s", "k", "d", 255, u"1"},
        ReadCase{"UTF-8 with BOM", "\xEF\xBB\xBF[s]\r\nk=caf\xC3\xA9\r\n", "s", "k", "d", 255,
                 u"caf\u00E9"},
        ReadCase{"UTF-8", "[s]\r\nk=\xE2\x82\xAC\r\n", "s", "k", "d", 255, u"\u20AC"},
        ReadCase{"CP1252", "[s]\r\nk=caf\xE9 \x80\r\n", "s", "k", "d", 255, u"caf\u00E9 \u20AC"},
        ReadCase{"UTF-16 with BOM", QByteArray("\xFF\xFE[\0s\0]\0\n\0k\0=\0\x16\x04", 16), "s", "k",
                 "d", 255, u"\u0416"},
        ReadCase{"UTF-16 big-endian with BOM",
                 QByteArray("\xFE\xFF\0[\0s\0]\0\n\0k\0=\x04\x16", 16), "s", "k", "d", 255,
                 u"\u0416"},
        ReadCase{"empty value is not the default", "[s]\r\nk=\r\n", "s", "k", "d", 255, u""},
        ReadCase{"missing key takes the default", "[s]\r\n", "s", "k", "def  ", 255, u"def"},
        ReadCase{"default cut too", "", "s", "k", "abcdef", 4, u"abc"}));

TEST_F(ProfileFile, LongValueIsCutToTheBuffer)
{
    writeAll(path_, "[s]\r\nk=" + QByteArray(300, 'x') + "\r\n");
    QString result;
    EXPECT_EQ(getPrivateProfileString(QStringLiteral("s"), QStringLiteral("k"), QString(), result,
                                      255, path_),
              254);
    EXPECT_EQ(result, QString(254, QLatin1Char('x')));
}

TEST_F(ProfileFile, MissingFileGivesTheDefault)
{
    QString result;
    EXPECT_EQ(getPrivateProfileString(QStringLiteral("s"), QStringLiteral("k"), QStringLiteral("d"),
                                      result, 255, path_),
              1);
    EXPECT_EQ(result, QStringLiteral("d"));
}

// Many sections of many keys, read once: every key is found in its own section, a section that
// comes again adds nothing, and the answers no longer depend on the file.
TEST_F(ProfileFile, OneReadAnswersEveryLookup)
{
    QByteArray text = "k=before any section\r\n";
    for (int s = 0; s < 40; ++s) {
        text += "[Section" + QByteArray::number(s) + "]\r\n";
        for (int k = 0; k < 30; ++k) {
            text += "Key" + QByteArray::number(k) + "=" + QByteArray::number(s * 100 + k) + "\r\n";
        }
    }
    text += "[SECTION7]\r\nKey0=again\r\nExtra=again\r\n";
    writeAll(path_, text);
    const platform::win::ParsedProfile parsed(path_);
    writeAll(path_, "[Section1]\r\nKey1=changed\r\n");

    QString result;
    for (int s = 0; s < 40; ++s) {
        for (int k = 0; k < 30; ++k) {
            const QString expected = QString::number(s * 100 + k);
            EXPECT_EQ(parsed.getString(QStringLiteral(" section%1 ").arg(s),
                                       QStringLiteral("KEY%1").arg(k), QStringLiteral("d"), result,
                                       255),
                      expected.size());
            EXPECT_EQ(result, expected) << s << " " << k;
        }
    }
    EXPECT_EQ(parsed.getString(QStringLiteral("Section7"), QStringLiteral("Extra"),
                               QStringLiteral("d"), result, 255),
              1);
    EXPECT_EQ(result, QStringLiteral("d"));
    EXPECT_EQ(parsed.getString(QString(), QStringLiteral("k"), QStringLiteral("d"), result, 255),
              1);
    EXPECT_EQ(result, QStringLiteral("d"));
    EXPECT_EQ(platform::win::ParsedProfile().getString(QStringLiteral("Section1"),
                                                       QStringLiteral("Key1"),
                                                       QStringLiteral("def  "), result, 3),
              2);
    EXPECT_EQ(result, QStringLiteral("de"));
}

struct WriteCase
{
    const char *name;
    QByteArray before; // empty: no file
    const char *section;
    const char *key;
    const char16_t *value;
    QByteArray after;
};

class ProfileWrite : public ProfileFile, public testing::WithParamInterface<WriteCase>
{};

TEST_P(ProfileWrite, RewritesInPlace)
{
    const WriteCase &c = GetParam();
    if (!c.before.isEmpty()) {
        writeAll(path_, c.before);
    }
    EXPECT_TRUE(writePrivateProfileString(QString::fromUtf8(c.section), QString::fromUtf8(c.key),
                                          QString::fromUtf16(c.value), path_));
    EXPECT_EQ(readAll(path_), c.after);
}

INSTANTIATE_TEST_SUITE_P(
    Rules, ProfileWrite,
    testing::Values(
        WriteCase{"new file", "", "Files", "LogsInitDir", u"/home/u",
                  "[Files]\r\nLogsInitDir=/home/u\r\n"},
        WriteCase{"replace keeps other lines",
                  "; settings\r\n[Format]\r\n 70000 = 0.00\r\nRecent=0.0\r\n\r\n[Files]\r\nx=1\r\n",
                  "format", "70000", u"0.000",
                  "; settings\r\n[Format]\r\n70000=0.000\r\nRecent=0.0\r\n\r\n[Files]\r\nx=1\r\n"},
        WriteCase{"first key of first section", "[s]\r\nk=1\r\nk=2\r\n[s]\r\nk=3\r\n", "S", "K",
                  u"9", "[s]\r\nk=9\r\nk=2\r\n[s]\r\nk=3\r\n"},
        WriteCase{"new key after the section's last line", "[a]\r\nx=1\r\n\r\n[b]\r\ny=2\r\n", "a",
                  "z", u"3", "[a]\r\nx=1\r\nz=3\r\n\r\n[b]\r\ny=2\r\n"},
        WriteCase{"new section at the end", "[a]\r\nx=1", "b", "y", u"2",
                  "[a]\r\nx=1\r\n[b]\r\ny=2\r\n"},
        WriteCase{"LF file gets CR LF", "[a]\nx=1\n", "a", "x", u"2", "[a]\r\nx=2\r\n"},
        WriteCase{"empty value", "[a]\r\nx=1\r\n", "a", "x", u"", "[a]\r\nx=\r\n"},
        WriteCase{"BOM kept", "\xEF\xBB\xBF[a]\r\nx=1\r\n", "a", "x", u"\u00E9",
                  "\xEF\xBB\xBF[a]\r\nx=\xC3\xA9\r\n"},
        WriteCase{"CP1252 stays CP1252", "[a]\r\nx=\xE9\r\n", "a", "y", u"\u20AC",
                  "[a]\r\nx=\xE9\r\ny=\x80\r\n"},
        WriteCase{"UTF-16 big-endian kept", QByteArray("\xFE\xFF\0[\0a\0]\0\n\0x\0=\0001", 16),
                  "a", "y", u"\u0416",
                  QByteArray("\xFE\xFF\0[\0a\0]\0\r\0\n\0x\0=\0001\0\r\0\n\0y\0=\x04\x16\0\r\0\n",
                             32)},
        WriteCase{"CP1252 that cannot hold the value becomes UTF-8", "[a]\r\nx=\xE9\r\n", "a", "y",
                  u"\u0416", "[a]\r\nx=\xC3\xA9\r\ny=\xD0\x96\r\n"},
        // Written back as CP1252 it would pass for UTF-8, and its last key would read differently.
        WriteCase{"CP1252 losing its last non-UTF-8 byte becomes UTF-8",
                  "[a]\r\nx=\xC4\r\n\xEF\xBB\xBF=1\r\n", "a", "x", u"",
                  "[a]\r\nx=\r\n\xC3\xAF\xC2\xBB\xC2\xBF=1\r\n"}));

TEST_F(ProfileFile, WrittenValueReadsBack)
{
    ASSERT_TRUE(writePrivateProfileString(QStringLiteral("Data"), QStringLiteral("Serial"),
                                          QStringLiteral("70000"), path_));
    ASSERT_TRUE(writePrivateProfileString(QStringLiteral("Data"), QStringLiteral("Model"),
                                          QStringLiteral("HXR-TRB"), path_));
    QString result;
    EXPECT_EQ(getPrivateProfileString(QStringLiteral("data"), QStringLiteral("serial"), QString(),
                                      result, 255, path_),
              5);
    EXPECT_EQ(result, QStringLiteral("70000"));
}

TEST_F(ProfileFile, RefusesWritesThatWouldBreakTheFile)
{
    const QByteArray before = "[a]\r\nx=1\r\n";
    writeAll(path_, before);
    const struct
    {
        const char *section;
        const char *key;
        const char *value;
    } refused[] = {{"a", "x", "1\r\ny=2"}, {"a", "x", "1\n"}, {"a", "y=z", "1"},
                   {"a", "[b]", "1"},      {"a]", "x", "1"},  {"a", " ", "1"}};
    for (const auto &r : refused) {
        EXPECT_FALSE(writePrivateProfileString(QString::fromUtf8(r.section),
                                               QString::fromUtf8(r.key), QString::fromUtf8(r.value),
                                               path_))
            << r.section << " " << r.key;
    }
    EXPECT_EQ(readAll(path_), before);
}

TEST_F(ProfileFile, AWriteRemovesTheTemporaryFilesThatCrashedWritesLeft)
{
    const struct
    {
        const char *name;
        bool removed;
    } files[] = {{".Config.ini.Ab12Cd.hxrtmp", true}, // left by a crashed write: nobody holds it
                 {".Other.ini.Xy34Zw.hxrtmp", true},  // the same, for another file of the folder
                 {"Config.ini.bak", false},           // not one of ours
                 {"Config.ini.Ab12Cd", false},
                 {".Config.ini.Ab12Cd7.hxrtmp", false}};
    for (const auto &f : files) {
        writeAll(dir_.filePath(QString::fromLatin1(f.name)), "partial");
    }
    ASSERT_TRUE(writePrivateProfileString(QStringLiteral("a"), QStringLiteral("x"),
                                          QStringLiteral("1"), path_));
    for (const auto &f : files) {
        EXPECT_EQ(QFile::exists(dir_.filePath(QString::fromLatin1(f.name))), !f.removed) << f.name;
    }
    EXPECT_EQ(QDir(dir_.path()).entryList(QDir::Files | QDir::Hidden).size(), 4);
}

TEST_F(ProfileFile, ReportsAFileThatCannotBeWrittenWithTheCause)
{
    QString cause;
    EXPECT_FALSE(
        writePrivateProfileString(QStringLiteral("a"), QStringLiteral("x"), QStringLiteral("1"),
                                  dir_.filePath(QStringLiteral("missing/Config.ini")), &cause));
    EXPECT_EQ(cause, QString::fromLocal8Bit(std::strerror(ENOENT)));
    // A refused name is no failure of the file: no cause.
    EXPECT_FALSE(writePrivateProfileString(QStringLiteral("a"), QStringLiteral("x=y"),
                                           QStringLiteral("1"), path_, &cause));
    EXPECT_TRUE(cause.isEmpty());
}

// As an ordinary user (root passes every permission bit), a read-only file is refused with the
// system's cause and kept as it was.
TEST_F(ProfileFile, AReadOnlyFileIsRefusedWithTheSystemsCause)
{
    const QByteArray old = "[Format]\r\nRecent=1\r\n";
    writeAll(path_, old);
    ASSERT_TRUE(QFile::setPermissions(path_, QFile::ReadOwner | QFile::ReadGroup));
    ASSERT_TRUE(testsupport::OrdinaryFileUser::own(dir_.path()));
    ASSERT_TRUE(testsupport::OrdinaryFileUser::own(path_));
    QString cause;
    bool written = true;
    {
        const testsupport::OrdinaryFileUser user;
        SKIP_UNLESS_ORDINARY(user);
        written = writePrivateProfileString(QStringLiteral("Format"), QStringLiteral("Recent"),
                                            QStringLiteral("2"), path_, &cause);
    }
    EXPECT_FALSE(written);
    EXPECT_EQ(cause, QString::fromLocal8Bit(std::strerror(EACCES)));
    EXPECT_EQ(readAll(path_), old);
    EXPECT_EQ(QDir(dir_.path()).entryList(QDir::Files | QDir::Hidden),
              QStringList{QStringLiteral("Config.ini")});
}

TEST(ProfileOnAFullDisk, EveryWriteIsRefusedWithTheCauseAndTheFileKept)
{
    testsupport::SmallFileSystem disk;
    SKIP_UNLESS_MOUNTED(disk);
    const QString path = disk.filePath(QStringLiteral("Config.ini"));
    const QByteArray old = "[Format]\r\nRecent=0.00000\r\n";
    writeAll(path, old);
    ASSERT_TRUE(disk.fill());
    for (int i = 0; i < 40; ++i) {
        QString cause;
        EXPECT_FALSE(writePrivateProfileString(QStringLiteral("Format"),
                                               QStringLiteral("K%1").arg(i),
                                               QStringLiteral("0.000"), path, &cause));
        EXPECT_EQ(cause, QString::fromLocal8Bit(std::strerror(ENOSPC)));
    }
    EXPECT_EQ(readAll(path), old);
    EXPECT_EQ(disk.entries(), QStringList{QStringLiteral("Config.ini")});
}

// Collected in memory, a file gets exactly the bytes the same writes give a file on disk.
TEST_F(ProfileFile, WritesInMemoryGiveTheBytesOfWritesToTheFile)
{
    const struct
    {
        const char *section;
        const char *key;
        const char *value;
    } writes[] = {{"Data", "Type", "HXR"},          {"Factory", "VER", "261"},
                  {"Protection", "Lock Mask", "0"}, {"Factory", "SERIAL", "7"},
                  {"data", "TYPE", "HXR2"},         {"Zero", "ZERO", "*NULL*"}};
    QByteArray bytes;
    for (const auto &w : writes) {
        const QString section = QString::fromUtf8(w.section);
        const QString key = QString::fromUtf8(w.key);
        const QString value = QString::fromUtf8(w.value);
        ASSERT_TRUE(writePrivateProfileString(section, key, value, path_));
        ASSERT_TRUE(platform::win::writeProfileString(bytes, section, key, value));
        EXPECT_EQ(bytes, readAll(path_)) << w.key;
    }
    EXPECT_FALSE(platform::win::writeProfileString(bytes, QStringLiteral("a"), QStringLiteral("x"),
                                                   QStringLiteral("1\r\n")));
    EXPECT_EQ(bytes, readAll(path_));
}

} // namespace
