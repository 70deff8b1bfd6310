#include "app/shell/dialogform.h"

#include <ostream>

#include <QDialog>
#include <QLineEdit>

#include <gtest/gtest.h>

namespace app::shell {
namespace {

struct PlaceCase
{
    const char *name;
    QRect owner;
    QRect raiser;
    QRect screen;
    QPoint expected;
};

void PrintTo(const PlaceCase &c, std::ostream *os)
{
    *os << c.name;
}

class DialogPlacement : public testing::TestWithParam<PlaceCase>
{};

// A dialog of 360 x 200 pixels.
TEST_P(DialogPlacement, KeepsClearOfTheControlThatRaisedIt)
{
    const PlaceCase &c = GetParam();
    const QSize dialog(360, 200);
    const QPoint at = dialogPosition(dialog, c.owner, c.raiser, c.screen);
    EXPECT_EQ(at, c.expected) << at.x() << "," << at.y();
    const bool roomSomewhere = c.screen.width() >= 2 * dialog.width();
    if (!c.raiser.isEmpty() && roomSomewhere) {
        EXPECT_FALSE(QRect(at, dialog).intersects(c.raiser));
    }
    EXPECT_TRUE(c.screen.contains(QRect(at, dialog)));
}

const QRect Screen(0, 0, 1920, 1080);
const QRect Owner(460, 190, 1000, 700);

INSTANTIATE_TEST_SUITE_P(
    Cases, DialogPlacement,
    testing::Values(
        PlaceCase{"CentredWhenTheControlIsElsewhere", Owner, QRect(100, 100, 160, 32), Screen,
                  QPoint(780, 440)},
        PlaceCase{"BelowAControlItWouldCover", Owner, QRect(900, 520, 160, 32), Screen,
                  QPoint(780, 560)},
        PlaceCase{"AboveWhenThatMovesItLess", QRect(460, 380, 1000, 700),
                  QRect(900, 760, 160, 32), Screen, QPoint(780, 552)},
        PlaceCase{"BesideWhenNeitherAboveNorBelowFits", QRect(), QRect(300, 100, 100, 30),
                  QRect(0, 0, 800, 300), QPoint(408, 50)},
        PlaceCase{"CentredWhenTheScreenHasNoRoom", QRect(), QRect(150, 90, 100, 30),
                  QRect(0, 0, 400, 220), QPoint(20, 10)},
        PlaceCase{"OnTheScreenWhenTheOwnerIsPartlyOff", QRect(-500, 0, 600, 400), QRect(),
                  Screen, QPoint(0, 100)}),
    [](const testing::TestParamInfo<PlaceCase> &info) { return std::string(info.param.name); });

// A message raised from a field of another dialog (a wrong passcode in the entry dialog).
TEST(PlaceDialogTest, AMessageFromInsideADialogKeepsThatWholeDialogClear)
{
    QDialog entry(nullptr, Qt::Dialog | Qt::FramelessWindowHint);
    entry.setGeometry(220, 150, 360, 220);
    auto *field = new QLineEdit(&entry);
    field->setGeometry(120, 100, 120, 30);
    entry.show();
    field->setFocus();

    QDialog message(&entry, Qt::Dialog | Qt::FramelessWindowHint);
    message.resize(360, 120);
    placeDialog(message, field);
    const QRect placed(message.pos(), message.size());
    EXPECT_FALSE(placed.intersects(entry.frameGeometry()))
        << placed.x() << "," << placed.y() << " over the dialog at " << entry.y();
    // Still beside the dialog it belongs to, not somewhere else on the screen.
    EXPECT_EQ(placed.center().x(), entry.frameGeometry().center().x());
}

} // namespace
} // namespace app::shell
