#include "app/common/desktop/fonts.h"

#include <QFile>
#include <QFont>
#include <QFontDatabase>
#include <QFontInfo>
#include <QTemporaryDir>

#include <gtest/gtest.h>

namespace {

using namespace app::common;
using namespace app::common::desktop;

const QString DsegFolder = QStringLiteral("/usr/share/fonts/truetype/dseg/");

// A program folder with the LED face as "VX-LED.TTF" and a stand-in for the button font.
class Fonts : public testing::Test
{
protected:
    void SetUp() override
    {
        if (!QFile::exists(DsegFolder + QStringLiteral("DSEG7Classic-Regular.ttf")))
            GTEST_SKIP() << "fonts-dseg is not installed";
        ASSERT_TRUE(QFile::copy(DsegFolder + QStringLiteral("DSEG7Classic-Regular.ttf"),
                                folder.filePath(QStringLiteral("VX-LED.TTF"))));
        ASSERT_TRUE(QFile::copy(DsegFolder + QStringLiteral("DSEG14Classic-Regular.ttf"),
                                folder.filePath(QStringLiteral("VXTKButtons.TTF"))));
    }
    void TearDown() override { UnloadFonts(); }

    // The faces are installed system-wide as well, so what counts is what the program's names
    // resolve to.
    static bool ledFaceInUse()
    {
        return QFontInfo(QFont(LedFontFamily.toString())).family() ==
               QStringLiteral("DSEG7 Classic");
    }
    static bool buttonFaceInUse()
    {
        return QFontInfo(QFont(ButtonFontFamily.toString())).family() ==
               QStringLiteral("DSEG14 Classic");
    }

    QTemporaryDir folder;
};

TEST_F(Fonts, LoadMakesTheLedFamilyAvailableUntilUnload)
{
    ASSERT_FALSE(ledFaceInUse());
    LoadFonts(folder.path());
    EXPECT_TRUE(FontsLoaded());
    EXPECT_TRUE(ledFaceInUse());
    EXPECT_TRUE(buttonFaceInUse());
    UnloadFonts();
    EXPECT_FALSE(FontsLoaded());
    EXPECT_FALSE(ledFaceInUse());
    EXPECT_FALSE(buttonFaceInUse());
}

TEST_F(Fonts, SecondLoadDoesNothingAndUnloadWithoutLoadIsHarmless)
{
    UnloadFonts();
    EXPECT_FALSE(FontsLoaded());
    LoadFonts(folder.path());
    LoadFonts(QStringLiteral("/nonexistent"));
    EXPECT_TRUE(ledFaceInUse());
    UnloadFonts();
    UnloadFonts();
    LoadFonts(folder.path());
    EXPECT_TRUE(ledFaceInUse());
}

TEST(FontsMissing, AMissingFolderStillCountsAsLoaded)
{
    LoadFonts(QStringLiteral("/nonexistent"));
    EXPECT_TRUE(FontsLoaded());
    UnloadFonts();
}

} // namespace
