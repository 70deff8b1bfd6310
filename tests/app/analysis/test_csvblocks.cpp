#include "app/analysis/csvblocks.h"

#include <memory>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "app/analysis/csvline.h"

namespace app::analysis {
namespace {

std::string oneByOne(const std::vector<float> &readings, int32_t first, int32_t last)
{
    std::string text;
    char line[MaxReadingChars];
    for (int32_t i = first; i <= last; ++i) {
        const float reading = readings[static_cast<size_t>(i)];
        text.append(line, static_cast<size_t>(FormatReading(reading, line)));
        text += "\r\n";
    }
    return text;
}

// Blocks formatted ahead on helper threads come out whole and in order, across rounds and
// with a short last block.
TEST(CsvBlocksTest, BlocksJoinToTheLinesInOrder)
{
    struct Case
    {
        int32_t readings;
        int32_t blockLines;
    };
    const Case cases[] = {{0, 4}, {1, 4}, {4, 4}, {5, 4}, {1'001, 3}, {20'000, 7}, {99, 100}};
    for (const Case &c : cases) {
        std::vector<float> readings(static_cast<size_t>(c.readings) + 1);
        for (size_t i = 0; i < readings.size(); ++i)
            readings[i] = static_cast<float>(i) * 0.37f - 100.0f;
        CsvBlocks blocks(readings.data(), 1, c.readings, c.blockLines);
        EXPECT_EQ(blocks.count(), (c.readings + c.blockLines - 1) / c.blockLines) << c.readings;
        std::string joined;
        for (int32_t i = 0; i < blocks.count(); ++i)
            joined += blocks.block(i);
        EXPECT_EQ(joined, oneByOne(readings, 1, c.readings))
            << c.readings << " readings in blocks of " << c.blockLines;
    }
}

// A save stopped after its first block (a cancel) leaves no helper running: once the blocks
// are gone the readings may go too (the sanitizer run catches a helper still reading them).
TEST(CsvBlocksTest, StoppingEarlyLeavesNoHelperRunning)
{
    auto readings = std::make_unique<std::vector<float>>(50'001, 1.25f);
    auto blocks = std::make_unique<CsvBlocks>(readings->data(), 1, 50'000, 10);
    std::string first;
    for (int i = 0; i < 10; ++i)
        first += "1.2500000\r\n";
    EXPECT_EQ(blocks->block(0), first);
    blocks.reset();
    readings.reset();
}

} // namespace
} // namespace app::analysis
