#include "platform/ftd2xx/usbreceivequeue.h"

#include <algorithm>
#include <thread>
#include <vector>

#include <gmock/gmock.h>

namespace {

using platform::ftd2xx::UsbReceiveQueue;
using testing::ElementsAre;
using testing::ElementsAreArray;

std::vector<uint8_t> popAll(UsbReceiveQueue &queue, size_t wanted)
{
    std::vector<uint8_t> out(wanted);
    out.resize(queue.pop(out.data(), wanted));
    return out;
}

TEST(UsbReceiveQueue, KeepsOrderAcrossTheRingEnd)
{
    UsbReceiveQueue queue(8);
    const uint8_t first[] = {1, 2, 3, 4, 5};
    const uint8_t second[] = {6, 7, 8, 9, 10};
    EXPECT_EQ(queue.push(first, 5), 5u);
    EXPECT_THAT(popAll(queue, 3), ElementsAre(1, 2, 3));
    EXPECT_EQ(queue.push(second, 5), 5u); // wraps round the end of the ring
    EXPECT_EQ(queue.size(), 7u);
    EXPECT_THAT(popAll(queue, 4), ElementsAre(4, 5, 6, 7));
    EXPECT_THAT(popAll(queue, 100), ElementsAre(8, 9, 10));
}

TEST(UsbReceiveQueue, ReadGivesAtMostWhatIsQueuedAndNeverWaits)
{
    UsbReceiveQueue queue(16);
    EXPECT_TRUE(popAll(queue, 10).empty());
    const uint8_t bytes[] = {7, 8, 9};
    queue.push(bytes, 3);
    EXPECT_TRUE(popAll(queue, 0).empty());
    EXPECT_THAT(popAll(queue, 2), ElementsAre(7, 8));
    EXPECT_THAT(popAll(queue, 10), ElementsAre(9));
    EXPECT_EQ(queue.size(), 0u);
}

TEST(UsbReceiveQueue, FullQueueKeepsTheOldBytesAndDropsTheNew)
{
    UsbReceiveQueue queue(4);
    const uint8_t bytes[] = {1, 2, 3, 4, 5, 6};
    EXPECT_EQ(queue.push(bytes, 6), 4u);
    EXPECT_EQ(queue.dropped(), 2u);
    EXPECT_EQ(queue.push(bytes, 1), 0u);
    EXPECT_THAT(popAll(queue, 10), ElementsAre(1, 2, 3, 4));

    queue.push(bytes, 2);
    queue.clear();
    EXPECT_EQ(queue.size(), 0u);
    EXPECT_EQ(queue.dropped(), 0u);
    queue.push(bytes + 4, 2); // usable again after a clear
    EXPECT_THAT(popAll(queue, 10), ElementsAre(5, 6));
}

// One pump thread pushing uneven chunks into a small ring while another thread drains it in
// uneven reads: every byte arrives once, in order.
TEST(UsbReceiveQueue, ConcurrentPushAndPopLoseNothing)
{
    constexpr size_t Total = 200'000;
    std::vector<uint8_t> sent(Total);
    for (size_t i = 0; i < Total; ++i)
        sent[i] = static_cast<uint8_t>(i % 251);

    UsbReceiveQueue queue(61);
    std::thread pump([&] {
        size_t done = 0;
        size_t chunk = 1;
        while (done < Total) {
            const size_t count = std::min(chunk, Total - done);
            const size_t kept = queue.push(sent.data() + done, count);
            done += kept;
            chunk = chunk % 97 + 1;
            // A full queue waits for the reader: let it run rather than spin out the time slice.
            if (kept == 0)
                std::this_thread::yield();
        }
    });
    std::vector<uint8_t> received;
    received.reserve(Total);
    std::vector<uint8_t> buffer(53);
    size_t wanted = 1;
    while (received.size() < Total) {
        const size_t got = queue.pop(buffer.data(), wanted);
        received.insert(received.end(), buffer.begin(), buffer.begin() + got);
        wanted = wanted % 53 + 1;
        if (got == 0)
            std::this_thread::yield();
    }
    pump.join();
    EXPECT_THAT(received, ElementsAreArray(sent));
}

} // namespace
