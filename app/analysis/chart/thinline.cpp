#include "app/analysis/chart/thinline.h"

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <utility>

#include <QImage>
#include <QtGlobal>

namespace app::analysis::chart {

namespace {

// Positions in 1/64 pixel, truncated towards zero as the painter does.
int sixtyFourths(double value)
{
    return static_cast<int>(value * 64.0);
}

// A segment stepped from its far end swaps its caps.
int swapCaps(int caps)
{
    return ((caps & 1) << 1) | ((caps & 2) >> 1);
}

} // namespace

ThinLine::ThinLine(QImage &image, QPoint origin, const QRect &clip, const QRect &device,
                   QRgb colour)
    : bits_(reinterpret_cast<QRgb *>(image.bits())),
      stride_(image.bytesPerLine() / static_cast<qsizetype>(sizeof(QRgb))),
      origin_(origin),
      clip_(clip & QRect(origin, image.size())),
      xMin_(device.left() - 1),
      xMax_(device.right() + 2),
      yMin_(device.top() - 1),
      yMax_(device.bottom() + 2),
      colour_(colour)
{
}

void ThinLine::drawPoint(const QPointF &point)
{
    plot(qRound(point.x()), qRound(point.y()));
}

void ThinLine::drawPolyline(const QPointF *points, size_t count)
{
    if (count < 2)
        return;
    lastX_ = lastY_ = NoPixel;
    lastDirection_ = NoDirection;
    lastAxisAligned_ = false;
    int caps = CapBegin;
    QPointF from = points[0];
    for (size_t i = 1; i < count; ++i) {
        const QPointF to = points[i];
        if (i == count - 1)
            caps |= CapEnd;
        const bool moved = segment(from.x(), from.y(), to.x(), to.y(), caps);
        // A step that drew nothing keeps its start, so that many tiny steps still join up.
        if (moved || i == 1 || i == count - 1)
            from = to;
        caps = NoCaps;
    }
    flushColumn();
}

bool ThinLine::cut(double &x1, double &y1, double &x2, double &y2)
{
    // A rough cut at the device's edges, in floating point so that nothing overflows; an end
    // that is cut loses the join to the next segment.
    if (x1 < xMin_) {
        if (x2 <= xMin_)
            return lastX_ = NoPixel, true;
        y1 += (y2 - y1) / (x2 - x1) * (xMin_ - x1);
        x1 = xMin_;
    } else if (x1 > xMax_) {
        if (x2 >= xMax_)
            return lastX_ = NoPixel, true;
        y1 += (y2 - y1) / (x2 - x1) * (xMax_ - x1);
        x1 = xMax_;
    }
    if (x2 < xMin_) {
        lastX_ = NoPixel;
        y2 += (y2 - y1) / (x2 - x1) * (xMin_ - x2);
        x2 = xMin_;
    } else if (x2 > xMax_) {
        lastX_ = NoPixel;
        y2 += (y2 - y1) / (x2 - x1) * (xMax_ - x2);
        x2 = xMax_;
    }
    if (y1 < yMin_) {
        if (y2 <= yMin_)
            return lastX_ = NoPixel, true;
        x1 += (x2 - x1) / (y2 - y1) * (yMin_ - y1);
        y1 = yMin_;
    } else if (y1 > yMax_) {
        if (y2 >= yMax_)
            return lastX_ = NoPixel, true;
        x1 += (x2 - x1) / (y2 - y1) * (yMax_ - y1);
        y1 = yMax_;
    }
    if (y2 < yMin_) {
        lastX_ = NoPixel;
        x2 += (x2 - x1) / (y2 - y1) * (yMin_ - y2);
        y2 = yMin_;
    } else if (y2 > yMax_) {
        lastX_ = NoPixel;
        x2 += (x2 - x1) / (y2 - y1) * (yMax_ - y2);
        y2 = yMax_;
    }
    return false;
}

bool ThinLine::segment(double x1, double y1, double x2, double y2, int caps)
{
    const bool longEnough = std::abs(x2 - x1) + std::abs(y2 - y1) >= 1.0;
    if (cut(x1, y1, x2, y2))
        return true;
    const int fx1 = sixtyFourths(x1);
    const int fy1 = sixtyFourths(y1);
    const int fx2 = sixtyFourths(x2);
    const int fy2 = sixtyFourths(y2);
    if (std::abs(fx2 - fx1) < std::abs(fy2 - fy1))
        return step(fy1, fx1, fy2, fx2, caps, true) || longEnough;
    if (fx1 == fx2)
        return true;
    return step(fx1, fy1, fx2, fy2, caps, false) || longEnough;
}

// One segment's pixels along its longer axis ("major"), from major up to end (not included);
// the other coordinate in 16.16, moving by increment a step.
struct ThinLine::Run
{
    struct Pixel
    {
        int x;
        int y;
    };

    bool vertical;
    bool swapped; // stepped from its far end
    int direction;
    int major;
    int end;
    int64_t minor;
    int64_t increment;
    bool axisAligned;
    Pixel first; // where the segment starts and ends, whichever way it is stepped
    Pixel last;

