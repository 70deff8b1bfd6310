#include "app/analysis/snapshotmodule.h"

#include <ostream>

#include <gmock/gmock.h>

#include "app/analysis/circularbuffermodule.h"
#include "platform/vb/vberror.h"
#include "support/namedcase.h"

namespace app::analysis {
namespace {

const QDateTime Noon(QDate(2024, 3, 1), QTime(12, 0, 0));

class SnapshotTest : public testing::Test
{
protected:
    void SetUp() override { ResetBuffer(); }
    static void putValues(std::initializer_list<float> values)
    {
        for (float v : values)
            BufferPut(v);
    }
    static void setSnapshot(int32_t readings, int32_t micros)
    {
        Snapshot &snap = CurrentSnapshot();
        snap.readings.assign(static_cast<size_t>(readings) + 1, 0.0f);
        for (int32_t i = 1; i <= readings; ++i)
            snap.readings[static_cast<size_t>(i)] = static_cast<float>(i);
        snap.startTime = Noon;
        snap.startMicros = micros;
    }
};

TEST_F(SnapshotTest, TakesTheNewestReadingsOldestFirst)
{
    putValues({1.0f, 2.0f, 3.0f, 4.0f});
    TakeSnapshot(3, Noon.addMSecs(750));
    const Snapshot &snap = CurrentSnapshot();
    EXPECT_THAT(snap.readings, testing::ElementsAre(0.0f, 2.0f, 3.0f, 4.0f));
    EXPECT_EQ(snap.startTime, Noon); // 3 readings round to 0 s; milliseconds dropped
    EXPECT_EQ(snap.startMicros, 0);
}

TEST_F(SnapshotTest, StartTimeGoesBackByTheRecordedSeconds)
{
    for (int i = 0; i < 4800 * 3 + 2500; ++i)
        BufferPut(0.5f);
    TakeSnapshot(BufferCount(), Noon);
    EXPECT_EQ(CurrentSnapshot().startTime, Noon.addSecs(-4)); // 3.52 s rounds to 4
    EXPECT_EQ(CurrentSnapshot().upperBound(), 4800 * 3 + 2500);
}

TEST_F(SnapshotTest, EmptyRingGivesAnEmptySnapshot)
{
    TakeSnapshot(0, Noon);
    EXPECT_EQ(CurrentSnapshot().upperBound(), 0);
}

TEST_F(SnapshotTest, CountBeyondTheRecordingIsRefusedAndKeepsTheSnapshot)
{
    putValues({1.0f, 2.0f});
    TakeSnapshot(2, Noon);
    EXPECT_THROW(TakeSnapshot(3, Noon), platform::vb::VbError);
    EXPECT_THROW(TakeSnapshot(-1, Noon), platform::vb::VbError);
    EXPECT_THAT(CurrentSnapshot().readings, testing::ElementsAre(0.0f, 1.0f, 2.0f));
}

struct CropCase
{
    const char *name;
    int32_t readings, micros, first, last;
    int32_t upper;   // upper bound afterwards
    float firstKept; // position 1 afterwards (when upper > 0)
    qint64 addedSeconds;
    int32_t microsAfter;
};

using testsupport::PrintTo;

class CropTest : public SnapshotTest, public testing::WithParamInterface<CropCase>
{};

TEST_P(CropTest, KeepsTheRangeAndMovesTheStart)
{
    const CropCase &c = GetParam();
    setSnapshot(c.readings, c.micros);
    CropSnapshot(c.first, c.last);
    const Snapshot &snap = CurrentSnapshot();
    EXPECT_EQ(snap.upperBound(), c.upper);
    if (c.upper > 0) {
        EXPECT_EQ(snap.readings[1], c.firstKept);
    }
    EXPECT_EQ(snap.startTime, Noon.addSecs(c.addedSeconds));
    EXPECT_EQ(snap.startMicros, c.microsAfter);
}

INSTANTIATE_TEST_SUITE_P(
    Crops, CropTest,
    testing::Values(CropCase{"OneSecond", 20000, 0, 4800, 9600, 4800, 4801.0f, 1, 0},
                    CropCase{"OneReading", 100, 0, 1, 50, 49, 2.0f, 0, 208},
                    CropCase{"MicrosCarryIntoSeconds", 100, 999'900, 1, 50, 49, 2.0f, 1, 108},
                    CropCase{"NegativeFirstIsZero", 100, 5, -20, 10, 10, 1.0f, 0, 5},
                    CropCase{"LastClampedToTheEnd", 100, 0, 90, 500, 10, 91.0f, 0, 18750},
                    CropCase{"EmptyRangeLeavesNoData", 100, 0, 10, 10, 0, 0.0f, 0, 2083},
                    CropCase{"FirstBeyondTheData", 100, 0, 200, 300, 0, 0.0f, 0, 41667}),
    [](const testing::TestParamInfo<CropCase> &info) { return std::string(info.param.name); });

} // namespace
} // namespace app::analysis
