// The reader thread and the delivery of readings to the thread that opened the port.

#include <atomic>
#include <chrono>
#include <functional>
#include <mutex>
#include <thread>
#include <vector>

#include <QCoreApplication>
#include <QEventLoop>
#include <QThread>

#include <gmock/gmock.h>

#include "driver/delivery.h"
#include "driver/driverstate.h"
#include "driver/include/hxrdrv.h"
#include "driver/port.h"
#include "driver/streamdecoder.h"
#include "tests/driver/drivertest.h"
#include "tests/driver/frames.h"

namespace driver {
void PrintTo(const Reading &r, std::ostream *os)
{
    *os << "(" << r.channel << ", " << r.value << ")";
}
} // namespace driver

namespace {

using driver::Reading;
using frames::Bytes;
using namespace std::chrono_literals;
using testing::Each;
using testing::ElementsAreArray;
using testing::IsEmpty;
using testing::SizeIs;

// What the registered procedure saw.
struct Received
{
    std::mutex mutex;
    std::vector<Reading> records;
    std::vector<std::thread::id> threads;
    std::function<void(const Reading &)> hook;

    size_t count()
    {
        std::lock_guard lock(mutex);
        return records.size();
    }
};

Received received;

void onReading(int32_t channel, float value)
{
    std::function<void(const Reading &)> hook;
    {
        std::lock_guard lock(received.mutex);
        received.records.push_back({channel, value});
        received.threads.push_back(std::this_thread::get_id());
        hook = received.hook;
    }
    if (hook)
        hook({channel, value});
}

// Runs the caller's event loop until `done` holds; the limit only keeps a broken build from
// hanging.
bool pumpUntil(const std::function<bool()> &done, std::chrono::milliseconds limit = 10s)
{
    const auto end = std::chrono::steady_clock::now() + limit;
    while (!done() && std::chrono::steady_clock::now() < end)
        QCoreApplication::processEvents(QEventLoop::AllEvents, 5);
    return done();
}

// Runs the caller's event loop until the reader has taken every byte of the line and then
// looked at the line once more. A pass of the reader that took bytes ends only when this thread
// has delivered them, and the next pass finds nothing: no reading of these bytes is still to come.
bool pumpUntilReaderIdle(fake::Line &line)
{
    if (!pumpUntil([&] { return line.waiting() == 0; }))
        return false;
    const uint32_t seen = line.queryCount();
    return pumpUntil([&] { return line.queryCount() > seen; });
}

// Runs what was posted to this thread. Once CLOSEPORT has ended the reader, a hand-over it
// posted before is all that could still arrive.
void runPostedEvents()
{
    QCoreApplication::sendPostedEvents();
}

// `count` frames on channels 1 to 8 in turn with raw values 0, 1, 2, ...
Bytes stream(int count, int firstValue = 0)
{
    Bytes out;
    for (int i = 0; i < count; ++i) {
        const Bytes f = frames::frame(1 + i % 8, static_cast<float>(firstValue + i));
        out.insert(out.end(), f.begin(), f.end());
    }
    return out;
}

// The stream's gain and offset stay from one connection to the next: expectations use theirs.
std::vector<Reading> expectedReadings(int count, float gain, float offset, int firstValue = 0)
{
    std::vector<Reading> out;
    for (int i = 0; i < count; ++i) {
        const double raw = firstValue + i;
        out.push_back({1 + i % 8, static_cast<float>(gain * raw - offset)});
    }
    return out;
}

class DriverDelivery : public DriverTest
{
protected:
    void SetUp() override
    {
        DriverTest::SetUp();
        std::lock_guard lock(received.mutex);
        received.records.clear();
        received.threads.clear();
        received.hook = nullptr;
    }
    void TearDown() override
    {
        DriverTest::TearDown();
        std::lock_guard lock(received.mutex);
        received.hook = nullptr;
    }
    void registerProcedure()
    {
        HXRReadingProc procedure = &onReading;
        INITIALISE(&procedure);
    }
};

TEST_F(DriverDelivery, ReadingsArriveInOrderOnTheOwnerThreadScaled)
{
    const auto lines = open({"HXR"});
    lines[0]->responder = fake::answering([](const std::string &c) {
        return c == "GAIN?" ? "2\r" : c == "OFFS?" ? "1\r" : "";
    });
    ASSERT_EQ(CONFIGCAL(), 0);
    registerProcedure(); // after OPENPORT is as good as before
    lines[0]->push(frames::text(frames::join({{0x01, 0x02, 0x03}, stream(500)})));

    ASSERT_TRUE(pumpUntil([] { return received.count() >= 503; }));
    ASSERT_TRUE(pumpUntilReaderIdle(*lines[0]));
    std::vector<Reading> expected(3, Reading{0, driver::SkippedByteEvent});
    const auto readings = expectedReadings(500, 2.0f, 1.0f);
    expected.insert(expected.end(), readings.begin(), readings.end());
    EXPECT_THAT(received.records, ElementsAreArray(expected));
    EXPECT_THAT(received.threads, Each(std::this_thread::get_id()));
}

TEST_F(DriverDelivery, FiftyQueuedBytesAreLeftForTheCommandLoop)
{
    registerProcedure();
    const auto lines = open({"HXR"});
    const Bytes bytes = stream(9); // 54 bytes
    lines[0]->push(frames::text(Bytes(bytes.begin(), bytes.begin() + 50)));
    // Several passes of the reader go by without a read.
    const uint32_t before = lines[0]->queryCount();
    ASSERT_TRUE(pumpUntil([&] { return lines[0]->queryCount() >= before + 5; }));
    EXPECT_EQ(lines[0]->waiting(), 50u);
    EXPECT_THAT(received.records, IsEmpty());

    // 54 bytes wait: the reader takes them (this back-end hands over the first 50 alone).
    lines[0]->push(frames::text(Bytes(bytes.begin() + 50, bytes.end())));
    ASSERT_TRUE(pumpUntil([] { return received.count() >= 8; }));
    EXPECT_THAT(received.records, ElementsAreArray(expectedReadings(8, INTGAIN(), INTOFFS())));
}

TEST_F(DriverDelivery, AReadThatFailsIsSkippedButAnIoErrorIsTolerated)
{
    registerProcedure();
    const auto lines = open({"HXR"});
    lines[0]->readStatus = FT_OTHER_ERROR;
    lines[0]->push(frames::text(stream(20)));
    ASSERT_TRUE(pumpUntilReaderIdle(*lines[0]));
    EXPECT_THAT(received.records, IsEmpty());

    lines[0]->readStatus = FT_IO_ERROR;
    lines[0]->push(frames::text(stream(20, 20)));
    ASSERT_TRUE(pumpUntil([] { return received.count() >= 20; }));
    EXPECT_THAT(received.records, ElementsAreArray(expectedReadings(20, INTGAIN(), INTOFFS(), 20)));
}

TEST_F(DriverDelivery, NothingIsCalledAfterClosePort)
{
    registerProcedure();
    const auto lines = open({"HXR"});
    lines[0]->push(frames::text(stream(300)));
    // The reader takes the bytes and waits on its hand-over: this thread runs no events.
    driver::Delivery *delivery = driver::driverState().callbackWindow;
    ASSERT_NE(delivery, nullptr);
    const auto end = std::chrono::steady_clock::now() + 10s;
    while (!delivery->handOverPending() && std::chrono::steady_clock::now() < end)
        std::this_thread::sleep_for(1ms);
    ASSERT_TRUE(delivery->handOverPending());
    EXPECT_EQ(CLOSEPORT(), 0); // returns although a hand-over waits for this thread
    EXPECT_EQ(driver::driverState().reader, nullptr) << "the reader has ended";
    runPostedEvents();
    EXPECT_THAT(received.records, IsEmpty());
}

TEST_F(DriverDelivery, TheProcedureMayCloseThePort)
{
    registerProcedure();
    received.hook = [](const Reading &) { CLOSEPORT(); };
    const auto lines = open({"HXR"});
    lines[0]->push(frames::text(stream(100)));
    ASSERT_TRUE(pumpUntil([] { return received.count() >= 1; }));
    EXPECT_EQ(driver::driverState().reader, nullptr) << "the reader has ended";
    runPostedEvents();
    EXPECT_THAT(received.records, SizeIs(1));
    EXPECT_EQ(DEVICECOUNT(), 0);
}

TEST_F(DriverDelivery, ReopeningStartsWithoutLeftovers)
{
    registerProcedure();
    auto lines = open({"HXR"});
    const Bytes first = stream(10);
    lines[0]->push(frames::text(Bytes(first.begin(), first.begin() + 57))); // 9 frames and a half
    ASSERT_TRUE(pumpUntil([] { return received.count() >= 9; }));

    lines = open({"HXR"});
    lines[0]->push(frames::text(stream(10, 100)));
    ASSERT_TRUE(pumpUntil([] { return received.count() >= 19; }));
    ASSERT_TRUE(pumpUntilReaderIdle(*lines[0]));
    auto expected = expectedReadings(9, INTGAIN(), INTOFFS());
    const auto second = expectedReadings(10, INTGAIN(), INTOFFS(), 100);
    expected.insert(expected.end(), second.begin(), second.end());
    EXPECT_THAT(received.records, ElementsAreArray(expected));
}

TEST_F(DriverDelivery, AFifthDeviceStopsReadingsButNotEvents)
{
    registerProcedure();
    const auto lines = open({"HXR", "HXR", "HXR", "HXR", "HXR"});
    ASSERT_EQ(DEVICECOUNT(), 4);
    lines[0]->push(frames::text(frames::join({{0x11, 0x22}, stream(20)})));
    ASSERT_TRUE(pumpUntil([] { return received.count() >= 2; }));
    ASSERT_TRUE(pumpUntilReaderIdle(*lines[0]));
    EXPECT_THAT(received.records,
                ElementsAreArray(std::vector<Reading>(2, Reading{0, driver::SkippedByteEvent})));
}

TEST_F(DriverDelivery, GoesToWhicheverThreadOpenedThePort)
{
    registerProcedure();
    QThread owner;
    owner.start();
    QObject context;
    context.moveToThread(&owner);
    std::vector<std::shared_ptr<fake::Line>> lines;
    std::thread::id ownerId;
    QMetaObject::invokeMethod(
        &context,
        [&] {
            ownerId = std::this_thread::get_id();
            lines = open({"HXR"});
        },
        Qt::BlockingQueuedConnection);
    lines[0]->push(frames::text(stream(40)));
    // This thread runs no events: the owner's loop delivers.
    const auto end = std::chrono::steady_clock::now() + 10s;
    while (received.count() < 40 && std::chrono::steady_clock::now() < end)
        std::this_thread::sleep_for(1ms);
    EXPECT_EQ(CLOSEPORT(), 0);
    owner.quit();
    owner.wait();
    EXPECT_THAT(received.records, ElementsAreArray(expectedReadings(40, INTGAIN(), INTOFFS())));
    EXPECT_THAT(received.threads, Each(ownerId));
}

TEST_F(DriverDelivery, ACallbackWindowIsFoundAgainForItsThread)
{
    const int32_t thread = driver::currentThreadId();
    const intptr_t older = CREATECALLBACKWINDOW(&thread);
    const intptr_t newer = CREATECALLBACKWINDOW(&thread);
    EXPECT_NE(older, 0);
    EXPECT_NE(newer, older);
    registerProcedure();
    auto lines = open({"HXR"});
    const auto *used = driver::driverState().callbackWindow;
    EXPECT_EQ(reinterpret_cast<intptr_t>(used), newer);
    lines = open({"HXR"});
    EXPECT_EQ(driver::driverState().callbackWindow, used);
    lines[0]->push(frames::text(stream(10)));
    ASSERT_TRUE(pumpUntil([] { return received.count() >= 10; }));
}

} // namespace
