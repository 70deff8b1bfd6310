#include "app/analysis/chart/columnreduction.h"

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <utility>

namespace app::analysis::chart {

namespace {

// One run of points in a column; indexes into the input.
struct Run
{
    double column = 0.0;
    size_t first = 0;
    size_t lowest = 0;
    size_t highest = 0;
    size_t last = 0;
};

void emitRun(const Run &run, std::span<const QPointF> pixels, QPolygonF &out)
{
    size_t order[4] = {run.first, run.lowest, run.highest, run.last};
    if (order[1] > order[2])
        std::swap(order[1], order[2]);
    size_t previous = SIZE_MAX;
    for (const size_t index : order) {
        if (index != previous)
            out.append(pixels[index]);
        previous = index;
    }
}

} // namespace

QPolygonF ReduceToColumns(std::span<const QPointF> pixels)
{
    QPolygonF out;
    if (pixels.empty())
        return out;
    out.reserve(static_cast<qsizetype>(std::min<size_t>(pixels.size(), 4096)));
    Run run{std::floor(pixels[0].x()), 0, 0, 0, 0};
    for (size_t i = 1; i < pixels.size(); ++i) {
        const double column = std::floor(pixels[i].x());
        if (column != run.column) {
            emitRun(run, pixels, out);
            run = {column, i, i, i, i};
            continue;
        }
        // Screen y grows downwards: the lowest value has the largest y.
        if (pixels[i].y() > pixels[run.lowest].y())
            run.lowest = i;
        if (pixels[i].y() < pixels[run.highest].y())
            run.highest = i;
        run.last = i;
    }
    emitRun(run, pixels, out);
    return out;
}

} // namespace app::analysis::chart
