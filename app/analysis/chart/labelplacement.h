#ifndef APP_ANALYSIS_CHART_LABELPLACEMENT_H
#define APP_ANALYSIS_CHART_LABELPLACEMENT_H

#include <QFont>
#include <QPointF>
#include <QRect>

class QFontMetrics;

namespace app::analysis::chart {

// Room between a label and its point, the plot's frame, or a cursor line behind it.
constexpr double LabelGap = 2.0;

// The labels' font, made from the chart's.
QFont labelFont(QFont chartFont);

// Where a label's text starts (left end of its base line), for a point in widget pixels: just
// right of and above the point, and kept clear of the plot's frame on either side. A text that
// would run past the right edge ends there; one whose point lies left of the plot starts at its
// left edge, so that a label never covers the axis numbers.
QPointF labelTextOrigin(const QPointF &point, double textWidth, const QRect &plot);

// The box a label's text takes from that origin, with room around it.
QRect labelTextBox(const QPointF &origin, double textWidth, const QFontMetrics &metrics);

} // namespace app::analysis::chart

#endif
