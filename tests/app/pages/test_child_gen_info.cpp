#include "app/pages/child_gen_info.h"

#include <cerrno>
#include <cmath>
#include <cstdint>
#include <cstring>
#include <ostream>
#include <string>
#include <utility>
#include <vector>

#include <QDir>
#include <QFileInfo>
#include <QPushButton>
#include <QTest>
#include <QTimer>
#include <qpa/qwindowsysteminterface.h>

#include <gmock/gmock.h>

#include "app/common/formatting.h"
#include "app/controls/textframe.h"
#include "app/controls/vxbtn.h"
#include "pagefixture.h"
#include "support/namedcase.h"

namespace pagetests {
namespace {

using app::pages::CHILD_GEN_INFO;
using testing::ElementsAre;
using testing::IsEmpty;

constexpr int StatShuntCal = 4096;

TEST_F(PageFixture, ShowsTheModuleAfterDetect)
{
    sim::setParameter(0, "VER", 261); // 1.05
    CHILD_GEN_INFO *info = connectModule();
    ASSERT_NE(info, nullptr);
    EXPECT_THAT(ShownMessages(), IsEmpty());

    EXPECT_EQ(info->pbSerialNumber()->displayText(), QStringLiteral("0000070000"));
    EXPECT_EQ(info->pbFirmware()->displayText(), QStringLiteral("01.05"));
    EXPECT_EQ(info->btnFormat()->Caption(), QStringLiteral("0.00000"));
    EXPECT_EQ(info->btnFormat()->List(), CHILD_GEN_INFO::FormatList);
    EXPECT_EQ(info->pbCalDate()->Caption(), hxr->GetCalDate());
    EXPECT_FALSE(info->pbCalDate()->Caption().isEmpty());
    EXPECT_EQ(info->LCDUnits()->Caption(), QStringLiteral("kg"));
    EXPECT_EQ(app::shell::CurrentConnection().DisplayUnitsText, QStringLiteral("kg"));
    EXPECT_EQ(info->DUNITS()->ListIndex(), 45);
    EXPECT_TRUE(info->ErrorMessage()->isHidden());

    // The live value: the module's output in the display format, on every refresh.
    const double oval = *sim::parameter(0, "OVAL");
    EXPECT_EQ(info->LCD1()->Caption(), app::common::FormatDisplayValue(oval, u"0.00000"));
    sim::setParameter(0, "DOFS", -25.0);
    info->TimedRefresh();
    EXPECT_EQ(info->LCD1()->Caption(),
              app::common::FormatDisplayValue(*sim::parameter(0, "OVAL"), u"0.00000"));
    EXPECT_NE(info->LCD1()->Caption(), app::common::FormatDisplayValue(oval, u"0.00000"));

    // In command mode, refreshed every 333 ms, recording controls covered.
    EXPECT_FALSE(sim::streaming(0));
    EXPECT_THAT(host.refreshIntervals, ElementsAre(CHILD_GEN_INFO::RefreshIntervalMs));
    EXPECT_FALSE(host.blankerShown.back());
}

struct UnitsCase
{
    const char *name;
    double calibrationUnits;
    double lockMask;
    bool listShown;
    bool symbolShown;
};

using testsupport::PrintTo;

class DisplayUnitsVisibilityTest : public PageFixture, public testing::WithParamInterface<UnitsCase>
{};

TEST_P(DisplayUnitsVisibilityTest, ListOnlyForEngineeringUnitsWithoutTheLock)
{
    const UnitsCase &c = GetParam();
    sim::setParameter(0, "UNTE", c.calibrationUnits);
    sim::setParameter(0, "PMSK", c.lockMask);
    CHILD_GEN_INFO *info = connectModule();
    ASSERT_NE(info, nullptr);
    EXPECT_EQ(!info->DUNITS()->isHidden(), c.listShown);
    EXPECT_EQ(!info->BodyText(2)->isHidden(), c.listShown);
    EXPECT_EQ(!info->LCDUnits()->isHidden(), c.symbolShown);
    EXPECT_FALSE(info->BodyText(1)->isHidden());
    // The rows stay evenly spaced: a hidden units row leaves no gap.
    const int step = info->pbFirmware()->y() - info->pbSerialNumber()->y();
    EXPECT_EQ(info->pbSerialNumber()->y() - info->btnFormat()->y(), (c.listShown ? 2 : 1) * step);
    EXPECT_EQ(info->BodyText(1)->y(), info->pbSerialNumber()->y());
}

INSTANTIATE_TEST_SUITE_P(Units, DisplayUnitsVisibilityTest,
                         testing::Values(UnitsCase{"Kilograms", 45, 0, true, true},
                                         UnitsCase{"MillivoltsPerVolt", 0, 0, false, true},
                                         UnitsCase{"NoUnits", 255, 0, false, false},
                                         UnitsCase{"DisplayUnitsLocked", 45, 8, false, true},
                                         UnitsCase{"OtherLocks", 45, 7, true, true}),
                         [](const testing::TestParamInfo<UnitsCase> &info) {
                             return std::string(info.param.name);
                         });

TEST_F(PageFixture, ChoosingDisplayUnitsSetsTheChainAndTheStreamScaling)
{
    sim::setParameter(0, "DOFS", 3.0);
    CHILD_GEN_INFO *info = connectModule();
    ASSERT_NE(info, nullptr);

    // The list holds only the calibration unit's category.
    QString descriptions;
    QString ids;
    app::device::FillUnitList(descriptions, ids, app::device::GetUnitCategory(45));
    EXPECT_EQ(info->DUNITS()->List(), descriptions);
    EXPECT_EQ(info->DUNITS()->Allowed(), ids);
    int other = -1;
    for (const QString &id : ids.split(QLatin1Char('|')))
        if (id.toInt() != 45 && app::device::ConvertUnitFactor(45, id.toInt()) != 1.0)
            other = id.toInt();
    ASSERT_GE(other, 0);
    const float gainBefore = hxr->driver().INTGAIN();

    info->DUNITS()->setListIndex(static_cast<int16_t>(other));
    emit info->DUNITS()->Changed();

    EXPECT_EQ(*sim::parameter(0, "UNTD"), other);
    // Written in the module's wire format, to seven decimals.
    EXPECT_NEAR(*sim::parameter(0, "DGAI"), app::device::ConvertUnitFactor(45, other), 5e-8);
    EXPECT_EQ(*sim::parameter(0, "DOFS"), 0.0);
    // The driver scales the stream with the module's new gain at once.
    EXPECT_FLOAT_EQ(hxr->driver().INTGAIN(), static_cast<float>(*sim::parameter(0, "GAIN")));
    EXPECT_NE(hxr->driver().INTGAIN(), gainBefore);
    EXPECT_THAT(ShownMessages(), IsEmpty());

    info->TimedRefresh();
    EXPECT_EQ(info->LCDUnits()->Caption(), app::device::GetUnitSymbol(other));
    EXPECT_EQ(app::shell::CurrentConnection().DisplayUnitsText, app::device::GetUnitSymbol(other));
}

TEST_F(PageFixture, IntegrityBitShowsTheReasonWithoutTrailingBreaks)
{
    sim::setIntegrityError(0, true);
    CHILD_GEN_INFO *info = connectModule();
    ASSERT_NE(info, nullptr);
    EXPECT_FALSE(info->ErrorMessage()->isHidden());
    EXPECT_EQ(info->ErrorMessage()->Caption(), CHILD_GEN_INFO::IntegrityText);

    sim::setIntegrityError(0, false);
    clock->monotonic += 600; // the status word is read again after half a second
    info->TimedRefresh();
    EXPECT_TRUE(info->ErrorMessage()->isHidden());
}

const Shown ScalingLinkLost{QStringLiteral("Communication Error"),
                            QStringLiteral("Communications with the module failed while reading "
                                           "its gains and offsets!\r\nThe streamed values may be "
                                           "zero.")};
const Shown ScalingRefused{QStringLiteral("Critical Error"),
                           QStringLiteral("There has been a problem reading gains and offsets!"
                                          "\r\nThe streamed values may be zero.")};

struct UnitsChangeCase
{
    const char *name;
    int16_t latched;    // ErrorState before the change
    sim::Faults faults; // from the change on
    bool writesUnits;   // UNTD reaches the module
    int gainReads;      // GAIN? frames: the stream scaling's re-read, with one retry
    std::vector<Shown> shown;
};

class UnitsChangeTest : public PageFixture, public testing::WithParamInterface<UnitsChangeCase>
{};

TEST_P(UnitsChangeTest, OnlyAChangeThatReachedTheModuleReReadsTheScaling)
{
    const UnitsChangeCase &c = GetParam();
    CHILD_GEN_INFO *info = connectModule();
    ASSERT_NE(info, nullptr);
    sim::clearFrameLog();
    ShownMessages().clear();
    hxr->ErrorState(c.latched);
    sim::setFaults(0, c.faults);

    info->DUNITS()->setListIndex(52); // lb
    emit info->DUNITS()->Changed();

    EXPECT_EQ(ShownMessages(), c.shown);
    EXPECT_EQ(*sim::parameter(0, "UNTD"), c.writesUnits ? 52.0 : 45.0);
    EXPECT_EQ(framesEndingWith("GAIN?"), c.gainReads);
    if (c.latched != 0) {
        EXPECT_THAT(sim::frameLog(), IsEmpty());
        EXPECT_EQ(info->DUNITS()->ListIndex(), 45) << "the units in force shown again";
        EXPECT_EQ(hxr->ErrorState(), c.latched);
    }
}

sim::Faults silentOn(std::vector<std::string> commands)
{
    sim::Faults faults;
    faults.silent = std::move(commands);
    return faults;
}

sim::Faults rejecting(std::string command)
{
    sim::Faults faults;
    faults.reject = {std::move(command)};
    return faults;
}

INSTANTIATE_TEST_SUITE_P(
    Failures, UnitsChangeTest,
    testing::Values(
        UnitsChangeCase{"Reached", 0, {}, true, 1, {}},
        UnitsChangeCase{"LatchedTimeout", -100, {}, false, 0, {CannotAlter}},
        UnitsChangeCase{"LatchedRefusal", -400, {}, false, 0, {CannotAlter}},
        UnitsChangeCase{"LinkLostOnTheWay", 0, silentOn({"UNTD="}), false, 0, {}},
        UnitsChangeCase{
            "LinkLostBeforeTheReRead", 0, silentOn({"GAIN?", "MODL?"}), true, 2, {ScalingLinkLost}},
        UnitsChangeCase{"ReReadRefused", 0, rejecting("GAIN?"), true, 2, {ScalingRefused}}),
    [](const testing::TestParamInfo<UnitsChangeCase> &info) {
        return std::string(info.param.name);
    });

TEST_F(PageFixture, ChosenFormatIsKeptPerSerialThenAsRecent)
{
    CHILD_GEN_INFO *info = connectModule();
    ASSERT_NE(info, nullptr);
    info->btnFormat()->setCaption(QStringLiteral("000.000"));
    emit info->btnFormat()->Changed();

    EXPECT_EQ(app::common::DisplayFormat(), QStringLiteral("000.000"));
    const QString ini = settingsText();
    const auto serialAt = ini.indexOf(QStringLiteral("70000=000.000"));
    const auto recentAt = ini.indexOf(QStringLiteral("Recent=000.000"));
    EXPECT_GE(serialAt, 0) << ini.toStdString();
    EXPECT_GT(recentAt, serialAt) << ini.toStdString();
    EXPECT_EQ(framesEndingWith("=000.000"), 0);

    info->TimedRefresh();
    EXPECT_EQ(info->LCD1()->Caption(),
              app::common::FormatDisplayValue(*sim::parameter(0, "OVAL"), u"000.000"));
}

TEST_F(PageFixture, AFormatThatCannotBeSavedIsReportedOnceAndStaysInUse)
{
    CHILD_GEN_INFO *info = connectModule();
    ASSERT_NE(info, nullptr);
    // A folder where the settings file should be: no write can succeed.
    ASSERT_TRUE(QDir().mkpath(app::common::SettingsFilePath()));
    ShownMessages().clear();
    for (const char *format : {"000.000", "0.0"}) {
        info->btnFormat()->setCaption(QString::fromLatin1(format));
        emit info->btnFormat()->Changed();
        EXPECT_EQ(app::common::DisplayFormat(), QString::fromLatin1(format));
    }
    ASSERT_EQ(ShownMessages().size(), 1u);
    EXPECT_EQ(ShownMessages()[0].title, QStringLiteral("Warning"));
    EXPECT_EQ(ShownMessages()[0].text, QStringLiteral("The display format could not be saved to ") +
                                           app::common::SettingsFilePath() + QStringLiteral(": ") +
                                           QString::fromLocal8Bit(std::strerror(EISDIR)) +
                                           QLatin1Char('.'));
    EXPECT_TRUE(QFileInfo(app::common::SettingsFilePath()).isDir());
}

TEST_F(PageFixture, AClickDuringAWaitForTheModuleArrivesAfterTheWait)
{
    CHILD_GEN_INFO *info = connectModule();
    ASSERT_NE(info, nullptr);
    QPushButton button;
    button.resize(80, 30);
    button.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&button));
    int clicks = 0;
    QObject::connect(&button, &QPushButton::clicked, [&] { ++clicks; });
    sim::Faults slow = sim::faults(0);
    slow.replyDelayMs = 150;
    sim::setFaults(0, slow);

