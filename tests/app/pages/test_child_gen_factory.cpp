#include "app/pages/child_gen_factory.h"

#include <string>
#include <vector>

#include <QDeadlineTimer>

#include <gmock/gmock.h>

#include "app/controls/vxbtn.h"
#include "pagefixture.h"
#include "support/warningrecorder.h"

namespace pagetests {
namespace {

using app::pages::CHILD_GEN_FACTORY;
using testing::ElementsAre;
using testing::IsEmpty;

class FactoryPageTest : public PageFixture
{
protected:
    CHILD_GEN_FACTORY *open()
    {
        app::common::setFactoryAccess(true);
        return openModulePageAfresh<CHILD_GEN_FACTORY>();
    }

    static void setPoints(CHILD_GEN_FACTORY *page, double first, double second)
    {
        page->pbCALPOINT(1)->setCaption(QString::number(first));
        page->pbCALPOINT(2)->setCaption(QString::number(second));
    }
};

TEST_F(FactoryPageTest, OpensInCommandModeRefreshingThreeTimesASecond)
{
    CHILD_GEN_FACTORY *page = open();
    ASSERT_NE(page, nullptr);
    EXPECT_FALSE(sim::streaming(0));
    EXPECT_EQ(host.refreshIntervals.back(), CHILD_GEN_FACTORY::RefreshIntervalMs);
    EXPECT_EQ(page->SERIALNUMBER()->displayText(), QStringLiteral("0000070000"));
    EXPECT_EQ(page->MODEL()->displayText(), QStringLiteral("01"));
    EXPECT_EQ(page->pbADC()->displayText(), QStringLiteral("100000")); // 1 mV/V
    EXPECT_TRUE(page->ACQUIRE(1)->Enabled());
    EXPECT_FALSE(page->ACQUIRE(2)->Enabled());
}

TEST_F(FactoryPageTest, CalibratedValueShowsSevenSignificantDigits)
{
    CHILD_GEN_FACTORY *page = open();
    ASSERT_NE(page, nullptr);
    // 1 mV/V in: the single read back is 49.3549995422363 as a double.
    sim::setParameter(0, "EGAI", 49.355);
    page->TimedRefresh();
    EXPECT_EQ(page->CALV()->displayText(), QStringLiteral("49.35500"));
    sim::setParameter(0, "EGAI", -1234.56789); // cut, not rounded, at the seventh digit
    page->TimedRefresh();
    EXPECT_EQ(page->CALV()->displayText(), QStringLiteral("-1234.567"));
}

TEST_F(FactoryPageTest, TwoPointsSetTheScaleAndResetTheUserStages)
{
    CHILD_GEN_FACTORY *page = open();
    ASSERT_NE(page, nullptr);
    sim::setParameter(0, "EGAI", 20);
    sim::setParameter(0, "ZERO", 4);
    setPoints(page, 0, 2);

    setInput(0.01);
    const int64_t start = clock->monotonic;
    page->acquire(1);
    EXPECT_EQ(clock->monotonic - start, CHILD_GEN_FACTORY::SettleMs);
    EXPECT_FALSE(page->ACQUIRE(1)->Enabled());
    setInput(2.01);
    page->acquire(2);

    EXPECT_THAT(ShownMessages(), ElementsAre(Shown{QStringLiteral("Calibration"),
                                                   QStringLiteral("Calibration has been "
                                                                  "completed.")}));
    EXPECT_FLOAT_EQ(static_cast<float>(*sim::parameter(0, "FMVG")), 10.0f);
    EXPECT_EQ(*sim::parameter(0, "FMVO"), 1000.0);
    EXPECT_NEAR(*sim::parameter(0, "MVV"), 2.0, 1e-5);
    const auto writes = writtenFrames();
    const std::vector<std::string> resets(writes.end() - 9, writes.end());
    EXPECT_THAT(resets, ElementsAre("ZERO=0.0000000", "ZGAI=1.0000000", "ZOFS=0.0000000",
                                    "UNTZ=45.0000000", "EGAI=1.0000000", "EOFS=0.0000000",
                                    "DGAI=1.0000000", "DOFS=0.0000000", "UNTD=45.0000000"));
    EXPECT_EQ(framesEndingWith("SCOF"), 2) << "shunt calibration off before each point";
    EXPECT_FLOAT_EQ(hxr->driver().INTGAIN(), static_cast<float>(*sim::parameter(0, "GAIN")));
    EXPECT_TRUE(page->ACQUIRE(1)->Enabled());
    EXPECT_FALSE(page->ACQUIRE(2)->Enabled());
}

TEST_F(FactoryPageTest, EqualCountsAreRefused)
{
    CHILD_GEN_FACTORY *page = open();
    ASSERT_NE(page, nullptr);
    setPoints(page, 0, 2);
    page->acquire(1);
    page->acquire(2);
    EXPECT_THAT(ShownMessages(),
                ElementsAre(Shown{QStringLiteral("Invalid Calibration Value"),
                                  QStringLiteral("The input value at this point was equal to or "
                                                 "lower than the input value at the previous "
                                                 "point!")}));
    EXPECT_THAT(writtenFrames(), IsEmpty());
}

TEST_F(FactoryPageTest, PointsNotAscendingAreRefusedWithoutAWait)
{
    CHILD_GEN_FACTORY *page = open();
    ASSERT_NE(page, nullptr);
    setPoints(page, 2, 2);
    const int64_t start = clock->monotonic;
    page->acquire(1);
    EXPECT_THAT(ShownMessages(),
                ElementsAre(Shown{QStringLiteral("Invalid Calibration Points"),
                                  QStringLiteral("The values you have entered for each point are "
                                                 "not ascending!")}));
    EXPECT_EQ(clock->monotonic, start);
    EXPECT_THAT(writtenFrames(), IsEmpty());
}

TEST_F(FactoryPageTest, SerialNumberFieldTakesOnlyA32BitNumberAboveZero)
{
    CHILD_GEN_FACTORY *page = open();
    ASSERT_NE(page, nullptr);
    app::controls::VXBtn *serial = page->SERIALNUMBER();
    for (const char *refused : {"0", "4294967296"}) {
        enterText(serial, QString::fromLatin1(refused));
        EXPECT_TRUE(serial->isEditing()) << refused;
        QTest::keyClick(serial->textEditor(), Qt::Key_Escape);
        EXPECT_THAT(writtenFrames(), IsEmpty()) << refused;
    }

    enterText(serial, QStringLiteral("70001"));
    EXPECT_THAT(writtenFrames(), ElementsAre("FSNL=4465.0000000", "FSNH=1.0000000"));
    EXPECT_EQ(framesEndingWith("RST"), 1);
    EXPECT_FALSE(sim::streaming(0)) << "back in command mode";
    // The restart takes the module real time that the test clock skips: the first reads after
    // it may fail, as a read during a real restart would.
    QDeadlineTimer ceiling(10'000);
    do {
        hxr->ResetError();
        page->TimedRefresh();
    } while (serial->displayText() != QStringLiteral("0000070001") && !ceiling.hasExpired() &&
             (QTest::qWait(20), true));
    EXPECT_EQ(serial->displayText(), QStringLiteral("0000070001"));
    EXPECT_EQ(*sim::parameter(0, "SERL"), 4465.0);
    EXPECT_EQ(*sim::parameter(0, "SERH"), 1.0);
}

TEST_F(FactoryPageTest, ARefusedStoreLeavesSilentlyAndIsLogged)
{
    CHILD_GEN_FACTORY *page = open();
    ASSERT_NE(page, nullptr);
    const testsupport::WarningRecorder warnings;
    // Past the field's own checks: a serial number with a fraction, which the device refuses.
    page->SERIALNUMBER()->setCaption(QStringLiteral("70000.5"));
    emit page->SERIALNUMBER()->Changed();
    EXPECT_THAT(warnings.recorded(),
                ElementsAre("CHILD_GEN_FACTORY.storeField skipped: error 5 in SERIALNUMBER: The "
                            "serial number must be a whole number from 1 to 4294967295."));
    EXPECT_THAT(ShownMessages(), IsEmpty());
    EXPECT_THAT(writtenFrames(), IsEmpty());
}

TEST_F(FactoryPageTest, ModelNumberIsStored)
{
    CHILD_GEN_FACTORY *page = open();
    ASSERT_NE(page, nullptr);
    enterText(page->MODEL(), QStringLiteral("2"));
    EXPECT_THAT(writtenFrames(), ElementsAre("MODL=2.0000000"));
    EXPECT_EQ(*sim::parameter(0, "MODL"), 2.0);
}

} // namespace
} // namespace pagetests

namespace pagetests {
namespace {

TEST_F(PageFixture, FactoryButtonOnlyInFactoryMode)
{
    for (const bool factory : {false, true}) {
        app::shell::CurrentConnection() = {};
        app::shell::BuildDeviceList(factory);
        app::shell::SelectDevice(app::shell::HomeSetKey);
        ASSERT_NE(connectModule(), nullptr);
        EXPECT_EQ(host.buttons.size(), factory ? 10 : 9);
        if (!factory)
            continue;
        app::shell::SwitchPage(10);
        EXPECT_EQ(currentPageName(), app::pages::CHILD_GEN_FACTORY::FormName);
    }
}

} // namespace
} // namespace pagetests
