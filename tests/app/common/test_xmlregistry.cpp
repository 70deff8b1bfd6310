#include "app/common/xmlregistry.h"

#include <cerrno>
#include <cstring>
#include <functional>
#include <initializer_list>

#include <QDir>
#include <QDomDocument>
#include <QFile>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include "platform/vb/vberror.h"
#include "support/filebytes.h"
#include "support/ordinaryuser.h"
#include "support/smallfilesystem.h"

namespace {

using app::common::cXMLRegistry;
using platform::vb::VbError;

using testsupport::readAll;
using testsupport::writeAll;

const QByteArray Fixture = R"(<?xml version="1.0"?>
<anyroot>
  <ktwtoolkit>
    <data>
      <company>Acme</company>
      <logo_small>small</logo_small>
      <Mixed>m</Mixed>
      <empty/>
    </data>
  </ktwtoolkit>
  <deeper><other><data><k>v</k></data></other></deeper>
</anyroot>
)";

class XmlRegistryFile : public testing::Test
{
protected:
    void SetUp() override
    {
        writeAll(path_, Fixture);
        ASSERT_TRUE(store_.OpenXMLFile(path_, QStringLiteral("KTWToolkit"), false));
    }

    QTemporaryDir dir_;
    QString path_ = dir_.filePath(QStringLiteral("brand.vxb"));
    cXMLRegistry store_;
};

struct LookupCase
{
    const char *section;
    const char *key;
    const char *expected;
};

void PrintTo(const LookupCase &c, std::ostream *os)
{
    *os << c.section << "/" << c.key;
}

class XmlLookup : public XmlRegistryFile, public testing::WithParamInterface<LookupCase>
{};

TEST_P(XmlLookup, FindsLowerCaseElementsBelowTheRoot)
{
    const LookupCase &c = GetParam();
    EXPECT_EQ(store_.GetSetting(QString::fromUtf8(c.section), QString::fromUtf8(c.key),
                                QStringLiteral("<default>")),
              QString::fromUtf8(c.expected));
}

INSTANTIATE_TEST_SUITE_P(Names, XmlLookup,
                         testing::Values(LookupCase{"Data", "Company", "Acme"},
                                         LookupCase{"DATA", "Logo Small", "small"},
                                         LookupCase{"data", "Mixed", "<default>"},
                                         LookupCase{"data", "empty", ""},
                                         LookupCase{"data", "missing", "<default>"},
                                         LookupCase{"other", "company", "<default>"}));

TEST_F(XmlRegistryFile, AppNameKeepsItsCaseButLooksUpInLowerCase)
{
    EXPECT_EQ(store_.CurrentAppName(), QStringLiteral("KTWToolkit"));
    // Blanks become "_" before trimming: the trailing one hides the application element.
    ASSERT_TRUE(store_.OpenXMLFile(path_, QStringLiteral("KTW Toolkit "), false));
    EXPECT_EQ(store_.CurrentAppName(), QStringLiteral("KTW_Toolkit_"));
    EXPECT_EQ(
        store_.GetSetting(QStringLiteral("Data"), QStringLiteral("Company"), QStringLiteral("d")),
        QStringLiteral("d"));
}

TEST_F(XmlRegistryFile, NodeListSearchesAtAnyDepth)
{
    ASSERT_TRUE(store_.OpenXMLFile(path_, QStringLiteral("KTWToolkit"), false));
    EXPECT_EQ(store_.NodeList(QStringLiteral("KTWToolkit"), QStringLiteral("Data")),
              (QStringList{QStringLiteral("company"), QStringLiteral("logo_small"),
                           QStringLiteral("Mixed"), QStringLiteral("empty")}));
    EXPECT_EQ(store_.NodeList(QStringLiteral("KTWToolkit"), QString()),
              QStringList{QStringLiteral("data")});
    // One level deeper: listed, but not found by the settings reads.
    EXPECT_EQ(store_.NodeList(QStringLiteral("Other"), QStringLiteral("data")),
              QStringList{QStringLiteral("k")});
    ASSERT_TRUE(store_.OpenXMLFile(path_, QStringLiteral("Other"), false));
    EXPECT_EQ(store_.GetSetting(QStringLiteral("data"), QStringLiteral("k"), QStringLiteral("d")),
              QStringLiteral("d"));
    EXPECT_EQ(store_.NodeList(QStringLiteral("none"), QStringLiteral("data")), QStringList());
}

