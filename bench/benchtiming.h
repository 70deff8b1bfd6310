#ifndef BENCH_BENCHTIMING_H
#define BENCH_BENCHTIMING_H

#include <chrono>
#include <map>
#include <string>

#include <benchmark/benchmark.h>

namespace bench {

// The mean seconds of an iteration of each timed run, by name, for the ratios a benchmark
// prints once every run is done.
inline std::map<std::string, double> &seconds()
{
    static std::map<std::string, double> times;
    return times;
}

// Runs `work` once an iteration and keeps its mean time under `name`.
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

} // namespace bench

#endif
