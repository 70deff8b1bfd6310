#include "app/common/xmlmodule.h"

#include <QFile>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include "app/common/md5.h"
#include "app/common/xmlregistry.h"
#include "support/namedcase.h"

namespace {

using app::common::GetXMLNodeList;
using app::common::OpenXMLStore;
using app::common::ReadXMLBinary;
using app::common::ReadXMLSetting;
using app::common::SaltedMD5;
using app::common::VerifyXMLHash;

// A branding-like file: a root of any name, the application "ktwtoolkit", the section "data".
QByteArray brandFile(const QByteArray &data, const QByteArray &before = QByteArray())
{
    return "<?xml version=\"1.0\"?>\n<brand>\n" + before + "<ktwtoolkit>\n<data>\n" + data +
           "</data>\n</ktwtoolkit>\n</brand>\n";
}

// The digest of the legitimate section, pinned: salt + "Acme" + "HXR Toolkit" + the raw text
// with its escape.
const QByteArray Digest = "7c55c30c6fb4b1f45a474119a610c53b";
const QByteArray Company = "<company>Acme</company>\n";
const QByteArray LongName = "<longname>HXR Toolkit</longname>\n";
const QByteArray Note = "<note>two&amp;#xA;words</note>\n";
const QByteArray Hash = "<md5hash>" + Digest + "</md5hash>\n";

class XmlModuleFile : public testing::Test
{
protected:
    bool open(const QByteArray &content)
    {
        QFile file(path_);
        if (!file.open(QIODevice::WriteOnly)) {
            return false;
        }
        file.write(content);
        file.close();
        return OpenXMLStore(path_, QStringLiteral("KTWToolkit"), false).isEmpty();
    }

    QTemporaryDir dir_;
    QString path_ = dir_.filePath(QStringLiteral("default.vxb"));
};

TEST_F(XmlModuleFile, IntactSectionPassesAndTextsGetTheirControlCharacters)
{
    ASSERT_TRUE(open(brandFile(Company + Hash + LongName + Note)));
    EXPECT_TRUE(VerifyXMLHash(QStringLiteral("Data")));
    EXPECT_EQ(SaltedMD5(QStringLiteral("AcmeHXR Toolkittwo&#xA;words")),
              QString::fromLatin1(Digest));
    EXPECT_EQ(ReadXMLSetting(QStringLiteral("Data"), QStringLiteral("Note"), QString()),
              QStringLiteral("two\nwords"));
    EXPECT_EQ(ReadXMLSetting(QStringLiteral("Data"), QStringLiteral("URL"), QStringLiteral("d")),
              QStringLiteral("d"));
}

TEST(XmlModule, RestoresEveryEscapeInOrder)
{
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("e.xml"));
    ASSERT_TRUE(OpenXMLStore(path, QStringLiteral("a"), true).isEmpty());
    app::common::XMLStore().SaveSetting(QStringLiteral("s"), QStringLiteral("k"),
                                        QStringLiteral("a&#xD;&#xA;b&#x9;c&#x0;d&#xa;"));
    EXPECT_EQ(ReadXMLSetting(QStringLiteral("s"), QStringLiteral("k"), QString()),
              QStringLiteral("a\r\nb\tc") + QChar(0) + QStringLiteral("d&#xa;"));
}

struct TamperCase
{
    const char *name;
    QByteArray file;
};

using testsupport::PrintTo;

class XmlTampered : public XmlModuleFile, public testing::WithParamInterface<TamperCase>
{};

TEST_P(XmlTampered, FailsTheCheck)
{
    ASSERT_TRUE(open(GetParam().file));
    EXPECT_FALSE(VerifyXMLHash(QStringLiteral("Data")));
}

INSTANTIATE_TEST_SUITE_P(
    Files, XmlTampered,
    testing::Values(
        TamperCase{"changed character",
                   brandFile("<company>Acmf</company>\n" + Hash + LongName + Note)},
        TamperCase{"reordered keys", brandFile(LongName + Company + Hash + Note)},
        TamperCase{"added key", brandFile(Company + Hash + LongName + Note + "<url>x</url>")},
        TamperCase{"upper-case digest", brandFile(Company + "<md5hash>" + Digest.toUpper() +
                                                  "</md5hash>\n" + LongName + Note)},
        TamperCase{"digest element in mixed case",
                   brandFile(Company + "<MD5Hash>" + Digest + "</MD5Hash>\n" + LongName + Note)},
        TamperCase{"no digest", brandFile(Company + LongName + Note)},
        TamperCase{"escape decoded in the file",
                   brandFile(Company + Hash + LongName + "<note>two&#xA;words</note>\n")},
        // A nested copy, found first at any depth, lists the legitimate keys while the section
        // the program reads holds one more.
        TamperCase{"nested copy",
                   brandFile(Company + Hash + LongName + Note + "<url>http://evil</url>\n",
                             "<x><ktwtoolkit><data><company/><md5hash/><longname/><note/></data>"
                             "</ktwtoolkit></x>\n")}));

TEST_F(XmlModuleFile, MissingFileFailsToOpenAndFailsTheCheck)
{
    const QString missing = dir_.filePath(QStringLiteral("brand.vxb"));
    EXPECT_EQ(OpenXMLStore(missing, QStringLiteral("KTWToolkit"), false),
              QStringLiteral("Cannot open file: ") + missing);
    EXPECT_FALSE(VerifyXMLHash(QStringLiteral("Data")));
    EXPECT_FALSE(GetXMLNodeList(QStringLiteral("KTWToolkit"), QStringLiteral("Data")));
}

TEST_F(XmlModuleFile, BinaryKeysGiveTheirBytes)
{
    const QByteArray bytes("\x89PNG\r\n", 6);
    const QByteArray data =
        "<logo xmlns:dt=\"urn:schemas-microsoft-com:datatypes\" dt:dt=\"bin.base64\">" +
        bytes.toBase64() + "</logo>\n<logosmall dt:dt=\"bin.base64\" " +
        "xmlns:dt=\"urn:schemas-microsoft-com:datatypes\"></logosmall>\n" + "<plain>" +
        bytes.toBase64() + "</plain>\n";
    ASSERT_TRUE(open(brandFile(data)));
    EXPECT_EQ(ReadXMLBinary(QStringLiteral("Data"), QStringLiteral("Logo")), bytes);
    EXPECT_TRUE(ReadXMLBinary(QStringLiteral("Data"), QStringLiteral("LogoSmall")).isEmpty());
    EXPECT_TRUE(ReadXMLBinary(QStringLiteral("Data"), QStringLiteral("Plain")).isEmpty())
        << "a text key holds no bytes";
    EXPECT_TRUE(ReadXMLBinary(QStringLiteral("Data"), QStringLiteral("Missing")).isEmpty());
}

} // namespace
