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

bool isPowerOfTwo(int32_t n)
{
    return n >= 2 && (n & (n - 1)) == 0;
}

} // namespace

clsFourier::clsFourier() : input_(1), output_{std::vector<double>(1), std::vector<double>(1)} {}

void clsFourier::setNumberOfSamples(int32_t N)
{
    if (!isPowerOfTwo(N))
        throw platform::vb::VbError(
            BadSize, Source,
            QStringLiteral("Number of Samples must be a positive value of the form 2 ^ n"));
    const auto n = static_cast<size_t>(N);
    input_.assign(n, Point{});
    // The output is written whole before anything reads it: only its size matters.
    output_.re.resize(n);
    output_.im.resize(n);
    sizeNotSet_ = false;
    needsTransform_ = true;
}

void clsFourier::badIndex()
{
    throw platform::vb::VbError(
        BadIndex, Source, QStringLiteral("Index out of range or number of samples unknown"));
}

void clsFourier::setTransformReverse(bool Reverse)
{
    // The output of the other direction must not be returned for this one.
    if (Reverse != reverse_)
        needsTransform_ = true;
    reverse_ = Reverse;
}

size_t clsFourier::outputAt(int32_t index)
{
    const size_t at = checkedIndex(index);
    if (needsTransform_)
        transform();
    return at;
}

double clsFourier::RealOut(int32_t Index)
{
    return output_.re[outputAt(Index)];
}

double clsFourier::ImagOut(int32_t Index)
{
    return output_.im[outputAt(Index)];
}

double clsFourier::ComplexOut(int32_t Index)
{
    const size_t at = outputAt(Index);
    const double re = output_.re[at];
    const double im = output_.im[at];
    return std::sqrt(re * re + im * im);
}

float clsFourier::Timing() const
{
    return static_cast<float>(static_cast<double>(endCount_ - startCount_) / counterFrequency() *
                              1000.0);
}

const clsFourier::Series &clsFourier::twiddles(bool reverse)
{
    const size_t n = output_.re.size();
    auto [it, added] = twiddles_.try_emplace({n, reverse});
    if (!added)
        return it->second;
    // Pass by pass, the recurrence that multiplies by cos d + i sin d without a sine or cosine
    // per point; each block of a pass starts again from 1, so one run per pass serves them all.
    Series &table = it->second;
    table.re.reserve(n);
    table.im.reserve(n);
    const double angle = reverse ? -4.0 * std::atan(1.0) : 4.0 * std::atan(1.0);
    for (size_t h = 1; 2 * h <= n; h *= 2) {
        const double delta = angle / static_cast<double>(h);
        const double alpha = 2.0 * std::sin(delta / 2.0) * std::sin(delta / 2.0);
        const double beta = std::sin(delta);
        double wr = 1.0;
        double wi = 0.0;
        for (size_t j = 0; j < h; ++j) {
            table.re.push_back(wr);
            table.im.push_back(wi);
            const double nextR = wr - (alpha * wr + beta * wi);
            wi = wi - (alpha * wi - beta * wr);
            wr = nextR;
        }
    }
    return table;
}

namespace {

// The butterflies of one block: t = w x upper; upper = lower - t; lower = lower + t.
void block(double *__restrict lowerRe, double *__restrict lowerIm, double *__restrict upperRe,
           double *__restrict upperIm, const double *__restrict wRe,
           const double *__restrict wIm, size_t h)
{
    for (size_t k = 0; k < h; ++k) {
        const double tr = wRe[k] * upperRe[k] - wIm[k] * upperIm[k];
        const double ti = wRe[k] * upperIm[k] + wIm[k] * upperRe[k];
        upperRe[k] = lowerRe[k] - tr;
        upperIm[k] = lowerIm[k] - ti;
        lowerRe[k] += tr;
        lowerIm[k] += ti;
    }
}

// The same butterfly at one place of every block, for passes of short blocks.
void across(double *re, double *im, size_t n, size_t h, size_t k, double wr, double wi)
{
    for (size_t s = k; s < n; s += 2 * h) {
        const double tr = wr * re[s + h] - wi * im[s + h];
        const double ti = wr * im[s + h] + wi * re[s + h];
        re[s + h] = re[s] - tr;
        im[s + h] = im[s] - ti;
        re[s] += tr;
        im[s] += ti;
    }
}

} // namespace

void clsFourier::transform()
{
    needsTransform_ = false;
    startCount_ = counterNow();
    const size_t n = output_.re.size();
    double *const re = output_.re.data();
    double *const im = output_.im.data();
    // Bit-reversal copy: j runs as i with its bits reversed, counted up by a carry that moves
    // from the top bit down.
    size_t j = 0;
    for (size_t i = 0; i < n; ++i) {
        re[j] = input_[i].re;
        im[j] = input_[i].im;
        size_t bit = n >> 1;
        while (bit != 0 && (j & bit) != 0) {
            j ^= bit;
            bit >>= 1;
        }
        j |= bit;
    }

    // The first pass multiplies by 1 only.
    for (size_t s = 0; s < n; s += 2) {
        const double tr = re[s + 1];
        const double ti = im[s + 1];
        re[s + 1] = re[s] - tr;
        im[s + 1] = im[s] - ti;
        re[s] += tr;
        im[s] += ti;
    }
    const Series &table = twiddles(reverse_);
    size_t offset = 1;
    for (size_t h = 2; 2 * h <= n; h *= 2) {
        const double *const wRe = table.re.data() + offset;
        const double *const wIm = table.im.data() + offset;
        // Short blocks run place by place across all blocks, long ones block by block; each
        // butterfly computes the same either way.
        if (h < 4) {
            for (size_t k = 0; k < h; ++k)
                across(re, im, n, h, k, wRe[k], wIm[k]);
        } else {
            for (size_t s = 0; s < n; s += 2 * h)
                block(re + s, im + s, re + s + h, im + s + h, wRe, wIm, h);
        }
        offset += h;
    }
    if (reverse_) {
        const double scale = static_cast<double>(n);
        for (size_t i = 0; i < n; ++i) {
            re[i] /= scale;
            im[i] /= scale;
        }
    }
    ++transforms_;
    endCount_ = counterNow();
}

} // namespace app::analysis