    // Queued during the refresh's first wait, as a display server queues a click.
    bool queued = false;
    int clicksDuringWait = -1;
    QTimer::singleShot(0, [&] {
        queued = true;
        QWindow *window = button.windowHandle();
        const QPointF at(10, 10);
        for (const QEvent::Type type : {QEvent::MouseButtonPress, QEvent::MouseButtonRelease})
            QWindowSystemInterface::handleMouseEvent<QWindowSystemInterface::AsynchronousDelivery>(
                window, at, window->mapToGlobal(at),
                type == QEvent::MouseButtonPress ? Qt::LeftButton : Qt::NoButton, Qt::LeftButton,
                type);
        QTimer::singleShot(0, [&] { clicksDuringWait = clicks; });
    });
    const uint64_t framesBefore = sim::frameLog(0).size();
    info->TimedRefresh();
    EXPECT_TRUE(queued);
    EXPECT_EQ(clicksDuringWait, 0) << "the events of the wait ran after the click was queued";
    EXPECT_EQ(clicks, 0);
    EXPECT_GT(sim::frameLog(0).size(), framesBefore);
    EXPECT_EQ(hxr->ErrorState(), 0);
    QTRY_COMPARE_WITH_TIMEOUT(clicks, 1, 5000);
}

TEST_F(PageFixture, ShuntCalibrationToggleSwitchesTheModule)
{
    CHILD_GEN_INFO *info = connectModule();
    ASSERT_NE(info, nullptr);
    app::controls::VXBtn *toggle = info->SHUNTCALSTATE();
    EXPECT_FALSE(toggle->State());

    QTest::mouseClick(toggle, Qt::LeftButton);
    EXPECT_TRUE(toggle->State());
    EXPECT_EQ(static_cast<int>(*sim::parameter(0, "STAT")) & StatShuntCal, StatShuntCal);
    QTest::mouseClick(toggle, Qt::LeftButton);
    EXPECT_FALSE(toggle->State());
    EXPECT_EQ(static_cast<int>(*sim::parameter(0, "STAT")) & StatShuntCal, 0);

    // Opening the page again shows the module's state.
    sim::clearFrameLog();
    QTest::mouseClick(toggle, Qt::LeftButton);
    clock->monotonic += 600;
    info->DeActivated();
    info->Activated();
    EXPECT_TRUE(toggle->State());
}

} // namespace
} // namespace pagetests
