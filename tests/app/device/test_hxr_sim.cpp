// The device object over the real driver code and the simulated module, as the program runs it.

#include "app/device/hxr.h"

#include <algorithm>
#include <cmath>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include "app/device/drv_hxr.h"
#include "app/device/fakedriver.h"
#include "hxrdrv.h"
#include "platform/ftd2xx/backend.h"
#include "platform/ftd2xx/sim/simmodule.h"
#include "platform/win/messagehook.h"

namespace {

using app::device::DriverApi;
using app::device::HXR;
using testing_device::FakeClock;
namespace sim = platform::ftd2xx::sim;

DriverApi linkedDriver()
{
    DriverApi api;
    api.INITIALISE = &INITIALISE;
    api.OPENPORT = &OPENPORT;
    api.CLOSEPORT = &CLOSEPORT;
    api.DEVICECOUNT = &DEVICECOUNT;
    api.VERSION = &VERSION;
    api.READCOMMAND = &READCOMMAND;
    api.WRITECOMMAND = &WRITECOMMAND;
    api.EXECUTECOMMAND = &EXECUTECOMMAND;
    api.COMMANDMODE = &COMMANDMODE;
    api.CONFIGCAL = &CONFIGCAL;
    api.INTGAIN = &INTGAIN;
    api.INTOFFS = &INTOFFS;
    api.FINDMINMAX = &FINDMINMAX;
    api.CREATECALLBACKWINDOW = &CREATECALLBACKWINDOW;
    return api;
}

void ignoreReading(int32_t, float) {}

class HxrOnSimulatedModule : public testing::Test
{
protected:
    HxrOnSimulatedModule() : clock(std::make_shared<FakeClock>()), hxr(linkedDriver(), clock)
    {
        sim::SimConfig config;
        config.devices[0].serial = 70000;
        sim::configure(config);
        platform::ftd2xx::setActiveBackend(platform::ftd2xx::makeSimBackend());
        platform::win::setMessageRecorder(
            [this](const QString &text, const QString &) { driverMessages.push_back(text); });
        app::device::DeviceUi ui;
        ui.message = [this](const QString &text, const QString &, bool) {
            messages.push_back(text);
        };
        ui.input = [this](const QString &, const QString &, const QString &) { return answer; };
        hxr.setUi(ui);

        // The connect sequence of the Home page.
        hxr.ClosePort();
        HXRReadingProc proc = &ignoreReading;
        hxr.driver().INITIALISE(&proc);
        hxr.OpenPort();
    }
    ~HxrOnSimulatedModule() override
    {
        hxr.ClosePort();
        platform::win::setMessageRecorder({});
        sim::reset();
    }

    // Frames sent since the last call, without the "!001:" envelope.
    std::vector<std::string> newFrames()
    {
        std::vector<std::string> frames;
        for (std::string line : sim::frameLog()) {
            if (line.rfind("!001:", 0) == 0)
                line.erase(0, 5);
            frames.push_back(line);
        }
        sim::clearFrameLog();
        return frames;
    }

