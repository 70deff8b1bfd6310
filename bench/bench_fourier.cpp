// The program's transform at the FFT page's 4,096 points (inputs set, transform on the first
// read) against FFTW (an estimated plan made once, complex double, out of place) in the same
// run, and its accuracy for 2^1 to 2^20 points against FFTW in both directions.

#include <algorithm>
#include <chrono>
#include <cmath>
#include <complex>
#include <cstdio>
#include <random>
#include <vector>

#include <benchmark/benchmark.h>
#include <fftw3.h>

#include "app/analysis/clsfourier.h"

namespace {

constexpr int N = 4096;

std::vector<std::complex<double>> randomInput(int n, unsigned seed)
{
    std::mt19937 random(seed);
    std::uniform_real_distribution<double> value(-1.0, 1.0);
    std::vector<std::complex<double>> x(static_cast<size_t>(n));
    for (auto &point : x)
        point = {value(random), value(random)};
    return x;
}

struct Figures
{
    double ours = 0.0;
    double fftw = 0.0;
} figures;

// Batches of 100 transforms of each, taking turns; the fastest batch of each counts. The
// machine's other load only slows batches down, and taking turns exposes both to it alike.
template <typename Body> double batchSeconds(Body &body)
{
    constexpr int Batch = 100;
    const auto start = std::chrono::steady_clock::now();
    for (int i = 0; i < Batch; ++i)
        body();
    return std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count() /
           Batch;
}

void clsFourierAgainstFFTW(benchmark::State &state)
{
    const auto input = randomInput(N, 1);
    app::analysis::clsFourier fourier;
    double sink = 0.0;
    auto ours = [&] {
        fourier.setNumberOfSamples(N);
        for (int i = 0; i < N; ++i) {
            fourier.setRealIn(i + 1, input[static_cast<size_t>(i)].real());
            fourier.setImagIn(i + 1, input[static_cast<size_t>(i)].imag());
        }
        sink += fourier.ComplexOut(2);
    };

    auto *in = fftw_alloc_complex(N);
    auto *out = fftw_alloc_complex(N);
    fftw_plan plan = fftw_plan_dft_1d(N, in, out, FFTW_BACKWARD, FFTW_ESTIMATE);
    auto reference = [&] {
        for (int i = 0; i < N; ++i) {
            in[i][0] = input[static_cast<size_t>(i)].real();
            in[i][1] = input[static_cast<size_t>(i)].imag();
        }
        fftw_execute(plan);
        sink += std::hypot(out[1][0], out[1][1]);
    };

    figures.ours = figures.fftw = 1e9;
    for (auto _ : state) {
        figures.ours = std::min(figures.ours, batchSeconds(ours));
        figures.fftw = std::min(figures.fftw, batchSeconds(reference));
    }
    benchmark::DoNotOptimize(sink);
    fftw_destroy_plan(plan);
    fftw_free(in);
    fftw_free(out);
}

BENCHMARK(clsFourierAgainstFFTW)->Unit(benchmark::kMillisecond)->MinTime(3.0);

// The largest difference from FFTW in either direction, relative to the largest magnitude.
void accuracy()
{
    double worst = 0.0;
    for (int bits = 1; bits <= 20; ++bits) {
        const int n = 1 << bits;
        const auto input = randomInput(n, static_cast<unsigned>(bits));
        auto *in = fftw_alloc_complex(static_cast<size_t>(n));
        auto *out = fftw_alloc_complex(static_cast<size_t>(n));
        app::analysis::clsFourier fourier;
        fourier.setNumberOfSamples(n);
        for (int i = 0; i < n; ++i) {
            fourier.setRealIn(i + 1, input[static_cast<size_t>(i)].real());
            fourier.setImagIn(i + 1, input[static_cast<size_t>(i)].imag());
        }
        double relative[2] = {0.0, 0.0};
        for (const bool reverse : {false, true}) {
            // Our forward transform has FFTW's backward sign; reverse is FFTW's forward / N.
            fftw_plan plan = fftw_plan_dft_1d(n, in, out, reverse ? FFTW_FORWARD : FFTW_BACKWARD,
                                              FFTW_ESTIMATE);
            for (int i = 0; i < n; ++i) {
                in[i][0] = input[static_cast<size_t>(i)].real();
                in[i][1] = input[static_cast<size_t>(i)].imag();
            }
            fftw_execute(plan);
            fftw_destroy_plan(plan);
            fourier.setTransformReverse(reverse);
            const double scale = reverse ? 1.0 / n : 1.0;
            double largest = 0.0;
            double difference = 0.0;
            for (int i = 0; i < n; ++i) {
                const std::complex<double> want(out[i][0] * scale, out[i][1] * scale);
                const std::complex<double> got(fourier.RealOut(i + 1), fourier.ImagOut(i + 1));
                largest = std::max(largest, std::abs(want));
                difference = std::max(difference, std::abs(got - want));
            }
            relative[reverse ? 1 : 0] = difference / largest;
            worst = std::max(worst, difference / largest);
        }
        std::printf("accuracy 2^%-2d: forward %.2e, reverse %.2e of the largest magnitude\n", bits,
                    relative[0], relative[1]);
        fftw_free(in);
        fftw_free(out);
    }
    std::printf("accuracy: worst %.2e (at most 1e-12 asked) %s\n", worst,
                worst <= 1e-12 ? "ok" : "MISSED");
}

} // namespace

int main(int argc, char **argv)
{
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    const double ratio = figures.ours / figures.fftw;
    std::printf("clsFourier 4096: %.1f us, FFTW %.1f us: %.2fx (at most 2x asked) %s\n",
                figures.ours * 1e6, figures.fftw * 1e6, ratio, ratio <= 2.0 ? "ok" : "MISSED");
    accuracy();
    return 0;
}
