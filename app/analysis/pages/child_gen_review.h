#ifndef APP_ANALYSIS_PAGES_CHILD_GEN_REVIEW_H
#define APP_ANALYSIS_PAGES_CHILD_GEN_REVIEW_H

#include <cstdint>
#include <vector>

#include <QDateTime>
#include <QImage>
#include <QString>

#include "app/analysis/pages/signalpage.h"

class QTimer;

namespace app::controls {
class VXBtn;
}

namespace app::analysis::pages {

class OverviewStrip;

// The Review page: the snapshot as a main chart of a highlighted section over an overview strip
// of the whole, with a thumb to move, stretch and zoom, two reading cursors, a crop to the
// section, peak-detect drawing and data files.
class CHILD_GEN_REVIEW : public SignalPage
{
    Q_OBJECT

public:
    static inline const QString FormName = QStringLiteral("CHILD_GEN_REVIEW");
    static constexpr int PeaksMs = 50;

    explicit CHILD_GEN_REVIEW(QWidget *parent = nullptr);
    ~CHILD_GEN_REVIEW() override;

    QString HelpText() const override;
    void Activated() override;
    void DeActivated() override;

    // Shows the current snapshot; the thumb back to 5 % .. 95 %. An empty snapshot clears the
    // charts and leaves nothing to drag, zoom, crop or save.
    Q_INVOKABLE void ShowSnapshot();
    void ShowOverview(OverviewStrip *picture, bool resetThumb);
    void RedrawSelectorThumb();
    // The data file dialogs: the chosen path, or "" when cancelled.
    QString GetSaveFileName();
    QString GetRestoreFilename();

    // What the user does, as the controls raise it.
    void overviewMouseDown(int x);
    void overviewMouseMove(int x, bool buttonDown);
    void overviewMouseUp(int x);
    void wheelTurned(int notches); // one notch is one "Up" (positive) or "Down"
    void chartClicked(double x);
    void cursor2Clicked();
    void zoomClicked();
    void saveClicked();
    void loadClicked();
    void copyChart();
    void drawChart();

    // The controls and fields, for tests.
    SignalChart &Graph() const { return *signalChart_; }
    OverviewStrip *OverView() const { return overview_; }
    const QImage &OverviewMask() const;
    app::controls::VXBtn *Detect() const { return detect_; }
    app::controls::VXBtn *Auto() const { return auto_; }
    app::controls::VXBtn *Cursor2() const { return cursor2_; }
    app::controls::VXBtn *Zoom() const { return zoom_; }
    app::controls::VXBtn *btnSave() const { return save_; }
    app::controls::VXBtn *btnLoad() const { return load_; }
    QTimer *PeaksTimer() const { return peaksTimer_; }
    QTimer *ReleaseCaptureTimer() const;
    int32_t thumbLeft() const { return thumbLeft_; }
    int32_t thumbWidth() const { return thumbWidth_; }
    int32_t sectionStart() const { return sectionStart_; }
    int32_t sectionLength() const { return sectionLength_; }
    int dragMode() const { return dragMode_; }
    int32_t plottedCount() const { return plottedCount_; }
    const std::vector<double> &plottedPositions() const { return plottedPositions_; }
    // The overview's drawing without the shade.
    const QImage &overviewBackground() const;

protected:
    void wheelEvent(QWheelEvent *event) override;

private:
    QString chooseLogFile(bool save);
    void layOut() override;
    void clearPage();
    void setDataControlsEnabled(bool enabled);
    void peaksTimeout();
    int modeAt(int x) const;
    void sectionFromThumb(double scale, bool thinThumbMinimum);
    void zoomThumb(bool in);
    void plotPlain(int32_t step, int pixels, double &minimum, double &maximum);
    void plotPeaks(int32_t step, double &minimum, double &maximum);
    void setRanges(double xMaximum, double minimum, double maximum);
    void notePoint(float value, double position, double &minimum, double &maximum);
    int overviewWidth() const;
    void runFileJob(bool save);

    OverviewStrip *overview_ = nullptr;
    app::controls::VXBtn *detect_ = nullptr;
    app::controls::VXBtn *auto_ = nullptr;
    app::controls::VXBtn *cursor2_ = nullptr;
    app::controls::VXBtn *zoom_ = nullptr;
    app::controls::VXBtn *save_ = nullptr;
    app::controls::VXBtn *load_ = nullptr;
    QTimer *peaksTimer_ = nullptr;

    QDateTime startTime_;
    int32_t startMicros_ = 0;
    int32_t first_ = 1;
    int32_t last_ = 0;
    int32_t total_ = 0;
    int32_t thumbLeft_ = 0;
    int32_t thumbWidth_ = 0;
    int32_t sectionStart_ = 0;
    int32_t sectionLength_ = 0;
    bool dragging_ = false;
    int32_t dragAnchor_ = 0;
    int dragMode_ = 1;
    int32_t dragStartLeft_ = 0;
    int32_t dragStartWidth_ = 0;
    int32_t lastDragX_ = -1;
    std::vector<float> plottedValues_;
    std::vector<double> plottedPositions_;
    int32_t plottedCount_ = 0;
    double labelHeight_ = 0.0;
    double storedMaximum_ = 0.0;
    double firstCursorValue_ = 0.0; // as its label shows it
    bool panelFilled_ = false;      // the information panel holds this page's cursor readings
    double firstCursorTime_ = 0.0;
};

} // namespace app::analysis::pages

#endif
