#include <memory>
#include <ostream>

#include <QImage>

#include <gmock/gmock.h>

#include "app/controls/progbar.h"

namespace app::controls {
namespace {

constexpr OleColour White = 0xFFFFFF;
constexpr OleColour Dark = 0x404040;

std::unique_ptr<ProgBar> makeBar(int width, int segments)
{
    auto bar = std::make_unique<ProgBar>();
    bar->resize(width, 12);
    bar->setSegments(static_cast<int16_t>(segments));
    bar->setForeColor(White);
    bar->setBackColor(Dark);
    return bar;
}

TEST(ProgBarTest, BlockWidthIsRoundedDownSoAllBlocksFit)
{
    auto bar = makeBar(437, 50);
    EXPECT_EQ(bar->segmentWidth(), 7);
    bar->setValue(100);
    EXPECT_EQ(bar->litCount(), 50);
    const QImage image = bar->grab().toImage();
    const int lastBlockEnd = 49 * (7 + 1) + 7 - 2;
    EXPECT_LT(lastBlockEnd, 437);
    EXPECT_EQ(image.pixelColor(lastBlockEnd, 6), UserControl::colour(White));
    EXPECT_EQ(image.pixelColor(lastBlockEnd + 1, 6), UserControl::colour(Dark));
}

struct CountCase
{
    float min, max;
    int segments;
    float value;
    int lit;
};

void PrintTo(const CountCase &c, std::ostream *os)
{
    *os << c.min << ".." << c.max << " /" << c.segments << " at " << c.value << " -> " << c.lit;
}

class ProgBarCountTest : public testing::TestWithParam<CountCase>
{};

TEST_P(ProgBarCountTest, LitBlocks)
{
    const CountCase &c = GetParam();
    auto bar = makeBar(200, c.segments);
    bar->setMin(c.min);
    bar->setMax(c.max);
    bar->setValue(c.value);
    EXPECT_EQ(bar->litCount(), c.lit);
    bar->grab(); // painting an empty range or no segments must not fail
}

INSTANTIATE_TEST_SUITE_P(Cases, ProgBarCountTest,
                         testing::Values(CountCase{0, 100, 10, 100, 10}, // at Max: all
                                         CountCase{0, 100, 10, 250, 10}, // above Max
                                         CountCase{0, 100, 10, -5, 0},   // below Min
                                         CountCase{0, 100, 10, 45, 4},   // 4.5 to even
                                         CountCase{0, 100, 10, 55, 6},   // 5.5 to even
                                         CountCase{20, 40, 4, 30, 2},    // offset range
                                         CountCase{5, 5, 10, 7, 0},      // empty range
                                         CountCase{0, 100, 0, 50, 0}));  // no segments

TEST(ProgBarTest, FallingValueClearsTheBlocksItLeaves)
{
    auto bar = makeBar(200, 10);
    bar->setValue(90);
    const int x = 7 * (bar->segmentWidth() + 1) + 2;
    EXPECT_EQ(bar->grab().toImage().pixelColor(x, 6), UserControl::colour(White));
    bar->setValue(20);
    EXPECT_EQ(bar->litCount(), 2);
    EXPECT_EQ(bar->grab().toImage().pixelColor(x, 6), UserControl::colour(Dark));
}

} // namespace
} // namespace app::controls
