// End to end through the exports against the simulated module, the way the toolkit connects.

#include <atomic>
#include <chrono>
#include <cmath>
#include <functional>
#include <mutex>
#include <ostream>
#include <string>
#include <thread>
#include <vector>

#include <QCoreApplication>
#include <QEventLoop>
#include <QTimer>

#include <gmock/gmock.h>

#include "driver/include/hxrdrv.h"
#include "platform/ftd2xx/backend.h"
#include "platform/ftd2xx/sim/simclock.h"
#include "platform/ftd2xx/sim/simmodule.h"
#include "platform/win/messagehook.h"
#include "support/namedcase.h"
#include "support/readmodelcases.h"

namespace {

namespace sim = platform::ftd2xx::sim;
using namespace std::chrono_literals;
using testing::ElementsAre;
using testing::IsEmpty;

struct Record
{
    int32_t channel;
    float value;
    std::thread::id thread;
};

std::mutex recordsMutex;
std::vector<Record> records;

void onReading(int32_t channel, float value)
{
    std::lock_guard lock(recordsMutex);
    records.push_back({channel, value, std::this_thread::get_id()});
}

size_t recordCount()
{
    std::lock_guard lock(recordsMutex);
    return records.size();
}

// The module's clock, moved on by the test alone.
std::atomic<int64_t> simNanos{0};
const sim::Clock::time_point simStart = sim::Clock::now();

void advanceSimClock(std::chrono::nanoseconds span)
{
    simNanos += span.count();
}

// Runs this thread's events until `done` holds; the limit only keeps a broken build from hanging.
bool pumpUntil(const std::function<bool()> &done, std::chrono::milliseconds limit = 20s)
{
    const auto end = std::chrono::steady_clock::now() + limit;
    while (!done() && std::chrono::steady_clock::now() < end)
        QCoreApplication::processEvents(QEventLoop::AllEvents, 5);
    return done();
}

// The simulated back-end, counting how often the test's own thread looks at a receive queue.
class LookCounter final : public platform::ftd2xx::Backend
{
public:
    explicit LookCounter(std::unique_ptr<platform::ftd2xx::Backend> inner)
        : inner_(std::move(inner)), owner_(std::this_thread::get_id())
    {}

    int looks() const { return looks_; }

    FT_STATUS deviceCount(uint32_t &count) override { return inner_->deviceCount(count); }
    FT_STATUS description(uint32_t index, std::string &text) override
    {
        return inner_->description(index, text);
    }
    FT_STATUS serialNumber(uint32_t index, std::string &text) override
    {
        return inner_->serialNumber(index, text);
    }
    FT_STATUS open(uint32_t index, std::unique_ptr<platform::ftd2xx::Device> &device) override
    {
        std::unique_ptr<platform::ftd2xx::Device> opened;
        const FT_STATUS status = inner_->open(index, opened);
        if (opened)
            device = std::make_unique<Counted>(std::move(opened), *this);
        return status;
    }
    bool isSimulated() const override { return true; }

private:
    class Counted final : public platform::ftd2xx::Device
    {
    public:
        Counted(std::unique_ptr<platform::ftd2xx::Device> inner, LookCounter &counter)
            : inner_(std::move(inner)), counter_(counter)
        {}
        FT_STATUS setBaudRate(uint32_t rate) override { return inner_->setBaudRate(rate); }
        FT_STATUS setDataCharacteristics(uint8_t w, uint8_t s, uint8_t p) override
        {
            return inner_->setDataCharacteristics(w, s, p);
        }
        FT_STATUS setFlowControl(uint16_t f, uint8_t on, uint8_t off) override
        {
            return inner_->setFlowControl(f, on, off);
        }
        FT_STATUS setLatencyTimer(uint8_t ms) override { return inner_->setLatencyTimer(ms); }
        FT_STATUS write(const void *b, uint32_t n, uint32_t &w) override
        {
            return inner_->write(b, n, w);
        }
        FT_STATUS read(void *b, uint32_t n, uint32_t &r) override { return inner_->read(b, n, r); }
        FT_STATUS queueStatus(uint32_t &rx) override
        {
            if (std::this_thread::get_id() == counter_.owner_)
                ++counter_.looks_;
            return inner_->queueStatus(rx);
        }
        FT_STATUS purge(uint32_t mask) override { return inner_->purge(mask); }
        FT_STATUS setReceiveNotice(std::function<void()> notice) override
        {
            return inner_->setReceiveNotice(std::move(notice));
        }

    private:
        std::unique_ptr<platform::ftd2xx::Device> inner_;
        LookCounter &counter_;
    };

