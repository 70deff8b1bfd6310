#include "app/controls/fieldlist.h"

#include <gmock/gmock.h>

namespace app::controls {
namespace {

TEST(FieldListTest, AllowedNumbersTheEntriesInOrder)
{
    FieldList list;
    list.fill(QStringLiteral("A|B|C"), QStringLiteral("7|2.6"));
    EXPECT_THAT(list.entries(), testing::ElementsAre("A", "B", "C"));
    EXPECT_EQ(list.numberAt(0), 7);
    EXPECT_EQ(list.numberAt(1), 3) << "rounded";
    EXPECT_EQ(list.numberAt(2), 0) << "past the end of Allowed";
    EXPECT_EQ(list.numberAt(3), -1);
    EXPECT_EQ(list.numberAt(-1), -1);
    EXPECT_EQ(list.positionOf(3), 1);
    EXPECT_EQ(list.positionOf(5), -1);
}

TEST(FieldListTest, AddedEntriesAreNumberedZeroOnlyInANumberedList)
{
    FieldList numbered;
    numbered.fill(QStringLiteral("A"), QStringLiteral("4"));
    numbered.append(QStringLiteral("B"), true);
    EXPECT_EQ(numbered.numberAt(1), 0);
    EXPECT_EQ(numbered.positionOf(0), 1);

    FieldList plain;
    plain.fill(QStringLiteral("A"), QString());
    plain.append(QStringLiteral("B"), false);
    EXPECT_TRUE(plain.holds(1));
    EXPECT_FALSE(plain.holds(2));
    EXPECT_EQ(plain.numberAt(1), -1);

    plain.fill(QString(), QStringLiteral("1"));
    EXPECT_TRUE(plain.entries().isEmpty()) << "an empty list has no entry, not one empty one";
}

} // namespace
} // namespace app::controls
