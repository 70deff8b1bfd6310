// Opening, closing and the command transaction, against a scripted back-end.

#include <cmath>
#include <limits>
#include <ostream>
#include <string>
#include <vector>

#include <gmock/gmock.h>

#include "driver/include/hxrdrv.h"
#include "support/namedcase.h"
#include "tests/driver/drivertest.h"
#include "tests/driver/fakebackend.h"
#include "tests/driver/frames.h"

namespace fake {

const char *stepText(FailAt step)
{
    static const char *const names[] = {"nothing",      "open",   "baud", "data_characteristics",
                                        "flow_control", "latency"};
    return names[static_cast<int>(step)];
}

// Found by the test framework next to the enumeration, so the cases print by name.
void PrintTo(FailAt step, std::ostream *os)
{
    *os << stepText(step);
}

} // namespace fake

namespace {

using namespace std::chrono_literals;
using testing::ElementsAre;
using testing::IsEmpty;

// ---- opening -------------------------------------------------------------------------------

struct OpenCase
{
    const char *name;
    std::vector<std::string> descriptions;
    int16_t count;
    std::vector<uint32_t> opens; // per device
};

using testsupport::PrintTo;

class OpenPort : public DriverTest, public testing::WithParamInterface<OpenCase>
{};

TEST_P(OpenPort, OpensEveryDeviceDescribedHxrUpToFour)
{
    const OpenCase &c = GetParam();
    const auto lines = open(c.descriptions);
    EXPECT_EQ(DEVICECOUNT(), c.count);
    for (size_t i = 0; i < lines.size(); ++i) {
        EXPECT_EQ(lines[i]->opens, c.opens[i]) << "device " << i;
        if (c.opens[i] == 1) {
            EXPECT_EQ(lines[i]->baud, 921600u);
            EXPECT_EQ(lines[i]->latency, 1u);
        }
    }
    EXPECT_EQ(CLOSEPORT(), 0);
    EXPECT_EQ(DEVICECOUNT(), 0);
    for (const auto &line : lines)
        EXPECT_EQ(line->closes, line->opens);
}

INSTANTIATE_TEST_SUITE_P(
    DriverDevices, OpenPort,
    testing::Values(OpenCase{"none", {}, 0, {}}, OpenCase{"one", {"HXR"}, 1, {1}},
                    OpenCase{"two", {"HXR", "HXR"}, 2, {1, 1}},
                    OpenCase{"name_only_starts_with_hxr", {"HXR2"}, 0, {0}},
                    OpenCase{"case_matters", {"hxr", "HXR "}, 0, {0, 0}},
                    OpenCase{"others_skipped", {"HXR2", "HXR", "FT232R"}, 1, {0, 1, 0}},
                    OpenCase{"fifth_ends_the_scan",
                             {"HXR", "HXR", "HXR", "HXR", "HXR", "HXR"},
                             4,
                             {1, 1, 1, 1, 0, 0}}),
    [](const testing::TestParamInfo<OpenCase> &info) { return std::string(info.param.name); });

using DriverCommands = DriverTest;

TEST_F(DriverCommands, AFailingDeviceCountOpensNothing)
{
    fake::Backend *backend = nullptr;
    const auto lines = fake::install({"HXR"}, &backend);
    backend->countStatus = FT_IO_ERROR;
    EXPECT_EQ(OPENPORT(), 0);
    EXPECT_EQ(DEVICECOUNT(), 0);
    EXPECT_EQ(lines[0]->opens, 0u);
}

TEST_F(DriverCommands, TwoDevicesTakeCommandsOnTheFirst)
{
    const auto lines = open({"HXR", "HXR"});
    for (const auto &line : lines)
        line->responder = fake::answering([](const std::string &) { return "1\r"; });
    float value = 0;
    EXPECT_EQ(READCOMMAND("MODL", &value), HXR_OK);
    EXPECT_THAT(lines[0]->written(), ElementsAre("!001:MODL?\r"));
    EXPECT_THAT(lines[1]->written(), IsEmpty());
}

TEST_F(DriverCommands, ReopeningClosesTheDevicesFirst)
{
    const auto lines = open({"HXR"});
    EXPECT_EQ(OPENPORT(), 0);
    EXPECT_EQ(DEVICECOUNT(), 1);
    EXPECT_EQ(lines[0]->opens, 2u);
    EXPECT_EQ(lines[0]->closes, 1u);
    EXPECT_EQ(CLOSEPORT(), 0);
    EXPECT_EQ(CLOSEPORT(), 0); // twice is harmless
    EXPECT_EQ(lines[0]->closes, 2u);
}

// ---- a device that fails its set-up --------------------------------------------------------

class FailedSetUp : public DriverTest, public testing::WithParamInterface<fake::FailAt>
{};

TEST_P(FailedSetUp, KeepsTheSlotCountedButRefusesCommands)
{
    const auto lines = fake::install({"HXR"});
    const auto &line = lines[0];
    line->failAt = GetParam();
    OPENPORT();
    EXPECT_EQ(DEVICECOUNT(), 1);
    // The chain stops at the failing step and the handle is closed at once.
    EXPECT_EQ(line->opens, 1u);
    EXPECT_EQ(line->closes, GetParam() == fake::FailAt::Open ? 0u : 1u);
    if (GetParam() != fake::FailAt::Latency) {
        EXPECT_EQ(line->latency, 0u);
    }

    float value = -7.0f;
    EXPECT_EQ(READCOMMAND("MODL", &value), HXR_NODEVICE);
    EXPECT_EQ(value, -7.0f);
    EXPECT_EQ(EXECUTECOMMAND("RST"), HXR_NODEVICE);
    COMMANDMODE();
    EXPECT_THAT(messages, ElementsAre("No handle", "No handle"));
    EXPECT_THAT(line->written(), IsEmpty());
    EXPECT_EQ(line->purges, 0u);
    EXPECT_EQ(CLOSEPORT(), 0);
    EXPECT_EQ(DEVICECOUNT(), 0);
}

std::string stepName(const testing::TestParamInfo<fake::FailAt> &info)
{
    return fake::stepText(info.param);
}

INSTANTIATE_TEST_SUITE_P(DriverSetUpSteps, FailedSetUp,
                         testing::Values(fake::FailAt::Open, fake::FailAt::Baud,
                                         fake::FailAt::DataCharacteristics,
                                         fake::FailAt::FlowControl, fake::FailAt::Latency),
                         stepName);

// ---- the transaction -----------------------------------------------------------------------

struct ReplyCase
{
    const char *name;
    std::vector<fake::Chunk> reply;
    FT_STATUS readStatus;
    int16_t result;
    float value; // -99 when the value must be left alone
    std::vector<std::string> messages;
};

class Replies : public DriverTest, public testing::WithParamInterface<ReplyCase>
{};

TEST_P(Replies, GiveTheResultAndValue)
{
    const ReplyCase &c = GetParam();
    const auto lines = open({"HXR"});
    lines[0]->readStatus = c.readStatus;
    lines[0]->responder = [&c](const std::string &) { return c.reply; };
    float value = -99.0f;
    EXPECT_EQ(READCOMMAND("GAIN", &value), c.result);
    EXPECT_EQ(value, c.value);
    EXPECT_EQ(messages, c.messages);
    EXPECT_THAT(lines[0]->written(), ElementsAre("!001:GAIN?\r"));
}

const std::string Stream120(120, 'x');
// Twenty stream frames: a read that holds them is long.
const std::string Frames20 = [] {
    std::string out;
    for (int i = 0; i < 20; ++i)
        out += frames::text(frames::frame(1, static_cast<float>(i)));
    return out;
}();

INSTANTIATE_TEST_SUITE_P(
    DriverTransactions, Replies,
    testing::Values(
        ReplyCase{"plain", {{"1\r"}}, FT_OK, HXR_OK, 1.0f, {}},
        ReplyCase{"split_over_reads", {{"12"}, {"3.5"}, {"\r"}}, FT_OK, HXR_OK, 123.5f, {}},
        ReplyCase{"split_and_slow", {{"-4", 0ms}, {"2\r", 50ms}}, FT_OK, HXR_OK, -42.0f, {}},
        ReplyCase{"leading_blanks_and_trailing_text", {{"  7.25 kg\r"}}, FT_OK, HXR_OK, 7.25f, {}},
        ReplyCase{"stream_bytes_after_the_reply", {{"0\r\x80\x01\x02"}}, FT_OK, HXR_OK, 0.0f, {}},
        ReplyCase{"no_number", {{"abc\r"}}, FT_OK, HXR_OK, 0.0f, {}},
        ReplyCase{"bare_carriage_return", {{"\r"}}, FT_OK, HXR_OK, 0.0f, {}},
        ReplyCase{"rejected", {{"?\r"}}, FT_OK, HXR_REJECTED, 0.0f, {}},
        ReplyCase{"rejected_with_text", {{"?5\r"}}, FT_OK, HXR_REJECTED, 0.0f, {}},
        ReplyCase{
            "text_after_nul_ignored", {{std::string("6\0zz", 4)}, {"\r"}}, FT_OK, HXR_OK, 6.0f, {}},
        ReplyCase{"long_read_discarded", {{Stream120}, {"8\r"}}, FT_OK, HXR_OK, 8.0f, {}},
        // The answer to RST and the first frames it starts, in one long read.
        ReplyCase{
            "reply_then_stream_in_a_long_read", {{"5\r" + Frames20}}, FT_OK, HXR_OK, 5.0f, {}},
        ReplyCase{
            "reply_ends_in_a_long_read", {{"4"}, {"2\r" + Frames20}}, FT_OK, HXR_OK, 42.0f, {}},
        ReplyCase{"stream_without_a_reply_end_discarded",
                  {{"12" + Frames20}, {"8\r"}},
                  FT_OK,
                  HXR_OK,
                  8.0f,
                  {}},
        ReplyCase{"io_error_tolerated", {{"3\r"}}, FT_IO_ERROR, HXR_OK, 3.0f, {}},
        ReplyCase{"read_failure", {{"3\r"}}, FT_DEVICE_NOT_OPENED, HXR_NODEVICE, -99.0f, {}},
        ReplyCase{"late_reply", {{"5\r", 1000ms}}, FT_OK, HXR_TIMEOUT, -99.0f, {"timedout"}},
        ReplyCase{"no_carriage_return", {{"5"}}, FT_OK, HXR_TIMEOUT, -99.0f, {"timedout"}}),
    [](const testing::TestParamInfo<ReplyCase> &info) { return std::string(info.param.name); });

TEST_F(DriverCommands, TheReaderLeavesTheReplyAloneWhileItsCommandWaits)
{
    const auto lines = open({"HXR"});
    // The reply and ten frames, more than the reader's threshold, are queued while the command's
    // thread is held up after its write, for several passes of the reader.
    lines[0]->responder = fake::answering([](const std::string &) {
        std::string bytes = "OK\r";
        for (int i = 0; i < 10; ++i)
            bytes += frames::text(frames::frame(1, 1.0f));
        return bytes;
    });
    lines[0]->stallAfterWrite = 100ms;
    EXPECT_EQ(EXECUTECOMMAND("RST"), HXR_OK);
    EXPECT_THAT(messages, IsEmpty());
}

TEST_F(DriverCommands, WriteFailureIsBadTx)
{
    const auto lines = open({"HXR"});
    lines[0]->writeStatus = FT_IO_ERROR;
    EXPECT_EQ(WRITECOMMAND("DGAI", 1.0f), HXR_NODEVICE);
    EXPECT_EQ(EXECUTECOMMAND(""), HXR_NODEVICE);
    EXPECT_THAT(messages, ElementsAre("Bad tx", "Bad tx"));
}

TEST_F(DriverCommands, WithoutADeviceEveryCommandIsNoHandle)
{
    open({});
    float value = 0;
    EXPECT_EQ(READCOMMAND("MODL", &value), HXR_NODEVICE);
    EXPECT_EQ(WRITECOMMAND("DGAI", 1.0f), HXR_NODEVICE);
    EXPECT_EQ(EXECUTECOMMAND("RST"), HXR_NODEVICE);
    COMMANDMODE(); // nothing at all
    EXPECT_THAT(messages, ElementsAre("No handle", "No handle", "No handle"));
    EXPECT_EQ(CONFIGCAL(), -1);
}

TEST_F(DriverCommands, ExecuteSendsTheTextUnchanged)
{
    const auto lines = open({"HXR"});
    lines[0]->responder = fake::answering(
        [](const std::string &c) { return c.empty() ? std::string() : std::string("0\r"); });
    EXPECT_EQ(EXECUTECOMMAND("RST"), HXR_OK);
    // The command-mode frame awaits no reply: no time-out although nothing answers it.
    EXPECT_EQ(EXECUTECOMMAND(""), HXR_OK);
    EXPECT_THAT(lines[0]->written(), ElementsAre("!001:RST\r", "!001:\r"));
    EXPECT_THAT(messages, IsEmpty());
}

struct WriteCase
{
    const char *mnemonic;
    float value;
    const char *frame; // nullptr: refused, nothing sent
};

void PrintTo(const WriteCase &c, std::ostream *os)
{
    *os << c.mnemonic << "=" << c.value;
}

class Writes : public DriverTest, public testing::WithParamInterface<WriteCase>
{};

TEST_P(Writes, FrameTheValueOrRefuseIt)
{
    const WriteCase &c = GetParam();
    const auto lines = open({"HXR"});
    lines[0]->responder = fake::answering([](const std::string &) { return "0\r"; });
    EXPECT_EQ(WRITECOMMAND(c.mnemonic, c.value), c.frame ? HXR_OK : HXR_NODEVICE);
    if (c.frame)
        EXPECT_THAT(lines[0]->written(), ElementsAre(c.frame));
    else
        EXPECT_THAT(lines[0]->written(), IsEmpty());
    EXPECT_THAT(messages, IsEmpty());
}

constexpr float Inf = std::numeric_limits<float>::infinity();

INSTANTIATE_TEST_SUITE_P(
    DriverWriteValues, Writes,
    testing::Values(WriteCase{"DGAI", -0.5f, "!001:DGAI=-0.5000000\r"},
                    WriteCase{"DGAI", 1234.5f, "!001:DGAI=1234.5000000\r"},
                    WriteCase{"USR1", 0.0f, "!001:USR1=0.0000000\r"},
                    WriteCase{"USR1", -1e-9f, "!001:USR1=0.0000000\r"},
                    WriteCase{"USR1", 12.25f, "!001:USR1=12.2500000\r"},
                    // 25 characters is the most a frame holds.
                    WriteCase{"DGAI", 1e12f, "!001:DGAI=999999995904.0000000\r"},
                    WriteCase{"DGAI", -1e12f, nullptr}, WriteCase{"DGAI", 1e13f, nullptr},
                    WriteCase{"DGAI", 3e38f, nullptr}, WriteCase{"DGAI", Inf, nullptr},
                    WriteCase{"DGAI", -Inf, nullptr},
                    WriteCase{"DGAI", std::numeric_limits<float>::quiet_NaN(), nullptr}));

TEST_F(DriverCommands, CommandsLongerThanTheFrameAreRefused)
{
    const auto lines = open({"HXR"});
    lines[0]->responder = fake::answering([](const std::string &) { return "0\r"; });
    float value = 0;
    EXPECT_EQ(READCOMMAND(std::string(24, 'A').c_str(), &value), HXR_OK);
    EXPECT_EQ(READCOMMAND(std::string(25, 'A').c_str(), &value), HXR_NODEVICE);
    EXPECT_EQ(EXECUTECOMMAND(std::string(25, 'B').c_str()), HXR_OK);
    EXPECT_EQ(EXECUTECOMMAND(std::string(300, 'B').c_str()), HXR_NODEVICE);
    EXPECT_THAT(lines[0]->written(), ElementsAre("!001:" + std::string(24, 'A') + "?\r",
                                                 "!001:" + std::string(25, 'B') + "\r"));
}

TEST_F(DriverCommands, NullArgumentsAreRefused)
{
    const auto lines = open({"HXR"});
    float value = 0;
    EXPECT_EQ(READCOMMAND(nullptr, &value), HXR_NODEVICE);
    EXPECT_EQ(READCOMMAND("MODL", nullptr), HXR_NODEVICE);
    EXPECT_EQ(WRITECOMMAND(nullptr, 1.0f), HXR_NODEVICE);
    EXPECT_EQ(EXECUTECOMMAND(nullptr), HXR_NODEVICE);
    EXPECT_THAT(lines[0]->written(), IsEmpty());
    INITIALISE(nullptr);
    float minimum = 1, maximum = 2;
    FINDMINMAX(nullptr, nullptr, nullptr, &minimum, &maximum);
    EXPECT_EQ(minimum, 1);
    EXPECT_EQ(maximum, 2);
}

TEST_F(DriverCommands, CommandModeSendsTheEmptyCommandAndPurges)
{
    const auto lines = open({"HXR"});
    lines[0]->push("leftover stream bytes");
    COMMANDMODE();
    EXPECT_THAT(lines[0]->written(), ElementsAre("!001:\r"));
    EXPECT_EQ(lines[0]->purges, 1u);
    EXPECT_EQ(lines[0]->waiting(), 0u);
}

// ---- calibration read ----------------------------------------------------------------------

TEST_F(DriverCommands, ConfigCalReadsGainAndOffset)
{
    const auto lines = open({"HXR"});
    std::string offsetReply = "0.25\r";
    lines[0]->responder = fake::answering(
        [&](const std::string &c) { return c == "GAIN?" ? std::string("2.5\r") : offsetReply; });
    EXPECT_EQ(CONFIGCAL(), 0);
    EXPECT_EQ(INTGAIN(), 2.5f);
    EXPECT_EQ(INTOFFS(), 0.25f);
    EXPECT_THAT(lines[0]->written(), ElementsAre("!001:GAIN?\r", "!001:OFFS?\r"));

    // A failing offset keeps the new gain and the old offset.
    lines[0]->responder = fake::answering([&](const std::string &c) {
        return c == "GAIN?" ? std::string("4\r") : std::string("?\r");
    });
    EXPECT_EQ(CONFIGCAL(), -1);
    EXPECT_EQ(INTGAIN(), 4.0f);
    EXPECT_EQ(INTOFFS(), 0.25f);

    // A failing gain keeps both.
    lines[0]->responder = fake::answering([](const std::string &) { return "?\r"; });
    EXPECT_EQ(CONFIGCAL(), -1);
    EXPECT_EQ(INTGAIN(), 4.0f);
    EXPECT_EQ(INTOFFS(), 0.25f);
    EXPECT_THAT(messages, IsEmpty());
}

// ---- minimum and maximum -------------------------------------------------------------------

struct MinMaxCase
{
    const char *name;
    std::vector<float> values;
    int32_t first, last;
    float minimum, maximum;
};

class MinMax : public testing::TestWithParam<MinMaxCase>
{};

TEST_P(MinMax, OverTheOneBasedRun)
{
    const MinMaxCase &c = GetParam();
    float minimum = 0, maximum = 0;
    FINDMINMAX(c.values.data(), &c.first, &c.last, &minimum, &maximum);
    EXPECT_EQ(minimum, c.minimum);
    EXPECT_EQ(maximum, c.maximum);
}

INSTANTIATE_TEST_SUITE_P(DriverRuns, MinMax,
                         testing::Values(MinMaxCase{"whole_array", {3, -1, 7, 2}, 1, 4, -1, 7},
                                         MinMaxCase{"inner_run", {-50, 3, 1, 4, 99}, 2, 4, 1, 4},
                                         MinMaxCase{"first_equals_last", {5, 6, 7}, 2, 2, 6, 6},
                                         MinMaxCase{"last_before_first", {5, 6, 7}, 3, 1, 7, 7},
                                         MinMaxCase{"all_negative", {-3, -9, -4}, 1, 3, -9, -3},
                                         MinMaxCase{"equal_values", {2, 2, 2}, 1, 3, 2, 2}),
                         [](const testing::TestParamInfo<MinMaxCase> &info) {
                             return std::string(info.param.name);
                         });

} // namespace