    std::shared_ptr<FakeClock> clock;
    HXR hxr;
    std::vector<QString> driverMessages;
    std::vector<QString> messages;
    std::optional<QString> answer;
};

TEST_F(HxrOnSimulatedModule, ConnectsAsTheHomePageDoes)
{
    ASSERT_EQ(hxr.DeviceCount(), 1);
    hxr.CommandMode();
    EXPECT_TRUE(hxr.CONF());
    EXPECT_EQ(hxr.MODL(), 1.0f);
    EXPECT_DOUBLE_EQ(hxr.SERIALNUMBER(), 70000.0);
    EXPECT_NEAR(hxr.VERSION(), 1.05, 1e-9);
    EXPECT_TRUE(hxr.ConfigureCal());
    EXPECT_EQ(hxr.ErrorState(), 0);
    EXPECT_TRUE(driverMessages.empty());
}

TEST_F(HxrOnSimulatedModule, EveryReadWriteParameterRoundTripsByName)
{
    hxr.CommandMode();
    struct Setting
    {
        const char *name;
        double value;
    };
    const std::vector<Setting> settings = {
        {"ZERO", 0.125},
        {"ZGAI", 2.0},
        {"ZOFS", -0.5},
        {"UNTZ", 45},
        {"DGAI", 2.5},
        {"DOFS", 0.75},
        {"UNTD", 52},
        {"EGAI", 1000.0},
        {"EOFS", -12.5},
        {"UNTE", 45},
        {"MINS", 5},
        {"HOUR", 9},
        {"DAY", 16},
        {"MNTH", 1},
        {"YEAR", 17},
        {"USR1", 1.5},
        {"USR2", -2.25},
        {"USR3", 1234.5},
        {"USR4", 0.0078125},
        {"USR5", -1e6},
        {"USR6", 42},
        {"USR7", 3.75},
        {"USR8", -0.0625},
        {"USR9", 65536},
        {"FMVG", 1.03125},
        {"FMVO", 12},
        {"FSNL", 4464},
        {"FSNH", 1},
        {"MODL", 1},
        {"PMSK", 13},
        {"PWD1", 4321},
        {"CONF", 1},
        {"LOCK_CAL", 0},
        {"LOCK_SYSZERO", 1},
        {"SERIALNUMBER", 123456},
    };
    for (const Setting &s : settings) {
        const QString name = QString::fromLatin1(s.name);
        hxr.LetByName(name, QVariant(s.value));
        EXPECT_EQ(hxr.GetByName(name).toDouble(), s.value) << s.name;
        EXPECT_EQ(hxr.ErrorState(), 0) << s.name;
    }
    // Every mnemonic of the table is covered.
    for (int i = static_cast<int>(HXR::Parameter::ZERO);
         i <= static_cast<int>(HXR::Parameter::PWD1); ++i) {
        const std::string name = HXR::mnemonic(static_cast<HXR::Parameter>(i));
        EXPECT_TRUE(std::any_of(settings.begin(), settings.end(), [&](const Setting &s) {
            return name == s.name;
        })) << name;
    }
    EXPECT_TRUE(driverMessages.empty());
}

TEST_F(HxrOnSimulatedModule, SerialNumberIsReadBackInCommandMode)
{
    hxr.CommandMode();
    answer = QStringLiteral("70001");
    newFrames();
    hxr.SetSerial();
    EXPECT_THAT(messages, testing::ElementsAre(QStringLiteral("Serialnumber now set to: 70001")));
    const std::vector<std::string> frames = newFrames();
    const auto reset = std::find(frames.begin(), frames.end(), "RST");
    ASSERT_NE(reset, frames.end());
    EXPECT_EQ(*(reset + 1), "");
    EXPECT_EQ(hxr.ErrorState(), 0);
    EXPECT_TRUE(driverMessages.empty());
    EXPECT_FALSE(app::device::StreamRunning());
}

TEST_F(HxrOnSimulatedModule, OutputChainAgreesWithTheStreamScaling)
{
    hxr.CommandMode();
    hxr.EGAI(500.0f);
    hxr.EOFS(2.0f);
    hxr.DGAI(2.0f);
    hxr.DOFS(1.0f);
    hxr.ZGAI(2.0f);
    hxr.ZERO(3.0f);
    const double mvv = hxr.MVV();
    const double oval = hxr.OVAL();
    EXPECT_NEAR((mvv * 500.0 - 2.0) * 2.0 - 1.0 - 3.0, oval, 1e-3 * std::fabs(oval) + 1e-3);
    EXPECT_NEAR(hxr.GAIN() * mvv - hxr.OFFS(), oval, 1e-3 * std::fabs(oval) + 1e-3);
    ASSERT_TRUE(hxr.ConfigureCal());
    EXPECT_FLOAT_EQ(hxr.driver().INTGAIN(), hxr.GAIN());
    EXPECT_FLOAT_EQ(hxr.driver().INTOFFS(), hxr.OFFS());
}

TEST_F(HxrOnSimulatedModule, ShuntCalibrationBitFollowsTheCommands)
{
    hxr.CommandMode();
    hxr.SCON();
    EXPECT_EQ(hxr.SCALON(), 1);
    clock->monotonic += 600;
    hxr.SCOF();
    EXPECT_EQ(hxr.SCALON(), 0);
    sim::setIntegrityError(0, true);
    clock->monotonic += 600;
    EXPECT_TRUE(hxr.IntError());
    EXPECT_EQ(hxr.ErrorState(), 0);
}

TEST_F(HxrOnSimulatedModule, RejectedReadLatchesAndNothingMoreIsSent)
{
    hxr.CommandMode();
    hxr.USR1(2.5f);
    EXPECT_EQ(hxr.USR1(), 2.5f);
    sim::Faults faults;
    faults.reject = {"USR1"};
    sim::setFaults(0, faults);
    newFrames();
    EXPECT_EQ(hxr.USR1(), 2.5f);
    EXPECT_EQ(hxr.ErrorState(), HXR_REJECTED);
    EXPECT_EQ(newFrames(), std::vector<std::string>{"USR1?"});
    hxr.USR2(1.0f);
    hxr.OVAL();
    hxr.RST();
    EXPECT_TRUE(newFrames().empty());
    hxr.ResetError();
    sim::setFaults(0, {});
    EXPECT_EQ(hxr.USR1(), 2.5f);
    EXPECT_EQ(hxr.ErrorState(), 0);
}

} // namespace
