#include "platform/ftd2xx/usbdevice.h"

#include <algorithm>
#include <atomic>
#include <chrono>
#include <deque>
#include <memory>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

#include <gmock/gmock.h>

namespace {

using namespace platform::ftd2xx;
using testing::ElementsAre;

// A scripted chip shared between the test and the link that the device owns.
struct FakeChip
{
    std::mutex mutex;
    std::deque<uint8_t> incoming; // bytes that arrive at the chip, handed out by reads
    std::vector<std::string> calls;
    std::string written;
    bool unplugged = false;
    bool flood = false; // every read brings bytes at once, as a chip under a fast stream does
    FT_STATUS setupAnswer = FT_OK;
    std::atomic<int> inside{0};
    std::atomic<int> mostInside{0};
    std::atomic<int> reads{0};
    std::atomic<bool> linkClosed{false};

    void arrive(const std::string &bytes)
    {
        std::lock_guard lock(mutex);
        incoming.insert(incoming.end(), bytes.begin(), bytes.end());
    }
    void note(const std::string &call)
    {
        std::lock_guard lock(mutex);
        calls.push_back(call);
    }
    std::vector<std::string> callsSoFar()
    {
        std::lock_guard lock(mutex);
        return calls;
    }
};

class FakeLink final : public UsbLink
{
public:
    explicit FakeLink(std::shared_ptr<FakeChip> chip) : chip_(std::move(chip)) {}
    ~FakeLink() override { chip_->linkClosed = true; }

    FT_STATUS setBaudRate(uint32_t baudRate) override
    {
        return setup("baud " + std::to_string(baudRate));
    }
    FT_STATUS setDataCharacteristics(uint8_t bits, uint8_t stop, uint8_t parity) override
    {
        return setup("line " + std::to_string(bits) + std::to_string(stop) +
                     std::to_string(parity));
    }
    FT_STATUS setFlowControl(uint16_t flow, uint8_t, uint8_t) override
    {
        return setup("flow " + std::to_string(flow));
    }
    FT_STATUS setLatencyTimer(uint8_t ms) override
    {
        return setup("latency " + std::to_string(ms));
    }
    FT_STATUS write(const uint8_t *buffer, uint32_t length, uint32_t &written) override
    {
        Inside inside(*chip_);
        std::lock_guard lock(chip_->mutex);
        if (chip_->unplugged)
            return FT_IO_ERROR;
        chip_->written.append(reinterpret_cast<const char *>(buffer), length);
        written = length;
        return FT_OK;
    }
    FT_STATUS read(uint8_t *buffer, uint32_t capacity, uint32_t &got) override
    {
        Inside inside(*chip_);
        ++chip_->reads;
        {
            std::lock_guard lock(chip_->mutex);
            if (chip_->unplugged)
                return FT_IO_ERROR;
            if (chip_->flood) {
                got = std::min<uint32_t>(capacity, 64);
                std::fill(buffer, buffer + got, uint8_t{0x55});
                return FT_OK;
            }
            got = static_cast<uint32_t>(std::min<size_t>(capacity, chip_->incoming.size()));
            std::copy_n(chip_->incoming.begin(), got, buffer);
            chip_->incoming.erase(chip_->incoming.begin(), chip_->incoming.begin() + got);
        }
        if (got == 0) // a real chip answers an idle read after its latency period
            std::this_thread::sleep_for(std::chrono::microseconds(200));
        return FT_OK;
    }
    FT_STATUS purge(uint32_t mask) override
    {
        Inside inside(*chip_);
        std::lock_guard lock(chip_->mutex);
        if (mask & FT_PURGE_RX)
            chip_->incoming.clear();
        chip_->calls.push_back("purge " + std::to_string(mask));
        return chip_->unplugged ? FT_IO_ERROR : FT_OK;
    }

private:
    // Counts the threads inside the link at once: the device must let only one in.
    struct Inside
    {
        explicit Inside(FakeChip &chip) : chip_(chip)
        {
            const int now = ++chip_.inside;
            int most = chip_.mostInside;
            while (now > most && !chip_.mostInside.compare_exchange_weak(most, now)) {
            }
        }
        ~Inside() { --chip_.inside; }
        FakeChip &chip_;
    };

    FT_STATUS setup(const std::string &call)
    {
        Inside inside(*chip_);
        chip_->note(call);
        return chip_->setupAnswer;
    }

    std::shared_ptr<FakeChip> chip_;
};

// Waits for the pump to get somewhere; a deadline only keeps a broken pump from hanging the run.
template <typename Condition>
bool eventually(Condition condition)
{
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(10);
    while (!condition()) {
        if (std::chrono::steady_clock::now() > deadline)
            return false;
        std::this_thread::sleep_for(std::chrono::milliseconds(1));
    }
    return true;
}

class UsbDeviceTest : public testing::Test
{
protected:
    std::shared_ptr<FakeChip> chip_ = std::make_shared<FakeChip>();
    std::unique_ptr<UsbDevice> device_ =
        std::make_unique<UsbDevice>(std::make_unique<FakeLink>(chip_));

