#include "app/analysis/clsfourier.h"

#include <algorithm>
#include <bit>
#include <chrono>
#include <cmath>
#include <numbers>

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

clsFourier::clsFourier() : storage_(PartCount * stride_) {}

void clsFourier::setNumberOfSamples(int32_t N)
{
    if (!isPowerOfTwo(N))
        throw platform::vb::VbError(
            BadSize, Source,
            QStringLiteral("Number of Samples must be a positive value of the form 2 ^ n"));
    n_ = static_cast<size_t>(N);
    stride_ = n_ + Stagger;
    storage_.resize(PartCount * stride_);
    // The output and the scratch are written whole before anything reads them: only the input
    // needs clearing.
    std::fill(part(InputRe), part(OutputRe), 0.0);
    sizeNotSet_ = false;
    needsTransform_ = true;
}

void clsFourier::badIndex()
{
    throw platform::vb::VbError(BadIndex, Source,
                                QStringLiteral("Index out of range or number of samples unknown"));
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
    const size_t at = outputAt(Index);
    return part(OutputRe)[at];
}

double clsFourier::ImagOut(int32_t Index)
{
    const size_t at = outputAt(Index);
    return part(OutputIm)[at];
}

double clsFourier::ComplexOut(int32_t Index)
{
    const size_t at = outputAt(Index);
    const double re = part(OutputRe)[at];
    const double im = part(OutputIm)[at];
    return std::sqrt(re * re + im * im);
}

float clsFourier::Timing() const
{
    return static_cast<float>(static_cast<double>(endCount_ - startCount_) / counterFrequency() *
                              1000.0);
}

namespace {

// The stages: one radix-2 stage first when log2 N is odd, then radix-4 stages. A radix-4 stage
// turns transforms of `length` points into transforms of 4 `length` points; the first starts
// from transforms of 1 point (the input itself) or of 2 (after the radix-2 stage).
size_t firstRadix4Length(size_t n)
{
    return std::countr_zero(n) % 2 == 1 ? 2 : 1;
}

// e^(+-2 pi i m / l) (minus for the reverse direction) for m < l: the sine and cosine of an
// angle below pi / 2, turned by whole quarters, which is exact.
void unitRoot(size_t m, size_t l, bool reverse, double &re, double &im)
{
    const size_t quarters = 4 * m / l;
    const double rest = static_cast<double>(4 * m % l) / static_cast<double>(l);
    const double angle = std::numbers::pi / 2.0 * rest;
    const double c = std::cos(angle);
    const double s = std::sin(angle);
    const double turnedRe[4] = {c, -s, -c, s};
    const double turnedIm[4] = {s, c, -s, -c};
    re = turnedRe[quarters];
    im = reverse ? -turnedIm[quarters] : turnedIm[quarters];
}

} // namespace

const std::vector<double> &clsFourier::twiddles(bool reverse)
{
    const size_t n = n_;
    auto [it, added] = twiddles_.try_emplace({n, reverse});
    if (!added)
        return it->second;
    // Per radix-4 stage, for each twiddle k < length: w^k, w^2k and w^3k with
    // w = e^(+-2 pi i / 4 length), as six runs of `length` values: the real and the imaginary
    // part of each power in turn. Computed once per size and direction, so each from its own
    // sine and cosine rather than from a recurrence.
    std::vector<double> &table = it->second;
    for (size_t length = firstRadix4Length(n); length < n; length *= 4) {
        const size_t at = table.size();
        table.resize(at + 6 * length);
        for (size_t p = 1; p <= 3; ++p) {
            double *const re = table.data() + at + 2 * (p - 1) * length;
            for (size_t k = 0; k < length; ++k)
                unitRoot(p * k, 4 * length, reverse, re[k], re[length + k]);
        }
    }
    return table;
}

