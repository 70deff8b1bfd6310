#ifndef APP_ANALYSIS_PAGES_CHILD_GEN_FFT_H
#define APP_ANALYSIS_PAGES_CHILD_GEN_FFT_H

#include <array>

#include <QString>

#include "app/analysis/clsfourier.h"
#include "app/analysis/pages/signalpage.h"

class QTimer;

namespace app::controls {
class RangeSelect;
class VXBtn;
} // namespace app::controls

namespace app::analysis::pages {

// The FFT page: the spectrum of the newest 4,096 readings every 10 ms, its strongest line
// marked, an optional peak hold, a range selector for the lines shown and the frequency at a
// clicked point.
class CHILD_GEN_FFT : public SignalPage
{
    Q_OBJECT

public:
    static inline const QString FormName = QStringLiteral("CHILD_GEN_FFT");
    static constexpr int Samples = 4096;
    static constexpr int Lines = 2048;
    static constexpr int TimerMs = 10;
    // Milliseconds the page takes a reading to last when it turns a line into hertz.
    static constexpr double ReadingMs = 0.2091;

    explicit CHILD_GEN_FFT(QWidget *parent = nullptr);
    ~CHILD_GEN_FFT() override;

    QString HelpText() const override;
    void Activated() override;
    void DeActivated() override;

    void ClearPeakBuffer();
    void DoFFT();

    // The controls, for tests.
    SignalChart &NTFFT() const { return *signalChart_; }
    app::controls::RangeSelect *RangeSelect1() const { return rangeSelect1_; }
    app::controls::VXBtn *fFrom() const { return fFrom_; }
    app::controls::VXBtn *fTo() const { return fTo_; }
    app::controls::VXBtn *tPeak() const { return tPeak_; }
    QTimer *FFTTimer() const { return fftTimer_; }
    float peak(int index) const { return peak_.at(static_cast<size_t>(index)); }

private:
    void chartClicked(double x);
    void rangeScrolled();
    void peakHoldClicked();
    void layOut() override;

    app::controls::RangeSelect *rangeSelect1_ = nullptr;
    app::controls::VXBtn *fFrom_ = nullptr;
    app::controls::VXBtn *fTo_ = nullptr;
    app::controls::VXBtn *tPeak_ = nullptr;
    QTimer *fftTimer_ = nullptr;
    app::analysis::clsFourier fourier_;
    std::array<float, Lines + 1> peak_{};
};

} // namespace app::analysis::pages

#endif
