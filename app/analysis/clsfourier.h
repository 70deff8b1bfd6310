#ifndef APP_ANALYSIS_CLSFOURIER_H
#define APP_ANALYSIS_CLSFOURIER_H

#include <cstddef>
#include <cstdint>
#include <map>
#include <utility>
#include <vector>

namespace app::analysis {

// The program's fast Fourier transform: a complex series of 2^n points set by 1-based index,
// transformed on the first read of an output after a change. Forward computes
// X[m] = sum x[n] e^(+2 pi i m n / N); reverse (1/N) sum X[m] e^(-2 pi i m n / N).
// Misuse raises platform::vb::VbError 380 (a size that is no power of two of at least 2) or
// 381 (an index outside 1..N, or any index before a size is set).
class clsFourier
{
public:
    static constexpr int BadSize = 380;
    static constexpr int BadIndex = 381;

    clsFourier();

    double ComplexOut(int32_t Index);
    void setImagIn(int32_t Index, double Value)
    {
        part(InputIm)[checkedIndex(Index)] = Value;
        needsTransform_ = true;
    }
    double ImagOut(int32_t Index);
    // Sizes and clears both series, even for the size they already have.
    void setNumberOfSamples(int32_t N);
    void setRealIn(int32_t Index, double Value)
    {
        part(InputRe)[checkedIndex(Index)] = Value;
        needsTransform_ = true;
    }
    double RealOut(int32_t Index);
    // Milliseconds the last transform took.
    float Timing() const;
    // The direction of the next transform; a change makes the next read transform again.
    void setTransformReverse(bool Reverse);

    // How many transforms have run, for callers that check laziness.
    int64_t transformCount() const { return transforms_; }

private:
    // The input, the output and a scratch series between them, each as its real and its
    // imaginary part, so that a stage runs over plain arrays of doubles. The six arrays share one
    // block, each starting Stagger values (an eighth of a 4 KiB page) after the end of the one
    // before: arrays that start at the same place of a page make the processor take loads for
    // earlier stores to the other array and stall.
    enum Part : size_t { InputRe, InputIm, OutputRe, OutputIm, ScratchRe, ScratchIm, PartCount };
    static constexpr size_t Stagger = 64;

    double *part(Part which) { return storage_.data() + which * stride_; }
    size_t checkedIndex(int32_t index) const
    {
        if (sizeNotSet_ || index < 1 || static_cast<size_t>(index) > n_)
            badIndex();
        return static_cast<size_t>(index) - 1;
    }
    [[noreturn]] static void badIndex();
    size_t outputAt(int32_t index);
    void transform();
    const std::vector<double> &twiddles(bool reverse);

    // One point at construction.
    size_t n_ = 1;
    size_t stride_ = 1 + Stagger;
    std::vector<double> storage_;
    bool sizeNotSet_ = true;
    bool needsTransform_ = true;
    bool reverse_ = false;
    int64_t startCount_ = 0;
    int64_t endCount_ = 0;
    int64_t transforms_ = 0;
    // The twiddle factors of every stage, per size and direction, kept across runs.
    std::map<std::pair<size_t, bool>, std::vector<double>> twiddles_;
};

} // namespace app::analysis

#endif
