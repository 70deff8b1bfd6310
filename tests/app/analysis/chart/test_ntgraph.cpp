#include <algorithm>
#include <cmath>
#include <limits>
#include <memory>
#include <utility>
#include <vector>

#include <QApplication>
#include <QClipboard>
#include <QElapsedTimer>
#include <QFont>
#include <QImage>
#include <QPainter>
#include <QScreen>
#include <QTest>

#include <gmock/gmock.h>

#include "app/analysis/chart/ntgraph.h"
#include "support/paintcounter.h"

namespace app::analysis::chart {
namespace {

using testing::ElementsAre;

constexpr OleColour Black = 0x000000;
constexpr OleColour Red = 0x0000FF;

std::unique_ptr<NTGraph> makeGraph(int width = 800, int height = 400)
{
    auto graph = std::make_unique<NTGraph>();
    graph->resize(width, height);
    graph->setPlotAreaColor(Black);
    graph->setFrameColor(Black);
    return graph;
}

std::vector<double> xsOf(const std::vector<QPointF> &points)
{
    std::vector<double> xs;
    for (const QPointF &point : points)
        xs.push_back(point.x());
    return xs;
}

TEST(NTGraphTest, PlotYCountsXPerElement)
{
    auto graph = makeGraph();
    graph->PlotY(5.0, 1);
    graph->PlotY(6.0, 1);
    graph->PlotY(7.0, 1);
    graph->AddElement();
    EXPECT_EQ(graph->element(), 1);
    graph->PlotY(1.0, 1);
    graph->PlotXY(10.0, 2.0, 0);
    graph->PlotY(3.0, 1);
    EXPECT_THAT(xsOf(graph->points(0)), ElementsAre(0.0, 1.0, 2.0));
    EXPECT_THAT(xsOf(graph->points(1)), ElementsAre(0.0, 10.0, 2.0));
    graph->setElement(7); // unknown: ignored
    EXPECT_EQ(graph->element(), 1);
}

TEST(NTGraphTest, ClearKeepsCursorsLabelsAndLineStyle)
{
    auto graph = makeGraph();
    graph->setElementLineType(LineType::Dotted);
    graph->AddCursor();
    graph->setCursorX(4.0);
    graph->AddAnnotation();
    graph->setAnnoLabelCaption(QStringLiteral("peak"));
    graph->SetRange(1, 2, 3, 4);
    graph->PlotY(1.0, 1);
    graph->AddElement();
    graph->PlotY(2.0, 1);

    graph->ClearGraph();
    EXPECT_EQ(graph->elementCount(), 1);
    EXPECT_EQ(graph->element(), 0);
    EXPECT_TRUE(graph->points(0).empty());
    EXPECT_EQ(graph->lineType(0), LineType::Dotted);
    graph->AddElement();
    EXPECT_EQ(graph->lineType(1), LineType::Dotted);
    EXPECT_EQ(graph->cursorCount(), 1);
    EXPECT_EQ(graph->cursorX(0), 4.0);
    EXPECT_EQ(graph->annotationText(0), QStringLiteral("peak"));
    EXPECT_EQ(graph->xMin(), 1.0);
    EXPECT_EQ(graph->yMax(), 4.0);
}

TEST(NTGraphTest, SelectingPastTheCountAddsCursorsAndLabels)
{
    auto graph = makeGraph();
    graph->setCursor(2);
    EXPECT_EQ(graph->cursorCount(), 3);
    graph->AddAnnotation();
    graph->setAnnotation(3);
    EXPECT_EQ(graph->annotationCount(), 4);
}

struct RangeCase
{
    double xMin, xMax, yMin, yMax;
    double wantXMin, wantXMax, wantYMin, wantYMax;
};

TEST(NTGraphTest, DegenerateRanges)
{
    const double nan = std::numeric_limits<double>::quiet_NaN();
    const double inf = std::numeric_limits<double>::infinity();
    const RangeCase cases[] = {
        {0, 10, 2, -2, 0, 10, -2, 2},     // reversed: turned round
        {5, 5, 0, 0, 4.5, 5.5, -1, 1},    // empty: widened around the value
        {0, 10, nan, 1, 4.5, 5.5, -1, 1}, // not finite: ignored, the last range stays
        {0, inf, 0, 1, 4.5, 5.5, -1, 1},
    };
    auto graph = makeGraph();
    for (const RangeCase &c : cases) {
        graph->SetRange(c.xMin, c.xMax, c.yMin, c.yMax);
        EXPECT_DOUBLE_EQ(graph->xMin(), c.wantXMin) << c.xMin << ".." << c.xMax;
        EXPECT_DOUBLE_EQ(graph->xMax(), c.wantXMax) << c.xMin << ".." << c.xMax;
        EXPECT_DOUBLE_EQ(graph->yMin(), c.wantYMin) << c.yMin << ".." << c.yMax;
        EXPECT_DOUBLE_EQ(graph->yMax(), c.wantYMax) << c.yMin << ".." << c.yMax;
        graph->grab(); // paints without failing
    }
}

// A chart painted before each change pictures what a chart given the changed state at once
// pictures: nothing kept from an earlier paint stays in the picture.
TEST(NTGraphTest, KeptBackgroundFollowsEveryChange)
{
    struct Change
    {
        const char *name;
        void (*apply)(NTGraph &graph);
    };
    const Change changes[] = {
        {"x range", [](NTGraph &g) { g.SetRange(0, 50, -1, 1); }},
        {"y range, same numbers", [](NTGraph &g) { g.SetRange(0, 50, -1.000001, 1.000001); }},
        {"y range, wider numbers", [](NTGraph &g) { g.SetRange(0, 5, -12345.5, 99999.25); }},
        {"y range, narrow numbers again", [](NTGraph &g) { g.SetRange(0, 5, -1, 1); }},
        {"plot colour", [](NTGraph &g) { g.setPlotAreaColor(0xF0F0F0); }},
        {"frame colour", [](NTGraph &g) { g.setFrameColor(0x8000C0); }},
        {"size", [](NTGraph &g) { g.resize(333, 177); }},
        {"font",
         [](NTGraph &g) {
             QFont larger = g.font();
             larger.setPointSizeF(larger.pointSizeF() * 2);
             g.setFont(larger);
         }},
    };
    const auto base = [](NTGraph &g) {
        g.SetRange(0, 5, -1, 1);
        g.setElementLineColor(0x00FF00);
        for (double y : {0.0, 0.5, -0.5, 0.9, -0.9, 0.2})
            g.PlotY(y, 1);
    };
    auto painted = makeGraph(300, 200);
    base(*painted);
    for (const Change &change : changes) {
        painted->grab();
        change.apply(*painted);
        auto fresh = makeGraph(300, 200);
        base(*fresh);
        for (const Change &earlier : changes) {
            earlier.apply(*fresh);
            if (&earlier == &change)
                break;
        }
        ASSERT_EQ(painted->size(), fresh->size()) << change.name;
        EXPECT_TRUE(painted->grab().toImage() == fresh->grab().toImage()) << change.name;
    }
}

// The axis numbers stand out from the frame they are written on, dark or light, also when
// they come from the kept picture.
TEST(NTGraphTest, AxisNumbersAreWrittenInTheFramesTextColour)
{
    for (const OleColour frame : {OleColour{0x202020}, OleColour{0xE0E0E0}}) {
        auto graph = makeGraph(400, 240);
        graph->setFrameColor(frame);
        graph->SetRange(0, 100, -5, 5);
        graph->grab();
        graph->SetRange(0, 200, -50, 50);
        const QImage image = graph->grab().toImage();
        const QRect plot = graph->plotRect();
        const double frameLightness = QColor(image.pixel(1, 1)).lightnessF();
        int marks = 0;
        for (int y = 0; y < image.height(); ++y)
            for (int x = 0; x < plot.left() - 2; ++x)
                marks += std::abs(QColor(image.pixel(x, y)).lightnessF() - frameLightness) > 0.4;
        EXPECT_GT(marks, 20) << "frame " << std::hex << frame;
    }
}

// A small chart shown on the screen, its paints counted from when its first ones are done.
std::unique_ptr<NTGraph> shownGraph(testsupport::PaintCounter &counter)
{
    auto graph = makeGraph(300, 200);
    graph->installEventFilter(&counter);
    graph->show();
    EXPECT_TRUE(QTest::qWaitForWindowExposed(graph.get()));
    EXPECT_TRUE(QTest::qWaitFor([&] { return counter.paints > 0; }));
    QTest::qWait(100);
    counter.paints = 0;
    return graph;
}

// A burst of changes paints once, and a change made within a frame of the last paint is still
// painted when the frame ends.
TEST(NTGraphTest, RepaintsCoalesceAndTheLastChangeIsPainted)
{
    testsupport::PaintCounter counter;
    auto graph = shownGraph(counter);
    for (int i = 0; i < 2000; ++i)
        graph->PlotXY(i, i % 10, 0);
    graph->SetRange(0, 2000, 0, 10);
    ASSERT_TRUE(QTest::qWaitFor([&] { return counter.paints > 0; }));
    EXPECT_EQ(counter.paints, 1);

    // Straight after that paint: the change waits for the frame's end, and is not lost, not
    // even to a grab() made meanwhile, which pictures it at once.
    graph->setPlotAreaColor(Red);
    QApplication::processEvents();
    EXPECT_EQ(counter.paints, 1);
    const QImage grabbed = graph->grab().toImage().convertToFormat(QImage::Format_RGB32);
    int red = 0;
    for (int y = 0; y < grabbed.height(); ++y)
        for (int x = 0; x < grabbed.width(); ++x)
            red += grabbed.pixel(x, y) == qRgb(255, 0, 0) ? 1 : 0;
    EXPECT_GT(red, 1000);
    counter.paints = 0;
    ASSERT_TRUE(QTest::qWaitFor([&] { return counter.paints > 0; }));
    QTest::qWait(100);
    EXPECT_EQ(counter.paints, 1);
}

// A page that ticks faster than the screen shows paints at most once a frame, on its own ticks,
// and the screen ends on the last tick's state.
TEST(NTGraphTest, ATickFasterThanTheScreenPaintsAtMostOnceAFrameAndLastAsItEnds)
{
    testsupport::PaintCounter counter;
    auto graph = shownGraph(counter);
    const double rate = graph->screen()->refreshRate() >= 1.0 ? graph->screen()->refreshRate() : 60;

    constexpr int Ticks = 40;
    constexpr int TickMs = 5;
    QElapsedTimer clock;
    clock.start();
    for (int tick = 0; tick < Ticks; ++tick) {
        graph->SetRange(0, 10, 0, 10 + tick);
        QTest::qWait(TickMs);
    }
    const double spentS = clock.elapsed() / 1000.0;
    EXPECT_GE(counter.paints, 2);
    EXPECT_LE(counter.paints, static_cast<int>(spentS * rate) + 1);

    // The last state is on the screen once the frames after it end, and nothing more paints.
    QTest::qWait(200);
    const QImage shown = graph->screen()->grabWindow(graph->winId()).toImage().convertToFormat(
        QImage::Format_RGB32);
    const QImage wanted = graph->grab().toImage().convertToFormat(QImage::Format_RGB32);
    EXPECT_TRUE(shown == wanted);
    const int settled = counter.paints; // the grab's paint included
    QTest::qWait(100);
    EXPECT_EQ(counter.paints, settled);
}

// The topmost and bottommost row of each column that holds a non-black pixel inside the plot.
std::vector<std::pair<int, int>> columnExtents(const QImage &image, const QRect &plot)
{
    std::vector<std::pair<int, int>> extents;
    for (int x = plot.left() + 1; x < plot.right(); ++x) {
        int top = -1;
        int bottom = -1;
        for (int y = plot.top() + 1; y < plot.bottom(); ++y) {
            if ((image.pixel(x, y) & 0x00FF00) == 0x00FF00) {
                if (top < 0)
                    top = y;
                bottom = y;
            }
        }
        extents.emplace_back(top, bottom);
    }
    return extents;
}

TEST(NTGraphTest, ReducedLineCoversTheSameColumnsAsTheFullLine)
{
    constexpr int Points = 144'000;
    auto graph = makeGraph();
    graph->setElementLineColor(0x00FF00);
    for (int i = 0; i < Points; ++i) {
        // A slow sine with fast ripple and some spikes: every column spans a different extent.
        const double ripple = (i % 7) * 0.02 + ((i % 997) == 0 ? 0.5 : 0.0);
        graph->PlotY(std::sin(i * 2e-4) + ripple, 1);
    }
    graph->SetRange(0, Points, -1.5, 2.0);
    const QImage reduced = graph->grab().toImage();
    graph->setDecimated(false);
    const QImage full = graph->grab().toImage();

    const auto want = columnExtents(full, graph->plotRect());
    const auto got = columnExtents(reduced, graph->plotRect());
    ASSERT_EQ(got.size(), want.size());
    for (size_t i = 0; i < want.size(); ++i)
        ASSERT_EQ(got[i], want[i]) << "column " << i;
}

struct TraceCase
{
    const char *name;
    int points;
    double (*y)(int i);
    int width; // tenths of a pixel
};

// What the painter would draw, pictured the way the chart paints on screen (through a pixmap)
// and the way it is rendered into an image.
void expectPainterPicture(NTGraph &graph, const char *name)
{
    QImage rendered(graph.size(), QImage::Format_ARGB32_Premultiplied);
    graph.render(&rendered);
    const QImage grabbed = graph.grab().toImage();
    graph.setPainterLines(true);
    QImage wantRendered(graph.size(), QImage::Format_ARGB32_Premultiplied);
    graph.render(&wantRendered);
    const QImage wantGrabbed = graph.grab().toImage();
    graph.setPainterLines(false);
    EXPECT_TRUE(rendered == wantRendered) << name << ": rendered";
    EXPECT_TRUE(grabbed == wantGrabbed) << name << ": grabbed";
}

TEST(NTGraphTest, LinesWrittenStraightIntoPixelsLookAsThePainterDrawsThem)
{
    const TraceCase cases[] = {
        {"144,000 points of ripple", 144'000,
         [](int i) { return std::sin(i * 2e-4) + (i % 7) * 0.02 + ((i % 997) == 0 ? 0.5 : 0.0); },
         10},
        {"2,047 points of sine", 2047, [](int i) { return std::sin(i * 0.01); }, 10},
        {"40 points, not reduced", 40, [](int i) { return std::sin(i * 0.5); }, 10},
        {"past the range, clipped", 5000, [](int i) { return 3.0 * std::sin(i * 0.003); }, 10},
        {"zero-width pen", 5000, [](int i) { return std::sin(i * 0.05); }, 0},
        {"one point", 1, [](int) { return 0.25; }, 10},
    };
    for (const TraceCase &c : cases) {
        auto graph = makeGraph();
        graph->setElementLineColor(0x00FF00);
        graph->setElementWidth(c.width);
        for (int i = 0; i < c.points; ++i)
            graph->PlotY(c.y(i), 1);
        graph->SetRange(0, std::max(c.points, 2), -1.2, 1.2);
        expectPainterPicture(*graph, c.name);
    }
}

TEST(NTGraphTest, LaterElementsStayOnTopOfEarlierOnes)
{
    // Points out of order and not finite take the point-by-point reduction.
    auto graph = makeGraph();
    const double nan = std::numeric_limits<double>::quiet_NaN();
    graph->setElementLineColor(0x00FF00);
    for (int i = 0; i < 6000; ++i)
        graph->PlotXY((i * 7919) % 6000, i % 50 == 0 ? nan : std::sin(i * 0.01), 0);
    graph->AddElement();
    graph->setElementLineColor(Red);
    graph->setElementLineType(LineType::Dotted); // the painter's
    for (int i = 0; i < 3000; ++i)
        graph->PlotY(std::cos(i * 0.004), 1);
    graph->AddElement();
    graph->setElementLineType(LineType::Solid);
    graph->setElementLineColor(0xFFFFFF);
    for (int i = 0; i < 3000; ++i)
        graph->PlotY(std::cos(i * 0.004) * 0.5, 1);
    graph->SetRange(0, 6000, -1.2, 1.2);
    expectPainterPicture(*graph, "three elements");
}

TEST(NTGraphTest, NonFinitePointsAreSkippedAndWildOnesClipped)
{
    auto graph = makeGraph(200, 120);
    graph->setElementLineColor(0x00FF00);
    const double nan = std::numeric_limits<double>::quiet_NaN();
    for (double y : {0.0, nan, 1e300, -1e300, std::numeric_limits<double>::infinity(), 0.0})
        graph->PlotY(y, 1);
    graph->SetRange(0, 5, -1, 1);
    const QImage image = graph->grab().toImage();
    // Nothing is drawn outside the plot.
    const QRect plot = graph->plotRect();
    int outside = 0;
    for (int y = 0; y < image.height(); ++y) {
        for (int x = 0; x < image.width(); ++x) {
            if (!plot.contains(x, y) && (image.pixel(x, y) & 0x00FFFFFF) == 0x00FF00u)
                ++outside;
        }
    }
    EXPECT_EQ(outside, 0);
}

TEST(NTGraphTest, LabelShownOnlyForTheCopyIsInTheClipboardPicture)
{
    auto graph = makeGraph(300, 200);
    graph->show();
    graph->SetRange(0.0, 10.0, 0.0, 10.0);
    graph->setAnnotation(0);
    graph->setAnnoLabelColor(Red);
    graph->setAnnoLabelCaption(QStringLiteral("50 ms/div"));
    graph->setAnnoLabelX(0.0);
    graph->setAnnoLabelY(5.0);
    graph->setAnnoVisible(true);
    graph->CopyWindowToClipboard();
    graph->setAnnoVisible(false);

    const QImage copied = QApplication::clipboard()->image();
    ASSERT_FALSE(copied.isNull());
    bool red = false;
    for (int y = 0; y < copied.height() && !red; ++y)
        for (int x = 0; x < copied.width() && !red; ++x)
            red = QColor(copied.pixel(x, y)) == QColor(Qt::red);
    EXPECT_TRUE(red);
}

TEST(NTGraphTest, ALabelNearTheRightEdgeEndsAtThePlot)
{
    auto graph = makeGraph(600, 200);
    graph->SetRange(0.0, 10.0, 0.0, 10.0);
    graph->setAnnotation(0);
    graph->setAnnoLabelColor(Red);
    graph->setAnnoLabelX(8.0);
    graph->setAnnoLabelY(5.0);
    graph->setAnnoVisible(true);
    // Painted short first: the long text is measured as it is, not as it was.
    graph->setAnnoLabelCaption(QStringLiteral("1 Hz"));
    graph->grab();
    graph->setAnnoLabelCaption(QStringLiteral("10 Dec 2026 16:00:22:625417\u00B5s = 61.52900"));
    const QImage image = graph->grab().toImage();
    const QRect plot = graph->plotRect();
    int inside = 0;
    int outside = 0;
    for (int y = 0; y < image.height(); ++y) {
        for (int x = 0; x < image.width(); ++x) {
            const QColor pixel(image.pixel(x, y));
            if (pixel.red() < 100 || pixel.green() > 60 || pixel.blue() > 60)
                continue; // not the label's red
            (x <= plot.right() && x >= plot.left() ? inside : outside) += 1;
        }
    }
    EXPECT_GT(inside, 0);
    EXPECT_EQ(outside, 0);
}

// The box of the pixels in the label's red, empty when there are none.
QRect redBox(const QImage &image)
{
    QRect box;
    for (int y = 0; y < image.height(); ++y) {
        for (int x = 0; x < image.width(); ++x) {
            const QColor pixel(image.pixel(x, y));
            if (pixel.red() >= 100 && pixel.green() <= 60 && pixel.blue() <= 60)
                box |= QRect(x, y, 1, 1);
        }
    }
    return box;
}

const QString LongLabel = QStringLiteral("10 Dec 2026 16:00:22:625417\u00B5s = 61.52900");

TEST(NTGraphTest, ALabelStaysClearOfThePlotsFrameWhereverItsPointLies)
{
    struct Case
    {
        const char *name;
        double x;
        QString text;
    };
    const Case cases[] = {
        {"point left of the range", -1.5, QStringLiteral("13Hz")},
        {"point far left of the range", -40.0, LongLabel},
        {"long text from the middle", 6.6, LongLabel},
        {"point right of the range", 12.0, QStringLiteral("13Hz")},
        {"point in the range", 5.0, QStringLiteral("13Hz")},
    };
    for (const Case &c : cases) {
        auto graph = makeGraph(600, 200);
        graph->SetRange(0.0, 10.0, 0.0, 10.0);
        graph->setAnnotation(0);
        graph->setAnnoLabelColor(Red);
        graph->setAnnoLabelX(c.x);
        graph->setAnnoLabelY(5.0);
        graph->setAnnoLabelCaption(c.text);
        graph->setAnnoVisible(true);
        const QRect box = redBox(graph->grab().toImage());
        const QRect plot = graph->plotRect();
        ASSERT_FALSE(box.isEmpty()) << c.name;
        // The frame is drawn on the plot's first and last columns; a column stays clear of it.
        EXPECT_GE(box.left(), plot.left() + 2) << c.name;
        EXPECT_LE(box.right(), plot.right() - 3) << c.name;
    }
}

TEST(NTGraphTest, ACursorLinePassesBehindALabelNotThroughItsText)
{
    constexpr OleColour Green = 0x00FF00;
    auto graph = makeGraph(600, 200);
    graph->SetRange(0.0, 10.0, 0.0, 10.0);
    graph->AddCursor();
    graph->setCursorColor(Green);
    graph->setCursorX(2.0);
    graph->setAnnotation(0);
    graph->setAnnoLabelColor(Red);
    graph->setAnnoLabelX(0.4);
    graph->setAnnoLabelY(5.0);
    graph->setAnnoLabelCaption(LongLabel);
    graph->setAnnoVisible(true);
    const QImage image = graph->grab().toImage();
    const QRect text = redBox(image);
    ASSERT_FALSE(text.isEmpty());

    int column = -1; // the cursor's, wherever its line shows
    for (int x = 0; x < image.width() && column < 0; ++x)
        if (QColor(image.pixel(x, graph->plotRect().top() + 2)) == QColor(Qt::green))
            column = x;
    ASSERT_GT(column, text.left());
    ASSERT_LT(column, text.right()); // the line's column runs through the label's
    int above = 0;
    int within = 0;
    int below = 0;
    for (int y = graph->plotRect().top(); y <= graph->plotRect().bottom(); ++y) {
        if (QColor(image.pixel(column, y)) != QColor(Qt::green))
            continue;
        (y < text.top() - 1 ? above : y > text.bottom() + 1 ? below : within) += 1;
    }
    EXPECT_GT(above, 0);
    EXPECT_GT(below, 0);
    EXPECT_EQ(within, 0);
}

TEST(NTGraphTest, LeftReleaseInThePlotRaisesClickThenMouse)
{
    auto graph = makeGraph(400, 200);
    graph->show();
    graph->SetRange(0.0, 100.0, 0.0, 1.0);
    graph->AddCursor();
    graph->setCursorMode(CursorMode::FollowsClick);
    // What the handlers heard, in order: a click's x, or a button as -(button).
    std::vector<double> events;
    graph->setClickHandler([&](double x) { events.push_back(x); });
    graph->setMouseHandler([&](int button) { events.push_back(-button); });

    const QRect plot = graph->plotRect();
    const QPoint middle(plot.left() + plot.width() / 2, plot.center().y());
    QTest::mouseClick(graph.get(), Qt::LeftButton, {}, middle);
    ASSERT_EQ(events.size(), 2u);
    const double x = events.at(0);
    EXPECT_NEAR(x, 50.0, 0.5);
    EXPECT_EQ(events.at(1), -double(Qt::LeftButton));
    EXPECT_EQ(graph->cursorX(0), x); // mode 2 moved the cursor before the event

    events.clear();
    QTest::mouseClick(graph.get(), Qt::RightButton, {}, middle);
    EXPECT_THAT(events, ElementsAre(-double(Qt::RightButton)));

    events.clear();
    graph->setCursorMode(CursorMode::Fixed);
    QTest::mouseClick(graph.get(), Qt::LeftButton, {}, QPoint(plot.left() + 10, middle.y()));
    EXPECT_EQ(events.size(), 2u);
    EXPECT_EQ(graph->cursorX(0), x);                                  // no longer follows the click
    QTest::mouseClick(graph.get(), Qt::LeftButton, {}, QPoint(2, 2)); // outside the plot
    EXPECT_EQ(events.size(), 3u);
}

} // namespace
} // namespace app::analysis::chart
