#ifndef APP_ANALYSIS_PAGES_CHILD_GEN_SCOPE_H
#define APP_ANALYSIS_PAGES_CHILD_GEN_SCOPE_H

#include <cstdint>
#include <memory>

#include <QString>

#include "app/analysis/pages/signalpage.h"

class QCheckBox;
class QTimer;

namespace app::analysis {
class clsFourier;
}

namespace app::controls {
class Slider;
class VXBtn;
} // namespace app::controls

namespace app::analysis::pages {

// The Scope page: the newest stretch of readings every 50 ms, over ten divisions of a chosen
// number of milliseconds, with an edge trigger at an adjustable level, automatic vertical
// scaling and a "find signal" that sets timebase and trigger from the strongest frequency.
class CHILD_GEN_SCOPE : public SignalPage
{
    Q_OBJECT

public:
    static inline const QString FormName = QStringLiteral("CHILD_GEN_SCOPE");
    static constexpr int LiveTimerMs = 50;

    explicit CHILD_GEN_SCOPE(QWidget *parent = nullptr);
    ~CHILD_GEN_SCOPE() override;

    QString HelpText() const override;
    void Activated() override;
    void DeActivated() override;

    // The strongest frequency of the newest 4,096 readings, in whole hertz.
    int16_t GetFrequency();

    // One tick of LiveTimer: the trace.
    void DrawTrace();
    // The handlers of the page's buttons.
    void FindSignal();
    void AutoSetTriggerClick();
    void CopyPicture();

    // The controls and fields, for tests.
    SignalChart &Graph() const { return *signalChart_; }
    app::controls::Slider *sldPerDiv() const { return sldPerDiv_; }
    app::controls::Slider *Triggerlevel() const { return triggerLevel_; }
    app::controls::VXBtn *txtDivs() const { return txtDivs_; }
    app::controls::VXBtn *txtTrigger() const { return txtTrigger_; }
    app::controls::VXBtn *cbTrigger() const { return cbTrigger_; }
    app::controls::VXBtn *tglFalling() const { return tglFalling_; }
    app::controls::VXBtn *btnFindSignal() const { return btnFindSignal_; }
    app::controls::VXBtn *AutoSetTrigger() const { return autoSetTrigger_; }
    app::controls::VXBtn *Located() const { return located_; }
    QCheckBox *CheckAuto() const { return checkAuto_; }
    QCheckBox *Check3() const { return check3_; }
    QCheckBox *Check5() const { return check5_; }
    QTimer *LiveTimer() const { return liveTimer_; }
    // The time base: the ten divisions in milliseconds, 0 before the first is set.
    int32_t windowMs() const { return windowMs_; }
    int32_t windowLength() const { return windowLength_; }
    float triggerLevel() const { return level_; }
    float levelScale() const { return levelScale_; }
    float labelHeight() const { return labelHeight_; }

private:
    void timebaseChanged(float value);
    void levelChanged(float value);
    void triggerSwitch();
    void edgeSwitch();
    // Searches the trigger edge; the position of its earlier reading, or -1.
    int32_t findEdge();
    void layOut() override;

    app::controls::Slider *sldPerDiv_ = nullptr;
    app::controls::Slider *triggerLevel_ = nullptr;
    app::controls::VXBtn *txtDivs_ = nullptr;
    app::controls::VXBtn *txtTrigger_ = nullptr;
    app::controls::VXBtn *cbTrigger_ = nullptr;
    app::controls::VXBtn *tglFalling_ = nullptr;
    app::controls::VXBtn *autoSetTrigger_ = nullptr;
    app::controls::VXBtn *btnFindSignal_ = nullptr;
    app::controls::VXBtn *located_ = nullptr;
    QCheckBox *checkAuto_ = nullptr;
    QCheckBox *check3_ = nullptr;
    QCheckBox *check5_ = nullptr;
    QTimer *liveTimer_ = nullptr;
    int32_t windowMs_ = 0;

    int32_t windowLength_ = 0;
    bool rising_ = true;
    float level_ = 0.0f;
    float levelScale_ = 0.0f;
    float levelOffset_ = 0.0f;
    float minimum_ = 0.0f;
    float maximum_ = 0.0f;
    bool autoTriggerPending_ = false;
    float labelHeight_ = 0.0f;
    std::unique_ptr<app::analysis::clsFourier> fourier_;
};

} // namespace app::analysis::pages

#endif
