#include "app/analysis/circularbuffermodule.h"

#include <vector>

#include <gmock/gmock.h>

#include "platform/vb/vberror.h"

namespace app::analysis {
namespace {

using platform::vb::VbError;

class RingTest : public testing::Test
{
protected:
    void SetUp() override
    {
        ResetBuffer();
        SetFindMinMax(nullptr);
    }
    static void putRange(int32_t from, int32_t count)
    {
        for (int32_t i = 0; i < count; ++i)
            BufferPut(static_cast<float>(from + i));
    }
    // Fills the whole ring once with its own positions, leaving it wrapped at write position 0.
    static void fillWhole() { putRange(0, RingSize); }
};

TEST_F(RingTest, ReadingsGoInStreamEventsDoNot)
{
    OnReading(1, 1.5f);
    OnReading(8, 2.5f);
    OnReading(0, 1.0f);       // skipped byte
    OnReading(0x10000, 2.0f); // channel 0 in the low 16 bits
    OnReading(0x10003, 3.5f);
    ASSERT_EQ(BufferCount(), 3);
    BufferSeekBack(3);
    EXPECT_EQ(BufferGet(), 1.5f);
    EXPECT_EQ(BufferGet(), 2.5f);
    EXPECT_EQ(BufferGet(), 3.5f);
}

TEST_F(RingTest, ResetEmptiesLogicallyOnly)
{
    putRange(10, 5);
    ResetBuffer();
    EXPECT_EQ(BufferCount(), 0);
    EXPECT_EQ(BufferReadPos(), 0);
    EXPECT_FALSE(BufferWrapped());
    EXPECT_EQ(BufferGet(), 10.0f); // stored values survive the reset
}

TEST_F(RingTest, WrapsAfterTheLastPosition)
{
    putRange(0, RingSize - 1);
    EXPECT_FALSE(BufferWrapped());
    EXPECT_EQ(BufferCount(), RingSize - 1);
    EXPECT_EQ(BufferPut(-1.0f), 0); // the 8,640,000th put lands on the last position
    EXPECT_TRUE(BufferWrapped());
    EXPECT_EQ(BufferCount(), RingSize);
    BufferSetReadPos(RingSize - 1);
    EXPECT_EQ(BufferGet(), -1.0f);
    BufferPut(5.0f);
    EXPECT_EQ(BufferCount(), RingSize);
}

TEST_F(RingTest, SeekBackWholeWrappedRingReadsOldestToNewest)
{
    fillWhole();
    putRange(RingSize, 10); // overwrite positions 0..9
    BufferSeekBack(BufferCount());
    EXPECT_EQ(BufferReadPos(), 10);
    bool ordered = true;
    float previous = BufferGet();
    for (int32_t i = 1; i < RingSize; ++i) {
        const float value = BufferGet();
        ordered = ordered && value > previous;
        previous = value;
    }
    EXPECT_TRUE(ordered);
    EXPECT_EQ(previous, static_cast<float>(RingSize + 9));
}

TEST_F(RingTest, StepAndPrevWrapAtTheEnds)
{
    fillWhole();
    BufferSetReadPos(RingSize - 2);
    EXPECT_EQ(BufferGetStep(5), static_cast<float>(RingSize - 2));
    EXPECT_EQ(BufferReadPos(), 3);
    EXPECT_EQ(BufferGetStep(RingSize), 3.0f);
    EXPECT_EQ(BufferReadPos(), 3);
    BufferSetReadPos(0);
    EXPECT_EQ(BufferGetPrev(), static_cast<float>(RingSize - 1));
    EXPECT_EQ(BufferReadPos(), RingSize - 1);
    EXPECT_EQ(BufferGet(), static_cast<float>(RingSize - 1));
    EXPECT_EQ(BufferReadPos(), 0);
}

TEST_F(RingTest, SeekBackBeforeWrapReachesIntoTheTail)
{
    putRange(0, 3);
    BufferSeekBack(5);
    EXPECT_EQ(BufferReadPos(), RingSize - 2);
}

TEST_F(RingTest, ArgumentsOutsideTheRingAreRefusedWithoutEffect)
{
    putRange(0, 100);
    BufferSetReadPos(42);
    EXPECT_THROW(BufferSeekBack(RingSize + 1), VbError);
    EXPECT_THROW(BufferSeekBack(-1), VbError);
    EXPECT_THROW(BufferSetReadPos(RingSize), VbError);
    EXPECT_THROW(BufferSetReadPos(-1), VbError);
    EXPECT_THROW(BufferGetStep(-1), VbError);
    EXPECT_THROW(BufferGetStep(RingSize + 1), VbError);
    float lo = 0, hi = 0;
    EXPECT_THROW(BufferMinMax(0, lo, hi), VbError);
    EXPECT_THROW(BufferMinMax(-3, lo, hi), VbError);
    EXPECT_THROW(BufferMinMax(RingSize + 1, lo, hi), VbError);
    std::vector<float> tooLarge(static_cast<size_t>(RingSize) + 1);
    EXPECT_THROW(BufferFill(tooLarge), VbError);
    EXPECT_EQ(BufferReadPos(), 42);
    EXPECT_EQ(BufferCount(), 100);
}

TEST_F(RingTest, FillReadsSuccessively)
{
    putRange(0, 10);
    BufferSeekBack(4);
    std::vector<float> block(3);
    BufferFill(block);
    EXPECT_THAT(block, testing::ElementsAre(6.0f, 7.0f, 8.0f));
    EXPECT_EQ(BufferReadPos(), 9);
}

struct MinMaxCall
{
    std::vector<float> block;
    int32_t first = 0;
    int32_t last = 0;
};
MinMaxCall lastCall;

void recordMinMax(const float *first, const int32_t *firstIndex, const int32_t *lastIndex,
                  float *minimum, float *maximum)
{
    lastCall.first = *firstIndex;
    lastCall.last = *lastIndex;
    lastCall.block.assign(first, first + (*lastIndex - *firstIndex + 1));
    *minimum = -7.0f;
    *maximum = 7.0f;
}

TEST_F(RingTest, MinMaxHandsTheBlockToTheDriverInOneCall)
{
    putRange(0, 10);
    BufferSeekBack(3);
    SetFindMinMax(&recordMinMax);
    float lo = 0, hi = 0;
    BufferMinMax(3, lo, hi);
    EXPECT_EQ(lo, -7.0f);
    EXPECT_EQ(hi, 7.0f);
    EXPECT_EQ(lastCall.first, 1);
    EXPECT_EQ(lastCall.last, 3);
    EXPECT_THAT(lastCall.block, testing::ElementsAre(7.0f, 8.0f, 9.0f));
}

TEST_F(RingTest, MinMaxWithoutDriverAcrossTheWrap)
{
    fillWhole();
    BufferSetReadPos(RingSize - 2);
    float lo = 0, hi = 0;
    BufferMinMax(4, lo, hi); // positions RingSize-2, RingSize-1, 0, 1
    EXPECT_EQ(lo, 0.0f);
    EXPECT_EQ(hi, static_cast<float>(RingSize - 1));
}

TEST_F(RingTest, CleanupTakesTheNextInRangeValueAndNeverWraps)
{
    BufferPut(12'345'678.0f);
    BufferPut(-10'000'000.0f);
    BufferPut(5.0f);
    BufferPut(9'999'999.0f);
    // The tail of the ring: an out-of-range value with nothing in range after it.
    for (int32_t i = 0; i < RingSize - 6; ++i)
        BufferPut(0.0f);
    BufferPut(3.0f);
    BufferPut(1e8f);
    BufferCleanup();
    BufferSetReadPos(0);
    EXPECT_EQ(BufferGet(), 5.0f);
    EXPECT_EQ(BufferGet(), 5.0f);
    EXPECT_EQ(BufferGet(), 5.0f);
    EXPECT_EQ(BufferGet(), 9'999'999.0f);
    BufferSetReadPos(RingSize - 2);
    EXPECT_EQ(BufferGet(), 3.0f);
    EXPECT_EQ(BufferGet(), 1e8f);
}

} // namespace
} // namespace app::analysis
