#ifndef APP_ANALYSIS_PAGES_CHILD_GEN_CAPTURE_H
#define APP_ANALYSIS_PAGES_CHILD_GEN_CAPTURE_H

#include <cstdint>

#include <QString>

#include "app/analysis/pages/signalpage.h"
#include "platform/win/syscolours.h"

class QTimer;

namespace app::controls {
class Slider;
class VXBtn;
} // namespace app::controls

namespace app::analysis::pages {

// The Capture page: the live trend of the last 1 to 30 seconds every 10 ms, every n-th
// reading or each block's extremes, the running minimum and maximum, and the window handed to
// the Review page as a snapshot.
class CHILD_GEN_CAPTURE : public SignalPage
{
    Q_OBJECT

public:
    static inline const QString FormName = QStringLiteral("CHILD_GEN_CAPTURE");
    static constexpr int TrendMs = 10;
    static constexpr int RatioMs = 1000;
    static constexpr float ResetMinimum = 1.0e8f;
    static constexpr float ResetMaximum = -1.0e9f;

    explicit CHILD_GEN_CAPTURE(QWidget *parent = nullptr);
    ~CHILD_GEN_CAPTURE() override;

    QString HelpText() const override;
    void Activated() override;
    void DeActivated() override;

    void TrendRedraw();
    void RatioTick();
    void windowChanged(float milliseconds);
    void minMaxClicked();
    void recordViewedClicked();

    // The controls and fields, for tests.
    SignalChart &NTTrend() const { return *signalChart_; }
    app::controls::Slider *Slider1() const { return slider1_; }
    // Slider1's Tag: the window in milliseconds as text.
    const QString &Slider1Tag() const { return slider1Tag_; }
    app::controls::VXBtn *Timescale() const { return timescale_; }
    app::controls::VXBtn *Detect() const { return detect_; }
    app::controls::VXBtn *Auto() const { return auto_; }
    app::controls::VXBtn *MinMax() const { return minMax_; }
    app::controls::VXBtn *RecordViewed() const { return recordViewed_; }
    app::controls::VXBtn *Label1() const { return label1_; }
    QTimer *TrendTimer() const { return trendTimer_; }
    QTimer *Timer1() const { return timer1_; }
    float runningMinimum() const { return runningMinimum_; }
    float runningMaximum() const { return runningMaximum_; }
    // The step and count of the last redraw.
    int32_t lastStep() const { return lastStep_; }
    int32_t lastCount() const { return lastCount_; }

private:
    int32_t windowReadings() const;
    void drawExtremeLine(int element, platform::win::OleColour colour, float value,
                         double xMaximum);
    void layOut() override;

    app::controls::Slider *slider1_ = nullptr;
    QString slider1Tag_ = QStringLiteral("10000");
    app::controls::VXBtn *timescale_ = nullptr;
    app::controls::VXBtn *detect_ = nullptr;
    app::controls::VXBtn *auto_ = nullptr;
    app::controls::VXBtn *minMax_ = nullptr;
    app::controls::VXBtn *recordViewed_ = nullptr;
    app::controls::VXBtn *label1_ = nullptr;
    QTimer *trendTimer_ = nullptr;
    QTimer *timer1_ = nullptr;
    float runningMinimum_ = ResetMinimum;
    float runningMaximum_ = ResetMaximum;
    double yMinimum_ = 0.0; // the vertical range last set, kept while Auto is off
    double yMaximum_ = 10.0;
    int32_t lastStep_ = 0;
    int32_t lastCount_ = 0;
};

} // namespace app::analysis::pages

#endif
