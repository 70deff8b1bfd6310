#include "app/pages/child_gen_lock.h"

#include <ostream>
#include <string>
#include <vector>

#include <gmock/gmock.h>

#include "app/controls/vxbtn.h"
#include "pagefixture.h"

namespace pagetests {
namespace {

using app::pages::CHILD_GEN_LOCK;
using testing::ElementsAreArray;
using testing::IsEmpty;

const QString ReminderTitle = QStringLiteral("Protected By Passcode");

int reminders()
{
    return static_cast<int>(std::count_if(ShownMessages().begin(), ShownMessages().end(),
                                          [](const Shown &s) { return s.title == ReminderTitle; }));
}

enum class Field { Calibration, SystemZero, DisplayUnits, ShuntCal };

struct LockCase
{
    const char *name;
    double maskBefore;
    Field field;
    int16_t choice; // list index: 0 allow / show / no, 1 lock / hide / yes
    std::vector<std::string> writes;
    int reminders;
    int16_t maskAfter;
};

void PrintTo(const LockCase &c, std::ostream *os)
{
    *os << c.name;
}

class LockPageTest : public PageFixture, public testing::WithParamInterface<LockCase>
{
protected:
    app::controls::VXBtn *field(CHILD_GEN_LOCK *page, Field which)
    {
        switch (which) {
        case Field::Calibration:
            return page->iCAL();
        case Field::SystemZero:
            return page->iSYSZERO();
        case Field::DisplayUnits:
            return page->iDisplayUnits();
        case Field::ShuntCal:
            return page->iSHUNTCAL();
        }
        return nullptr;
    }
};

TEST_P(LockPageTest, KeepsTheDependenciesAndRemindsOnFirstLock)
{
    const LockCase &c = GetParam();
    sim::setParameter(0, "PMSK", c.maskBefore);
    auto *page = openModulePageAfresh<CHILD_GEN_LOCK>();
    ASSERT_NE(page, nullptr);

    app::controls::VXBtn *chosen = field(page, c.field);
    chosen->setListIndex(c.choice);
    emit chosen->Changed();

    EXPECT_THAT(writtenFrames(), ElementsAreArray(c.writes));
    EXPECT_EQ(reminders(), c.reminders);
    EXPECT_EQ(*sim::parameter(0, "PMSK"), c.maskAfter);
    EXPECT_EQ(app::shell::CurrentConnection().LockMask, c.maskAfter);
}

INSTANTIATE_TEST_SUITE_P(
    Locks, LockPageTest,
    testing::Values(
        LockCase{
            "LockSystemZero", 0, Field::SystemZero, 1, {"PMSK=2.0000000", "PMSK=3.0000000"}, 1, 3},
        LockCase{"LockDisplayUnits",
                 0,
                 Field::DisplayUnits,
                 1,
                 {"PMSK=8.0000000", "PMSK=9.0000000"},
                 1,
                 9},
        LockCase{"UnlockCalibrationUnlocksWhatDependsOnIt",
                 11,
                 Field::Calibration,
                 0,
                 {"PMSK=10.0000000", "PMSK=8.0000000", "PMSK=0.0000000"},
                 0,
                 0},
        // Locking the calibration page leaves the other bits alone, and a module already
        // locked gets no second reminder.
        LockCase{"LockCalibrationKeepsOthers", 2, Field::Calibration, 1, {"PMSK=3.0000000"}, 0, 3},
        LockCase{"LockCalibrationOnly", 0, Field::Calibration, 1, {"PMSK=1.0000000"}, 1, 1},
        LockCase{"ShuntCalibrationIsBoundToNothing", 4, Field::ShuntCal, 1, {}, 0, 4}),
    [](const testing::TestParamInfo<LockCase> &info) { return std::string(info.param.name); });

TEST_F(PageFixture, PasscodeRemindsOnlyOnALockedModule)
{
    for (const double mask : {0.0, 1.0}) {
        sim::setParameter(0, "PMSK", mask);
        sim::setParameter(0, "PWD1", 0);
        auto *page = openModulePageAfresh<CHILD_GEN_LOCK>();
        ASSERT_NE(page, nullptr);

        enterText(page->PASSWORD(), QStringLiteral("123456"));

        EXPECT_THAT(writtenFrames(), ElementsAreArray({"PWD1=123456.0000000"}));
        EXPECT_EQ(*sim::parameter(0, "PWD1"), 123456.0);
        if (mask == 0.0) {
            EXPECT_THAT(ShownMessages(), IsEmpty());
        } else {
            ASSERT_EQ(ShownMessages().size(), 1u);
            EXPECT_EQ(ShownMessages()[0].title, ReminderTitle);
            EXPECT_EQ(ShownMessages()[0].text,
                      QStringLiteral("You will need the passcode to gain access to this page "
                                     "again!\r\nPlease remember this passcode: 123456"));
        }
    }
}

TEST_F(PageFixture, PasscodeFieldTakesSixDigitsShownWithLeadingZeros)
{
    sim::setParameter(0, "PWD1", 42);
    auto *page = openModulePage<CHILD_GEN_LOCK>();
    ASSERT_NE(page, nullptr);
    EXPECT_EQ(page->PASSWORD()->displayText(), QStringLiteral("000042"));

    page->PASSWORD()->setFocus();
    page->PASSWORD()->DoEdit();
    QTest::keyClicks(page->PASSWORD()->textEditor(), QStringLiteral("9a8-7.6543"));
    EXPECT_EQ(page->PASSWORD()->textEditor()->text(), QStringLiteral("987654"));
}

TEST_F(PageFixture, LeavingTheLockPageTakesTheModulesMask)
{
    auto *page = openModulePage<CHILD_GEN_LOCK>();
    ASSERT_NE(page, nullptr);
    EXPECT_EQ(page->iCAL()->ListIndex(), 0);
    sim::setParameter(0, "PMSK", 9);
    page->TimedRefresh();
    EXPECT_EQ(page->iCAL()->ListIndex(), 1);
    EXPECT_EQ(page->iDisplayUnits()->ListIndex(), 1);
    EXPECT_EQ(page->iSYSZERO()->ListIndex(), 0);
    page->DeActivated();
    EXPECT_EQ(app::shell::CurrentConnection().LockMask, 9);
}

} // namespace
} // namespace pagetests
