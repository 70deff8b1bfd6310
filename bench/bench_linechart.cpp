// Line diagram drawing against a reference that draws the same picture the cheapest way Qt
// offers (a clear, one polyline, one set of grid lines), and the share of a second that a
// second of readings costs (4,800 samples added, 50 repaints).

#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <map>
#include <string>
#include <vector>

#include <QApplication>
#include <QImage>
#include <QLineF>
#include <QPainter>
#include <QPolygonF>

#include <benchmark/benchmark.h>

#include "app/controls/linechart.h"
#include "app/controls/picturebox.h"

namespace {

constexpr int Width = 1000;
constexpr int Height = 300;
constexpr int Splits = 10;
constexpr int ReadingsPerSecond = 4800;
constexpr int RepaintsPerSecond = 50;

float sample(int i)
{
    return 50.0f + 40.0f * std::sin(static_cast<float>(i) * 0.05f);
}

void initChart(app::controls::PictureBox &box, app::controls::LineChart &chart)
{
    box.resize(Width, Height);
    chart.setMax(100.0f);
    chart.setHorzSplits(Splits);
    chart.setVertSplits(Splits);
    chart.InitDiagram(box, 0x00FFFF, true);
    for (int i = 0; i < Width; ++i)
        chart.AddPoint(sample(i));
}

void repaint(benchmark::State &state)
{
    app::controls::PictureBox box;
    app::controls::LineChart chart;
    initChart(box, chart);
    for (auto _ : state) {
        chart.RePaint();
        benchmark::DoNotOptimize(box.image().constBits());
    }
}

void reference(benchmark::State &state)
{
    QImage image(Width, Height, QImage::Format_RGB32);
    QPolygonF trace;
    for (int i = 0; i < Width; ++i)
        trace << QPointF(i, Height - sample(i) / 100.0f * Height);
    std::vector<QLineF> grid;
    for (int k = 0; k <= Splits + 1; ++k) {
        const double x = k * (Width - 1.0) / (Splits + 1);
        const double y = k * (Height - 1.0) / (Splits + 1);
        grid.emplace_back(x, 0, x, Height);
        grid.emplace_back(0, y, Width, y);
    }
    for (auto _ : state) {
        image.fill(Qt::black);
        QPainter painter(&image);
        painter.setPen(QColor(0, 130, 0));
        painter.drawLines(grid.data(), static_cast<int>(grid.size()));
        painter.setPen(QColor(255, 255, 0));
        painter.drawPolyline(trace);
        painter.end();
        benchmark::DoNotOptimize(image.constBits());
    }
}

void secondOfReadings(benchmark::State &state)
{
    app::controls::PictureBox box;
    app::controls::LineChart chart;
    initChart(box, chart);
    int n = 0;
    for (auto _ : state) {
        for (int r = 0; r < RepaintsPerSecond; ++r) {
            for (int i = 0; i < ReadingsPerSecond / RepaintsPerSecond; ++i)
                chart.AddPoint(sample(n++));
            chart.RePaint();
        }
        benchmark::DoNotOptimize(box.image().constBits());
    }
}

BENCHMARK(repaint)->Unit(benchmark::kMicrosecond);
BENCHMARK(reference)->Unit(benchmark::kMicrosecond);
BENCHMARK(secondOfReadings)->Unit(benchmark::kMillisecond);

// Keeps each run's time per iteration in seconds.
class TimeReporter : public benchmark::ConsoleReporter
{
public:
    std::map<std::string, double> seconds;
    std::map<std::string, double> cpuSeconds;

    void ReportRuns(const std::vector<Run> &runs) override
    {
        for (const Run &run : runs) {
            const double unit = benchmark::GetTimeUnitMultiplier(run.time_unit);
            seconds[run.benchmark_name()] = run.GetAdjustedRealTime() / unit;
            cpuSeconds[run.benchmark_name()] = run.GetAdjustedCPUTime() / unit;
        }
        ConsoleReporter::ReportRuns(runs);
    }
};

} // namespace

int main(int argc, char **argv)
{
    setenv("QT_QPA_PLATFORM", "offscreen", 0);
    QApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    TimeReporter reporter;
    benchmark::RunSpecifiedBenchmarks(&reporter);
    benchmark::Shutdown();
    const double repaintTime = reporter.seconds["repaint"];
    const double referenceTime = reporter.seconds["reference"];
    const double second = reporter.seconds["secondOfReadings"];
    if (referenceTime > 0.0)
        std::printf("RePaint: %.2f x the reference (goal: at most 2)\n",
                    repaintTime / referenceTime);
    std::printf("one second of readings: %.2f %% of a second, %.2f %% of the processor's (goal: at "
                "most 5)\n",
                second * 100.0, reporter.cpuSeconds["secondOfReadings"] * 100.0);
    return 0;
}
