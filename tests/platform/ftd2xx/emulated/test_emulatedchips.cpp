// The libftdi1 road end to end: the driver's exports over our USB layer, the real libftdi1 and
// libusb, down to FTDI chips emulated at the kernel's USB interface (umockdev) in front of the
// simulated modules. The process runs under umockdev's preload library (main() sees to it), and
// every test checks that it does: without it the bus would just be empty.

#include <algorithm>
#include <chrono>
#include <cmath>
#include <cstdlib>
#include <cstring>
#include <functional>
#include <memory>
#include <mutex>
#include <numbers>
#include <optional>
#include <string>
#include <thread>
#include <vector>

#include <QCoreApplication>
#include <QEventLoop>
#include <QProcess>
#include <QProcessEnvironment>
#include <QStandardPaths>
#include <QTimer>

#include <unistd.h>

#include <gmock/gmock.h>

#include "driver/include/hxrdrv.h"
#include "platform/ftd2xx/backend.h"
#include "platform/ftd2xx/ftd2xx.h"
#include "platform/ftd2xx/sim/simmodule.h"
#include "platform/ftd2xx/usbdevice.h"
#include "platform/win/messagehook.h"
#include "support/namedcase.h"
#include "support/readmodelcases.h"
#include "support/usbemulator.h"

namespace {

namespace sim = platform::ftd2xx::sim;
using namespace std::chrono_literals;
using testing::ElementsAre;
using testing::IsEmpty;
using testsupport::EmulatedFt232r;
using testsupport::UsbEmulator;

std::mutex recordsMutex;
std::vector<std::pair<int32_t, float>> records;

void onReading(int32_t channel, float value)
{
    std::lock_guard lock(recordsMutex);
    records.emplace_back(channel, value);
}

size_t recordCount()
{
    std::lock_guard lock(recordsMutex);
    return records.size();
}

// Runs this thread's events until `done` holds; the limit only keeps a broken build from hanging.
bool pumpUntil(const std::function<bool()> &done, std::chrono::milliseconds limit = 20s)
{
    const auto end = std::chrono::steady_clock::now() + limit;
    while (!done() && std::chrono::steady_clock::now() < end)
        QCoreApplication::processEvents(QEventLoop::AllEvents, 5);
    return done();
}

void pumpFor(std::chrono::milliseconds span)
{
    pumpUntil([] { return false; }, span);
}

// The last SIO request of a kind the chip took.
std::optional<EmulatedFt232r::SioRequest> lastRequest(
    const std::vector<EmulatedFt232r::SioRequest> &requests, uint8_t kind)
{
    const auto found = std::find_if(requests.rbegin(), requests.rend(),
                                    [&](const auto &request) { return request.request == kind; });
    if (found == requests.rend())
        return std::nullopt;
    return *found;
}

class EmulatedChips : public testing::Test
{
protected:
    void SetUp() override
    {
        platform::ftd2xx::setActiveBackend(platform::ftd2xx::makeUsbBackend());
        previous_ = platform::win::setMessageRecorder([this](const QString &text, const QString &) {
            messages.push_back(text.toStdString());
        });
        std::lock_guard lock(recordsMutex);
        records.clear();
    }
    void TearDown() override
    {
        CLOSEPORT();
        INITIALISE(nullptr);
        emulator.reset();
        platform::ftd2xx::setActiveBackend(nullptr);
        platform::win::setMessageRecorder(previous_);
        sim::reset();
    }
    // Chips for these modules on the bus; the test goes on only under the mock.
    void plugIn(const sim::SimConfig &config)
    {
        sim::configure(config);
        sim::clearFrameLog();
        emulator = std::make_unique<UsbEmulator>();
        ASSERT_TRUE(UsbEmulator::inMockEnvironment());
    }
    void setUnplugged(int module, bool unplugged)
    {
        sim::Faults faults = sim::faults(module);
        faults.unplugged = unplugged;
        sim::setFaults(module, faults);
        emulator->followModules();
    }
    // The toolkit's connect sequence.
    void connect()
    {
        CLOSEPORT();
        HXRReadingProc procedure = &onReading;
        INITIALISE(&procedure);
        OPENPORT();
    }

