#include <algorithm>
#include <chrono>
#include <cstdlib>
#include <fstream>
#include <functional>
#include <stdexcept>
#include <string>
#include <thread>
#include <vector>

#include <QFile>
#include <QTemporaryDir>

#include <gmock/gmock.h>

#include "platform/ftd2xx/sim/simsignal.h"
#include "test_simfixture.h"

namespace {

using namespace simtest;
using testing::ElementsAre;
using testing::HasSubstr;

TEST(SimConfigText, EmptyTextGivesOneDefaultModule)
{
    const auto config = sim::parseConfig("");
    ASSERT_EQ(config.devices.size(), 1u);
    const auto &device = config.devices[0];
    EXPECT_EQ(device.description, "HXR");
    EXPECT_EQ(device.model, 1);
    EXPECT_EQ(device.rate, 4800);
    EXPECT_EQ(device.signal.shape, sim::SignalShape::Constant);
    EXPECT_EQ(device.signal.level, 1.0);
}

TEST(SimConfigText, KeysForAllDevicesAndForOne)
{
    const auto config = sim::parseConfig(
        " 2.desc=HXR2 , devices=3,serial=70000,model=7,rate=15360,desc=Box,3.serial=5,"
        "signal=sine:12.5,noise=0.01,integrity=1,reject=GAIN?+OFFS?,reject=VER,silent=*,"
        "delay=900,split=3,junk=100:2,2.fail=latency,3.shunt=-1.25");
    ASSERT_EQ(config.devices.size(), 3u);
    const auto &first = config.devices[0];
    EXPECT_EQ(first.description, "Box");
    EXPECT_EQ(config.devices[1].description, "HXR2");
    EXPECT_EQ(first.serial, 70000u);
    EXPECT_EQ(config.devices[1].serial, 70001u);
    EXPECT_EQ(config.devices[2].serial, 5u);
    EXPECT_EQ(first.model, 7);
    EXPECT_EQ(first.rate, 15360);
    EXPECT_EQ(first.signal.shape, sim::SignalShape::Sine);
    EXPECT_EQ(first.signal.frequency, 12.5);
    EXPECT_EQ(first.signal.amplitude, 1.0);
    EXPECT_EQ(first.signal.level, 0.0);
    EXPECT_EQ(first.signal.noise, 0.01);
    EXPECT_TRUE(first.integrityError);
    EXPECT_THAT(first.faults.reject, ElementsAre("GAIN?", "OFFS?", "VER"));
    EXPECT_THAT(first.faults.silent, ElementsAre("*"));
    EXPECT_EQ(first.faults.replyDelayMs, 900);
    EXPECT_EQ(first.faults.splitBytes, 3);
    EXPECT_EQ(first.faults.junkEvery, 100);
    EXPECT_EQ(first.faults.junkCount, 2);
    EXPECT_EQ(first.faults.failStep, sim::SetupStep::None);
    EXPECT_EQ(config.devices[1].faults.failStep, sim::SetupStep::LatencyTimer);
    EXPECT_EQ(first.shuntStep, 0.5);
    EXPECT_EQ(config.devices[2].shuntStep, -1.25);
}

TEST(SimConfigText, SignalShapes)
{
    auto signal = sim::parseConfig("signal=constant:-2.5").devices[0].signal;
    EXPECT_EQ(signal.shape, sim::SignalShape::Constant);
    EXPECT_EQ(signal.level, -2.5);
    signal = sim::parseConfig("signal=sine:5:0.5:1").devices[0].signal;
    EXPECT_EQ(signal.amplitude, 0.5);
    EXPECT_EQ(signal.level, 1.0);
    signal = sim::parseConfig("signal=steps:0.5:0:1:2").devices[0].signal;
    EXPECT_EQ(signal.shape, sim::SignalShape::Steps);
    EXPECT_EQ(signal.dwell, 0.5);
    EXPECT_THAT(signal.steps, ElementsAre(0.0, 1.0, 2.0));

    sim::SimSignal steps(signal, 1);
    EXPECT_THAT(
        (std::vector{steps.at(0.0), steps.at(0.49), steps.at(0.5), steps.at(1.2), steps.at(1.6)}),
        ElementsAre(0.0, 0.0, 1.0, 2.0, 0.0));
}

TEST(SimConfigText, NoiseStaysWithinItsAmplitudeAndVaries)
{
    sim::SignalConfig config;
    config.level = 1.0;
    config.noise = 0.1;
    sim::SimSignal signal(config, 42);
    double low = 2.0;
    double high = 0.0;
    for (int i = 0; i < 10000; ++i) {
        const double v = signal.at(i * 1e-3);
        low = std::min(low, v);
        high = std::max(high, v);
    }
    EXPECT_GE(low, 0.9);
    EXPECT_LE(high, 1.1);
    EXPECT_LT(low, 0.91);
    EXPECT_GT(high, 1.09);
}

struct BadCase
{
    const char *text;
    const char *message;
};

void PrintTo(const BadCase &c, std::ostream *os)
{
    *os << '"' << c.text << '"';
}

class SimConfigBadText : public testing::TestWithParam<BadCase>
{};

TEST_P(SimConfigBadText, IsReportedAndSkipped)
{
    EXPECT_THROW(
        {
            try {
                sim::parseConfig(GetParam().text);
            } catch (const std::invalid_argument &error) {
                EXPECT_THAT(error.what(), HasSubstr(GetParam().message));
                throw;
            }
        },
        std::invalid_argument);
    std::vector<std::string> errors;
    const auto config = sim::parseConfig(std::string(GetParam().text) + ",model=9", &errors);
    EXPECT_EQ(errors.size(), 1u);
    ASSERT_FALSE(config.devices.empty());
    EXPECT_EQ(config.devices[0].model, 9) << "the good keys still count";
}

INSTANTIATE_TEST_SUITE_P(
    Cases, SimConfigBadText,
    testing::Values(BadCase{"devices=9", "devices"}, BadCase{"devices=-1", "devices"},
                    BadCase{"colour=red", "unknown key \"colour\""},
                    BadCase{"serial=abc", "serial"}, BadCase{"serial=4294967296", "serial"},
                    BadCase{"model=256", "model"}, BadCase{"rate=0", "rate"},
                    BadCase{"signal=square:1", "unknown shape"}, BadCase{"signal=sine", "sine"},
                    BadCase{"signal=constant:x", "not a number"},
                    BadCase{"signal=steps:0:1", "steps"}, BadCase{"noise=-1", "noise"},
                    BadCase{"shunt=big", "shunt"},
                    BadCase{"fail=usb", "set-up step"}, BadCase{"junk=5:0", "junk"},
                    BadCase{"9.desc=X", "device number"},
                    BadCase{"3.desc=X", "no device 3 (devices=1)"}, BadCase{"desc", "key=value"}));

class SimEnvironment : public SimFixture
{
protected:
    void TearDown() override
    {
        unsetenv("HXR_SIM");
        unsetenv("HXR_SIM_LOG");
        unsetenv("HXR_SIM_CONTROL");
        SimFixture::TearDown();
    }
};

TEST_F(SimEnvironment, FollowsHxrSimUntilConfiguredByTheApi)
{
    setenv("HXR_SIM", "devices=2,2.desc=HXR2", 1);
    sim::reset();
    uint32_t count = 0;
    ASSERT_EQ(FT_ListDevices(&count, nullptr, FT_LIST_NUMBER_ONLY), FT_OK);
    EXPECT_EQ(count, 2u);

    setenv("HXR_SIM", "devices=5", 1);
    ASSERT_EQ(FT_ListDevices(&count, nullptr, FT_LIST_NUMBER_ONLY), FT_OK);
    EXPECT_EQ(count, 5u) << "a changed HXR_SIM is taken up at the next enumeration";

    configure(sim::parseConfig("devices=1"));
    setenv("HXR_SIM", "devices=3", 1);
    EXPECT_EQ(sim::deviceCount(), 1) << "the API's modules stay";
}

TEST_F(SimEnvironment, LogFileFromTheEnvironment)
{
    QTemporaryDir dir;
    const std::string path = dir.filePath("env.log").toStdString();
    setenv("HXR_SIM_LOG", path.c_str(), 1);
    setenv("HXR_SIM", "serial=1", 1);
    sim::reset();
    EXPECT_EQ(sim::fromEnvironment().logPath, path);
    FT_HANDLE h = ready();
    EXPECT_EQ(command(h, "SERL?"), "1\r");
    std::ifstream file(path);
    std::vector<std::string> lines;
    for (std::string line; std::getline(file, line);)
        lines.push_back(line);
    EXPECT_THAT(lines, ElementsAre("!001:", "!001:SERL?"));
}

// Lists the devices until `done` holds; the control file is looked at ten times a second.
bool listUntil(const std::function<bool(uint32_t)> &done)
{
    const auto end = std::chrono::steady_clock::now() + std::chrono::seconds(20);
    uint32_t count = 0;
    while (std::chrono::steady_clock::now() < end) {
        if (FT_ListDevices(&count, nullptr, FT_LIST_NUMBER_ONLY) == FT_OK && done(count))
            return true;
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
    }
    return false;
}

TEST_F(SimEnvironment, RunningModulesFollowTheControlFile)
{
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("control"));
    const auto control = [&](const char *text) {
        QFile file(path);
        ASSERT_TRUE(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
        file.write(text);
    };
    control("");
    setenv("HXR_SIM_CONTROL", path.toLocal8Bit().constData(), 1);
    setenv("HXR_SIM", "devices=2", 1);
    sim::reset();
    FT_HANDLE h = ready();

    control("silent=*\n2.delay=300");
    ASSERT_TRUE(listUntil([](uint32_t) { return sim::faults(0).silent.size() == 1; }));
    EXPECT_EQ(sim::faults(1).replyDelayMs, 300);
    EXPECT_FALSE(sim::faults(1).silent.empty()) << "keys for all devices reach device 2";

    // Unplugged: gone from the list, and the open handle is dead even once it is back.
    control("unplugged=1");
    ASSERT_TRUE(listUntil([](uint32_t count) { return count == 0; }));
    uint32_t queued = 0;
    EXPECT_EQ(FT_GetQueueStatus(h, &queued), FT_IO_ERROR);
    control("junk=10:2");
    ASSERT_TRUE(listUntil([](uint32_t count) { return count == 2; }));
    EXPECT_EQ(FT_GetQueueStatus(h, &queued), FT_IO_ERROR);
    EXPECT_EQ(sim::faults(0).junkCount, 2);
    EXPECT_TRUE(sim::faults(0).silent.empty());
    FT_Close(h);
    EXPECT_EQ(command(ready(), "MODL?"), "1\r");
}

} // namespace