TEST_F(XmlRegistryFile, FailedOpenClosesTheStore)
{
    writeAll(dir_.filePath(QStringLiteral("bad.xml")), "<a><b></a>");
    for (const QString &name : {QStringLiteral("missing.xml"), QStringLiteral("bad.xml")}) {
        ASSERT_TRUE(store_.OpenXMLFile(path_, QStringLiteral("KTWToolkit"), false));
        EXPECT_FALSE(store_.OpenXMLFile(dir_.filePath(name), QStringLiteral("KTWToolkit"), false))
            << name.toStdString();
        EXPECT_EQ(store_.GetSetting(QStringLiteral("Data"), QStringLiteral("Company"),
                                    QStringLiteral("d")),
                  QString());
        EXPECT_EQ(store_.GetSettingEx(QStringLiteral("Data"), QStringLiteral("Company"),
                                      QStringLiteral("d")),
                  QVariant(QStringLiteral("d")));
        EXPECT_FALSE(store_.NodeList(QStringLiteral("KTWToolkit"), QStringLiteral("Data")));
        store_.SaveSetting(QStringLiteral("Data"), QStringLiteral("x"), QStringLiteral("y"), true);
    }
    EXPECT_EQ(readAll(path_), Fixture);
}

TEST_F(XmlRegistryFile, FilesBeyondTheLimitsOrThatWouldNotReadBackAreRefused)
{
    const auto nested = [](int depth) {
        return QByteArray("<a>").repeated(depth) + QByteArray("</a>").repeated(depth);
    };
    const struct
    {
        const char *name;
        QByteArray text;
        bool opens;
    } files[] = {
        {"nested 64 deep", nested(64), true},
        {"nested 65 deep", nested(65), false},
        {"nested 100000 deep", nested(100000), false},
        {"too large", "<a>" + QByteArray(16 * 1024 * 1024, 'x') + "</a>", false},
        {"written back as a different instruction", "<?xmlJJ@J?><a/>", false},
        {"an instruction inside a text", "<a>x<?p?>y</a>", false},
    };
    for (const auto &f : files) {
        const QString path = dir_.filePath(QStringLiteral("limits.xml"));
        writeAll(path, f.text);
        EXPECT_EQ(store_.OpenXMLFile(path, QStringLiteral("KTWToolkit"), false), f.opens) << f.name;
        store_.SaveSetting(QStringLiteral("Data"), QStringLiteral("x"), QStringLiteral("y"), true);
        if (!f.opens) {
            EXPECT_EQ(readAll(path), f.text) << f.name;
        }
    }
}

TEST(XmlRegistry, TextsBesideElementsStayAsTheyWereOverSaves)
{
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("mixed.xml"));
    writeAll(path, "<r><ktwtoolkit><data><k>a<b/>c</k><plain>v</plain></data></ktwtoolkit></r>");
    for (int save = 0; save < 3; ++save) {
        cXMLRegistry store;
        ASSERT_TRUE(store.OpenXMLFile(path, QStringLiteral("KTWToolkit"), false));
        EXPECT_EQ(store.GetSetting(QStringLiteral("Data"), QStringLiteral("k"), QString()),
                  QStringLiteral("ac"))
            << "after save " << save;
        EXPECT_EQ(store.GetSetting(QStringLiteral("Data"), QStringLiteral("plain"), QString()),
                  QStringLiteral("v"));
        store.SaveXMLFile();
    }
}

TEST_F(XmlRegistryFile, ASaveThatWouldNotReadBackIsRefusedAndTheFileKept)
{
    store_.SaveSetting(QStringLiteral("Data"), QStringLiteral("Company"),
                       QStringLiteral("bell \x07"));
    EXPECT_THROW(store_.SaveXMLFile(), VbError);
    EXPECT_EQ(readAll(path_), Fixture);
}

