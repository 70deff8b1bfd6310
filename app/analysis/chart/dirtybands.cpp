#include "app/analysis/chart/dirtybands.h"

#include <algorithm>
#include <cmath>
#include <cstddef>

namespace app::analysis::chart {

DirtyBands::DirtyBands(const QRect &bounds)
    : bounds_(bounds),
      tops_(static_cast<size_t>(std::max(0, (bounds.width() + BandWidth - 1) / BandWidth)),
            bounds.bottom() + 1),
      bottoms_(tops_.size(), bounds.top() - 1)
{
}

void DirtyBands::add(const QRectF &area)
{
    if (tops_.empty() || !area.isValid() || !std::isfinite(area.left()) ||
        !std::isfinite(area.top()) || !std::isfinite(area.right()) ||
        !std::isfinite(area.bottom()))
        return;
    // Whole pixels that hold any part of the area; far-off coordinates are cut before they
    // are turned into integers.
    const QRectF cut = area & QRectF(bounds_).adjusted(-1, -1, 1, 1);
    if (cut.isEmpty())
        return;
    const QRect pixels = QRect(QPoint(static_cast<int>(std::floor(cut.left())),
                                      static_cast<int>(std::floor(cut.top()))),
                               QPoint(static_cast<int>(std::ceil(cut.right())),
                                      static_cast<int>(std::ceil(cut.bottom())))) &
                         bounds_;
    if (pixels.isEmpty())
        return;
    const size_t first = static_cast<size_t>((pixels.left() - bounds_.left()) / BandWidth);
    const size_t last = static_cast<size_t>((pixels.right() - bounds_.left()) / BandWidth);
    for (size_t band = first; band <= last; ++band) {
        tops_[band] = std::min(tops_[band], pixels.top());
        bottoms_[band] = std::max(bottoms_[band], pixels.bottom());
    }
}

void DirtyBands::addSegment(QPointF a, QPointF b, double pad, const QRect &clip)
{
    const QRectF box = QRectF(a, b).normalized().adjusted(-pad, -pad, pad, pad);
    add(box & QRectF(clip));
}

void DirtyBands::unite(const DirtyBands &other)
{
    for (size_t band = 0; band < tops_.size() && band < other.tops_.size(); ++band) {
        tops_[band] = std::min(tops_[band], other.tops_[band]);
        bottoms_[band] = std::max(bottoms_[band], other.bottoms_[band]);
    }
}

QRegion DirtyBands::region() const
{
    QRegion region;
    size_t band = 0;
    while (band < tops_.size()) {
        if (tops_[band] > bottoms_[band]) {
            ++band;
            continue;
        }
        // Neighbouring bands with the same rows are one rectangle.
        size_t end = band + 1;
        while (end < tops_.size() && tops_[end] == tops_[band] && bottoms_[end] == bottoms_[band])
            ++end;
        const int left = bounds_.left() + static_cast<int>(band) * BandWidth;
        const int right = std::min(bounds_.right(),
                                   bounds_.left() + static_cast<int>(end) * BandWidth - 1);
        region += QRect(QPoint(left, tops_[band]), QPoint(right, bottoms_[band]));
        band = end;
    }
    return region;
}

} // namespace app::analysis::chart
