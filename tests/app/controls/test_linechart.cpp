#include "app/controls/linechart.h"

#include <limits>

#include <gtest/gtest.h>

#include "app/controls/picturebox.h"
#include "platform/vb/vberror.h"

namespace app::controls {
namespace {

constexpr platform::win::OleColour Line = 0x00FFFF; // yellow
constexpr platform::win::OleColour Grid = 0x008200;
const QColor LineColour(255, 255, 0);
const QColor GridColour(0, 130, 0);

class LineChartTest : public testing::Test
{
protected:
    void SetUp() override { picture.resize(100, 50); }

    void init(bool grid, bool moving = false)
    {
        chart.InitDiagram(picture, Line, grid, std::nullopt, std::nullopt, moving);
    }

    QColor at(int x, int y) const { return picture.image().pixelColor(x, y); }

    PictureBox picture;
    LineChart chart;
};

TEST_F(LineChartTest, RowsFromMaxAtTheTopToZeroAtTheBottom)
{
    init(false);
    chart.setMax(10);
    chart.AddPoint(10);
    EXPECT_EQ(chart.sampleRow(99), 0.0f);
    chart.AddPoint(0);
    EXPECT_EQ(chart.sampleRow(98), 0.0f);
    EXPECT_EQ(chart.sampleRow(99), 50.0f);
    EXPECT_EQ(chart.firstValidColumn(), 97);

    LineChart unset;
    unset.InitDiagram(picture, Line, false);
    unset.AddPoint(0.5f);
    EXPECT_EQ(unset.Max(), 1.0f);
    EXPECT_EQ(unset.sampleRow(99), 25.0f);
}

TEST_F(LineChartTest, TheTraceGrowsFromTheRightEdge)
{
    init(false);
    chart.setMax(10);
    chart.RePaint();
    EXPECT_EQ(at(99, 25), QColor(Qt::black));
    for (int i = 0; i < 5; ++i)
        chart.AddPoint(5);
    chart.RePaint();
    EXPECT_EQ(at(99, 25), LineColour);
    EXPECT_EQ(at(96, 25), LineColour);
    EXPECT_EQ(at(94, 25), QColor(Qt::black));
}

TEST_F(LineChartTest, DotsMode)
{
    init(false);
    chart.setMax(10);
    chart.setDiagramType(1);
    for (float v : {5.0f, 0.0f, 10.0f, 2.0f})
        chart.AddPoint(v);
    chart.RePaint();
    EXPECT_EQ(at(98, 0), LineColour);  // 10
    EXPECT_EQ(at(99, 40), LineColour); // 2
    EXPECT_EQ(at(98, 40), QColor(Qt::black));
    EXPECT_EQ(at(98, 20), QColor(Qt::black)); // no line joins the dots

    chart.setDiagramType(7);
    chart.RePaint();
    EXPECT_EQ(at(98, 0), QColor(Qt::black));
}

TEST_F(LineChartTest, AMovingGridShiftsWithTheSamplesAndReturns)
{
    init(true, true);
    chart.setVertSplits(1);
    chart.setHorzSplits(0);
    chart.RePaint();
    EXPECT_EQ(at(49, 10), GridColour);
    chart.AddPoint(0);
    chart.RePaint();
    EXPECT_EQ(at(48, 10), GridColour);
    EXPECT_EQ(at(49, 10), QColor(Qt::black));
    for (int i = 1; i < 99; ++i)
        chart.AddPoint(0);
    EXPECT_EQ(chart.gridOffset(), -99);
    chart.RePaint();
    EXPECT_EQ(chart.gridOffset(), 0);
    chart.RePaint();
    EXPECT_EQ(at(49, 10), GridColour);
}

TEST_F(LineChartTest, WildSamplesAndGridsStillDrawTheRest)
{
    init(true);
    chart.setMax(10);
    for (float v :
         {5.0f, 1e30f, -1e30f, 5.0f, std::numeric_limits<float>::quiet_NaN(), 5.0f, 5.0f, 5.0f})
        chart.AddPoint(v);
    EXPECT_NO_THROW(chart.RePaint());
    EXPECT_EQ(at(98, 25), LineColour);        // right of everything wild
    EXPECT_EQ(at(96, 25), QColor(Qt::black)); // the gap round the NaN

    // Grid steps of zero, tiny and negative end, one line a column at most.
    struct Case
    {
        int width, height, splits;
    };
    for (const Case &c :
         {Case{101, 20, 999'999}, Case{101, 20, 999'998}, Case{1, 1, 3}, Case{100, 50, -1}}) {
        PictureBox box;
        box.resize(c.width, c.height);
        LineChart grid;
        grid.InitDiagram(box, Line, true);
        grid.setVertSplits(c.splits);
        grid.setHorzSplits(c.splits);
        grid.AddPoint(0.5f);
        EXPECT_NO_THROW(grid.RePaint()) << c.width << " " << c.splits;
    }
}

TEST_F(LineChartTest, APictureWithoutWidthIsRefused)
{
    PictureBox empty;
    empty.resize(0, 20);
    try {
        chart.InitDiagram(empty, Line, true);
        ADD_FAILURE() << "no error";
    } catch (const platform::vb::VbError &error) {
        EXPECT_EQ(error.number(), 9);
    }
    EXPECT_FALSE(chart.isInitialised());
    chart.AddPoint(1);
    chart.RePaint();
}

} // namespace
} // namespace app::controls
