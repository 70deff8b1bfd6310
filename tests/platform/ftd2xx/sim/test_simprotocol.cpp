#include <cstdio>
#include <fstream>
#include <string>
#include <thread>
#include <vector>

#include <QTemporaryDir>

#include <gmock/gmock.h>

#include "test_simfixture.h"

namespace {

using namespace simtest;
using testing::ElementsAre;

class SimProtocol : public SimFixture
{
protected:
    void SetUp() override
    {
        SimFixture::SetUp();
        configure({});
    }
};

TEST_F(SimProtocol, ReadWriteAndExecuteAnswerOneLineEach)
{
    FT_HANDLE h = ready();
    EXPECT_EQ(command(h, "MODL?"), "1\r");
    EXPECT_EQ(command(h, "VER?"), "261\r");
    EXPECT_EQ(command(h, "USR3=-0.5000000"), "-0.5\r");
    EXPECT_EQ(command(h, "USR3?"), "-0.5\r");
    EXPECT_EQ(command(h, "USR4=1234.5000000"), "1234.5\r");
    EXPECT_EQ(command(h, "USR4?"), "1234.5\r");
    EXPECT_EQ(command(h, "SCON"), "OK\r");
}

TEST_F(SimProtocol, RejectsWhatItCannotDo)
{
    FT_HANDLE h = ready();
    for (const char *text :
         {"NOPE?", "NOPE=1", "NOPE", "MVV=1.0000000", "GAIN=2", "SERL=5", "VER=300", "USR1=abc",
          "USR1=", "USR1=1.5x", "UNTD=300", "RST?", "RST=1", "EGAI", "modl?"})
        EXPECT_EQ(command(h, text), "?\r") << text;
    EXPECT_EQ(command(h, "USR1?"), "0\r") << "a rejected write leaves the value alone";
}

TEST_F(SimProtocol, ValuesAreWrittenPlainWithUpToSevenDecimals)
{
    FT_HANDLE h = ready();
    EXPECT_EQ(command(h, "USR1=0.1000000"), "0.1\r"); // held in single precision, shown short
    EXPECT_EQ(command(h, "USR1=-0.0000000"), "0\r");
    EXPECT_EQ(command(h, "USR1=0.00000004"), "0\r");
    EXPECT_EQ(command(h, "USR1=16777216.0000000"), "16777216\r");
    EXPECT_EQ(command(h, "USR1=+2"), "2\r");
}

TEST_F(SimProtocol, FramesWrittenInPiecesAreJoined)
{
    FT_HANDLE h = ready();
    send(h, "!00");
    send(h, "1:MO");
    EXPECT_EQ(readAll(h), "");
    send(h, "DL?");
    send(h, "\r!001:VER?\r");
    EXPECT_EQ(readAll(h), "1\r261\r");
}

TEST_F(SimProtocol, LinesWithoutTheAddressAreIgnored)
{
    FT_HANDLE h = ready();
    for (const char *line : {"MODL?\r", "!002:MODL?\r", "x!001:MODL?\r", "\r", "!001MODL?\r"}) {
        send(h, line);
        EXPECT_EQ(readAll(h), "") << line;
    }
}

TEST_F(SimProtocol, StreamsFromPowerOnAtTheConfiguredRate)
{
    sim::SimConfig config;
    config.devices[0].rate = 4800;
    configure(config);
    FT_HANDLE h = open();
    EXPECT_EQ(readAll(h), "") << "nothing is due at power-on";
    advance(1s);
    std::string bytes = readAll(h);
    EXPECT_EQ(bytes.size(), 4800u * 6);
    advance(250ms);
    bytes = readAll(h);
    EXPECT_EQ(bytes.size(), 1200u * 6);
    // A rate that does not divide a second still comes out exact over a whole second.
    config.devices[0].rate = 7;
    configure(config);
    FT_HANDLE slow = open();
    size_t total = 0;
    for (int i = 0; i < 10; ++i) {
        advance(100ms);
        total += readAll(slow).size();
    }
    EXPECT_EQ(total, 7u * 6);
}

TEST_F(SimProtocol, FramesDecodeToTheInputInMvv)
{
    sim::SimConfig config;
    config.devices[0].signal.level = -1.25; // constant, mV/V
    configure(config);
    FT_HANDLE h = open();
    advance(10ms);
    const std::string bytes = readAll(h);
    ASSERT_EQ(bytes.size(), 48u * 6);
    for (size_t i = 0; i < bytes.size(); ++i) {
        const auto byte = static_cast<uint8_t>(bytes[i]);
        EXPECT_EQ((byte & 0x80) != 0, i % 6 == 0) << "byte " << i;
    }
    const auto frame = bytes.substr(0, 6);
    uint8_t check = 0;
    for (int i = 0; i < 5; ++i)
        check ^= static_cast<uint8_t>(frame[i]);
    EXPECT_EQ(static_cast<uint8_t>(frame[5]), check & 0x7F);
    for (const auto &reading : decodeFrames(bytes)) {
        EXPECT_EQ(reading.channel, 1);
        EXPECT_FLOAT_EQ(reading.value, -1.25f);
    }
}

TEST_F(SimProtocol, SineFollowsTheClockFrameByFrame)
{
    sim::SimConfig config;
    config.devices[0].rate = 1000;
    ASSERT_EQ(sim::parseConfig("signal=sine:250:2").devices.size(), 1u);
    config.devices[0].signal = sim::parseConfig("signal=sine:250:2").devices[0].signal;
    configure(config);
    FT_HANDLE h = open();
    advance(4ms);
    const auto readings = decodeFrames(readAll(h));
    // 250 Hz sampled every 1 ms: a quarter turn a frame, 2 mV/V peak, 1e-5 mV/V converter steps.
    ASSERT_EQ(readings.size(), 4u);
    EXPECT_NEAR(readings[0].value, 2.0, 1e-5);
    EXPECT_NEAR(readings[1].value, 0.0, 1e-5);
    EXPECT_NEAR(readings[2].value, -2.0, 1e-5);
    EXPECT_NEAR(readings[3].value, 0.0, 1e-5);
}

TEST_F(SimProtocol, AnUnreadDeviceHoldsOneSecondAtMost)
{
    configure({});
    FT_HANDLE h = open();
    advance(10s);
    uint32_t queued = 0;
    ASSERT_EQ(FT_GetQueueStatus(h, &queued), FT_OK);
    EXPECT_EQ(queued, 4800u * 6);
    EXPECT_EQ(sim::framesLost(0), 9u * 4800);
    advance(1s);
    EXPECT_EQ(readAll(h).size(), 4800u * 6) << "nothing new fits until the host reads";
}

TEST_F(SimProtocol, CommandModeStopsTheStreamWithoutAReply)
{
    FT_HANDLE h = open();
    advance(100ms);
    send(h, "!001:\r");
    EXPECT_EQ(readAll(h).size(), 480u * 6) << "frames already sent stay, no reply is added";
    EXPECT_FALSE(sim::streaming(0));
    advance(1s);
    EXPECT_EQ(readAll(h), "");
    EXPECT_EQ(command(h, "CONF?"), "1\r");
}

TEST_F(SimProtocol, RstAnswersThenStreams)
{
    FT_HANDLE h = ready();
    EXPECT_EQ(command(h, "RST"), "OK\r");
    EXPECT_TRUE(sim::streaming(0));
    advance(10ms);
    const std::string bytes = readAll(h);
    EXPECT_EQ(bytes.size(), 48u * 6) << "no backlog from before the restart";
    EXPECT_EQ(decodeFrames(bytes).size(), 48u);
    EXPECT_EQ(sim::parameter(0, "CONF"), 0.0) << "out of configuration mode";
}

TEST_F(SimProtocol, RepliesWhileStreamingSitBetweenFrames)
{
    FT_HANDLE h = open();
    advance(1ms); // 4.8 readings due: 4 frames
    send(h, "!001:MODL?\r");
    advance(1ms);
    const std::string bytes = readAll(h);
    ASSERT_EQ(bytes.size(), 4u * 6 + 2 + 5u * 6);
    EXPECT_EQ(bytes.substr(24, 2), "1\r");
    EXPECT_EQ(decodeFrames(bytes.substr(26)).size(), 5u);
}

TEST_F(SimProtocol, PurgeDropsWhatIsQueued)
{
    FT_HANDLE h = open();
    advance(100ms);
    send(h, "!001:MODL?\r");
    ASSERT_EQ(FT_Purge(h, FT_PURGE_RX), FT_OK);
    EXPECT_EQ(readAll(h), "");
}

TEST_F(SimProtocol, ReadsNeverReturnMoreThanAsked)
{
    FT_HANDLE h = ready();
    send(h, "!001:VER?\r");
    char buffer[8] = {};
    uint32_t got = 0;
    ASSERT_EQ(FT_Read(h, buffer, 2, &got), FT_OK);
    EXPECT_EQ(std::string(buffer, got), "26");
    ASSERT_EQ(FT_Read(h, buffer, 8, &got), FT_OK);
    EXPECT_EQ(std::string(buffer, got), "1\r");
    ASSERT_EQ(FT_Read(h, buffer, 8, &got), FT_OK);
    EXPECT_EQ(got, 0u);
}

TEST_F(SimProtocol, LogsEveryHostLineInMemoryAndToTheFile)
{
    QTemporaryDir dir;
    const std::string path = dir.filePath("frames.log").toStdString();
    {
        std::ofstream existing(path);
        existing << "earlier\n";
    }
    sim::SimConfig config;
    config.devices.resize(2);
    config.logPath = path;
    configure(config);
    FT_HANDLE first = open(0);
    FT_HANDLE second = open(1);
    command(first, "");
    command(first, "USR1=2.5000000");
    command(second, "MODL?");
    send(first, "noise\r");
    EXPECT_THAT(sim::frameLog(),
                ElementsAre("!001:", "!001:USR1=2.5000000", "!001:MODL?", "noise"));
    EXPECT_THAT(sim::frameLog(1), ElementsAre("!001:MODL?"));
    std::ifstream file(path);
    std::vector<std::string> lines;
    for (std::string line; std::getline(file, line);)
        lines.push_back(line);
    EXPECT_THAT(lines,
                ElementsAre("earlier", "!001:", "!001:USR1=2.5000000", "!001:MODL?", "noise"));
}

TEST_F(SimProtocol, OpenIsExclusiveAndStateOutlivesTheHandle)
{
    FT_HANDLE h = ready();
    FT_HANDLE again = nullptr;
    EXPECT_EQ(FT_Open(0, &again), FT_DEVICE_NOT_OPENED);
    EXPECT_EQ(command(h, "USR2=7.0000000"), "7\r");
    send(h, "!001:RST\r");
    ASSERT_EQ(FT_Close(h), FT_OK);
    EXPECT_FALSE(sim::isOpen(0));
    advance(1s);
    FT_HANDLE reopened = open();
    EXPECT_EQ(readAll(reopened), "") << "a new session starts with an empty queue";
    EXPECT_TRUE(sim::streaming(0)) << "the module went on streaming meanwhile";
    commandMode(reopened);
    EXPECT_EQ(command(reopened, "USR2?"), "7\r");
}

// The driver's reader polls the queue while its command loop writes and reads the same device.
TEST_F(SimProtocol, ReaderAndCommandThreadsShareADevice)
{
    FT_HANDLE h = ready();
    std::atomic<bool> done{false};
    std::thread reader([&] {
        char buffer[256];
        while (!done) {
            uint32_t queued = 0;
            FT_GetQueueStatus(h, &queued);
            uint32_t got = 0;
            if (queued > 50) // what the reader leaves alone is a reply
                FT_Read(h, buffer, sizeof buffer, &got);
        }
    });
    for (int i = 0; i < 500; ++i) {
        const std::string text = wire(i);
        send(h, "!001:USR5=" + text + "\r");
        std::string reply;
        while (reply.empty() || reply.back() != '\r')
            reply += readAll(h);
        ASSERT_EQ(reply, std::to_string(i) + "\r");
    }
    done = true;
    reader.join();
}

} // namespace
