// Painting the chart with 2,047, 4,800, 10,000 and 144,000 points into 800 x 400 pixels, and
// the 144,000 points again as one full line of every point, in the same run: the reduction to
// the pixel columns keeps a large trace about as cheap as a small one.

#include <algorithm>
#include <chrono>
#include <cmath>
#include <cstdio>
#include <map>
#include <memory>
#include <vector>

#include <QApplication>
#include <QImage>
#include <QPainter>

#include <benchmark/benchmark.h>

#include "app/analysis/chart/ntgraph.h"

namespace {

std::map<std::pair<int, bool>, double> msPerPaint;

struct Case
{
    int points;
    bool reduced;
};
constexpr Case Cases[] = {{2047, true}, {4800, true}, {10000, true}, {144000, true},
                          {144000, false}};

std::unique_ptr<app::analysis::chart::NTGraph> makeGraph(const Case &c)
{
    auto graph = std::make_unique<app::analysis::chart::NTGraph>();
    graph->resize(800, 400);
    graph->setDecimated(c.reduced);
    graph->setElementLineColor(0x00FF00);
    for (int i = 0; i < c.points; ++i)
        graph->PlotY(std::sin(i * 0.01) + 0.1 * std::sin(i * 1.7), 1);
    graph->SetRange(0, c.points, -1.2, 1.2);
    return graph;
}

// Each round paints every case once, so that the machine's other load falls on all of them
// alike; the fastest paint of each case counts.
void paints(benchmark::State &state)
{
    std::vector<std::unique_ptr<app::analysis::chart::NTGraph>> graphs;
    for (const Case &c : Cases) {
        graphs.push_back(makeGraph(c));
        msPerPaint[{c.points, c.reduced}] = 1e9;
    }
    QImage image(800, 400, QImage::Format_ARGB32_Premultiplied);
    for (auto _ : state) {
        for (size_t i = 0; i < graphs.size(); ++i) {
            const auto start = std::chrono::steady_clock::now();
            graphs[i]->render(&image);
            benchmark::DoNotOptimize(image.constBits());
            const std::chrono::duration<double, std::milli> spent =
                std::chrono::steady_clock::now() - start;
            double &fastest = msPerPaint[{Cases[i].points, Cases[i].reduced}];
            fastest = std::min(fastest, spent.count());
        }
    }
}

BENCHMARK(paints)->Unit(benchmark::kMillisecond)->MinTime(3.0);

} // namespace

int main(int argc, char **argv)
{
    if (qgetenv("QT_QPA_PLATFORM").isEmpty())
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    for (int points : {2047, 4800, 10000, 144000})
        std::printf("paint %6d points: %.3f ms\n", points, msPerPaint[{points, true}]);
    const double small = msPerPaint[{2047, true}];
    const double large = msPerPaint[{144000, true}];
    const double plain = msPerPaint[{144000, false}];
    std::printf("10,000 points: %.3f ms (under 2 ms asked) %s\n", msPerPaint[{10000, true}],
                msPerPaint[{10000, true}] < 2.0 ? "ok" : "MISSED");
    std::printf("144,000 / 2,047 points: %.2fx (at most 2x asked) %s\n", large / small,
                large / small <= 2.0 ? "ok" : "MISSED");
    std::printf("144,000 points, every point drawn: %.2f ms, %.1fx slower (at least 10x asked) "
                "%s\n",
                plain, plain / large, plain / large >= 10.0 ? "ok" : "MISSED");
    return 0;
}
