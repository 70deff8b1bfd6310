// Stream decoding speed against the link's own limit: 921,600 baud at 10 bits a byte and 6 bytes
// a frame is 15,360 frames a second.

#include <cstdio>
#include <vector>

#include <benchmark/benchmark.h>

#include "driver/streamdecoder.h"
#include "platform/ftd2xx/sim/simstream.h"

namespace {

constexpr double LinkFramesPerSecond = 921600.0 / 10.0 / 6.0;
constexpr size_t FramesPerBuffer = 10000; // 60,000 bytes: one large read

// A buffer of frames as the module sends them, with `junkEvery` frames between single noise bytes
// (0: none).
std::vector<uint8_t> streamBytes(size_t junkEvery)
{
    std::vector<uint8_t> bytes;
    for (size_t i = 0; i < FramesPerBuffer; ++i) {
        if (junkEvery > 0 && i > 0 && i % junkEvery == 0)
            bytes.push_back(0x55);
        const auto frame = platform::ftd2xx::sim::encodeFrame(1 + static_cast<int>(i % 8),
                                                              static_cast<float>(i) * 0.37f);
        bytes.insert(bytes.end(), frame.begin(), frame.end());
    }
    return bytes;
}

double lastRatio = 0.0;

void decode(benchmark::State &state)
{
    const std::vector<uint8_t> bytes = streamBytes(static_cast<size_t>(state.range(0)));
    driver::StreamDecoder decoder;
    std::vector<driver::Reading> out;
    out.reserve(FramesPerBuffer + 100);
    const driver::Scaling scaling{1.25f, 0.5f, true};
    for (auto _ : state) {
        out.clear();
        decoder.reset();
        decoder.decode(bytes, scaling, out);
        benchmark::DoNotOptimize(out.data());
        benchmark::ClobberMemory();
    }
    const double frames = static_cast<double>(FramesPerBuffer) * state.iterations();
    state.counters["frames_per_s"] = benchmark::Counter(frames, benchmark::Counter::kIsRate);
    state.counters["x_link_rate"] =
        benchmark::Counter(frames / LinkFramesPerSecond, benchmark::Counter::kIsRate);
    state.SetBytesProcessed(static_cast<int64_t>(bytes.size()) * state.iterations());
}

BENCHMARK(decode)->Arg(0)->Arg(1000)->ArgName("junk_every");

// Keeps the ratio of the clean stream for the closing line.
class RatioReporter : public benchmark::ConsoleReporter
{
public:
    void ReportRuns(const std::vector<Run> &runs) override
    {
        for (const Run &run : runs) {
            const auto found = run.counters.find("x_link_rate");
            if (found != run.counters.end() && run.benchmark_name() == "decode/junk_every:0")
                lastRatio = found->second.value;
        }
        ConsoleReporter::ReportRuns(runs);
    }
};

} // namespace

int main(int argc, char **argv)
{
    benchmark::Initialize(&argc, argv);
    RatioReporter reporter;
    benchmark::RunSpecifiedBenchmarks(&reporter);
    benchmark::Shutdown();
    std::printf("decode: %.0f x link rate (goal: at least 1000)\n", lastRatio);
    return 0;
}