    uint32_t queued()
    {
        uint32_t count = 0;
        EXPECT_EQ(device_->queueStatus(count), FT_OK);
        return count;
    }
    std::string readUpTo(uint32_t wanted)
    {
        std::string out(wanted, '\0');
        uint32_t got = 99;
        EXPECT_EQ(device_->read(out.data(), wanted, got), FT_OK);
        out.resize(got);
        return out;
    }
};

TEST_F(UsbDeviceTest, PumpedBytesAreQueuedAndReadWithoutWaiting)
{
    EXPECT_EQ(queued(), 0u);
    EXPECT_EQ(readUpTo(10), "");
    chip_->arrive("?1.0\r");
    chip_->arrive(std::string(95, 'x'));
    ASSERT_TRUE(eventually([&] { return queued() == 100; }));
    EXPECT_EQ(readUpTo(5), "?1.0\r");
    EXPECT_EQ(queued(), 95u);
    EXPECT_EQ(readUpTo(1000), std::string(95, 'x'));
    EXPECT_EQ(readUpTo(1000), "");
}

TEST_F(UsbDeviceTest, SetupAndWritesReachTheChipWithItsAnswers)
{
    EXPECT_EQ(device_->setBaudRate(921600), FT_OK);
    EXPECT_EQ(device_->setDataCharacteristics(FT_BITS_8, FT_STOP_BITS_1, FT_PARITY_NONE), FT_OK);
    EXPECT_EQ(device_->setFlowControl(FT_FLOW_NONE, 0, 0), FT_OK);
    EXPECT_EQ(device_->setLatencyTimer(1), FT_OK);
    chip_->setupAnswer = FT_INVALID_BAUD_RATE;
    EXPECT_EQ(device_->setBaudRate(7), FT_INVALID_BAUD_RATE);
    EXPECT_THAT(chip_->callsSoFar(),
                ElementsAre("baud 921600", "line 800", "flow 0", "latency 1", "baud 7"));

    uint32_t written = 99;
    EXPECT_EQ(device_->write("!001:GAIN?\r", 11, written), FT_OK);
    EXPECT_EQ(written, 11u);
    EXPECT_EQ(device_->write(nullptr, 0, written), FT_OK);
    EXPECT_EQ(written, 0u);
    EXPECT_EQ(chip_->written, "!001:GAIN?\r");
}

TEST_F(UsbDeviceTest, PurgeEmptiesTheQueueAndTheChip)
{
    chip_->arrive("stale stream bytes");
    ASSERT_TRUE(eventually([&] { return queued() == 18; }));

    EXPECT_EQ(device_->purge(FT_PURGE_TX), FT_OK); // transmit only: received bytes stay
    EXPECT_EQ(queued(), 18u);
    EXPECT_EQ(device_->purge(FT_PURGE_RX | FT_PURGE_TX), FT_OK);
    EXPECT_EQ(queued(), 0u);
    EXPECT_EQ(device_->purge(0), FT_OK);
    EXPECT_THAT(chip_->callsSoFar(), ElementsAre("purge 2", "purge 3"));

    chip_->arrive("12.5\r"); // what comes after the purge is kept
    ASSERT_TRUE(eventually([&] { return queued() == 5; }));
    EXPECT_EQ(readUpTo(64), "12.5\r");
}

TEST_F(UsbDeviceTest, UnpluggedDeviceAnswersIoErrorToEveryCall)
{
    chip_->arrive("abc");
    ASSERT_TRUE(eventually([&] { return queued() == 3; }));
    {
        std::lock_guard lock(chip_->mutex);
        chip_->unplugged = true;
    }
    ASSERT_TRUE(eventually([&] { return device_->isLost(); }));
    const size_t callsBefore = chip_->callsSoFar().size();

    uint32_t count = 99;
    EXPECT_EQ(device_->queueStatus(count), FT_IO_ERROR);
    EXPECT_EQ(count, 0u);
    char buffer[8];
    EXPECT_EQ(device_->read(buffer, sizeof buffer, count), FT_IO_ERROR);
    EXPECT_EQ(count, 0u);
    EXPECT_EQ(device_->write("x", 1, count), FT_IO_ERROR);
    EXPECT_EQ(count, 0u);
    EXPECT_EQ(device_->setBaudRate(921600), FT_IO_ERROR);
    EXPECT_EQ(device_->setDataCharacteristics(8, 0, 0), FT_IO_ERROR);
    EXPECT_EQ(device_->setFlowControl(0, 0, 0), FT_IO_ERROR);
    EXPECT_EQ(device_->setLatencyTimer(1), FT_IO_ERROR);
    EXPECT_EQ(device_->purge(FT_PURGE_RX | FT_PURGE_TX), FT_IO_ERROR);
    EXPECT_EQ(chip_->callsSoFar().size(), callsBefore); // nothing more goes to the gone chip

    const int readsSoFar = chip_->reads;
    device_.reset(); // closing a lost device still joins cleanly
    EXPECT_TRUE(chip_->linkClosed);
    EXPECT_EQ(chip_->reads, readsSoFar); // the pump stopped reading once the chip was gone
}

// Commands from two threads while the pump reads flat out: every call gets through, the link
// never serves two threads at once, and closing stops the pump before the link goes.
TEST_F(UsbDeviceTest, CallsTakeTurnsWithABusyPumpAndCloseJoinsIt)
{
    chip_->flood = true;
    ASSERT_TRUE(eventually([&] { return chip_->reads > 10; }));
    auto commands = [&] {
        for (int i = 0; i < 300; ++i) {
            uint32_t written = 0;
            EXPECT_EQ(device_->write("!001:OVAL?\r", 11, written), FT_OK);
            EXPECT_EQ(device_->setLatencyTimer(1), FT_OK);
            EXPECT_EQ(device_->purge(FT_PURGE_RX), FT_OK);
        }
    };
    std::thread other(commands);
    commands();
    other.join();
    EXPECT_EQ(chip_->written.size(), 600u * 11);
    EXPECT_EQ(chip_->mostInside, 1);

    device_.reset();
    EXPECT_TRUE(chip_->linkClosed);
    EXPECT_EQ(chip_->inside, 0);
}

} // namespace