// As an ordinary user (root passes every permission bit), a read-only file is refused with the
// system's cause, a binary file's as the store's own, and both are kept as they were.
TEST_F(XmlRegistryFile, AReadOnlyFileIsRefusedWithTheSystemsCause)
{
    const QString binary = dir_.filePath(QStringLiteral("logo.bin"));
    writeAll(binary, "old");
    for (const QString &file : {path_, binary}) {
        ASSERT_TRUE(QFile::setPermissions(file, QFile::ReadOwner | QFile::ReadGroup));
        ASSERT_TRUE(testsupport::OrdinaryFileUser::own(file));
    }
    ASSERT_TRUE(testsupport::OrdinaryFileUser::own(dir_.path()));
    store_.SaveSetting(QStringLiteral("Data"), QStringLiteral("Company"), QStringLiteral("New"));
    QStringList causes;
    {
        const testsupport::OrdinaryFileUser user;
        SKIP_UNLESS_ORDINARY(user);
        for (const auto &save : std::initializer_list<std::function<void()>>{
                 [this] { store_.SaveXMLFile(); }, [&] { store_.WriteBinData(binary, "new"); }}) {
            try {
                save();
                causes << QStringLiteral("saved");
            } catch (const VbError &error) {
                causes << error.description();
            }
        }
    }
    const QString denied =
        QStringLiteral(" (") + QString::fromLocal8Bit(std::strerror(EACCES)) + QLatin1Char(')');
    ASSERT_EQ(causes.size(), 2);
    EXPECT_TRUE(causes[0].endsWith(denied)) << causes[0].toStdString();
    EXPECT_TRUE(causes[1].endsWith(denied)) << causes[1].toStdString();
    EXPECT_EQ(readAll(path_), Fixture);
    EXPECT_EQ(readAll(binary), "old");
}

TEST(XmlRegistry, CreateReplacesAnExistingFileWithAnEmptyStore)
{
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("s.xml"));
    writeAll(path, Fixture);
    cXMLRegistry store;
    ASSERT_TRUE(store.OpenXMLFile(path, QStringLiteral("App"), true));
    QDomDocument saved;
    ASSERT_TRUE(saved.setContent(readAll(path)));
    EXPECT_EQ(saved.documentElement().tagName(), QStringLiteral("xmlregistry"));
    EXPECT_FALSE(saved.documentElement().hasChildNodes());
}

TEST(XmlRegistry, SavedSettingsAndTypedValuesReadBackFromTheFile)
{
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("s.xml"));
    const QByteArray picture("\x89PNG\0\x01\xFF", 7);
    {
        cXMLRegistry store;
        ASSERT_TRUE(store.OpenXMLFile(path, QStringLiteral("My App"), true));
        store.SaveSetting(QStringLiteral("Main Data"), QStringLiteral("Long Name"),
                          QStringLiteral("first"));
        store.SaveSetting(QStringLiteral("Main Data"), QStringLiteral("long name"),
                          QStringLiteral("second"));
        store.SaveSettingEx(QStringLiteral("Main Data"), QStringLiteral("Logo"), picture,
                            QStringLiteral("bin.base64"));
        // Refused: a name no element can have, a text for a binary type, an unknown type.
        store.SaveSetting(QStringLiteral("Main Data"), QStringLiteral("1st"), QStringLiteral("x"));
        store.SaveSettingEx(QStringLiteral("Main Data"), QStringLiteral("Logo"),
                            QStringLiteral("text"), QStringLiteral("bin.base64"));
        store.SaveSettingEx(QStringLiteral("Main Data"), QStringLiteral("n"), 5,
                            QStringLiteral("no.such.type"));
        store.SaveXMLFile();
    }
    cXMLRegistry store;
    ASSERT_TRUE(store.OpenXMLFile(path, QStringLiteral("my app"), false));
    const QString section = QStringLiteral("main data");
    EXPECT_EQ(store.GetSetting(section, QStringLiteral("LONG NAME"), QString()),
              QStringLiteral("second"));
    EXPECT_EQ(store.GetSettingEx(section, QStringLiteral("logo"), QString()), QVariant(picture));
    EXPECT_EQ(store.GetSettingExText(section, QStringLiteral("logo"), QString()),
              QVariant(QString::fromLatin1(picture.toBase64())));
    EXPECT_EQ(store.NodeList(QStringLiteral("my app"), section),
              (QStringList{QStringLiteral("long_name"), QStringLiteral("logo")}));
}

