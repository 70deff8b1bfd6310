#include "app/shell/brandingmodule.h"

#include <optional>

#include <QDir>
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>

#include <gmock/gmock.h>

#include "app/common/colours.h"
#include "app/common/desktop/messages.h"
#include "support/namedcase.h"
#include "testpages.h"

namespace app::shell {
namespace {

const QString ProgramDir = QStringLiteral(HXR_PROGRAM_DIR);
const QString SourceFile = QStringLiteral(HXR_SOURCE_DIR "/resources/default.vxb");
const QString Signer = QStringLiteral(HXR_PROGRAM_DIR "/../tools/hxr-vxbsign");

class BrandingTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        ASSERT_TRUE(dir_.isValid());
        CurrentBranding() = Branding{};
    }

    static QString readAll(const QString &path)
    {
        QFile f(path);
        EXPECT_TRUE(f.open(QIODevice::ReadOnly)) << path.toStdString();
        return QString::fromUtf8(f.readAll());
    }
    QString write(const QString &name, const QString &text)
    {
        const QString path = dir_.filePath(name);
        QFile f(path);
        EXPECT_TRUE(f.open(QIODevice::WriteOnly | QIODevice::Truncate));
        f.write(text.toUtf8());
        return path;
    }
    // The source file with one change, signed by the build's signer.
    QString signedVariant(const QString &from, const QString &to)
    {
        QString text = readAll(SourceFile);
        EXPECT_TRUE(text.contains(from)) << from.toStdString();
        text.replace(from, to);
        const QString unsignedPath = write(QStringLiteral("unsigned.vxb"), text);
        const QString path = dir_.filePath(QStringLiteral("signed.vxb"));
        EXPECT_EQ(QProcess::execute(Signer, {unsignedPath, path}), 0);
        return path;
    }

    QTemporaryDir dir_;
};

TEST_F(BrandingTest, TheSignedProgramFilePassesWithTheCompletePalette)
{
    const QString file = QDir(ProgramDir).filePath("default.vxb");
    ASSERT_TRUE(LoadBranding(file));
    const Branding &b = CurrentBranding();
    EXPECT_EQ(b.LongName, "HXR Toolkit");
    EXPECT_EQ(b.KTW15, "HXR-TRB");
    EXPECT_FALSE(b.Logo.isNull());
    EXPECT_FALSE(b.LogoSmall.isNull());
    // The shipped file and the built-in look are one palette.
    EXPECT_EQ(b.colours, BuiltInPalette());
}

// A colour the dialogs and the button bar draw, from the palette or fixed.
struct Drawn
{
    std::optional<BrandColour> role;
    platform::win::OleColour fixed = 0;

    Drawn(BrandColour r) : role(r) {}
    Drawn(platform::win::OleColour c) : fixed(c) {}
    platform::win::OleColour in(const BrandPalette &palette) const
    {
        return role ? palette[static_cast<size_t>(*role)] : fixed;
    }
};

struct DrawnPair
{
    const char *where;
    Drawn fore;
    Drawn back;
    double minimum;
};

// Every text on its background in the message and entry dialogs, the button bar (whose back is
// the display colour) and the help menu, the focus outline against what surrounds it, and the
// disabled page glyph against the enabled one.
const DrawnPair DrawnPairs[] = {
    {"warning title", BrandColour::Headers, app::common::desktop::MessageWarningColour,
     app::common::TextContrast},
    {"message title", BrandColour::Headers, app::common::desktop::MessageNormalColour,
     app::common::TextContrast},
    {"entry title", BrandColour::Headers, BrandColour::Back, app::common::TextContrast},
    {"dialog text", BrandColour::Text, BrandColour::DisplayBack, app::common::TextContrast},
    {"dialog button", BrandColour::ButtonFore, BrandColour::ButtonBack, app::common::TextContrast},
    {"dialog button hovered", BrandColour::ButtonForeHover, BrandColour::ButtonBackHover,
     app::common::TextContrast},
    {"dialog button pressed", BrandColour::ButtonForeDown, BrandColour::ButtonBackDown,
     app::common::TextContrast},
    {"entry field", BrandColour::FieldFore, BrandColour::FieldBack, app::common::TextContrast},
    {"progress bar", BrandColour::Text, BrandColour::HelpBack, app::common::MarkContrast},
    {"page button", BrandColour::MenuFore, BrandColour::DisplayBack, app::common::TextContrast},
    {"page button hovered", BrandColour::MenuHover, BrandColour::DisplayBack,
     app::common::TextContrast},
    {"page button pressed", BrandColour::MenuDown, BrandColour::DisplayBack,
     app::common::TextContrast},
    {"disabled page button against an enabled one", BrandColour::MenuDisabled,
     BrandColour::MenuFore, app::common::MarkContrast},
    {"help menu item under the keys", BrandColour::ButtonForeHover, BrandColour::ButtonBackDown,
     app::common::TextContrast},
    {"help menu item's band", BrandColour::ButtonBackDown, BrandColour::DisplayBack,
     app::common::MarkContrast},
    {"focus outline", BrandColour::BorderFocus, BrandColour::DisplayBack,
     app::common::MarkContrast},
    {"focus outline against the plain one", BrandColour::BorderFocus, BrandColour::Border,
     app::common::MarkContrast},
};

