#ifndef APP_ANALYSIS_PAGES_OVERVIEWSTRIP_H
#define APP_ANALYSIS_PAGES_OVERVIEWSTRIP_H

#include <vector>

#include <QImage>
#include <QWidget>

#include "platform/win/syscolours.h"

namespace app::analysis::pages {

// What the strip draws of its owner's data, already reduced to its columns. As an envelope,
// segment x (0 .. W + 1) holds the lowest and highest value of its share, and column x spans
// segments x and x + 1; otherwise `lows` holds one value per column. The extremes scale it.
struct OverviewTrace
{
    bool envelope = false;
    std::vector<float> lows;
    std::vector<float> highs;
    float minimum = 0.0f;
    float maximum = 0.0f;
};

// A picture box in pixels: draws a trace over its whole width once, shades it outside a thumb
// that its owner moves, and reports the mouse (x in pixels) and wheel notches (positive away
// from the user) to its owner.
class OverviewStrip : public QWidget
{
    Q_OBJECT

public:
    // The shade laid over the trace outside the thumb.
    static constexpr int ShadeAlpha = 90;

    explicit OverviewStrip(QWidget *parent = nullptr);

    const QImage &picture() const { return picture_; }
    void setPicture(const QImage &picture);

    // Draws the trace at the strip's present size, to be shown by showThumb; a strip narrower
    // than two columns has no scale to draw with and keeps the drawing it had.
    void drawTrace(const OverviewTrace &trace, platform::win::OleColour background,
                   platform::win::OleColour marks);
    // Shows the drawing with the columns left .. left + width - 1 bright and edged with two
    // lines; without a drawing nothing changes.
    void showThumb(int left, int width, platform::win::OleColour marks);
    // No drawing, nothing shown.
    void clear();
    // The drawing without the shade, and the shade's source.
    const QImage &drawing() const { return drawing_; }
    const QImage &mask() const { return mask_; }

signals:
    void MouseDown(int x);
    void MouseMove(int x, bool buttonDown);
    void MouseUp(int x);
    void Wheel(int notches);

protected:
    void paintEvent(QPaintEvent *event) override;
    void mousePressEvent(QMouseEvent *event) override;
    void mouseMoveEvent(QMouseEvent *event) override;
    void mouseReleaseEvent(QMouseEvent *event) override;
    void wheelEvent(QWheelEvent *event) override;

private:
    QImage picture_;
    QImage drawing_; // persistent for one trace
    QImage mask_;
    int wheelRest_ = 0; // eighths of a degree short of a whole notch
};

} // namespace app::analysis::pages

#endif
