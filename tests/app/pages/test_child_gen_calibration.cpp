#include "app/pages/child_gen_calibration.h"

#include <algorithm>
#include <cstdint>
#include <functional>
#include <string>
#include <utility>
#include <vector>

#include <gmock/gmock.h>

#include "app/controls/vxbtn.h"
#include "app/controls/vxtab.h"
#include "pagefixture.h"

namespace pagetests {
namespace {

using app::pages::CHILD_GEN_CALIBRATION;
using testing::ElementsAre;
using testing::ElementsAreArray;
using testing::IsEmpty;

const Shown Completed{QStringLiteral("Calibration"),
                      QStringLiteral("Calibration has been completed.")};
const Shown CompletedWithErrors{QStringLiteral("Calibration"),
                                QStringLiteral("Calibration has been completed but errors have "
                                               "occurred.\r\nIt is recommended that calibration "
                                               "is retried.")};

// The keys of the writes, in order ("EGAI").
std::vector<std::string> writtenKeys()
{
    std::vector<std::string> keys;
    for (const std::string &write : writtenFrames())
        keys.push_back(write.substr(0, write.find('=')));
    return keys;
}

bool wrote(const std::string &write)
{
    const auto writes = writtenFrames();
    return std::find(writes.begin(), writes.end(), write) != writes.end();
}

// Where `later` comes after `earlier` in the writes.
bool inOrder(const std::string &earlier, const std::string &later)
{
    const auto writes = writtenFrames();
    const auto first = std::find(writes.begin(), writes.end(), earlier);
    return first != writes.end() && std::find(first, writes.end(), later) != writes.end();
}

class CalibrationPageTest : public PageFixture
{
protected:
    CHILD_GEN_CALIBRATION *open() { return openModulePageAfresh<CHILD_GEN_CALIBRATION>(); }

    static void setPair(app::controls::VXBtn *first, app::controls::VXBtn *second, double a,
                        double b)
    {
        first->setCaption(QString::number(a));
        second->setCaption(QString::number(b));
    }

