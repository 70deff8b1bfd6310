#include "app/controls/vxtab.h"

#include <QImage>
#include <QSignalSpy>
#include <QTest>

#include <gmock/gmock.h>

#include "app/common/desktop/systemhelpers.h"

namespace app::controls {
namespace {

// A click on the tab's caption, where the user would click.
void clickTab(VXTab &tabs, int index)
{
    const QPoint centre = tabs.tabRect(index).center();
    QWidget *strip = tabs.childAt(centre);
    ASSERT_NE(strip, nullptr);
    QTest::mouseClick(strip, Qt::LeftButton, {}, strip->mapFrom(&tabs, centre));
}

class VXTabTest : public testing::Test
{
protected:
    void SetUp() override
    {
        tabs.resize(400, 200);
        for (const char *caption : {"One", "Two", "Three"})
            tabs.addTab(QString::fromLatin1(caption));
        tabs.show();
    }

    VXTab tabs;
};

TEST_F(VXTabTest, OnlyTheCurrentFrameShows)
{
    EXPECT_EQ(tabs.tabCount(), 3);
    EXPECT_EQ(tabs.currentTab(), 0);
    QSignalSpy changed(&tabs, &VXTab::currentChanged);
    clickTab(tabs, 2);
    EXPECT_EQ(tabs.currentTab(), 2);
    EXPECT_EQ(changed.count(), 1);
    EXPECT_TRUE(tabs.frame(0)->isHidden());
    EXPECT_TRUE(tabs.frame(1)->isHidden());
    EXPECT_FALSE(tabs.frame(2)->isHidden());
    EXPECT_GE(tabs.frame(2)->y(), tabs.stripHeight());
    EXPECT_EQ(tabs.frame(3), nullptr);
}

TEST_F(VXTabTest, DisabledTabRefusesTheUserButNotTheOwner)
{
    tabs.setTabEnabled(1, false);
    clickTab(tabs, 1);
    EXPECT_EQ(tabs.currentTab(), 0);

    // The owner may show a disabled tab: its frame is what the user sees, greyed strip or not.
    tabs.setTabEnabled(0, false);
    tabs.setCurrentTab(0);
    EXPECT_EQ(tabs.currentTab(), 0);
    EXPECT_FALSE(tabs.isTabEnabled(0));
    EXPECT_FALSE(tabs.frame(0)->isHidden());
}

TEST_F(VXTabTest, BrandingColoursAreRealPropertiesItPaintsWith)
{
    common::desktop::TabColours colours;
    colours.displayBack = 0x203040; // OLE: blue 0x20, green 0x30, red 0x40
    colours.text = 0xFFFFFF;
    colours.fieldBack = 0x00C000;
    colours.helpBack = 0x0000C0;
    common::desktop::ApplyTabColours(&tabs, colours);

    EXPECT_TRUE(tabs.dynamicPropertyNames().isEmpty()) << "each name is a declared property";
    EXPECT_EQ(tabs.ActiveTabBackColor(), QColor(0x00, 0xC0, 0x00));
    EXPECT_EQ(tabs.PageBackColor(), QColor(0x40, 0x30, 0x20));
    EXPECT_EQ(tabs.HighlightColor(), QColor(0xC0, 0x00, 0x00));

    const QImage image = tabs.grab().toImage();
    const QRect current = tabs.tabRect(0);
    EXPECT_EQ(image.pixelColor(current.left() + 4, current.bottom() - 2), QColor(0x00, 0xC0, 0x00));
    const QRect other = tabs.tabRect(1);
    EXPECT_EQ(image.pixelColor(other.left() + 4, other.bottom() - 2), QColor(0x40, 0x30, 0x20));
    EXPECT_EQ(image.pixelColor(200, 150), QColor(0x40, 0x30, 0x20)) << "the page";
}

} // namespace
} // namespace app::controls
