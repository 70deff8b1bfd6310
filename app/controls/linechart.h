#ifndef APP_CONTROLS_LINECHART_H
#define APP_CONTROLS_LINECHART_H

#include <cstdint>
#include <optional>
#include <vector>

#include <QPointer>
#include <QVariant>

#include "platform/win/syscolours.h"

namespace app::controls {

class PictureBox;

// A scrolling strip chart on a picture the host owns: one sample per pixel column, new samples
// enter at the right edge, with an optional grid whose vertical lines may scroll with the data.
class LineChart
{
public:
    static constexpr platform::win::OleColour DefaultGridColor = 0x008200u; // RGB(0, 130, 0)

    int32_t HorzSplits() const { return HorzSplits_; }
    void setHorzSplits(int32_t value) { HorzSplits_ = value; }
    int32_t VertSplits() const { return VertSplits_; }
    void setVertSplits(int32_t value) { VertSplits_ = value; }
    float Max() const { return Max_; }
    void setMax(float value) { Max_ = value; }
    // 0 lines, 1 dots, any other value no trace.
    int32_t DiagramType() const { return DiagramType_; }
    void setDiagramType(int32_t value) { DiagramType_ = value; }

    // Binds the chart to the picture (error 9 for a picture narrower than a pixel, the chart
    // then stays as it was). Returns an empty variant.
    QVariant InitDiagram(PictureBox &pBox, platform::win::OleColour LineColor, bool ShowGrid,
                         std::optional<platform::win::OleColour> bBackColor = std::nullopt,
                         std::optional<platform::win::OleColour> GridColor = std::nullopt,
                         std::optional<bool> MovingGrid = std::nullopt);
    void AddPoint(float Value);
    void RePaint();

    // State, for tests.
    bool isInitialised() const { return box_ != nullptr; }
    float sampleRow(int column) const { return samples_.at(index(column)); }
    int firstValidColumn() const { return firstValid_; }
    int gridOffset() const { return gridOffset_; }

private:
    size_t index(int column) const { return static_cast<size_t>((first_ + column) % width_); }
    float &at(int column) { return samples_[index(column)]; }
    void drawGrid();
    void drawTrace();

    int32_t HorzSplits_ = 0;
    int32_t VertSplits_ = 0;
    float Max_ = 0.0f;
    int32_t DiagramType_ = 0;

    QPointer<PictureBox> box_;
    platform::win::OleColour lineColor_ = 0;
    platform::win::OleColour gridColor_ = DefaultGridColor;
    bool showGrid_ = false;
    bool movingGrid_ = false;
    int height_ = 0;
    int width_ = 0;
    std::vector<float> samples_; // pixel rows, one per column, column 0 at first_
    int first_ = 0;
    int firstValid_ = 0;
    int gridOffset_ = 0;
};

} // namespace app::controls

#endif
