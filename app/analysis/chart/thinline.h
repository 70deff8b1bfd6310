#ifndef APP_ANALYSIS_CHART_THINLINE_H
#define APP_ANALYSIS_CHART_THINLINE_H

#include <cstddef>
#include <limits>

#include <QPointF>
#include <QRect>
#include <QRgb>

class QImage;

namespace app::analysis::chart {

// A solid, one-pixel, aliased line written straight into a 32-bit image, pixel for pixel as the
// painter draws it with a cosmetic pen of width 1 and square caps. A dense trace covers long
// vertical runs; the painter pays a clip test and a blend for every one of their pixels, this
// writes them. The painter's rules are followed to the pixel: points rounded to 1/64 of a
// pixel, each segment stepped along its longer axis from pixel centre to pixel centre, the
// pixel where two segments meet drawn once, a pixel added where a change of direction would
// leave a gap, a half-pixel cap at both ends of the line, and a point less than a pixel from
// the last one skipped when the step to it drew nothing.
class ThinLine
{
public:
    // Coordinates are device pixels. Pixel (x, y) of the device lands on pixel
    // (x - origin.x(), y - origin.y()) of the image; only pixels inside clip are written.
    // device is the whole paint device: the painter cuts segments at its edges before
    // stepping them, which moves the pixels of a line that leaves it.
    ThinLine(QImage &image, QPoint origin, const QRect &clip, const QRect &device, QRgb colour);

    // An open line: its first and last point differ (a closed outline joins its ends
    // differently and is left to the painter).
    void drawPolyline(const QPointF *points, size_t count);
    void drawPoint(const QPointF &point);

    // Image rows written so far (empty when none).
    int firstRow() const { return firstRow_; }
    int lastRow() const { return lastRow_; }

private:
    enum Direction { NoDirection = 0, Down = 1, Up = 2, Right = 4, Left = 8 };
    static constexpr int VerticalMask = Down | Up;
    static constexpr int HorizontalMask = Right | Left;
    enum Caps { NoCaps = 0, CapBegin = 1, CapEnd = 2 };
    static constexpr int NoPixel = std::numeric_limits<int>::min();
    struct Run;

    bool cut(double &x1, double &y1, double &x2, double &y2);
    bool segment(double x1, double y1, double x2, double y2, int caps);
    // Steps a segment given in 1/64 pixel along its major axis; false when it drew nothing.
    bool step(int major1, int minor1, int major2, int minor2, int caps, bool vertical);
    // The segment's pixels with its caps; false when there are none.
    bool startRun(Run &run, int major1, int minor1, int major2, int minor2, int caps,
                  bool vertical) const;
    // Moves the run's ends to join the pixel drawn last.
    void join(Run &run) const;
    void drawRun(const Run &run);
    void plot(int x, int y);
    void plotColumn(int x, int top, int bottom);
    void flushColumn();
    void markRows(int top, int bottom);

    QRgb *bits_;
    qsizetype stride_; // pixels per image row
    QPoint origin_;
    QRect clip_;
    double xMin_, xMax_, yMin_, yMax_;
    QRgb colour_;

    // The last pixel drawn, where the next segment joins; NoPixel when there is no join.
    int lastX_ = NoPixel;
    int lastY_ = NoPixel;
    int lastDirection_ = NoDirection;
    bool lastAxisAligned_ = false;
    // A vertical run waiting to be written (runX_ NoPixel: none).
    int runX_ = NoPixel;
    int runTop_ = 0;
    int runBottom_ = 0;
    int firstRow_ = 0;
    int lastRow_ = -1;
};

} // namespace app::analysis::chart

#endif
