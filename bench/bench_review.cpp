// The Review page's overview of a 10,000,000-reading snapshot in 1,000 columns against one
// std::minmax_element pass over the same readings, and the snapshot clean-up per reading at
// 10,000,000 against 1,000,000 readings (all out of range but the last).

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <memory>
#include <string>

#include <QApplication>

#include <benchmark/benchmark.h>

#include "app/analysis/pages/child_gen_review.h"
#include "app/analysis/pages/overviewstrip.h"
#include "app/analysis/snapshotmodule.h"
#include "bench/benchtiming.h"

namespace {

using app::analysis::CurrentSnapshot;

void fillSine(int32_t n)
{
    auto &readings = CurrentSnapshot().readings;
    readings.resize(static_cast<size_t>(n) + 1);
    for (int32_t i = 1; i <= n; ++i)
        readings[static_cast<size_t>(i)] = static_cast<float>(std::sin(i * 0.001));
    CurrentSnapshot().startTime = QDateTime::currentDateTime();
}

void overview(benchmark::State &state)
{
    fillSine(10'000'000);
    app::analysis::pages::CHILD_GEN_REVIEW page;
    page.resize(1016, 460);
    page.OverView()->resize(1000, 48);
    bench::timed(state, "overview", [&] { page.ShowOverview(page.OverView(), true); });
}

void minmaxPass(benchmark::State &state)
{
    fillSine(10'000'000);
    const auto &readings = CurrentSnapshot().readings;
    bench::timed(state, "minmax", [&] {
        const auto result = std::minmax_element(readings.begin() + 1, readings.end());
        benchmark::DoNotOptimize(result);
    });
}

void cleanup(benchmark::State &state)
{
    const auto n = static_cast<int32_t>(state.range(0));
    auto &readings = CurrentSnapshot().readings;
    bench::timed(state, "cleanup " + std::to_string(n), [&] {
        state.PauseTiming();
        readings.assign(static_cast<size_t>(n) + 1, 5e9f);
        readings.back() = 1.0f;
        state.ResumeTiming();
        app::analysis::CleanupSnapshot();
    });
    bench::seconds()["cleanup " + std::to_string(n)] /= n;
}

BENCHMARK(overview)->Unit(benchmark::kMillisecond)->Iterations(5);
BENCHMARK(minmaxPass)->Unit(benchmark::kMillisecond)->Iterations(5);
BENCHMARK(cleanup)->Arg(1'000'000)->Arg(10'000'000)->Unit(benchmark::kMillisecond)->Iterations(3);

} // namespace

int main(int argc, char **argv)
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    auto &t = bench::seconds();
    if (t.size() == 4) {
        std::printf("overview of 10000000 readings in 1000 columns: %.1f ms, %.2fx one "
                    "minmax_element pass (%.1f ms)\n",
                    t["overview"] * 1e3, t["overview"] / t["minmax"], t["minmax"] * 1e3);
        std::printf("clean-up per reading: %.2f ns at 10000000, %.2f ns at 1000000, ratio %.2f\n",
                    t["cleanup 10000000"] * 1e9, t["cleanup 1000000"] * 1e9,
                    t["cleanup 10000000"] / t["cleanup 1000000"]);
    }
    return 0;
}