void expectReadable(const BrandPalette &palette)
{
    for (const DrawnPair &pair : DrawnPairs) {
        const double ratio =
            app::common::ContrastRatio(pair.fore.in(palette), pair.back.in(palette));
        EXPECT_GE(ratio, pair.minimum) << pair.where;
    }
}

TEST_F(BrandingTest, DialogsAndTheButtonBarAreReadableInTheBuiltInAndTheShippedPalette)
{
    expectReadable(BuiltInPalette());
    ASSERT_TRUE(LoadBranding(QDir(ProgramDir).filePath("default.vxb")));
    expectReadable(CurrentBranding().colours);
}

struct FailCase
{
    const char *name;
    const char *from; // a change to the signed program file
    const char *to;
};

using testsupport::PrintTo;

class TamperTest : public BrandingTest, public ::testing::WithParamInterface<FailCase>
{};

TEST_P(TamperTest, FailsAndKeepsThePreviousColours)
{
    QString text = readAll(QDir(ProgramDir).filePath("default.vxb"));
    ASSERT_TRUE(text.contains(GetParam().from));
    text.replace(GetParam().from, GetParam().to);
    CurrentBranding().colours.fill(0x123456);
    EXPECT_FALSE(LoadBranding(write("default.vxb", text)));
    EXPECT_EQ(CurrentBranding().colour(BrandColour::Back), 0x123456u);
    EXPECT_TRUE(CurrentBranding().Logo.isNull());
}

INSTANTIATE_TEST_SUITE_P(
    Files, TamperTest,
    ::testing::Values(FailCase{"ChangedText", "HXR Instruments", "HXR Instrument5"},
                      FailCase{"ChangedColour", "<back>2959139<", "<back>2959138<"},
                      FailCase{"AddedElement", "<mode>", "<extra>1</extra><mode>"},
                      FailCase{"DigestRemoved", "<md5hash>", "<md5hashx>"}),
    [](const auto &info) { return std::string(info.param.name); });

TEST_F(BrandingTest, AnUpperCaseDigestFails)
{
    QString text = readAll(QDir(ProgramDir).filePath("default.vxb"));
    const int at = text.indexOf("<md5hash>") + 9;
    text.replace(at, 32, text.mid(at, 32).toUpper());
    ASSERT_NE(text.mid(at, 32), text.mid(at, 32).toLower()); // the digest has letters
    EXPECT_FALSE(LoadBranding(write("default.vxb", text)));
}

TEST_F(BrandingTest, AMissingFileFails)
{
    EXPECT_FALSE(LoadBranding(dir_.filePath("default.vxb")));
    EXPECT_EQ(CurrentBranding().KTW15, "HXR-TRB");
}

TEST_F(BrandingTest, ANonNumericNumberInASignedFileFails)
{
    EXPECT_FALSE(LoadBranding(signedVariant("<live>11067519<", "<live>green<")));
    EXPECT_EQ(CurrentBranding().colour(BrandColour::Back), 0u);
    EXPECT_FALSE(LoadBranding(signedVariant("<mode>0<", "<mode>zero<")));
}

TEST_F(BrandingTest, AnEmptyModelNameGivesTheDefault)
{
    ASSERT_TRUE(LoadBranding(signedVariant("<ktw15>HXR-TRB</ktw15>", "<ktw15></ktw15>")));
    EXPECT_EQ(CurrentBranding().KTW15, "HXR-TRB");
    ASSERT_TRUE(LoadBranding(signedVariant("<ktw15>HXR-TRB</ktw15>", "<ktw15>Load Cell</ktw15>")));
    EXPECT_EQ(CurrentBranding().KTW15, "Load Cell");
}

TEST_F(BrandingTest, ABrandFileWinsOverTheDefaultFile)
{
    EXPECT_EQ(BrandingFileName(dir_.path()), dir_.filePath("default.vxb"));
    write("brand.vxb", "<x/>");
    EXPECT_EQ(BrandingFileName(dir_.path()), dir_.filePath("brand.vxb"));
}

TEST(BrandColourText, DecimalAndHexadecimal)
{
    EXPECT_EQ(ParseBrandColour(u"255"), 255u);
    EXPECT_EQ(ParseBrandColour(u"&H353535"), 0x353535u);
    EXPECT_EQ(ParseBrandColour(u"-2147483643"), 0x80000005u); // a system colour as a Long
    EXPECT_EQ(ParseBrandColour(u"12.5"), std::nullopt);
    EXPECT_EQ(ParseBrandColour(u""), std::nullopt);
    EXPECT_EQ(ParseBrandColour(u"&H1FFFFFFFF"), std::nullopt);
}

} // namespace
} // namespace app::shell