namespace {

// Four complex values, rows 0 to 3 of a column.
struct Four
{
    double r0, i0, r1, i1, r2, i2, r3, i3;
};

// w^k, w^2k and w^3k for one k.
struct Twiddle
{
    double r1, i1, r2, i2, r3, i3;
};

// The 4-point transform with w4 = +i: y1 = (a0 - a2) + i (a1 - a3), y3 = (a0 - a2) - i (a1 - a3).
// The reverse direction has -i in place of i, which only swaps y1 and y3: callers swap those rows.
inline Four dft4(const Four &a)
{
    const double s0r = a.r0 + a.r2;
    const double s0i = a.i0 + a.i2;
    const double d0r = a.r0 - a.r2;
    const double d0i = a.i0 - a.i2;
    const double s1r = a.r1 + a.r3;
    const double s1i = a.i1 + a.i3;
    const double d1r = a.r1 - a.r3;
    const double d1i = a.i1 - a.i3;
    return {s0r + s1r, s0i + s1i, d0r - d1i, d0i + d1r, s0r - s1r, s0i - s1i, d0r + d1i, d0i - d1r};
}

inline Twiddle twiddleOf(const double *w, size_t length, size_t k)
{
    return {w[k],
            w[length + k],
            w[2 * length + k],
            w[3 * length + k],
            w[4 * length + k],
            w[5 * length + k]};
}

inline Four twiddled(const Four &a, const Twiddle &t)
{
    return {a.r0,
            a.i0,
            t.r1 * a.r1 - t.i1 * a.i1,
            t.r1 * a.i1 + t.i1 * a.r1,
            t.r2 * a.r2 - t.i2 * a.i2,
            t.r2 * a.i2 + t.i2 * a.r2,
            t.r3 * a.r3 - t.i3 * a.i3,
            t.r3 * a.i3 + t.i3 * a.r3};
}

// Rows 0 to 3 of a column, `stride` apart.
inline Four load(const double *re, const double *im, size_t at, size_t stride)
{
    return {re[at],
            im[at],
            re[at + stride],
            im[at + stride],
            re[at + 2 * stride],
            im[at + 2 * stride],
            re[at + 3 * stride],
            im[at + 3 * stride]};
}

// The two parts of a series that a stage reads.
struct Parts
{
    const double *re;
    const double *im;
};

// The output rows of a stage, n / 4 apart. Each is its own restrict pointer in the kernels, so
// that the compiler knows they never overlap and vectorises the loops along them.
struct Rows
{
    double *re[4];
    double *im[4];
};

// The reverse direction swaps rows 1 and 3 (see dft4).
Rows rowsOf(double *re, double *im, size_t quarter, bool reverse)
{
    const size_t one = reverse ? 3 * quarter : quarter;
    const size_t three = reverse ? quarter : 3 * quarter;
    return {{re, re + one, re + 2 * quarter, re + three},
            {im, im + one, im + 2 * quarter, im + three}};
}

// One radix-4 stage: for each twiddle k < length and column j < columns, the column's inputs at
// 4 columns k + j + p columns (p = 0 to 3), multiplied by w^pk and transformed, go to the four
// rows at columns k + j. A Columns above 0 fixes the count of columns when compiled, so that a
// few columns unroll and the compiler vectorises along the twiddles instead. The kernels stay
// out of line: inlined, the promise of the restrict pointers is lost (the rows come from one
// array) and the loops run a point at a time.
template <size_t Columns, bool Twiddled>
[[gnu::noinline]] void stage(const double *__restrict xr, const double *__restrict xi,
                             double *__restrict y0r, double *__restrict y1r, double *__restrict y2r,
                             double *__restrict y3r, double *__restrict y0i, double *__restrict y1i,
                             double *__restrict y2i, double *__restrict y3i, size_t columns,
                             size_t length, const double *__restrict w)
{
    const size_t count = Columns != 0 ? Columns : columns;
    for (size_t k = 0; k < length; ++k) {
        const Twiddle t = Twiddled ? twiddleOf(w, length, k) : Twiddle{};
        for (size_t j = 0; j < count; ++j) {
            Four a = load(xr, xi, 4 * count * k + j, count);
            if constexpr (Twiddled)
                a = twiddled(a, t);
            const Four y = dft4(a);
            const size_t to = count * k + j;
            y0r[to] = y.r0;
            y0i[to] = y.i0;
            y1r[to] = y.r1;
            y1i[to] = y.i1;
            y2r[to] = y.r2;
            y2i[to] = y.i2;
            y3r[to] = y.r3;
            y3i[to] = y.i3;
        }
    }
}

template <size_t Columns, bool Twiddled>
void stageInto(const Parts &x, const Rows &y, size_t columns, size_t length, const double *w)
{
    stage<Columns, Twiddled>(x.re, x.im, y.re[0], y.re[1], y.re[2], y.re[3], y.im[0], y.im[1],
                             y.im[2], y.im[3], columns, length, w);
}

// The radix-2 stage on 2-point transforms: y0 = x0 + x1, y1 = x0 - x1, x1 half a series on.
[[gnu::noinline]] void firstHalving(const double *__restrict xr, const double *__restrict xi,
                                    double *__restrict y0r, double *__restrict y1r,
                                    double *__restrict y0i, double *__restrict y1i, size_t half)
{
    for (size_t j = 0; j < half; ++j) {
        const double ar = xr[j];
        const double ai = xi[j];
        const double br = xr[j + half];
        const double bi = xi[j + half];
        y0r[j] = ar + br;
        y0i[j] = ai + bi;
        y1r[j] = ar - br;
        y1i[j] = ai - bi;
    }
}

// A radix-4 stage from transforms of `length` points to transforms of 4 length points, over
// n / 4 length columns of the series (an order that sorts itself: no bit reversal anywhere).
// The first stage has no twiddle but 1; the last has one column per twiddle.
void radix4Stage(const Parts &x, const Rows &y, size_t n, size_t length, const double *w)
{
    const size_t columns = n / (4 * length);
    if (length == 1)
        stageInto<0, false>(x, y, columns, length, w);
    else if (columns == 1)
        stageInto<1, true>(x, y, columns, length, w);
    else if (columns == 4)
        stageInto<4, true>(x, y, columns, length, w);
    else
        stageInto<0, true>(x, y, columns, length, w);
}

} // namespace

