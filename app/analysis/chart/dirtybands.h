#ifndef APP_ANALYSIS_CHART_DIRTYBANDS_H
#define APP_ANALYSIS_CHART_DIRTYBANDS_H

#include <cmath>
#include <cstddef>
#include <vector>

#include <QPointF>
#include <QRect>
#include <QRectF>
#include <QRegion>

namespace app::analysis::chart {

// The pixels a picture's lines and labels may cover, kept as one row span for each band of
// columns: close enough around a trace that a repaint of it touches little else, and cheap
// enough to work out every frame.
class DirtyBands
{
public:
    static constexpr int BandWidth = 16;

    explicit DirtyBands(const QRect &bounds = {});

    // Every pixel the area touches, cut to the bounds.
    void add(const QRectF &area);
    // Every pixel a line from a to b may touch, pad pixels around it, cut to clip.
    void addSegment(QPointF a, QPointF b, double pad, const QRect &clip);
    // Every pixel of a line through the finite points, as pixels(x, y) places them, which
    // steps over the others.
    template <typename Pixels>
    void addLine(const std::vector<double> &xs, const std::vector<double> &ys, Pixels pixels,
                 double pad, const QRect &clip)
    {
        QPointF last;
        bool started = false;
        for (size_t i = 0; i < xs.size() && i < ys.size(); ++i) {
            if (!std::isfinite(xs[i]) || !std::isfinite(ys[i]))
                continue;
            const QPointF at = pixels(xs[i], ys[i]);
            addSegment(started ? last : at, at, pad, clip);
            last = at;
            started = true;
        }
    }
    // The pixels of both; other has the same bounds.
    void unite(const DirtyBands &other);
    QRegion region() const;

private:
    QRect bounds_;
    // The first and last row touched in each band; first above last where none is.
    std::vector<int> tops_;
    std::vector<int> bottoms_;
};

} // namespace app::analysis::chart

#endif
