#include "app/device/hxr.h"

#include <memory>
#include <ostream>
#include <string>
#include <vector>

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include "app/device/drv_hxr.h"
#include "app/device/fakedriver.h"

namespace {

using app::device::HXR;
using platform::vb::NumberSeparators;
using testing::ElementsAre;
using testing::IsEmpty;
using testing_device::FakeClock;
using testing_device::FakeModule;

class HxrTest : public testing::Test
{
protected:
    HxrTest() : clock(std::make_shared<FakeClock>()), hxr(testing_device::fakeDriverApi(), clock)
    {
        FakeModule::current() = &module;
        app::device::setStreamRunning(false);
    }
    ~HxrTest() override
    {
        FakeModule::current() = nullptr;
        app::device::setBufferResetHook({});
    }

    FakeModule module;
    std::shared_ptr<FakeClock> clock;
    HXR hxr;
};

TEST_F(HxrTest, ReadsAndWritesParametersByMnemonic)
{
    module.values["EGAI"] = 2.5f;
    EXPECT_FLOAT_EQ(hxr.EGAI(), 2.5f);
    hxr.USR3(-0.5f);
    hxr.DGAI(1234.5f);
    EXPECT_THAT(module.frames, ElementsAre("EGAI?", "USR3=-0.5000000", "DGAI=1234.5000000"));
    EXPECT_EQ(hxr.ErrorState(), 0);
}

TEST_F(HxrTest, FailedReadLatchesAndReturnsTheLastGoodValue)
{
    module.values["OVAL"] = 12.5f;
    module.values["ADC"] = 7.0f;
    EXPECT_DOUBLE_EQ(hxr.OVAL(), 12.5);
    EXPECT_DOUBLE_EQ(hxr.ADC(), 7.0);

    module.readFailures["OVAL"] = HXR_TIMEOUT;
    module.values["OVAL"] = 99.0f;
    EXPECT_DOUBLE_EQ(hxr.OVAL(), 12.5);
    EXPECT_EQ(hxr.ErrorState(), HXR_TIMEOUT);

    // Latched: nothing reaches the module, each parameter keeps its own last good value and
    // one that was never read is 0.
    module.frames.clear();
    module.readFailures.clear();
    EXPECT_DOUBLE_EQ(hxr.OVAL(), 12.5);
    EXPECT_DOUBLE_EQ(hxr.ADC(), 7.0);
    EXPECT_DOUBLE_EQ(hxr.MVV(), 0.0);
    hxr.USR3(1.0f);
    hxr.SCON();
    EXPECT_THAT(module.frames, IsEmpty());
    EXPECT_EQ(hxr.ErrorState(), HXR_TIMEOUT);

    hxr.ResetError();
    EXPECT_DOUBLE_EQ(hxr.OVAL(), 99.0);
    EXPECT_THAT(module.frames, ElementsAre("OVAL?"));
}

TEST_F(HxrTest, FirstFailureWins)
{
    module.failEveryWrite = HXR_REJECTED;
    hxr.ZERO(1.0f);
    EXPECT_EQ(hxr.ErrorState(), HXR_REJECTED);
    module.failEveryWrite = 0;
    module.failEveryRead = HXR_NODEVICE;
    hxr.ZERO();
    hxr.ErrorState(0);
    hxr.ZERO();
    EXPECT_EQ(hxr.ErrorState(), HXR_NODEVICE);
}

TEST_F(HxrTest, FailedExecuteLatches)
{
    module.failEveryExecute = HXR_NODEVICE;
    hxr.OPON();
    EXPECT_EQ(hxr.ErrorState(), HXR_NODEVICE);
}

TEST_F(HxrTest, StatusIsReadAtMostEveryHalfSecond)
{
    module.values["STAT"] = 4096.0f;
    EXPECT_DOUBLE_EQ(hxr.STAT(), 4096.0);
    module.values["STAT"] = 0.0f;
    clock->monotonic += 500;
    EXPECT_DOUBLE_EQ(hxr.STAT(), 4096.0);
    clock->monotonic += 100;
    EXPECT_DOUBLE_EQ(hxr.STAT(), 0.0);
    EXPECT_THAT(module.frames, ElementsAre("STAT?", "STAT?"));
}

TEST_F(HxrTest, FirstStatusGetAlwaysReads)
{
    clock->monotonic = 300;
    module.values["STAT"] = 12.0f;
    EXPECT_DOUBLE_EQ(hxr.STAT(), 12.0);
}

TEST_F(HxrTest, NegativeStatusReadsUnsignedAndStaysSo)
{
    module.values["STAT"] = -1.0f;
    EXPECT_DOUBLE_EQ(hxr.STAT(), 65535.0);
    hxr.ErrorState(HXR_TIMEOUT);
    clock->monotonic += 1000;
    EXPECT_DOUBLE_EQ(hxr.STAT(), 65535.0);
}

TEST_F(HxrTest, VersionComesFromTheVersionWord)
{
    module.values["VER"] = 263.0f;
    EXPECT_NEAR(hxr.VERSION(), 1.07, 1e-12);
    module.values["VER"] = 0x0105;
    EXPECT_NEAR(hxr.VERSION(), 1.05, 1e-12);
    module.values["VER"] = 1e20f;
    EXPECT_DOUBLE_EQ(hxr.VERSION(), 0.0);
}

TEST_F(HxrTest, ConfWritesOneOrZero)
{
    hxr.CONF(true);
    hxr.CONF(false);
    EXPECT_THAT(module.frames, ElementsAre("CONF=1.0000000", "CONF=0.0000000"));
    module.values["CONF"] = -3.0f;
    EXPECT_TRUE(hxr.CONF());
    module.values["CONF"] = 0.0f;
    EXPECT_FALSE(hxr.CONF());
}

TEST_F(HxrTest, ResetRestartsTheStreamAndEmptiesTheRingEvenWhenLatched)
{
    int resets = 0;
    app::device::setBufferResetHook([&] { ++resets; });
    hxr.RST();
    EXPECT_THAT(module.frames, ElementsAre("RST"));
    EXPECT_TRUE(app::device::StreamRunning());

    hxr.CommandMode();
    EXPECT_FALSE(app::device::StreamRunning());

    module.frames.clear();
    hxr.ErrorState(HXR_TIMEOUT);
    hxr.RST();
    EXPECT_THAT(module.frames, IsEmpty());
    EXPECT_EQ(resets, 2);
    EXPECT_TRUE(app::device::StreamRunning());
}

TEST_F(HxrTest, PortCallsIgnoreTheLatch)
{
    hxr.ErrorState(HXR_TIMEOUT);
    module.deviceCount = 2;
    hxr.ClosePort();
    hxr.OpenPort();
    EXPECT_EQ(hxr.DeviceCount(), 2);
    EXPECT_TRUE(hxr.ConfigureCal());
    module.configCalResult = -1;
    EXPECT_FALSE(hxr.ConfigureCal());
    hxr.CommandMode();
    EXPECT_THAT(module.portCalls, ElementsAre("CLOSEPORT", "OPENPORT", "CONFIGCAL", "CONFIGCAL"));
    EXPECT_THAT(module.frames, ElementsAre(""));
    EXPECT_EQ(hxr.ErrorState(), HXR_TIMEOUT);
}

TEST(HxrWithoutDriver, EveryCommandFailsAsWithNoDevice)
{
    HXR hxr;
    EXPECT_DOUBLE_EQ(hxr.OVAL(), 0.0);
    EXPECT_EQ(hxr.ErrorState(), HXR_NODEVICE);
    EXPECT_EQ(hxr.DeviceCount(), 0);
    EXPECT_FALSE(hxr.ConfigureCal());
}

struct FormatCase
{
    double value;
    const char *expected;
};

void PrintTo(const FormatCase &c, std::ostream *os)
{
    *os << c.value << " -> " << c.expected;
}

class FormatFloatTable : public testing::TestWithParam<FormatCase>
{};

TEST_P(FormatFloatTable, KeepsSevenSignificantDigitsWithoutCuttingIntegers)
{
    EXPECT_EQ(HXR::FormatFloat(GetParam().value, NumberSeparators::invariant()).toStdString(),
              GetParam().expected);
}

INSTANTIATE_TEST_SUITE_P(
    Values, FormatFloatTable,
    testing::Values(FormatCase{12.3456789, "12.34567"}, FormatCase{0.000123456789, "0.0001235"},
                    FormatCase{-12.3456789, "-12.34567"}, FormatCase{-0.000123456789, "-0.0001235"},
                    FormatCase{0.5, "0.5000000"}, FormatCase{2.5, "2.500000"},
                    FormatCase{0.0, "0.0000000"}, FormatCase{12345678.9, "12345678"},
                    FormatCase{123456789.5, "123456789"}, FormatCase{-123456789.5, "-123456789"},
                    FormatCase{1234567.5, "1234567"}, FormatCase{1e12, "1000000000000"}));

TEST(FormatFloat, UsesTheUserSeparatorAndTakesText)
{
    const NumberSeparators comma{QLatin1Char(','), QLatin1Char('.')};
    EXPECT_EQ(HXR::FormatFloat(12.3456789, comma), QStringLiteral("12,34567"));
    EXPECT_EQ(HXR::FormatFloat(123456789.5, comma), QStringLiteral("123456789"));
    EXPECT_EQ(HXR::FormatFloat(QStringLiteral("abc")), QStringLiteral("abc"));
    EXPECT_EQ(HXR::FormatFloat(QStringLiteral("12.3456789")),
              HXR::FormatFloat(12.3456789, NumberSeparators::user()));
}

} // namespace
