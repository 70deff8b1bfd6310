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

TEST(clsFourierTest, MatchesAPlainDft)
{
    constexpr int N = 64;
    std::mt19937 random(7);
    std::uniform_real_distribution<double> value(-1.0, 1.0);
    std::vector<std::complex<double>> x(N);
    clsFourier fourier;
    fourier.setNumberOfSamples(N);
    for (int i = 0; i < N; ++i) {
        x[i] = {value(random), value(random)};
        fourier.setRealIn(i + 1, x[i].real());
        fourier.setImagIn(i + 1, x[i].imag());
    }
    for (bool reverse : {false, true}) {
        fourier.setTransformReverse(reverse);
        const double sign = reverse ? -1.0 : 1.0;
        for (int m = 0; m < N; ++m) {
            std::complex<double> sum;
            for (int n = 0; n < N; ++n)
                sum += x[n] * std::polar(1.0, sign * 2.0 * M_PI * m * n / N);
            if (reverse)
                sum /= N;
            EXPECT_NEAR(fourier.RealOut(m + 1), sum.real(), 1e-12) << m << " reverse " << reverse;
            EXPECT_NEAR(fourier.ImagOut(m + 1), sum.imag(), 1e-12) << m << " reverse " << reverse;
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