    std::unique_ptr<platform::ftd2xx::Backend> inner_;
    const std::thread::id owner_;
    std::atomic<int> looks_{0};
};

class DriverSimModule : public testing::Test
{
protected:
    // Modules on the module's own clock (`manualClock`) or on the steady clock.
    void configure(const sim::SimConfig &config, bool manualClock)
    {
        if (manualClock)
            sim::setTimeSource([] { return simStart + std::chrono::nanoseconds(simNanos.load()); });
        else
            sim::setTimeSource({});
        sim::configure(config);
        sim::clearFrameLog();
    }
    void SetUp() override
    {
        platform::ftd2xx::setActiveBackend(platform::ftd2xx::makeSimBackend());
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
        platform::win::setMessageRecorder(previous_);
        sim::setTimeSource({});
        sim::reset();
    }
    // The toolkit's connect sequence up to the calibration read.
    void connect()
    {
        CLOSEPORT();
        HXRReadingProc procedure = &onReading;
        INITIALISE(&procedure);
        OPENPORT();
    }

    std::vector<std::string> messages;

private:
    platform::win::MessageRecorder previous_;
};

TEST_F(DriverSimModule, ConnectsCommandsAndStreamsToTheCallingThread)
{
    configure(sim::SimConfig{}, true);
    connect();
    ASSERT_EQ(DEVICECOUNT(), 1);
    COMMANDMODE();
    float value = 0;
    ASSERT_EQ(READCOMMAND("MODL", &value), HXR_OK);
    EXPECT_EQ(value, 1.0f);
    ASSERT_EQ(READCOMMAND("CONF", &value), HXR_OK);
    EXPECT_EQ(value, 1.0f);
    EXPECT_EQ(WRITECOMMAND("USR1", 12.5f), HXR_OK);
    EXPECT_EQ(WRITECOMMAND("USR2", -0.5f), HXR_OK);
    EXPECT_EQ(sim::parameter(0, "USR1"), 12.5);
    EXPECT_EQ(sim::parameter(0, "USR2"), -0.5);
    ASSERT_EQ(CONFIGCAL(), 0);
    EXPECT_FLOAT_EQ(INTGAIN(), static_cast<float>(*sim::parameter(0, "GAIN")));
    EXPECT_FLOAT_EQ(INTOFFS(), static_cast<float>(*sim::parameter(0, "OFFS")));
    ASSERT_EQ(EXECUTECOMMAND("RST"), HXR_OK);
    EXPECT_TRUE(sim::streaming(0));
    EXPECT_THAT(sim::frameLog(0),
                ElementsAre("!001:", "!001:MODL?", "!001:CONF?", "!001:USR1=12.5000000",
                            "!001:USR2=-0.5000000", "!001:GAIN?", "!001:OFFS?", "!001:RST"));

    // One second of the module's clock, in tenths: 4,800 readings, each one OVAL.
    for (int tenth = 1; tenth <= 10; ++tenth) {
        advanceSimClock(100ms);
        ASSERT_TRUE(pumpUntil([&] { return recordCount() >= 480u * tenth; })) << tenth;
    }
    const double oval = *sim::parameter(0, "OVAL");
    EXPECT_EQ(CLOSEPORT(), 0);
    advanceSimClock(1s);
    pumpUntil([] { return false; }, 100ms);

    std::lock_guard lock(recordsMutex);
    EXPECT_EQ(records.size(), 4800u);
    EXPECT_EQ(sim::framesLost(0), 0u);
    for (const Record &r : records) {
        ASSERT_EQ(r.channel, 1);
        ASSERT_NEAR(r.value, oval, 1e-5 * std::max(1.0, std::abs(oval)));
        ASSERT_EQ(r.thread, std::this_thread::get_id());
    }
    EXPECT_FALSE(sim::isOpen(0));
    EXPECT_THAT(messages, IsEmpty());
}

TEST_F(DriverSimModule, TheAnswerToRstIsKeptWhenTheFirstFramesComeWithIt)
{
    sim::SimConfig config;
    config.devices[0].faults.replyDelayMs = 100;
    configure(config, true);
    connect();
    COMMANDMODE();
    // While RST waits, the module's clock steps past the late answer and 50 ms of the stream it
    // starts: whoever looks next finds the answer and 240 frames in one go.
    QTimer::singleShot(0, [] { advanceSimClock(150ms); });
    EXPECT_EQ(EXECUTECOMMAND("RST"), HXR_OK);
    EXPECT_TRUE(sim::streaming(0));
    EXPECT_THAT(messages, IsEmpty());
}

TEST_F(DriverSimModule, NoiseInTheStreamCostsEventsButNoReadings)
{
    sim::SimConfig config;
    config.devices[0].faults.junkEvery = 1000;
    config.devices[0].faults.junkCount = 3;
    configure(config, true);
    connect();
    COMMANDMODE();
    ASSERT_EQ(CONFIGCAL(), 0);
    ASSERT_EQ(EXECUTECOMMAND("RST"), HXR_OK);
    // Three bytes before the first frame, then three after every thousand frames.
    for (int tenth = 1; tenth <= 10; ++tenth) {
        advanceSimClock(100ms);
        ASSERT_TRUE(pumpUntil([&] { return recordCount() >= 480u * tenth + 3; })) << tenth;
    }
    pumpUntil([] { return recordCount() >= 4807; }, 2s);
    CLOSEPORT();
    std::lock_guard lock(recordsMutex);
    std::vector<float> events;
    size_t readings = 0;
    for (const Record &r : records) {
        if (r.channel == 0)
            events.push_back(r.value);
        else
            ++readings;
    }
    EXPECT_EQ(readings, 4800u);
    EXPECT_THAT(events, ElementsAre(1.0f, 1.0f, 1.0f, 2.0f, 2.0f, 2.0f, 2.0f));
    EXPECT_EQ(records[0].channel, 0);
    EXPECT_EQ(records[3].channel, 1);
}

using testsupport::PrintTo;
using testsupport::ReadModelCase;
using testsupport::UntouchedValue;

class SimFaults : public DriverSimModule, public testing::WithParamInterface<ReadModelCase>
{};

TEST_P(SimFaults, ReadModel)
{
    sim::SimConfig config;
    GetParam().setUp(config.devices[0]);
    configure(config, false);
    connect();
    ASSERT_EQ(DEVICECOUNT(), 1);
    testsupport::expectReadModel(GetParam(), messages);
}

INSTANTIATE_TEST_SUITE_P(
    DriverSimReplies, SimFaults,
    testing::ValuesIn(testsupport::withCommonReadModelCases({
        {"late",
         [](sim::DeviceConfig &d) { d.faults.replyDelayMs = 1500; },
         HXR_TIMEOUT,
         UntouchedValue,
         {"timedout"}},
        {"failing_set_up",
         [](sim::DeviceConfig &d) { d.faults.failStep = sim::SetupStep::BaudRate; },
         HXR_NODEVICE,
         UntouchedValue,
         {"No handle"}},
    })),
    [](const testing::TestParamInfo<ReadModelCase> &info) { return std::string(info.param.name); });

TEST_F(DriverSimModule, CountsOnlyDevicesDescribedHxr)
{
    sim::SimConfig config;
    config.devices.assign(5, sim::DeviceConfig{});
    config.devices[1].description = "HXR2";
    configure(config, false);
    connect();
    EXPECT_EQ(DEVICECOUNT(), 4);
    EXPECT_FALSE(sim::isOpen(1));
    EXPECT_TRUE(sim::isOpen(4));

    config.devices.assign(2, sim::DeviceConfig{});
    configure(config, false);
    connect();
    EXPECT_EQ(DEVICECOUNT(), 2);
    // Commands go after command mode: a streaming module's reply drowns in the stream.
    COMMANDMODE();
    float value = 0;
    EXPECT_EQ(READCOMMAND("MODL", &value), HXR_OK);
    EXPECT_THAT(sim::frameLog(0), ElementsAre("!001:", "!001:MODL?"));
    EXPECT_THAT(sim::frameLog(1), IsEmpty());

    config.devices.assign(6, sim::DeviceConfig{});
    configure(config, false);
    connect();
    EXPECT_EQ(DEVICECOUNT(), 4);
    EXPECT_FALSE(sim::isOpen(4));
    CLOSEPORT();
    EXPECT_FALSE(sim::isOpen(0));

    config.devices.assign(1, sim::DeviceConfig{});
    config.devices[0].description = "HXR2";
    configure(config, false);
    connect();
    EXPECT_EQ(DEVICECOUNT(), 0);
}

TEST_F(DriverSimModule, AWaitingCommandSleepsUntilItsReplyAndRefusesEveryOtherPortCall)
{
    auto backend = std::make_unique<LookCounter>(platform::ftd2xx::makeSimBackend());
    const LookCounter &counter = *backend;
    platform::ftd2xx::setActiveBackend(std::move(backend));
    sim::SimConfig config;
    config.devices[0].faults.replyDelayMs = 300;
    configure(config, false);
    connect();
    COMMANDMODE();
    sim::clearFrameLog();

    // Runs while the command below waits: the wait keeps the thread's events going.
    struct
    {
        bool ran = false;
        int16_t read = 1;
        float value = -1.0f;
        int16_t configured = 1;
    } meanwhile;
    QTimer::singleShot(0, [&] {
        meanwhile.ran = true;
        meanwhile.read = READCOMMAND("SERL", &meanwhile.value);
        meanwhile.configured = CONFIGCAL();
        COMMANDMODE();
        CLOSEPORT();
        OPENPORT();
    });
    const int looksBefore = counter.looks();
    float value = 0;
    EXPECT_EQ(READCOMMAND("MODL", &value), HXR_OK);
    EXPECT_EQ(value, 1.0f);
    // A wait that polled would look at the queue thousands of times in 300 ms.
    EXPECT_LT(counter.looks() - looksBefore, 20);

    EXPECT_TRUE(meanwhile.ran);
    EXPECT_EQ(meanwhile.read, HXR_NODEVICE);
    EXPECT_EQ(meanwhile.value, -1.0f);
    EXPECT_EQ(meanwhile.configured, -1);
    EXPECT_THAT(sim::frameLog(0), ElementsAre("!001:MODL?"));
    EXPECT_TRUE(sim::isOpen(0));
    EXPECT_THAT(messages, IsEmpty());
    // Once the wait is over the port takes commands again.
    EXPECT_EQ(READCOMMAND("MODL", &value), HXR_OK);
}

} // namespace