    // The stream is scaled with what the module reports now.
    void expectStreamScalingReloaded()
    {
        EXPECT_FLOAT_EQ(hxr->driver().INTGAIN(), static_cast<float>(*sim::parameter(0, "GAIN")));
        EXPECT_FLOAT_EQ(hxr->driver().INTOFFS(), static_cast<float>(*sim::parameter(0, "OFFS")));
    }
};

TEST_F(CalibrationPageTest, TableCalibrationWritesGainAndOffsetAndReloadsTheStream)
{
    CHILD_GEN_CALIBRATION *page = open();
    ASSERT_NE(page, nullptr);
    sim::setParameter(0, "EGAI", 20); // so that the stream's gain must change
    sim::setParameter(0, "ZERO", 3);
    setPair(page->pbCALMVVc(1), page->pbCALMVVc(2), 0, 2);
    setPair(page->pbCALVALUE(1), page->pbCALVALUE(2), 0, 100);

    page->calibrateFromTable();

    EXPECT_THAT(ShownMessages(), ElementsAre(Completed));
    EXPECT_EQ(*sim::parameter(0, "EGAI"), 50.0);
    EXPECT_EQ(*sim::parameter(0, "EOFS"), 0.0);
    EXPECT_TRUE(inOrder("ZERO=0.0000000", "EGAI=50.0000000"));
    EXPECT_TRUE(inOrder("EGAI=50.0000000", "EOFS=0.0000000"));
    EXPECT_TRUE(inOrder("EOFS=0.0000000", "DOFS=0.0000000"));
    EXPECT_TRUE(wrote("UNTD=45.0000000"));
    EXPECT_TRUE(wrote("DGAI=1.0000000"));
    expectStreamScalingReloaded();
    EXPECT_NEAR(*sim::parameter(0, "OVAL"), 50.0, 1e-4); // 1 mV/V in, no zero left
}

TEST_F(CalibrationPageTest, TableCalibrationWithAFailedWriteSaysSo)
{
    CHILD_GEN_CALIBRATION *page = open();
    ASSERT_NE(page, nullptr);
    sim::Faults faults;
    faults.reject = {"EOFS="};
    sim::setFaults(0, faults);
    setPair(page->pbCALMVVc(1), page->pbCALMVVc(2), 0, 2);
    setPair(page->pbCALVALUE(1), page->pbCALVALUE(2), 0, 100);

    page->calibrateFromTable();

    EXPECT_THAT(ShownMessages(), ElementsAre(CompletedWithErrors));
}

struct RefusedCase
{
    const char *name;
    bool table;
    double first, second; // table: mV/V; automatic: loads
    double load1, load2;  // table only
    const char *text;
};

void PrintTo(const RefusedCase &c, std::ostream *os)
{
    *os << c.name;
}

class RefusedPointsTest : public CalibrationPageTest,
                          public testing::WithParamInterface<RefusedCase>
{};

TEST_P(RefusedPointsTest, RefusedBeforeTheModuleIsTouched)
{
    const RefusedCase &c = GetParam();
    CHILD_GEN_CALIBRATION *page = open();
    ASSERT_NE(page, nullptr);
    const int64_t before = clock->monotonic;
    if (c.table) {
        setPair(page->pbCALMVVc(1), page->pbCALMVVc(2), c.first, c.second);
        setPair(page->pbCALVALUE(1), page->pbCALVALUE(2), c.load1, c.load2);
        page->calibrateFromTable();
    } else {
        setPair(page->pbCALPOINT(1), page->pbCALPOINT(2), c.first, c.second);
        page->acquire(1);
    }
    ASSERT_EQ(ShownMessages().size(), 1u);
    EXPECT_EQ(ShownMessages()[0].title, QStringLiteral("Invalid Calibration Points"));
    EXPECT_EQ(ShownMessages()[0].text, QString::fromUtf8(c.text));
    EXPECT_THAT(writtenFrames(), IsEmpty());
    EXPECT_EQ(clock->monotonic, before) << "no settle wait";
}

INSTANTIATE_TEST_SUITE_P(
    Points, RefusedPointsTest,
    testing::Values(RefusedCase{"TableEqualLoads", true, 0, 2, 100, 100,
                                "The loads you have entered for each point are equal!"},
                    RefusedCase{
                        "TableDescendingMvV", true, 2, 0, 0, 100,
                        "The mV/V values you have entered for each point are not ascending!\r\n"
                        "Please reenter in ascending order."},
                    RefusedCase{"AutomaticEqualLoads", false, 100, 100, 0, 0,
                                "The values you have entered for each point are not ascending!"},
                    RefusedCase{"AutomaticDescendingLoads", false, 100, 0, 0, 0,
                                "The values you have entered for each point are not ascending!"}),
    [](const testing::TestParamInfo<RefusedCase> &info) { return std::string(info.param.name); });

TEST_F(CalibrationPageTest, TableCalibrationAcceptsDescendingLoads)
{
    CHILD_GEN_CALIBRATION *page = open();
    ASSERT_NE(page, nullptr);
    setPair(page->pbCALMVVc(1), page->pbCALMVVc(2), 0, 2);
    setPair(page->pbCALVALUE(1), page->pbCALVALUE(2), 100, 0);
    page->calibrateFromTable();
    EXPECT_THAT(ShownMessages(), ElementsAre(Completed));
    EXPECT_EQ(*sim::parameter(0, "EGAI"), -50.0);
    EXPECT_EQ(*sim::parameter(0, "EOFS"), -100.0);
}

TEST_F(CalibrationPageTest, AutomaticCalibrationSettlesBeforeEachReading)
{
    CHILD_GEN_CALIBRATION *page = open();
    ASSERT_NE(page, nullptr);
    sim::setParameter(0, "ZERO", 5);
    std::vector<int64_t> mvvReadAt;
    ReadObserver() = [&](std::string_view command) {
        if (command == "MVV")
            mvvReadAt.push_back(clock->monotonic);
    };
    setPair(page->pbCALPOINT(1), page->pbCALPOINT(2), 0, 1000);
    EXPECT_FALSE(page->ACQUIRE(2)->Enabled());

    setInput(0.5);
    const int64_t first = clock->monotonic;
    page->acquire(1);
    EXPECT_THAT(mvvReadAt, ElementsAre(first + CHILD_GEN_CALIBRATION::SettleMs));
    EXPECT_EQ(*sim::parameter(0, "ZERO"), 0.0) << "the system zero goes before the wait";
    EXPECT_FALSE(page->ACQUIRE(1)->Enabled());
    EXPECT_TRUE(page->ACQUIRE(2)->Enabled());
    EXPECT_THAT(ShownMessages(), IsEmpty());

    setInput(2.5);
    mvvReadAt.clear();
    const int64_t second = clock->monotonic;
    page->acquire(2);
    EXPECT_THAT(mvvReadAt, ElementsAre(second + CHILD_GEN_CALIBRATION::SettleMs));
    ReadObserver() = {};

    EXPECT_THAT(ShownMessages(), ElementsAre(Completed));
    EXPECT_EQ(*sim::parameter(0, "EGAI"), 500.0);
    EXPECT_EQ(*sim::parameter(0, "EOFS"), 250.0);
    EXPECT_NEAR(*sim::parameter(0, "OVAL"), 1000.0, 1e-3);
    EXPECT_TRUE(page->ACQUIRE(1)->Enabled());
    EXPECT_FALSE(page->ACQUIRE(2)->Enabled());
    expectStreamScalingReloaded();
}

TEST_F(CalibrationPageTest, AutomaticCalibrationRefusesAnInputThatDidNotRise)
{
    CHILD_GEN_CALIBRATION *page = open();
    ASSERT_NE(page, nullptr);
    setPair(page->pbCALPOINT(1), page->pbCALPOINT(2), 0, 1000);
    page->acquire(1);
    page->acquire(2);
    EXPECT_THAT(ShownMessages(),
                ElementsAre(Shown{QStringLiteral("Invalid Calibration Value"),
                                  QStringLiteral("The input value at this point was equal to or "
                                                 "lower than the input value at the previous "
                                                 "point!")}));
    const auto keys = writtenKeys();
    EXPECT_EQ(std::count(keys.begin(), keys.end(), "EGAI"), 0);
    EXPECT_EQ(std::count(keys.begin(), keys.end(), "EOFS"), 0);
    EXPECT_TRUE(page->ACQUIRE(2)->Enabled()) << "the second point may be taken again";
}

TEST_F(CalibrationPageTest, AutomaticCalibrationStopsWhenTheInputCannotBeRead)
{
    CHILD_GEN_CALIBRATION *page = open();
    ASSERT_NE(page, nullptr);
    sim::Faults faults;
    faults.reject = {"MVV?"};
    sim::setFaults(0, faults);
    setPair(page->pbCALPOINT(1), page->pbCALPOINT(2), 0, 1000);
    page->acquire(1);
    EXPECT_THAT(ShownMessages(),
                ElementsAre(Shown{QStringLiteral("Communication Error"),
                                  QStringLiteral("An error occurred reading the value from the "
                                                 "module!")}));
    EXPECT_TRUE(page->ACQUIRE(1)->Enabled());
    EXPECT_FALSE(page->ACQUIRE(2)->Enabled());
}

TEST_F(CalibrationPageTest, ZeroNowTakesThePresentOutput)
{
    CHILD_GEN_CALIBRATION *page = open();
    ASSERT_NE(page, nullptr);
    page->zeroNow();
    EXPECT_NEAR(*sim::parameter(0, "ZERO"), 50.0, 1e-4);
    EXPECT_NEAR(*sim::parameter(0, "OVAL"), 0.0, 1e-4);
    expectStreamScalingReloaded();
    EXPECT_THAT(ShownMessages(), IsEmpty());
}

TEST_F(CalibrationPageTest, HandEnteredZeroIsTakenInDisplayUnits)
{
    CHILD_GEN_CALIBRATION *page = open();
    ASSERT_NE(page, nullptr);
    enterText(page->pbSYSZERO(), QStringLiteral("12.5"));
    EXPECT_THAT(writtenFrames(), ElementsAre("ZERO=0.0000000", "ZOFS=0.0000000", "ZGAI=1.0000000",
                                             "UNTZ=45.0000000", "ZERO=12.5000000"));
    EXPECT_NEAR(*sim::parameter(0, "OVAL"), 37.5, 1e-4);
    expectStreamScalingReloaded();
    page->TimedRefresh();
    EXPECT_EQ(page->pbSYSZERO()->Caption(), QStringLiteral("12.5"));
    app::common::setDecimalSeparator(QStringLiteral(","));
    page->TimedRefresh();
    EXPECT_EQ(page->pbSYSZERO()->Caption(), QStringLiteral("12,5")) << "the program's separator";
    EXPECT_EQ(page->Zunits()->Caption(), QStringLiteral("kg"));
    EXPECT_EQ(page->XUnitsC()->Caption(), QStringLiteral("kg"));
}

TEST_F(CalibrationPageTest, DefaultsAfterYesRestoreTheFactoryState)
{
    CHILD_GEN_CALIBRATION *page = open();
    ASSERT_NE(page, nullptr);
    answers[QStringLiteral("Reset Calibration To Defaults")] =
        app::common::desktop::MessageAnswer::Cancel;
    page->resetToDefaults();
    EXPECT_THAT(writtenFrames(), IsEmpty()) << "No";

    answers.clear();
    page->resetToDefaults();
    const auto writes = writtenFrames();
    ASSERT_EQ(writes.size(), 16u);
    EXPECT_THAT(std::vector<std::string>(writes.begin(), writes.begin() + 11),
                ElementsAre("UNTD=0.0000000", "ZERO=0.0000000", "ZOFS=0.0000000", "ZGAI=1.0000000",
                            "UNTZ=0.0000000", "EGAI=1.0000000", "EOFS=0.0000000", "UNTE=0.0000000",
                            "UNTD=0.0000000", "DGAI=1.0000000", "DOFS=0.0000000"));
    const auto keys = writtenKeys();
    EXPECT_THAT(std::vector<std::string>(keys.begin() + 11, keys.end()),
                ElementsAre("YEAR", "MNTH", "DAY", "HOUR", "MINS"));
    EXPECT_NEAR(*sim::parameter(0, "OVAL"), 1.0, 1e-6);
    expectStreamScalingReloaded();
}

TEST_F(CalibrationPageTest, EngineeringUnitsChangeTheReferenceOnly)
{
    CHILD_GEN_CALIBRATION *page = open();
    ASSERT_NE(page, nullptr);
    page->EUNITS()->setListIndex(52);
    emit page->EUNITS()->Changed();
    EXPECT_THAT(writtenFrames(), ElementsAre("UNTE=52.0000000", "DOFS=0.0000000", "DGAI=1.0000000",
                                             "UNTD=52.0000000"));
    EXPECT_EQ(*sim::parameter(0, "EGAI"), 50.0);
    EXPECT_EQ(*sim::parameter(0, "EOFS"), 0.0);
    page->TimedRefresh();
    EXPECT_EQ(page->XUnitsC()->Caption(), QStringLiteral("lb"));
}

TEST_F(CalibrationPageTest, EveryLoadShowsTheCalibrationUnits)
{
    sim::setParameter(0, "UNTD", 52); // the value is shown in lb, the calibration is in kg
    CHILD_GEN_CALIBRATION *page = open();
    ASSERT_NE(page, nullptr);
    const auto expectLoadUnits = [page](const QString &symbol) {
        for (int i : {1, 2}) {
            EXPECT_EQ(page->pointUnits(i)->Caption(), symbol) << i;
            EXPECT_EQ(page->loadUnits(i)->Caption(), symbol) << i;
            EXPECT_FALSE(page->loadUnits(i)->isHidden()) << i;
        }
    };
    EXPECT_EQ(page->XUnitsC()->Caption(), QStringLiteral("lb"));
    expectLoadUnits(QStringLiteral("kg"));

    // The loads were meant in kg, and the display follows the calibration units visibly.
    setPair(page->pbCALMVVc(1), page->pbCALMVVc(2), 0, 2);
    setPair(page->pbCALVALUE(1), page->pbCALVALUE(2), 0, 100);
    page->calibrateFromTable();
    page->TimedRefresh();
    EXPECT_EQ(page->XUnitsC()->Caption(), QStringLiteral("kg"));
    expectLoadUnits(QStringLiteral("kg"));

    page->EUNITS()->setListIndex(52);
    emit page->EUNITS()->Changed();
    expectLoadUnits(QStringLiteral("lb"));
}

TEST_F(CalibrationPageTest, EveryChangeIsRefusedWhileACommunicationFailureIsLatched)
{
    CHILD_GEN_CALIBRATION *page = open();
    ASSERT_NE(page, nullptr);
    setPair(page->pbCALPOINT(1), page->pbCALPOINT(2), 0, 100);
    setPair(page->pbCALMVVc(1), page->pbCALMVVc(2), 0, 2);
    setPair(page->pbCALVALUE(1), page->pbCALVALUE(2), 0, 100);
    hxr->ErrorState(-200);
    const int64_t before = clock->monotonic;
    const std::vector<std::pair<const char *, std::function<void()>>> changes = {
        {"acquire", [page] { page->acquire(1); }},
        {"table", [page] { page->calibrateFromTable(); }},
        {"zero now", [page] { page->zeroNow(); }},
        {"zero entered", [page] { page->systemZeroEntered(); }},
        {"units", [page] { page->unitsChosen(); }},
        {"defaults", [page] { page->resetToDefaults(); }},
    };
    for (const auto &[name, change] : changes) {
        ShownMessages().clear();
        change();
        EXPECT_THAT(ShownMessages(), ElementsAre(CannotAlter)) << name;
    }
    EXPECT_THAT(sim::frameLog(), IsEmpty());
    EXPECT_EQ(clock->monotonic, before) << "no settle wait";
    EXPECT_TRUE(page->ACQUIRE(1)->Enabled());
}

struct LockStateCase
{
    const char *name;
    double mask;
    bool calibrationOpen;
    bool zeroOpen;
};

void PrintTo(const LockStateCase &c, std::ostream *os)
{
    *os << c.name;
}

class CalibrationLockTest : public CalibrationPageTest,
                            public testing::WithParamInterface<LockStateCase>
{};

TEST_P(CalibrationLockTest, LockedFunctionsAreDisabled)
{
    const LockStateCase &c = GetParam();
    sim::setParameter(0, "PMSK", c.mask);
    CHILD_GEN_CALIBRATION *page = open();
    ASSERT_NE(page, nullptr);
    app::controls::VXTab *tabs = page->XTab2();
    EXPECT_EQ(tabs->currentTab(), CHILD_GEN_CALIBRATION::SystemZeroTab);
    EXPECT_FALSE(tabs->frame(CHILD_GEN_CALIBRATION::SystemZeroTab)->isHidden());
    EXPECT_EQ(tabs->isTabEnabled(CHILD_GEN_CALIBRATION::SystemZeroTab), c.zeroOpen);
    EXPECT_EQ(page->pbSYSZERO()->Enabled(), c.zeroOpen);
    EXPECT_EQ(page->ZERONOW()->Enabled(), c.zeroOpen);
    for (int tab : {CHILD_GEN_CALIBRATION::AutomaticTab, CHILD_GEN_CALIBRATION::TableTab,
                    CHILD_GEN_CALIBRATION::UnitsTab})
        EXPECT_EQ(tabs->isTabEnabled(tab), c.calibrationOpen) << tab;
    EXPECT_EQ(page->BackDefaults()->Enabled(), c.calibrationOpen);
    EXPECT_EQ(host.pageHostShown, 1);
}

INSTANTIATE_TEST_SUITE_P(Locks, CalibrationLockTest,
                         testing::Values(LockStateCase{"Unlocked", 0, true, true},
                                         LockStateCase{"CalibrationLocked", 1, false, true},
                                         LockStateCase{"SystemZeroLocked", 2, true, false},
                                         LockStateCase{"BothLocked", 3, false, false},
                                         LockStateCase{"OtherBitsOnly", 12, true, true}),
                         [](const testing::TestParamInfo<LockStateCase> &info) {
                             return std::string(info.param.name);
                         });

TEST_F(CalibrationPageTest, LeavingThePageSwitchesTheShuntCalibrationOff)
{
    CHILD_GEN_CALIBRATION *page = open();
    ASSERT_NE(page, nullptr);
    EXPECT_FALSE(sim::streaming(0));
    page->DeActivated();
    EXPECT_EQ(framesEndingWith("SCOF"), 1);
}

} // namespace
} // namespace pagetests