    Pixel pixel(int along, int64_t across) const
    {
        const int at = static_cast<int>(across >> 16);
        return vertical ? Pixel{at, along} : Pixel{along, at};
    }
};

bool ThinLine::step(int major1, int minor1, int major2, int minor2, int caps, bool vertical)
{
    Run run{};
    if (!startRun(run, major1, minor1, major2, minor2, caps, vertical))
        return false;
    if (lastX_ > NoPixel)
        join(run);
    lastDirection_ = run.direction;
    lastAxisAligned_ = run.axisAligned;
    drawRun(run);
    lastX_ = run.last.x;
    lastY_ = run.last.y;
    return true;
}

bool ThinLine::startRun(Run &run, int major1, int minor1, int major2, int minor2, int caps,
                        bool vertical) const
{
    run.vertical = vertical;
    run.direction = vertical ? Down : Right;
    run.swapped = major1 > major2;
    if (run.swapped) {
        std::swap(major1, major2);
        std::swap(minor1, minor2);
        caps = swapCaps(caps);
        run.direction = vertical ? Up : Left;
    }
    const int64_t increment =
        minor2 == minor1 ? 0 : int64_t{minor2 - minor1} * 65536 / (major2 - major1);
    int64_t minor = int64_t{minor1} * 1024;
    // Turning back along the same axis caps the turn.
    if ((lastDirection_ ^ (vertical ? VerticalMask : HorizontalMask)) == run.direction)
        caps |= run.swapped ? CapEnd : CapBegin;
    if (caps & CapBegin) {
        major1 -= 32;
        minor -= increment >> 1;
    }
    if (caps & CapEnd)
        major2 += 32;

    int major = (major1 + 32) >> 6;
    const int end = (major2 + 32) >> 6;
    const int round = increment > 0 ? 32 : 0;
    // A begin cap that rounded away from where the segment before ended rounds back.
    if ((caps & CapBegin) && (vertical ? lastY_ : lastX_) == major + 1)
        ++major;
    if (major == end)
        return false;
    minor += (int64_t{major} * 64 + round - major1) * increment >> 6;

    run.major = major;
    run.end = end;
    run.minor = minor;
    run.increment = increment;
    run.axisAligned = std::abs(increment) < (1 << 14);
    run.first = run.pixel(major, minor);
    run.last = run.pixel(end - 1, minor + (end - major - 1) * increment);
    if (run.swapped)
        std::swap(run.first, run.last);
    return true;
}

void ThinLine::join(Run &run) const
{
    const int apartX = std::abs(lastX_ - run.first.x);
    const int apartY = std::abs(lastY_ - run.first.y);
    if (apartX == 0 && apartY == 0) {
        // The joint was drawn by the segment before.
        if (run.swapped) {
            --run.end;
        } else {
            ++run.major;
            run.minor += run.increment;
        }
    } else if (lastDirection_ != run.direction &&
               ((run.axisAligned && lastAxisAligned_ && apartX != 0 && apartY != 0) || apartX > 1 ||
                apartY > 1)) {
        // A change of direction left a gap at the joint.
        if (run.swapped) {
            ++run.end;
        } else {
            --run.major;
            run.minor -= run.increment;
        }
    } else if (lastDirection_ == run.direction && apartX <= 1 && apartY > 1) {
        // Half a step across, so that a straight run does not jog at the joint.
        run.minor += run.increment >> 1;
        const int64_t across =
            run.swapped ? run.minor : run.minor + (run.end - run.major - 1) * run.increment;
        (run.vertical ? run.last.x : run.last.y) = static_cast<int>(across >> 16);
    }
}

void ThinLine::drawRun(const Run &run)
{
    if (run.vertical && run.increment == 0) {
        // Straight down a column, as most of a dense trace is.
        plotColumn(static_cast<int>(run.minor >> 16), run.major, std::max(run.major, run.end - 1));
        return;
    }
    int major = run.major;
    int64_t minor = run.minor;
    do {
        const Run::Pixel at = run.pixel(major, minor);
        plot(at.x, at.y);
        minor += run.increment;
    } while (++major < run.end);
}

void ThinLine::plot(int x, int y)
{
    if (x < clip_.left() || x > clip_.right() || y < clip_.top() || y > clip_.bottom())
        return;
    bits_[(y - origin_.y()) * stride_ + (x - origin_.x())] = colour_;
    markRows(y, y);
}

void ThinLine::plotColumn(int x, int top, int bottom)
{
    // The runs of one column overlap; they are gathered and written once.
    if (x == runX_ && top <= runBottom_ + 1 && bottom >= runTop_ - 1) {
        runTop_ = std::min(runTop_, top);
        runBottom_ = std::max(runBottom_, bottom);
        return;
    }
    flushColumn();
    runX_ = x;
    runTop_ = top;
    runBottom_ = bottom;
}

void ThinLine::flushColumn()
{
    const int x = runX_;
    runX_ = NoPixel;
    if (x == NoPixel || x < clip_.left() || x > clip_.right())
        return;
    const int top = std::max(runTop_, clip_.top());
    const int bottom = std::min(runBottom_, clip_.bottom());
    if (top > bottom)
        return;
    // Locals: a store through the pixel pointer could otherwise be taken to change them.
    const QRgb colour = colour_;
    const qsizetype stride = stride_;
    QRgb *at = bits_ + (top - origin_.y()) * stride + (x - origin_.x());
    for (int y = top; y <= bottom; ++y, at += stride)
        *at = colour;
    markRows(top, bottom);
}

void ThinLine::markRows(int top, int bottom)
{
    const int first = top - origin_.y();
    const int last = bottom - origin_.y();
    if (firstRow_ > lastRow_) {
        firstRow_ = first;
        lastRow_ = last;
    } else {
        firstRow_ = std::min(firstRow_, first);
        lastRow_ = std::max(lastRow_, last);
    }
}

} // namespace app::analysis::chart
