#include <algorithm>
#include <cmath>
#include <complex>
#include <functional>
#include <random>
#include <vector>

#include <gmock/gmock.h>

#include "app/analysis/clsfourier.h"
#include "platform/vb/vberror.h"

namespace app::analysis {
namespace {

int errorOf(const std::function<void()> &call)
{
    try {
        call();
    } catch (const platform::vb::VbError &error) {
        return error.number();
    }
    return 0;
}

TEST(clsFourierTest, SizeMustBeAPowerOfTwoOfAtLeastTwo)
{
    clsFourier fourier;
    for (int32_t n : {0, 1, 3, 4095, -4096})
        EXPECT_EQ(errorOf([&] { fourier.setNumberOfSamples(n); }), 380) << n;
    for (int32_t n : {2, 4096})
        EXPECT_EQ(errorOf([&] { fourier.setNumberOfSamples(n); }), 0) << n;
}

TEST(clsFourierTest, IndexesRunFromOneToN)
{
    clsFourier fourier;
    EXPECT_EQ(errorOf([&] { fourier.setRealIn(1, 1.0); }), 381); // no size yet
    EXPECT_EQ(errorOf([&] { fourier.RealOut(1); }), 381);
    EXPECT_EQ(errorOf([&] { fourier.ComplexOut(1); }), 381);
    fourier.setNumberOfSamples(8);
    EXPECT_EQ(errorOf([&] { fourier.setRealIn(0, 1.0); }), 381);
    EXPECT_EQ(errorOf([&] { fourier.setImagIn(9, 1.0); }), 381);
    EXPECT_EQ(errorOf([&] { fourier.ImagOut(9); }), 381);
    EXPECT_EQ(errorOf([&] { fourier.setRealIn(8, 1.0); }), 0);
}

TEST(clsFourierTest, ConstantInputBothWays)
{
    clsFourier fourier;
    fourier.setNumberOfSamples(8);
    for (int i = 1; i <= 8; ++i)
        fourier.setRealIn(i, 1.0);
    EXPECT_NEAR(fourier.ComplexOut(1), 8.0, 1e-12);
    for (int i = 2; i <= 8; ++i)
        EXPECT_LT(fourier.ComplexOut(i), 1e-12) << i;
    fourier.setTransformReverse(true); // a changed direction transforms again
    EXPECT_NEAR(fourier.RealOut(1), 1.0, 1e-12);
    EXPECT_NEAR(fourier.RealOut(2), 0.0, 1e-12);
}

TEST(clsFourierTest, SignOfTheExponentPerDirection)
{
    clsFourier fourier;
    fourier.setNumberOfSamples(8);
    fourier.setRealIn(2, 1.0);
    EXPECT_NEAR(fourier.ImagOut(3), 1.0, 1e-12);
    fourier.setTransformReverse(true);
    EXPECT_NEAR(fourier.ImagOut(3), -0.125, 1e-12);
}

// The plain sum X[m] = sum x[n] e^(sign 2 pi i m n / N), in long double; the reverse adds 1 / N.
std::vector<std::complex<long double>> plainDft(const std::vector<std::complex<double>> &x,
                                                bool reverse)
{
    const size_t n = x.size();
    const long double turn = (reverse ? -8.0L : 8.0L) * std::atan(1.0L) / n;
    std::vector<std::complex<long double>> root(n);
    for (size_t j = 0; j < n; ++j)
        root[j] = std::polar(1.0L, turn * j);
    std::vector<std::complex<long double>> sum(n);
    for (size_t m = 0; m < n; ++m) {
        for (size_t k = 0; k < n; ++k)
            sum[m] += std::complex<long double>(x[k]) * root[m * k % n];
        if (reverse)
            sum[m] /= static_cast<long double>(n);
    }
    return sum;
}

// Every size kind the transform treats apart: 2, 4 and 8 points, odd and even powers of two,
// short and long columns. One object serves all, sizes going up and down and both directions
// twice, so that the tables it keeps per size and direction are reused too.
TEST(clsFourierTest, MatchesAPlainDft)
{
    std::mt19937 random(7);
    std::uniform_real_distribution<double> value(-1.0, 1.0);
    clsFourier fourier;
    for (int32_t n : {64, 2, 1024, 4, 8, 512, 16, 32, 8, 128}) {
        std::vector<std::complex<double>> x(static_cast<size_t>(n));
        fourier.setNumberOfSamples(n);
        for (int32_t i = 0; i < n; ++i) {
            x[static_cast<size_t>(i)] = {value(random), value(random)};
            fourier.setRealIn(i + 1, x[static_cast<size_t>(i)].real());
            fourier.setImagIn(i + 1, x[static_cast<size_t>(i)].imag());
        }
        const std::vector<std::complex<long double>> wants[2] = {plainDft(x, false),
                                                                 plainDft(x, true)};
        for (bool reverse : {false, true, false, true}) {
            fourier.setTransformReverse(reverse);
            const auto &want = wants[reverse ? 1 : 0];
            long double largest = 0.0L;
            long double difference = 0.0L;
            for (int32_t m = 0; m < n; ++m) {
                const std::complex<long double> got(fourier.RealOut(m + 1), fourier.ImagOut(m + 1));
                largest = std::max(largest, std::abs(want[static_cast<size_t>(m)]));
                difference = std::max(difference, std::abs(got - want[static_cast<size_t>(m)]));
            }
            EXPECT_LE(difference, 1e-12L * largest) << n << " points, reverse " << reverse;
        }
    }
}

TEST(clsFourierTest, TransformsOncePerChange)
{
    clsFourier fourier;
    fourier.setNumberOfSamples(1024);
    fourier.setRealIn(3, 1.0);
    fourier.ComplexOut(5);
    const float timing = fourier.Timing();
    EXPECT_GE(timing, 0.0f);
    fourier.ComplexOut(6);
    fourier.RealOut(1);
    fourier.setTransformReverse(false); // the same direction: nothing to redo
    fourier.ImagOut(2);
    EXPECT_EQ(fourier.transformCount(), 1);
    EXPECT_EQ(fourier.Timing(), timing);
    fourier.setImagIn(3, 1.0);
    fourier.ImagOut(2);
    EXPECT_EQ(fourier.transformCount(), 2);
}

TEST(clsFourierTest, NewSizeClearsTheSeries)
{
    clsFourier fourier;
    fourier.setNumberOfSamples(4);
    fourier.setRealIn(1, 5.0);
    fourier.setNumberOfSamples(4);
    EXPECT_EQ(fourier.ComplexOut(1), 0.0);
}

} // namespace
} // namespace app::analysis
