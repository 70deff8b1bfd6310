#include <string>
#include <vector>

#include <gmock/gmock.h>

#include "support/namedcase.h"
#include "test_simfixture.h"

namespace {

using namespace simtest;
using sim::SetupStep;

class SimFaults : public SimFixture
{
protected:
    // One module with the given faults, opened and in command mode.
    FT_HANDLE withFaults(const sim::Faults &faults)
    {
        sim::SimConfig config;
        config.devices[0].faults = faults;
        configure(config);
        return ready();
    }
};

TEST_F(SimFaults, SilentCommandsGetNoReplyAndDoNothing)
{
    sim::Faults faults;
    faults.silent = {"USR1="};
    FT_HANDLE h = withFaults(faults);
    EXPECT_EQ(command(h, "USR1=3.0000000"), "");
    EXPECT_EQ(command(h, "USR1?"), "0\r");
    EXPECT_EQ(sim::frameLog().back(), "!001:USR1?") << "still logged";

    faults.silent = {"*"};
    sim::setFaults(0, faults);
    EXPECT_EQ(command(h, "MODL?"), "") << "switched on an open handle";
    EXPECT_EQ(command(h, "RST"), "");
    EXPECT_FALSE(sim::streaming(0));
}

TEST_F(SimFaults, LateRepliesArriveAfterTheirDelay)
{
    sim::Faults faults;
    faults.replyDelayMs = 300;
    FT_HANDLE h = withFaults(faults);
    EXPECT_EQ(command(h, "MODL?"), "");
    advance(299ms);
    EXPECT_EQ(readAll(h), "");
    advance(1ms);
    EXPECT_EQ(readAll(h), "1\r");
}

TEST_F(SimFaults, LateAnswerToRstStillComesBeforeTheStream)
{
    sim::Faults faults;
    faults.replyDelayMs = 100;
    FT_HANDLE h = withFaults(faults);
    send(h, "!001:RST\r");
    advance(100ms);
    EXPECT_EQ(readAll(h), "OK\r");
    advance(10ms);
    EXPECT_EQ(decodeFrames(readAll(h)).size(), 48u);

    // Command mode before the late answer: the answer still comes, the stream does not.
    send(h, "!001:RST\r");
    commandMode(h);
    advance(100ms);
    EXPECT_EQ(readAll(h), "OK\r");
    advance(10ms);
    EXPECT_EQ(readAll(h), "");
}

TEST_F(SimFaults, LateReplyTakesItsPlaceInTheStream)
{
    sim::Faults faults;
    faults.replyDelayMs = 1;
    sim::SimConfig config;
    config.devices[0].rate = 1000;
    config.devices[0].faults = faults;
    configure(config);
    FT_HANDLE h = open();
    send(h, "!001:VER?\r");
    advance(3ms);
    const std::string bytes = readAll(h);
    ASSERT_EQ(bytes.size(), 3u * 6 + 4);
    EXPECT_EQ(bytes.substr(6, 4), "261\r") << "after the frame due at 1 ms, before the later ones";
}

TEST_F(SimFaults, RejectionsForAllOrOneCommand)
{
    sim::Faults faults;
    faults.reject = {"GAIN?"};
    FT_HANDLE h = withFaults(faults);
    EXPECT_EQ(command(h, "GAIN?"), "?\r");
    EXPECT_EQ(command(h, "OFFS?"), "0\r");

    faults.reject = {"USR1"};
    sim::setFaults(0, faults);
    EXPECT_EQ(command(h, "USR1=1.0000000"), "?\r");
    EXPECT_EQ(command(h, "USR1?"), "?\r");
    EXPECT_EQ(command(h, "USR10?"), "?\r") << "an unknown mnemonic, not covered by USR1";
    EXPECT_EQ(sim::parameter(0, "USR1"), 0.0) << "a rejected write is not carried out";

    faults.reject = {"*"};
    sim::setFaults(0, faults);
    for (const char *text : {"MODL?", "SCON", "EGAI=2.0000000"})
        EXPECT_EQ(command(h, text), "?\r") << text;
    EXPECT_EQ(sim::parameter(0, "STAT"), 0.0);
}

TEST_F(SimFaults, SplitRepliesArriveOnePieceAPoll)
{
    sim::Faults faults;
    faults.splitBytes = 2;
    FT_HANDLE h = withFaults(faults);
    send(h, "!001:OVAL?\r"); // "50\r"
    std::vector<std::string> pieces;
    for (int i = 0; i < 4; ++i)
        pieces.push_back(readAll(h));
    EXPECT_THAT(pieces, testing::ElementsAre("50", "\r", "", ""));

    // A read with nothing visible takes the next part itself.
    send(h, "!001:VER?\r");
    char buffer[16];
    uint32_t got = 0;
    ASSERT_EQ(FT_Read(h, buffer, sizeof buffer, &got), FT_OK);
    EXPECT_EQ(std::string(buffer, got), "26");
}

TEST_F(SimFaults, JunkBytesBeforeTheFirstFrameAndEveryFewFrames)
{
    sim::SimConfig config = sim::parseConfig("junk=2:3,rate=1000");
    configure(config);
    FT_HANDLE h = open();
    advance(4ms);
    const std::string bytes = readAll(h);
    ASSERT_EQ(bytes.size(), 4u * 6 + 2 * 3);
    for (size_t at : {0u, 1u, 2u, 15u, 16u, 17u})
        EXPECT_EQ(static_cast<uint8_t>(bytes[at]) & 0x80, 0) << at;
    EXPECT_EQ(static_cast<uint8_t>(bytes[3]) & 0x80, 0x80);
    EXPECT_EQ(static_cast<uint8_t>(bytes[18]) & 0x80, 0x80);
}

struct SetupCase
{
    SetupStep step;
    const char *name;
};

using testsupport::PrintTo;

class SimSetupFault : public SimFaults, public testing::WithParamInterface<SetupCase>
{};

TEST_P(SimSetupFault, OnlyTheChosenStepFails)
{
    sim::SimConfig config;
    config.devices[0].faults.failStep = GetParam().step;
    configure(config);
    FT_HANDLE h = nullptr;
    const FT_STATUS opened = FT_Open(0, &h);
    if (GetParam().step == SetupStep::Open) {
        EXPECT_NE(opened, FT_OK);
        return;
    }
    ASSERT_EQ(opened, FT_OK);
    const std::vector<std::pair<SetupStep, FT_STATUS>> steps{
        {SetupStep::BaudRate, FT_SetBaudRate(h, 921600)},
        {SetupStep::DataCharacteristics,
         FT_SetDataCharacteristics(h, FT_BITS_8, FT_STOP_BITS_1, FT_PARITY_NONE)},
        {SetupStep::FlowControl, FT_SetFlowControl(h, FT_FLOW_NONE, 0, 0)},
        {SetupStep::LatencyTimer, FT_SetLatencyTimer(h, 1)}};
    for (const auto &[step, status] : steps)
        EXPECT_EQ(status != FT_OK, step == GetParam().step) << static_cast<int>(step);
    EXPECT_EQ(FT_Close(h), FT_OK);
    EXPECT_EQ(FT_Open(0, &h), FT_OK) << "a failed set-up leaves the device free once closed";
    FT_Close(h);
}

INSTANTIATE_TEST_SUITE_P(Steps, SimSetupFault,
                         testing::Values(SetupCase{SetupStep::Open, "open"},
                                         SetupCase{SetupStep::BaudRate, "baud"},
                                         SetupCase{SetupStep::DataCharacteristics, "data"},
                                         SetupCase{SetupStep::FlowControl, "flow"},
                                         SetupCase{SetupStep::LatencyTimer, "latency"}),
                         [](const testing::TestParamInfo<SetupCase> &info) {
                             return std::string(info.param.name);
                         });

std::vector<std::string> descriptions()
{
    uint32_t count = 0;
    EXPECT_EQ(FT_ListDevices(&count, nullptr, FT_LIST_NUMBER_ONLY), FT_OK);
    std::vector<std::string> texts;
    for (uint32_t i = 0; i < count; ++i) {
        char text[FT_DESCRIPTION_SIZE] = {};
        EXPECT_EQ(FT_ListDevices(reinterpret_cast<void *>(uintptr_t{i}), text,
                                 FT_LIST_BY_INDEX | FT_OPEN_BY_DESCRIPTION),
                  FT_OK);
        texts.emplace_back(text);
    }
    return texts;
}

TEST_F(SimFaults, BusesOfZeroTwoAndFiveDevicesWithTheirDescriptions)
{
    using testing::ElementsAre;
    configure(sim::parseConfig("devices=0"));
    EXPECT_THAT(descriptions(), ElementsAre());
    FT_HANDLE h = nullptr;
    EXPECT_EQ(FT_Open(0, &h), FT_DEVICE_NOT_FOUND);

    configure(sim::parseConfig("devices=2,2.desc=HXR2"));
    EXPECT_THAT(descriptions(), ElementsAre("HXR", "HXR2"));

    configure(sim::parseConfig("devices=5,desc=HXR,3.desc=Other"));
    EXPECT_THAT(descriptions(), ElementsAre("HXR", "HXR", "Other", "HXR", "HXR"));
    // Each module is a module of its own.
    FT_HANDLE first = ready(0);
    FT_HANDLE fifth = ready(4);
    EXPECT_EQ(command(first, "SERL?"), "34465\r"); // 100001
    EXPECT_EQ(command(fifth, "SERL?"), "34469\r");
    EXPECT_EQ(command(first, "USR1=4.0000000"), "4\r");
    EXPECT_EQ(command(fifth, "USR1?"), "0\r");
}

} // namespace