    std::unique_ptr<UsbEmulator> emulator;
    std::vector<std::string> messages;

private:
    platform::win::MessageRecorder previous_;
};

TEST_F(EmulatedChips, ListsTheChipsAndOpensOnlyModulesDescribedHxrUpToFour)
{
    sim::SimConfig config;
    config.devices.assign(6, sim::DeviceConfig{});
    config.devices[1].description = "HXR2";
    config.devices[0].serial = 70000;
    ASSERT_NO_FATAL_FAILURE(plugIn(config));

    uint32_t count = 0;
    ASSERT_EQ(FT_ListDevices(&count, nullptr, FT_LIST_NUMBER_ONLY), FT_OK);
    EXPECT_EQ(count, 6u);
    auto &backend = platform::ftd2xx::activeBackend();
    std::string text;
    ASSERT_EQ(backend.description(1, text), FT_OK);
    EXPECT_EQ(text, "HXR2");
    ASSERT_EQ(backend.serialNumber(0, text), FT_OK);
    EXPECT_EQ(text, "70000");

    connect();
    EXPECT_EQ(DEVICECOUNT(), 4);
    EXPECT_TRUE(sim::isOpen(0));
    EXPECT_FALSE(sim::isOpen(1));
    EXPECT_TRUE(sim::isOpen(4));
    EXPECT_FALSE(sim::isOpen(5)); // the fifth match ends the scan
    CLOSEPORT();
    for (int module = 0; module < 6; ++module)
        EXPECT_FALSE(sim::isOpen(module)) << module;
}

TEST_F(EmulatedChips, TwoModulesAreBothOpenedAndCommandsGoToTheFirst)
{
    sim::SimConfig config;
    config.devices.assign(2, sim::DeviceConfig{});
    ASSERT_NO_FATAL_FAILURE(plugIn(config));
    connect();
    ASSERT_EQ(DEVICECOUNT(), 2);
    COMMANDMODE();
    float value = 0;
    EXPECT_EQ(READCOMMAND("MODL", &value), HXR_OK);
    EXPECT_EQ(value, 1.0f);
    EXPECT_THAT(sim::frameLog(0), ElementsAre("!001:", "!001:MODL?"));
    EXPECT_THAT(sim::frameLog(1), IsEmpty());
    EXPECT_THAT(messages, IsEmpty());
}

TEST_F(EmulatedChips, OpenSetsTheChipUpAndCommandModePurgesItsQueues)
{
    ASSERT_NO_FATAL_FAILURE(plugIn(sim::SimConfig{}));
    connect();
    ASSERT_EQ(DEVICECOUNT(), 1);
    COMMANDMODE();
    const auto requests = emulator->sioRequests(0);

    const auto baud = lastRequest(requests, EmulatedFt232r::SioSetBaudRate);
    ASSERT_TRUE(baud);
    EXPECT_EQ(baud->value, 0x8003); // divisor 3.25 of 3 MHz: 923,077 Bd
    EXPECT_EQ(baud->index, 0);
    EXPECT_NEAR(EmulatedFt232r::baudRate(baud->value, baud->index), 921600, 921600 * 0.03);
    const auto data = lastRequest(requests, EmulatedFt232r::SioSetData);
    ASSERT_TRUE(data);
    EXPECT_EQ(data->value, 0x0008); // 8 bits, no parity, 1 stop bit, no break
    const auto flow = lastRequest(requests, EmulatedFt232r::SioSetFlowControl);
    ASSERT_TRUE(flow);
    EXPECT_EQ(flow->index >> 8, 0); // no flow control
    const auto latency = lastRequest(requests, EmulatedFt232r::SioSetLatencyTimer);
    ASSERT_TRUE(latency);
    EXPECT_EQ(latency->value & 0xff, 1);
    // The purge of COMMANDMODE comes last: the chip's buffers for the host and from the host.
    ASSERT_GE(requests.size(), 2u);
    EXPECT_EQ(requests[requests.size() - 2], (EmulatedFt232r::SioRequest{0, 2, 1}));
    EXPECT_EQ(requests.back(), (EmulatedFt232r::SioRequest{0, 1, 1}));
    EXPECT_THAT(sim::frameLog(0), ElementsAre("!001:"));
}

TEST_F(EmulatedChips, CommandsAndTheCalibrationReadGoOverUsb)
{
    ASSERT_NO_FATAL_FAILURE(plugIn(sim::SimConfig{}));
    connect();
    ASSERT_EQ(DEVICECOUNT(), 1);
    COMMANDMODE();
    float value = 0;
    ASSERT_EQ(READCOMMAND("MODL", &value), HXR_OK);
    EXPECT_EQ(value, 1.0f);
    EXPECT_EQ(WRITECOMMAND("USR1", 12.5f), HXR_OK);
    EXPECT_EQ(WRITECOMMAND("USR2", -0.5f), HXR_OK);
    EXPECT_EQ(sim::parameter(0, "USR1"), 12.5);
    EXPECT_EQ(sim::parameter(0, "USR2"), -0.5);
    EXPECT_EQ(EXECUTECOMMAND("SCON"), HXR_OK);
    EXPECT_EQ(EXECUTECOMMAND("SCOF"), HXR_OK);
    ASSERT_EQ(CONFIGCAL(), 0);
    EXPECT_FLOAT_EQ(INTGAIN(), static_cast<float>(*sim::parameter(0, "GAIN")));
    EXPECT_FLOAT_EQ(INTOFFS(), static_cast<float>(*sim::parameter(0, "OFFS")));
    EXPECT_THAT(sim::frameLog(0),
                ElementsAre("!001:", "!001:MODL?", "!001:USR1=12.5000000", "!001:USR2=-0.5000000",
                            "!001:SCON", "!001:SCOF", "!001:GAIN?", "!001:OFFS?"));
    EXPECT_THAT(messages, IsEmpty());
}

using testsupport::PrintTo;
using testsupport::ReadModelCase;
using testsupport::UntouchedValue;

class EmulatedReplies : public EmulatedChips, public testing::WithParamInterface<ReadModelCase>
{};

TEST_P(EmulatedReplies, ReadModel)
{
    sim::SimConfig config;
    GetParam().setUp(config.devices[0]);
    ASSERT_NO_FATAL_FAILURE(plugIn(config));
    connect();
    ASSERT_EQ(DEVICECOUNT(), 1); // a failed set-up still takes its slot
    testsupport::expectReadModel(GetParam(), messages);
}

// Each step of the chip's set-up failing in turn.
ReadModelCase setUpStalls(const char *name, sim::SetupStep step)
{
    return {name,
            [step](sim::DeviceConfig &d) { d.faults.failStep = step; },
            HXR_NODEVICE,
            UntouchedValue,
            {"No handle"}};
}

INSTANTIATE_TEST_SUITE_P(EmulatedChipReplies, EmulatedReplies,
                         testing::ValuesIn(testsupport::withCommonReadModelCases({
                             setUpStalls("open_stalls", sim::SetupStep::Open),
                             setUpStalls("baud_stalls", sim::SetupStep::BaudRate),
                             setUpStalls("data_stalls", sim::SetupStep::DataCharacteristics),
                             setUpStalls("flow_stalls", sim::SetupStep::FlowControl),
                             setUpStalls("latency_stalls", sim::SetupStep::LatencyTimer),
                         })),
                         [](const testing::TestParamInfo<ReadModelCase> &info) {
                             return std::string(info.param.name);
                         });

class EmulatedStream : public EmulatedChips
{
protected:
    // 40 mV/V at 0.04 Hz from the module's power-on: rising for its first 6 seconds, so that
    // every reading stands a step above the one before, steps that change only slowly.
    void plugInStreamingModule()
    {
        sim::SimConfig config;
        config.devices[0].signal.shape = sim::SignalShape::Sine;
        config.devices[0].signal.frequency = 0.04;
        config.devices[0].signal.amplitude = 40.0;
        config.devices[0].signal.level = 0.0;
        ASSERT_NO_FATAL_FAILURE(plugIn(config));
        connect();
        ASSERT_EQ(DEVICECOUNT(), 1);
        COMMANDMODE();
        // A port of its own for the stream: no bytes of the stream before command mode are left
        // in the reader to spoil the first frames after RST.
        connect();
        ASSERT_EQ(DEVICECOUNT(), 1);
        ASSERT_EQ(CONFIGCAL(), 0);
        std::lock_guard lock(recordsMutex);
        records.clear();
    }
};

TEST_F(EmulatedStream, EveryReadingArrivesInOrderAndIntact)
{
    ASSERT_NO_FATAL_FAILURE(plugInStreamingModule());
    const uint64_t sentBefore = sim::framesSent(0);
    ASSERT_EQ(EXECUTECOMMAND("RST"), HXR_OK);
    pumpFor(3s);
    // The command-mode frame alone stops the stream without a purge: what is on its way arrives.
    ASSERT_EQ(EXECUTECOMMAND(""), HXR_OK);
    // RST's own read takes the frames that came with the answer, and the reader leaves up to 50
    // bytes queued for a reply; every other frame is a reading.
    const uint64_t sent = sim::framesSent(0) - sentBefore;
    constexpr uint64_t TakenWithTheAnswer = 4800 / 10, LeftForAReply = 50 / 6;
    ASSERT_TRUE(pumpUntil(
        [&] { return recordCount() + TakenWithTheAnswer + LeftForAReply >= sent; }, 5s))
        << recordCount() << " of " << sent;
    pumpFor(100ms);
    CLOSEPORT();

    std::lock_guard lock(recordsMutex);
    EXPECT_LE(records.size(), sent);
    EXPECT_GE(sent, 3u * 4800 * 9 / 10);
    EXPECT_EQ(sim::framesLost(0), 0u);
    // A lost reading doubles a step, a repeated one makes it 0, a swap makes it negative.
    ASSERT_GE(records.size(), 3u);
    for (size_t i = 0; i < records.size(); ++i) {
        ASSERT_EQ(records[i].first, 1) << "event " << records[i].second << " at " << i;
        if (i < 2)
            continue;
        const double step = records[i].second - records[i - 1].second;
        const double before = records[i - 1].second - records[i - 2].second;
        ASSERT_GT(before, 0.0) << i;
        ASSERT_NEAR(step / before, 1.0, 0.25) << i;
    }
    EXPECT_THAT(messages, IsEmpty());
}

// Bytes reach the receive queue transfer by transfer, as the chip sends them, not in blocks of
// a read's whole size: a reply is there at once, even while the stream runs.
TEST_F(EmulatedStream, TheStreamReachesTheQueueAsItComes)
{
    ASSERT_NO_FATAL_FAILURE(plugInStreamingModule());
    CLOSEPORT();
    std::unique_ptr<platform::ftd2xx::Device> device;
    ASSERT_EQ(platform::ftd2xx::activeBackend().open(0, device), FT_OK);
    ASSERT_EQ(device->setLatencyTimer(1), FT_OK);
    const std::string reset = "!001:RST\r";
    uint32_t written = 0;
    ASSERT_EQ(device->write(reset.data(), static_cast<uint32_t>(reset.size()), written), FT_OK);
    uint32_t queued = 0;
    const auto end = std::chrono::steady_clock::now() + 5s;
    while (queued == 0 && std::chrono::steady_clock::now() < end) {
        ASSERT_EQ(device->queueStatus(queued), FT_OK);
        std::this_thread::sleep_for(1ms);
    }
    ASSERT_GT(queued, 0u);
    EXPECT_LT(queued, platform::ftd2xx::UsbDevice::ReadChunk);
    std::vector<char> bytes(queued);
    uint32_t got = 0;
    ASSERT_EQ(device->read(bytes.data(), queued, got), FT_OK);
    EXPECT_EQ(std::string(bytes.data(), 3), "OK\r");
}

TEST_F(EmulatedStream, AnUnplugEndsTheStreamCommandsFailAndTheModuleComesBack)
{
    ASSERT_NO_FATAL_FAILURE(plugInStreamingModule());
    ASSERT_EQ(EXECUTECOMMAND("RST"), HXR_OK);
    ASSERT_TRUE(pumpUntil([] { return recordCount() > 2000; }));
    setUnplugged(0, true);
    pumpFor(200ms);
    const size_t atUnplug = recordCount();
    pumpFor(200ms);
    EXPECT_EQ(recordCount(), atUnplug);
    float value = 0;
    EXPECT_EQ(READCOMMAND("MODL", &value), HXR_NODEVICE);
    EXPECT_THAT(messages, ElementsAre("Bad tx"));
    const auto closing = std::chrono::steady_clock::now();
    CLOSEPORT();
    EXPECT_LT(std::chrono::steady_clock::now() - closing, 2s);

    connect();
    EXPECT_EQ(DEVICECOUNT(), 0);
    setUnplugged(0, false);
    connect();
    ASSERT_EQ(DEVICECOUNT(), 1);
    COMMANDMODE();
    EXPECT_EQ(READCOMMAND("MODL", &value), HXR_OK);
    EXPECT_EQ(value, 1.0f);
    EXPECT_EQ(emulator->chipsMade(), 2);
}

TEST_F(EmulatedChips, AnUnplugWhileACommandWaitsEndsItWithoutHangingTheEventLoop)
{
    sim::SimConfig config;
    config.devices[0].faults.replyDelayMs = 400;
    ASSERT_NO_FATAL_FAILURE(plugIn(config));
    connect();
    ASSERT_EQ(DEVICECOUNT(), 1);
    COMMANDMODE();
    bool ran = false;
    QTimer::singleShot(100, [&] {
        ran = true;
        setUnplugged(0, true);
    });
    float value = -99.0f;
    // The transaction reads on through the unplug (a gone chip's FT_IO_ERROR is tolerated on
    // reads) until its time is up; the next command cannot even be sent.
    EXPECT_EQ(READCOMMAND("MODL", &value), HXR_TIMEOUT);
    EXPECT_TRUE(ran);
    EXPECT_EQ(value, -99.0f);
    EXPECT_EQ(EXECUTECOMMAND("RST"), HXR_NODEVICE);
    EXPECT_THAT(messages, ElementsAre("timedout", "Bad tx"));
}

// Another process on the emulated bus: the tool serves the chips to the program it runs.
TEST_F(EmulatedChips, TheEmulatorToolRunsAProgramOnEmulatedChips)
{
    ASSERT_NO_FATAL_FAILURE(plugIn(sim::SimConfig{}));
    QProcess tool;
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert(QStringLiteral("HXR_FTDI"), QStringLiteral("usb"));
    environment.insert(QStringLiteral("HXR_SIM"), QStringLiteral("serial=70000"));
    environment.remove(QStringLiteral("HXR_SIM_LOG"));
    // The tool sets up the preload and the bus for its program by itself.
    environment.remove(QStringLiteral("LD_PRELOAD"));
    environment.remove(QStringLiteral("UMOCKDEV_DIR"));
    tool.setProcessEnvironment(environment);
    tool.start(QStringLiteral(HXR_PROGRAM_DIR "/hxr-usb-emulator"),
               {QStringLiteral("--"), QStringLiteral(HXR_PROGRAM_DIR "/hxr-demo")});
    ASSERT_TRUE(tool.waitForFinished(60000));
    const std::string out = tool.readAllStandardOutput().toStdString();
    const std::string err = tool.readAllStandardError().toStdString();
    ASSERT_EQ(tool.exitCode(), 0) << out << err;
    EXPECT_THAT(out, testing::HasSubstr("serial number 70000"));
    EXPECT_THAT(out, testing::ContainsRegex("Readings: [1-9][0-9]+ in"));
}

} // namespace

// The emulated bus reaches this process only through umockdev's preload library, which must be
// there from the start: the tests run again under it.
int main(int argc, char **argv)
{
    const char *preload = std::getenv("LD_PRELOAD");
    if (!preload || !std::strstr(preload, "libumockdev-preload")) {
        setenv("LD_PRELOAD", UsbEmulator::preloadList().c_str(), 1);
        execv("/proc/self/exe", argv);
        std::perror("cannot run again under umockdev's preload library");
        return 1;
    }
    setenv("QT_QPA_PLATFORM", "offscreen", 0);
    QStandardPaths::setTestModeEnabled(true);
    QCoreApplication app(argc, argv);
    testing::InitGoogleMock(&argc, argv);
    return RUN_ALL_TESTS();
}
