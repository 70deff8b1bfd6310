#include "app/controls/roundregion.h"

#include <algorithm>
#include <cmath>

#include <QRect>

namespace app::controls {

QRegion roundRectRegion(int width, int height, int ellipseWidth, int ellipseHeight)
{
    if (width <= 0 || height <= 0)
        return {};
    const double rx = std::min(ellipseWidth, width) / 2.0;
    const double ry = std::min(ellipseHeight, height) / 2.0;
    if (rx <= 0.0 || ry <= 0.0)
        return QRegion(0, 0, width, height);

    QRegion region;
    int y = 0;
    while (y < height) {
        // Distance of the row's centre from the corner ellipse's centre line.
        const double cy = y + 0.5;
        double dy = 0.0;
        if (cy < ry)
            dy = ry - cy;
        else if (cy > height - ry)
            dy = cy - (height - ry);
        const double ratio = std::min(1.0, dy / ry);
        const int inset =
            static_cast<int>(std::lround(rx - rx * std::sqrt(std::max(0.0, 1.0 - ratio * ratio))));
        // Rows with the same inset form one rectangle.
        int rows = 1;
        if (dy == 0.0) {
            while (y + rows < height && y + rows + 0.5 <= height - ry)
                ++rows;
        }
        if (width - 2 * inset > 0)
            region += QRect(inset, y, width - 2 * inset, rows);
        y += rows;
    }
    return region;
}

} // namespace app::controls