void clsFourier::transform()
{
    needsTransform_ = false;
    startCount_ = counterNow();
    const size_t n = n_;
    const std::vector<double> &table = twiddles(reverse_);
    const size_t first = firstRadix4Length(n);
    size_t stages = first == 2 ? 1 : 0;
    for (size_t length = first; length < n; length *= 4)
        ++stages;
    // The stages alternate between the output and the scratch series, so that the last one
    // writes the output.
    Part to = stages % 2 == 1 ? OutputRe : ScratchRe;
    Parts from{part(InputRe), part(InputIm)};
    auto advance = [&] {
        from = {part(to), part(static_cast<Part>(to + 1))};
        to = to == OutputRe ? ScratchRe : OutputRe;
    };
    if (first == 2) {
        double *const yr = part(to);
        double *const yi = part(static_cast<Part>(to + 1));
        firstHalving(from.re, from.im, yr, yr + n / 2, yi, yi + n / 2, n / 2);
        advance();
    }
    const double *w = table.data();
    for (size_t length = first; length < n; length *= 4) {
        radix4Stage(from, rowsOf(part(to), part(static_cast<Part>(to + 1)), n / 4, reverse_), n,
                    length, w);
        w += 6 * length;
        advance();
    }
    if (reverse_) {
        // n is a power of two: multiplying by 1 / n is exact and gives what dividing gives.
        const double scale = 1.0 / static_cast<double>(n);
        double *const re = part(OutputRe);
        double *const im = part(OutputIm);
        for (size_t i = 0; i < n; ++i) {
            re[i] *= scale;
            im[i] *= scale;
        }
    }
    ++transforms_;
    endCount_ = counterNow();
}

} // namespace app::analysis
