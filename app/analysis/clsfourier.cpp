#include "app/analysis/clsfourier.h"

#include <chrono>
#include <cmath>

#include <QString>

#include "platform/vb/vberror.h"

namespace app::analysis {

namespace {

const QString Source = QStringLiteral("clsFourier");

int64_t counterNow()
{
    return std::chrono::steady_clock::now().time_since_epoch().count();
}

constexpr double counterFrequency()
{
    using Period = std::chrono::steady_clock::period;
    return static_cast<double>(Period::den) / static_cast<double>(Period::num);
}

// The lowest `bits` bits of i in reverse order.
inline size_t reverseBits(size_t i, unsigned bits)
{
    size_t result = 0;
    for (unsigned b = 0; b < bits; ++b) {
        result = (result << 1) | (i & 1u);
        i >>= 1;
    }
    return result;
}

bool isPowerOfTwo(int32_t n)
{
    return n >= 2 && (n & (n - 1)) == 0;
}

} // namespace

clsFourier::clsFourier() : input_(1), output_(1) {}

void clsFourier::setNumberOfSamples(int32_t N)
{
    if (!isPowerOfTwo(N))
        throw platform::vb::VbError(
            BadSize, Source,
            QStringLiteral("Number of Samples must be a positive value of the form 2 ^ n"));
    input_.assign(static_cast<size_t>(N), Point{});
    output_.assign(static_cast<size_t>(N), Point{});
    sizeNotSet_ = false;
    needsTransform_ = true;
}

size_t clsFourier::checkedIndex(int32_t index) const
{
    if (sizeNotSet_ || index < 1 || static_cast<size_t>(index) > input_.size())
        throw platform::vb::VbError(
            BadIndex, Source, QStringLiteral("Index out of range or number of samples unknown"));
    return static_cast<size_t>(index) - 1;
}

void clsFourier::setRealIn(int32_t Index, double Value)
{
    input_[checkedIndex(Index)].re = Value;
    needsTransform_ = true;
}

void clsFourier::setImagIn(int32_t Index, double Value)
{
    input_[checkedIndex(Index)].im = Value;
    needsTransform_ = true;
}

void clsFourier::setTransformReverse(bool Reverse)
{
    // The output of the other direction must not be returned for this one.
    if (Reverse != reverse_)
        needsTransform_ = true;
    reverse_ = Reverse;
}

const clsFourier::Point &clsFourier::output(int32_t index)
{
    const size_t at = checkedIndex(index);
    if (needsTransform_)
        transform();
    return output_[at];
}

double clsFourier::RealOut(int32_t Index)
{
    return output(Index).re;
}

double clsFourier::ImagOut(int32_t Index)
{
    return output(Index).im;
}

double clsFourier::ComplexOut(int32_t Index)
{
    const Point &point = output(Index);
    return std::sqrt(point.re * point.re + point.im * point.im);
}

float clsFourier::Timing() const
{
    return static_cast<float>(static_cast<double>(endCount_ - startCount_) / counterFrequency() *
                              1000.0);
}

const std::vector<clsFourier::Point> &clsFourier::twiddles(bool reverse)
{
    const size_t n = output_.size();
    auto [it, added] = twiddles_.try_emplace({n, reverse});
    if (!added)
        return it->second;
    // Pass by pass, the recurrence that multiplies by cos d + i sin d without a sine or cosine
    // per point; each block of a pass starts again from 1, so one run per pass serves them all.
    std::vector<Point> &table = it->second;
    table.reserve(n);
    const double angle = reverse ? -4.0 * std::atan(1.0) : 4.0 * std::atan(1.0);
    for (size_t h = 1; 2 * h <= n; h *= 2) {
        const double delta = angle / static_cast<double>(h);
        const double alpha = 2.0 * std::sin(delta / 2.0) * std::sin(delta / 2.0);
        const double beta = std::sin(delta);
        double wr = 1.0;
        double wi = 0.0;
        for (size_t j = 0; j < h; ++j) {
            table.push_back({wr, wi});
            const double nextR = wr - (alpha * wr + beta * wi);
            wi = wi - (alpha * wi - beta * wr);
            wr = nextR;
        }
    }
    return table;
}

void clsFourier::transform()
{
    needsTransform_ = false;
    startCount_ = counterNow();
    const size_t n = output_.size();
    const auto bits = static_cast<unsigned>(std::lround(std::log2(static_cast<double>(n))));
    for (size_t i = 0; i < n; ++i)
        output_[reverseBits(i, bits)] = input_[i];

    const std::vector<Point> &table = twiddles(reverse_);
    Point *x = output_.data();
    size_t offset = 0;
    for (size_t h = 1; 2 * h <= n; h *= 2) {
        const Point *w = table.data() + offset;
        for (size_t s = 0; s < n; s += 2 * h) {
            Point *lower = x + s;
            Point *upper = x + s + h;
            for (size_t j = 0; j < h; ++j) {
                const double tr = w[j].re * upper[j].re - w[j].im * upper[j].im;
                const double ti = w[j].re * upper[j].im + w[j].im * upper[j].re;
                upper[j].re = lower[j].re - tr;
                upper[j].im = lower[j].im - ti;
                lower[j].re += tr;
                lower[j].im += ti;
            }
        }
        offset += h;
    }
    if (reverse_) {
        const double scale = static_cast<double>(n);
        for (Point &point : output_) {
            point.re /= scale;
            point.im /= scale;
        }
    }
    ++transforms_;
    endCount_ = counterNow();
}

} // namespace app::analysis
