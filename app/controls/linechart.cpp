#include "app/controls/linechart.h"

#include <algorithm>
#include <cmath>
#include <limits>

#include "app/controls/picturebox.h"
#include "platform/vb/vberror.h"

namespace app::controls {

namespace {

// Calls draw(x) for the values of "For x = start To end Step step", with at most one line per
// pixel column (values that round to a column already drawn are skipped, however small the
// step). A step that is not positive draws at most the first line.
template <typename Draw>
void forEachGridLine(double start, double end, double step, Draw &&draw)
{
    if (!(step > 0.0) || !std::isfinite(step)) {
        const bool runs = step < 0.0 ? start >= end : start <= end;
        if (runs)
            draw(start);
        return;
    }
    long drawn = std::numeric_limits<long>::min();
    for (double x = start; x <= end;) {
        const long column = std::lround(x);
        if (column != drawn) {
            draw(x);
            drawn = column;
        }
        double next = x + step;
        if (std::lround(next) == column) {
            // Jump to the first loop value beyond this column.
            const double steps = std::ceil((column + 0.5 - x) / step);
            next = x + std::max(1.0, steps) * step;
            if (std::lround(next) == column)
                next += step;
        }
        x = next;
    }
}

} // namespace

QVariant LineChart::InitDiagram(PictureBox &pBox, platform::win::OleColour LineColor, bool ShowGrid,
                                std::optional<platform::win::OleColour> bBackColor,
                                std::optional<platform::win::OleColour> GridColor,
                                std::optional<bool> MovingGrid)
{
    const int width = pBox.ScaleWidth();
    if (width < 1)
        throw platform::vb::VbError(platform::vb::VbError::SubscriptOutOfRange,
                                    QStringLiteral("LineChart.InitDiagram"),
                                    QStringLiteral("Subscript out of range"));
    lineColor_ = LineColor;
    showGrid_ = ShowGrid;
    height_ = pBox.ScaleHeight();
    width_ = width;
    gridColor_ = GridColor.value_or(DefaultGridColor);
    pBox.setBackColor(bBackColor.value_or(0));
    movingGrid_ = MovingGrid.value_or(false);
    box_ = &pBox;
    samples_.assign(static_cast<size_t>(width_), 0.0f);
    first_ = 0;
    gridOffset_ = 0;
    firstValid_ = width_ - 1;
    return {};
}

void LineChart::AddPoint(float Value)
{
    if (!box_)
        return;
    // Every column takes its right neighbour's sample: the ring turns by one instead.
    first_ = (first_ + 1) % width_;
    if (!(Max_ > 0.0f))
        Max_ = 1.0f;
    const float h = static_cast<float>(height_);
    at(width_ - 1) = h - (Value / Max_) * h;
    if (firstValid_ > 0)
        --firstValid_;
    --gridOffset_;
}

void LineChart::RePaint()
{
    if (!box_)
        return;
    box_->Cls();
    if (showGrid_)
        drawGrid();
    if (firstValid_ > width_ - 1)
        return;
    drawTrace();
}

void LineChart::drawGrid()
{
    PictureBox &box = *box_;
    box.setForeColor(gridColor_);
    const double w = width_;
    const double h = height_;
    const double vertical = (w - 1.0) / (static_cast<double>(VertSplits_) + 1.0) - 0.0001;
    forEachGridLine(movingGrid_ ? gridOffset_ : 0, w - 1.0, vertical,
                    [&](double x) { box.Line(x, 0, x, h); });
    const double horizontal = (h - 1.0) / (static_cast<double>(HorzSplits_) + 1.0) - 0.0001;
    forEachGridLine(0, h - 1.0, horizontal, [&](double y) { box.Line(0, y, w, y); });

    const double splits = static_cast<double>(HorzSplits_) + 1.0;
    const double reset = splits == 0.0 ? -(w - 1.0) : -std::floor(w - 1.0 / splits);
    if (gridOffset_ <= reset)
        gridOffset_ = 0;
}

void LineChart::drawTrace()
{
    if (DiagramType_ != 0 && DiagramType_ != 1)
        return;
    PictureBox &box = *box_;
    box.setForeColor(lineColor_);
    // Rows far outside the picture are drawn at the edge of a band around it; NaN leaves a gap.
    const float band = static_cast<float>(std::max(height_, 1));
    const auto row = [band](float value) { return std::clamp(value, -band, 2.0f * band); };
    for (int i = firstValid_ + 1; i <= width_ - 2; ++i) {
        const float next = at(i + 1);
        if (std::isnan(next))
            continue;
        if (DiagramType_ == 0) {
            const float here = at(i);
            if (!std::isnan(here))
                box.Line(i, row(here), i + 1, row(next));
        } else if (DiagramType_ == 1) {
            box.PSet(i + 1, row(next));
        }
    }
}

} // namespace app::controls
