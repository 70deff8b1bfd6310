#ifndef APP_ANALYSIS_CHART_COLUMNREDUCTION_H
#define APP_ANALYSIS_CHART_COLUMNREDUCTION_H

#include <span>

#include <QPointF>
#include <QPolygonF>

namespace app::analysis::chart {

// A line in pixel coordinates reduced to what a one-pixel line can show: for every run of
// consecutive points in the same pixel column, its first, lowest, highest and last point in
// their order. The reduced line covers the same vertical extent in every column as the full
// one, including the segments that join one column to the next.
QPolygonF ReduceToColumns(std::span<const QPointF> pixels);

} // namespace app::analysis::chart

#endif
