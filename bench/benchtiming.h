#ifndef BENCH_BENCHTIMING_H
#define BENCH_BENCHTIMING_H

#include <chrono>
#include <map>
#include <string>
#include <utility>

#include <benchmark/benchmark.h>

namespace bench {

// The mean seconds of an iteration of each timed run, by name, for the ratios a benchmark
// prints once every run is done.
inline std::map<std::string, double> &seconds()
{
    static std::map<std::string, double> times;
    return times;
}

// Runs `work` once an iteration, after an untimed `prepare`, and keeps its mean time under `name`.
template <typename Prepare, typename Work>
void timedAfter(benchmark::State &state, const std::string &name, Prepare &&prepare, Work &&work)
{
    double total = 0;
    for (auto _ : state) {
        prepare();
        const auto start = std::chrono::steady_clock::now();
        work();
        total += std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    }
    seconds()[name] = total / static_cast<double>(state.iterations());
}

template <typename Work>
void timed(benchmark::State &state, const std::string &name, Work &&work)
{
    timedAfter(state, name, [] {}, std::forward<Work>(work));
}

} // namespace bench

#endif