TEST(XmlRegistry, SaveNowWritesAtOnce)
{
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("s.xml"));
    cXMLRegistry store;
    ASSERT_TRUE(store.OpenXMLFile(path, QStringLiteral("a"), true));
    store.SaveSetting(QStringLiteral("s"), QStringLiteral("k"), QStringLiteral("v"), true);
    cXMLRegistry reader;
    ASSERT_TRUE(reader.OpenXMLFile(path, QStringLiteral("a"), false));
    EXPECT_EQ(reader.GetSetting(QStringLiteral("s"), QStringLiteral("k"), QString()),
              QStringLiteral("v"));
}

TEST(XmlRegistry, BinaryFilesAreWrittenWholeAndReadBack)
{
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("b.bin"));
    cXMLRegistry store;
    store.WriteBinData(path, QByteArray("0123456789"));
    store.WriteBinData(path, QByteArray("ab\0c", 4));
    EXPECT_EQ(store.ReadBinData(path), QByteArray("ab\0c", 4));
    try {
        store.ReadBinData(dir.filePath(QStringLiteral("none.bin")));
        ADD_FAILURE() << "no error";
    } catch (const VbError &e) {
        EXPECT_EQ(e.number(), 53);
    }
    EXPECT_THROW(store.WriteBinData(dir.filePath(QStringLiteral("no/dir/b.bin")), "x"), VbError);
}

// Both writers of whole files: the settings document and a binary file.
TEST(XmlRegistryOnAFullDisk, SavesFailWithTheCauseAndKeepTheOldFiles)
{
    testsupport::SmallFileSystem disk;
    SKIP_UNLESS_MOUNTED(disk);
    const QString xml = disk.filePath(QStringLiteral("brand.vxb"));
    const QString bin = disk.filePath(QStringLiteral("logo.bin"));
    writeAll(xml, Fixture);
    writeAll(bin, "old picture");
    cXMLRegistry store;
    ASSERT_TRUE(store.OpenXMLFile(xml, QStringLiteral("KTWToolkit"), false));
    store.SaveSetting(QStringLiteral("Data"), QStringLiteral("Company"), QStringLiteral("New"));
    ASSERT_TRUE(disk.fill());

    const QString cause = QString::fromLocal8Bit(std::strerror(ENOSPC));
    try {
        store.SaveXMLFile();
        ADD_FAILURE() << "saved on a full disk";
    } catch (const VbError &e) {
        EXPECT_EQ(e.number(), 75);
        EXPECT_EQ(e.description(), QStringLiteral("Cannot write file: ") + xml +
                                       QStringLiteral(" (") + cause + QLatin1Char(')'));
    }
    try {
        store.WriteBinData(bin, QByteArray(10000, 'p'));
        ADD_FAILURE() << "written on a full disk";
    } catch (const VbError &e) {
        EXPECT_EQ(e.number(), 75);
        EXPECT_EQ(e.description(),
                  QStringLiteral("Path/File access error (") + cause + QLatin1Char(')'));
    }
    // SaveSetting's own save keeps its errors from the caller, and the file too.
    store.SaveSetting(QStringLiteral("Data"), QStringLiteral("Company"), QStringLiteral("Newer"),
                      true);
    EXPECT_EQ(readAll(xml), Fixture);
    EXPECT_EQ(readAll(bin), "old picture");
    EXPECT_EQ(disk.entries(),
              (QStringList{QStringLiteral("brand.vxb"), QStringLiteral("logo.bin")}));
}

} // namespace
