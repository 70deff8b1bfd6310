#include <memory>

#include <QSignalSpy>
#include <QTest>

#include <gmock/gmock.h>

#include "app/controls/buttonbar.h"
#include "app/controls/twips.h"
#include "app/controls/vxbtn.h"

namespace app::controls {
namespace {

class ButtonBarTest : public testing::Test
{
protected:
    void SetUp() override
    {
        host_ = std::make_unique<QWidget>();
        host_->resize(800, 100);
        bar_ = new ButtonBar(host_.get());
        bar_->setGeometry(400, 10, 300, 30);
        host_->show();
        host_->activateWindow();
        ASSERT_TRUE(QTest::qWaitForWindowActive(host_.get()));
    }

    void fill(int count)
    {
        bar_->Clear();
        for (int i = 0; i < count; ++i)
            bar_->AddButton(QString::number(i));
        bar_->DrawMe();
    }

    std::vector<int> shown() const
    {
        std::vector<int> visible;
        for (size_t i = 0; i < bar_->ButtonArray().size(); ++i)
            if (bar_->ButtonArray()[i]->isVisible())
                visible.push_back(static_cast<int>(i));
        return visible;
    }

    std::unique_ptr<QWidget> host_;
    ButtonBar *bar_ = nullptr;
};

TEST_F(ButtonBarTest, HeightIsFixed)
{
    EXPECT_EQ(bar_->height(), toPixels(720));
}

TEST_F(ButtonBarTest, WidthFormulaAndRightEdge)
{
    const int right = bar_->x() + bar_->width();
    const int w = bar_->ButtonArray().front()->width() * TwipsPerPixel;
    for (int n : {2, 4, 1, 3}) {
        fill(n);
        EXPECT_EQ(bar_->width(), toPixels((w + 60) * n + 800)) << n << " buttons";
        EXPECT_EQ(bar_->x() + bar_->width(), right) << n << " buttons";
    }
}

TEST_F(ButtonBarTest, LaysOutRightToLeftWithSeparators)
{
    fill(3);
    const auto &buttons = bar_->ButtonArray();
    const int width = buttons[0]->width();
    EXPECT_EQ(buttons[0]->x(), toPixels(bar_->width() * 15 - 60 - width * 15));
    EXPECT_EQ(buttons[1]->x(), toPixels(bar_->width() * 15 - 60 - width * 15 - (width * 15 + 90)));
    EXPECT_GT(buttons[0]->x(), buttons[1]->x());
    EXPECT_GT(buttons[1]->x(), buttons[2]->x());
    // Separators left of every button but the highest loaded element.
    ASSERT_EQ(bar_->separators().size(), 2u);
    EXPECT_EQ(bar_->separators()[0], toPixels(buttons[0]->x() * 15 - 30));

    // Fewer buttons: the surplus stays loaded but hidden, and the leftmost shown button
    // gets a separator because it is no longer the highest element.
    fill(2);
    EXPECT_EQ(buttons.size(), 3u);
    EXPECT_THAT(shown(), testing::ElementsAre(0, 1));
    EXPECT_EQ(buttons[2]->Tag(), QString());
    EXPECT_EQ(bar_->separators().size(), 2u);

    // The separator is drawn in the lightened background.
    const QImage image = bar_->grab().toImage();
    EXPECT_NE(image.pixelColor(bar_->separators()[0], 20),
              UserControl::colour(ButtonBar::DefaultBack));
}

TEST_F(ButtonBarTest, KeptWidthIsReadOnce)
{
    fill(2);
    const int width = bar_->ButtonArray()[0]->width();
    bar_->ButtonArray()[0]->resize(width + 20, bar_->ButtonArray()[0]->height());
    fill(2);
    EXPECT_EQ(bar_->ButtonArray()[1]->width(), width);
}

TEST_F(ButtonBarTest, SelectionAndDrawMeClearsIt)
{
    fill(3);
    bar_->SetSelectedButton(2);
    EXPECT_TRUE(bar_->ButtonArray()[1]->State());
    EXPECT_FALSE(bar_->ButtonArray()[0]->State());
    bar_->DrawMe();
    EXPECT_FALSE(bar_->ButtonArray()[1]->State());
    bar_->SetSelectedButton(2);
    bar_->SetSelectedButton(0);
    for (const VXBtn *button : bar_->ButtonArray())
        EXPECT_FALSE(button->State());
    bar_->SetButtonImage(0, QStringLiteral("Z"));
    EXPECT_EQ(bar_->ButtonArray()[0]->Caption(), QStringLiteral("Z"));
    bar_->SetButtonImage(7, QStringLiteral("Z")); // bad index: nothing
}

TEST_F(ButtonBarTest, ClickCheckMayCancel)
{
    fill(3);
    bar_->SetSelectedButton(1);
    QSignalSpy checks(bar_, &ButtonBar::ButtonClickCheck);
    QSignalSpy clicks(bar_, &ButtonBar::ButtonClick);
    QObject::connect(bar_, &ButtonBar::ButtonClickCheck, [](int index) {
        if (index == 2)
            CancelButtonClick = true;
    });
    VXBtn *second = bar_->ButtonArray()[1];
    QTest::mouseClick(second, Qt::LeftButton, {}, QPoint(5, 5));
    ASSERT_EQ(checks.count(), 1);
    EXPECT_EQ(checks.at(0).at(0).toInt(), 2);
    EXPECT_EQ(clicks.count(), 0);
    EXPECT_FALSE(second->State());
    EXPECT_TRUE(bar_->ButtonArray()[0]->State()) << "the previous page stays selected";

    // The refusal does not carry over to the next click.
    QTest::mouseClick(bar_->ButtonArray()[2], Qt::LeftButton, {}, QPoint(5, 5));
    ASSERT_EQ(clicks.count(), 1);
    EXPECT_EQ(clicks.at(0).at(0).toInt(), 3);
    EXPECT_TRUE(bar_->ButtonArray()[2]->State());
    EXPECT_FALSE(bar_->ButtonArray()[0]->State());
}

TEST_F(ButtonBarTest, HoverIsForwardedWithIndex)
{
    fill(2);
    QSignalSpy in(bar_, &ButtonBar::ButtonIn);
    QSignalSpy out(bar_, &ButtonBar::ButtonOut);
    QTest::mouseMove(bar_->ButtonArray()[1], QPoint(5, 5));
    QTest::mouseMove(host_.get(), QPoint(10, 90));
    ASSERT_EQ(in.count(), 1);
    EXPECT_EQ(in.at(0).at(0).toInt(), 2);
    ASSERT_EQ(out.count(), 1);
    EXPECT_EQ(out.at(0).at(0).toInt(), 2);

    // A click selects the button and ends its hover look; leaving still gives one ButtonOut.
    QTest::mouseMove(bar_->ButtonArray()[0], QPoint(5, 5));
    QTest::mouseClick(bar_->ButtonArray()[0], Qt::LeftButton, {}, QPoint(5, 5));
    QTest::mouseMove(bar_->ButtonArray()[0], QPoint(6, 6));
    QTest::mouseMove(host_.get(), QPoint(10, 90));
    EXPECT_EQ(in.count(), 2);
    EXPECT_EQ(out.count(), 2);
}

TEST_F(ButtonBarTest, MenuColoursReachEveryButtonOfTheStyle)
{
    fill(3);
    bar_->setMenuBackcolor(0x102030);
    bar_->setMenuForecolorHover(0x00FF00);
    for (const VXBtn *button : bar_->ButtonArray()) {
        EXPECT_EQ(button->BackColor(), 0x102030u);
        EXPECT_EQ(button->BackColorHover(), 0x102030u);
        EXPECT_EQ(button->ForeColorHover(), 0x00FF00u);
    }
    EXPECT_EQ(bar_->backColour(), 0x102030u);
    fill(2);
    EXPECT_EQ(bar_->backColour(), 0x102030u) << "a new page set keeps the menu colour";
    EXPECT_EQ(bar_->grab().toImage().pixelColor(2, 2), UserControl::colour(0x102030));
}

TEST_F(ButtonBarTest, ClearGivesTheDefaultBackgroundWithoutAMenuColour)
{
    fill(2);
    EXPECT_EQ(bar_->backColour(), ButtonBar::DefaultBack);
}

} // namespace
} // namespace app::controls
