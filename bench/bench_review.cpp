// The Review page's overview of a 10,000,000-reading snapshot in 1,000 columns against one
// std::minmax_element pass over the same readings, and the snapshot clean-up per reading at
// 10,000,000 against 1,000,000 readings (all out of range but the last).

#include <algorithm>
#include <chrono>
#include <cmath>
#include <cstdio>
#include <map>
#include <memory>
#include <string>

#include <QApplication>

#include <benchmark/benchmark.h>

#include "app/analysis/pages/child_gen_review.h"
#include "app/analysis/pages/overviewstrip.h"
#include "app/analysis/snapshotmodule.h"

namespace {

using app::analysis::CurrentSnapshot;

std::map<std::string, double> &seconds()
{
    static std::map<std::string, double> times;
    return times;
}

template <typename Work>
void timed(benchmark::State &state, const std::string &name, Work &&work)
{
    double total = 0;
    for (auto _ : state) {
        const auto start = std::chrono::steady_clock::now();
        work();
        total += std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    }
    seconds()[name] = total / static_cast<double>(state.iterations());
}

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
    timed(state, "overview", [&] { page.ShowOverview(page.OverView(), true); });
}

void minmaxPass(benchmark::State &state)
{
    fillSine(10'000'000);
    const auto &readings = CurrentSnapshot().readings;
    timed(state, "minmax", [&] {
        const auto result = std::minmax_element(readings.begin() + 1, readings.end());
        benchmark::DoNotOptimize(result);
    });
}

void cleanup(benchmark::State &state)
{
    const auto n = static_cast<int32_t>(state.range(0));
    auto &readings = CurrentSnapshot().readings;
    timed(state, "cleanup " + std::to_string(n), [&] {
        state.PauseTiming();
        readings.assign(static_cast<size_t>(n) + 1, 5e9f);
        readings.back() = 1.0f;
        state.ResumeTiming();
        app::analysis::CleanupSnapshot();
    });
    seconds()["cleanup " + std::to_string(n)] /= n;
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
    auto &t = seconds();
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
