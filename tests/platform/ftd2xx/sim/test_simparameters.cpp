#include <cstdlib>
#include <string>

#include <locale.h>

#include <gmock/gmock.h>

#include "support/namedcase.h"
#include "test_simfixture.h"

namespace {

using namespace simtest;

double value(const std::string &reply)
{
    EXPECT_FALSE(reply.empty() || reply.front() == '?') << reply;
    EXPECT_EQ(reply.back(), '\r');
    // The module's "." whatever the locale the tests run in.
    static const locale_t cLocale = newlocale(LC_ALL_MASK, "C", locale_t{});
    return strtod_l(reply.c_str(), nullptr, cLocale);
}

class SimParameters : public SimFixture
{
protected:
    void SetUp() override
    {
        SimFixture::SetUp();
        sim::SimConfig config;
        config.devices[0].serial = 70000;
        config.devices[0].signal.level = 1.5; // mV/V at the sensor
        configure(config);
        h_ = ready();
    }

    double read(const std::string &mnemonic) { return value(command(h_, mnemonic + "?")); }
    void write(const std::string &mnemonic, double v)
    {
        ASSERT_NE(command(h_, mnemonic + "=" + wire(v)), "?\r") << mnemonic;
    }

    FT_HANDLE h_ = nullptr;
};

TEST_F(SimParameters, EveryMnemonicAnswersAndWritableOnesKeepTheirValue)
{
    const char *readOnly[] = {"STAT", "ADC", "MVV", "OVAL", "VER", "SERL", "SERH", "GAIN", "OFFS"};
    for (const char *mnemonic : readOnly) {
        EXPECT_NE(command(h_, std::string(mnemonic) + "?"), "?\r") << mnemonic;
        EXPECT_EQ(command(h_, std::string(mnemonic) + "=1"), "?\r") << mnemonic;
    }
    const char *writable[] = {"ZERO", "ZGAI", "ZOFS", "UNTZ", "DGAI", "DOFS", "UNTD", "EGAI",
                              "EOFS", "UNTE", "MINS", "HOUR", "DAY",  "MNTH", "YEAR", "USR1",
                              "USR2", "USR3", "USR4", "USR5", "USR6", "USR7", "USR8", "USR9",
                              "FMVG", "FMVO", "FSNL", "FSNH", "MODL", "PMSK", "PWD1"};
    for (const char *mnemonic : writable) {
        write(mnemonic, 12.0);
        EXPECT_EQ(read(mnemonic), 12.0) << mnemonic;
    }
    write("CONF", 0);
    EXPECT_EQ(read("CONF"), 0.0);
    write("CONF", 5);
    EXPECT_EQ(read("CONF"), 1.0) << "a flag";
    for (const char *mnemonic : {"RST", "SCON", "SCOF", "OPON", "OPOF"})
        EXPECT_EQ(command(h_, mnemonic), "OK\r") << mnemonic;
}

TEST_F(SimParameters, DefaultsDescribeAKilogramLoadCell)
{
    EXPECT_EQ(read("MODL"), 1.0);
    EXPECT_EQ(read("VER"), 261.0);
    EXPECT_EQ(read("CONF"), 1.0) << "in command mode";
    EXPECT_EQ(read("UNTE"), 45.0);
    EXPECT_EQ(read("UNTD"), 45.0);
    EXPECT_EQ(read("EGAI"), 50.0) << "2 mV/V is 100 kg";
    EXPECT_EQ(read("ADC"), 150000.0);
    EXPECT_EQ(read("MVV"), 1.5);
    EXPECT_EQ(read("OVAL"), 75.0);
    EXPECT_EQ(read("STAT"), 0.0);
}

// OVAL, and the stream scaled by GAIN and OFFS, follow every stage of the chain.
struct ChainCase
{
    const char *name;
    std::vector<std::pair<const char *, double>> writes;
    double oval;
};

using testsupport::PrintTo;

class SimChain : public SimParameters, public testing::WithParamInterface<ChainCase>
{};

TEST_P(SimChain, OvalAndStreamScalingAgree)
{
    for (const auto &[mnemonic, v] : GetParam().writes)
        write(mnemonic, v);
    const double mvv = read("MVV");
    const double oval = read("OVAL");
    EXPECT_NEAR(oval, GetParam().oval, 1e-4);
    EXPECT_NEAR(read("GAIN") * mvv - read("OFFS"), oval, 1e-4);

    ASSERT_EQ(command(h_, "RST"), "OK\r");
    advance(5ms);
    const auto readings = decodeFrames(readAll(h_));
    ASSERT_FALSE(readings.empty());
    EXPECT_FLOAT_EQ(readings.back().value, static_cast<float>(mvv)) << "the stream carries MVV";
}

// Sensor input 1.5 mV/V throughout.
INSTANTIATE_TEST_SUITE_P(
    Stages, SimChain,
    testing::Values(
        ChainCase{"defaults", {}, 75.0}, ChainCase{"calibration_gain", {{"EGAI", 20.0}}, 30.0},
        ChainCase{"calibration_offset", {{"EOFS", 5.0}}, 70.0},
        ChainCase{"display_stage", {{"DGAI", 2.0}, {"DOFS", 10.0}}, 140.0},
        ChainCase{"factory_stage", {{"FMVG", 20.0}, {"FMVO", 50000.0}}, 100.0},
        ChainCase{"zero_in_display_units", {{"ZERO", 25.0}}, 50.0},
        // A zero taken at display gain 1 and shown at display gain 2 doubles with the display.
        ChainCase{"zero_rescaled", {{"ZERO", 25.0}, {"ZGAI", 1.0}, {"DGAI", 2.0}}, 100.0},
        ChainCase{"zero_at_current_gain", {{"DGAI", 2.0}, {"ZGAI", 2.0}, {"ZERO", 25.0}}, 125.0},
        ChainCase{"zero_gain_of_zero", {{"ZGAI", 0.0}, {"ZERO", 5.0}}, 70.0}),
    [](const testing::TestParamInfo<ChainCase> &info) { return std::string(info.param.name); });

TEST_F(SimParameters, ZeroNowAsThePagesDoIt)
{
    // Present output plus present zero, with the display stage recorded beside it.
    write("DGAI", 2.2);
    const double zero = read("OVAL") + read("ZERO");
    write("ZERO", zero);
    write("ZGAI", read("DGAI"));
    write("ZOFS", read("DOFS"));
    EXPECT_NEAR(read("OVAL"), 0.0, 1e-4);
}

TEST_F(SimParameters, SerialHalvesAndNewSerialAtRestart)
{
    EXPECT_EQ(read("SERL"), 4464.0);
    EXPECT_EQ(read("SERH"), 1.0);
    EXPECT_EQ(read("FSNL"), 4464.0);
    EXPECT_EQ(read("FSNH"), 1.0);
    write("FSNL", 5);
    write("FSNH", 65535);
    EXPECT_EQ(read("SERL"), 4464.0) << "the new serial waits for a restart";
    EXPECT_EQ(command(h_, "FSNL=65536"), "?\r");
    EXPECT_EQ(command(h_, "FSNH=-1"), "?\r");
    ASSERT_EQ(command(h_, "RST"), "OK\r");
    commandMode(h_);
    EXPECT_EQ(read("SERL"), 5.0);
    EXPECT_EQ(read("SERH"), 65535.0);
}

TEST_F(SimParameters, StatusBitsFollowShuntCalAndIntegrity)
{
    ASSERT_EQ(command(h_, "SCON"), "OK\r");
    EXPECT_EQ(read("STAT"), 4096.0);
    sim::setIntegrityError(0, true);
    EXPECT_EQ(read("STAT"), 4096.0 + 2048.0);
    ASSERT_EQ(command(h_, "SCOF"), "OK\r");
    EXPECT_EQ(read("STAT"), 2048.0);

    sim::SimConfig config;
    config.devices[0].integrityError = true;
    configure(config);
    FT_HANDLE other = ready();
    EXPECT_EQ(command(other, "STAT?"), "2048\r");
}

TEST_F(SimParameters, ShuntCalibrationStepsTheBridgeUntilItIsSwitchedOff)
{
    // 1.5 mV/V at the sensor; the shunt adds 0.5 mV/V, seen through the whole chain.
    const double mvv = read("MVV");
    const double oval = read("OVAL");
    ASSERT_EQ(command(h_, "SCON"), "OK\r");
    EXPECT_NEAR(read("MVV"), mvv + 0.5, 1e-6);
    EXPECT_NEAR(read("ADC"), (1.5 + 0.5) * 100000, 0.5);
    EXPECT_NEAR(read("OVAL"), oval + 0.5 * read("EGAI"), 1e-3);
    ASSERT_EQ(command(h_, "SCOF"), "OK\r");
    EXPECT_NEAR(read("MVV"), mvv, 1e-6);
    ASSERT_EQ(command(h_, "SCON"), "OK\r");
    ASSERT_EQ(command(h_, "RST"), "OK\r"); // a restart ends shunt calibration
    commandMode(h_);
    EXPECT_NEAR(read("MVV"), mvv, 1e-6);

    sim::SimConfig config;
    config.devices[0].signal.level = 1.5;
    config.devices[0].shuntStep = 2.0;
    configure(config);
    FT_HANDLE other = ready();
    ASSERT_EQ(command(other, "SCON"), "OK\r");
    EXPECT_NEAR(value(command(other, "MVV?")), 3.5, 1e-6);
}

TEST_F(SimParameters, ConfigurationFlagFollowsTheMode)
{
    EXPECT_EQ(read("CONF"), 1.0);
    ASSERT_EQ(command(h_, "RST"), "OK\r");
    EXPECT_EQ(sim::parameter(0, "CONF"), 0.0);
    commandMode(h_);
    EXPECT_EQ(read("CONF"), 1.0);
}

TEST_F(SimParameters, WholeNumberParametersAreRangeChecked)
{
    for (const char *text : {"UNTE=256", "UNTD=-1", "MODL=256", "PMSK=65536", "USR1=1e39"})
        EXPECT_EQ(command(h_, text), "?\r") << text;
    EXPECT_EQ(command(h_, "UNTE=52.4"), "52\r");
    EXPECT_EQ(command(h_, "MODL=255"), "255\r");
}

TEST_F(SimParameters, TestsCanSetAndInspectAnyStoredValue)
{
    EXPECT_TRUE(sim::setParameter(0, "VER", 263));
    EXPECT_TRUE(sim::setParameter(0, "SERH", 2));
    EXPECT_FALSE(sim::setParameter(0, "OVAL", 1));
    EXPECT_FALSE(sim::setParameter(0, "NOPE", 1));
    EXPECT_FALSE(sim::setParameter(5, "USR1", 1));
    EXPECT_EQ(read("VER"), 263.0);
    EXPECT_EQ(read("SERH"), 2.0);
    EXPECT_EQ(sim::parameter(0, "SERL"), 4464.0);
    EXPECT_EQ(sim::parameter(0, "NOPE"), std::nullopt);
}

} // namespace
