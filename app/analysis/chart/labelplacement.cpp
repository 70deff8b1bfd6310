#include "app/analysis/chart/labelplacement.h"

#include <algorithm>

#include <QFontMetrics>
#include <QRectF>

namespace app::analysis::chart {

QFont labelFont(QFont chartFont)
{
    chartFont.setPointSizeF(9.0);
    return chartFont;
}

QPointF labelTextOrigin(const QPointF &point, double textWidth, const QRect &plot)
{
    QPointF at = point + QPointF(LabelGap, -3.0);
    const double left = plot.left() + LabelGap;
    // The frame is drawn on the plot's last column.
    const double right = plot.right() - 1 - LabelGap;
    if (at.x() + textWidth > right)
        at.setX(right - textWidth);
    at.setX(std::max(left, at.x()));
    return at;
}

QRect labelTextBox(const QPointF &origin, double textWidth, const QFontMetrics &metrics)
{
    const QRectF text(origin.x(), origin.y() - metrics.ascent(), textWidth, metrics.height());
    return text.adjusted(-LabelGap, -LabelGap, LabelGap, LabelGap).toAlignedRect();
}

} // namespace app::analysis::chart
