#ifndef APP_ANALYSIS_CHART_CHARTCONTROL_H
#define APP_ANALYSIS_CHART_CHARTCONTROL_H

#include <cstdint>
#include <functional>

#include <QString>

#include "platform/win/syscolours.h"

class QWidget;

namespace app::analysis::chart {

using platform::win::OleColour;

// How a line is drawn, and a cursor: any other value draws solid.
enum class LineType : int { Solid = 0, Dashed = 1, Dotted = 2, DashDot = 3, DashDotDot = 4 };
// FollowsClick: a left click in the plot moves the selected cursor to the clicked x, before the
// click handler is called.
enum class CursorMode : int { Fixed = 0, FollowsClick = 2 };

// What the signal pages ask of a chart: series of values or points, axis ranges, vertical
// cursors, text labels, colours, a picture on the clipboard and two mouse events. Indexes of
// elements, cursors and labels start at 0. No member fails: an index out of range is ignored
// or adds what is missing, as each member says. ChartDispatch offers the same members by
// dispatch identifier.
class ChartControl
{
public:
    // A left-button release in the plot, with its x in data units.
    using ClickHandler = std::function<void(double x)>;
    // Any button released over the chart, after the click if there is one: the Qt button.
    using MouseHandler = std::function<void(int button)>;

    virtual ~ChartControl() = default;

    // The widget that shows the chart; the chart's owner places it.
    virtual QWidget *widget() = 0;
    // One handler of each kind; a later one replaces the earlier.
    virtual void setClickHandler(ClickHandler handler) = 0;
    virtual void setMouseHandler(MouseHandler handler) = 0;

    // Elements (series). ClearGraph leaves one empty element, selected; settings stay.
    // Selecting an element that does not exist keeps the selection.
    virtual void ClearGraph() = 0;
    virtual void AddElement() = 0;
    virtual int element() const = 0;
    virtual void setElement(int index) = 0;
    virtual void setElementLineColor(OleColour colour) = 0;
    virtual void setElementWidth(int tenthsOfPixel) = 0;
    // The element's and every later element's.
    virtual void setElementLineType(LineType type) = 0;
    virtual void PlotY(double y, int16_t mode) = 0; // x is the element's point count
    virtual void PlotXY(double x, double y, int16_t mode) = 0;
    virtual void SetRange(double xMin, double xMax, double yMin, double yMax) = 0;

    // Cursors: vertical lines. Selecting past the count adds the missing ones.
    virtual void AddCursor() = 0;
    virtual int cursor() const = 0;
    virtual void setCursor(int index) = 0;
    virtual void setCursorX(double x) = 0;
    virtual void setCursorVisible(bool visible) = 0;
    virtual void setCursorColor(OleColour colour) = 0;
    virtual void setCursorStyle(LineType style) = 0;
    virtual void setCursorMode(CursorMode mode) = 0;

    // Text labels at data positions. Selecting past the count adds the missing ones.
    virtual void AddAnnotation() = 0;
    virtual int annotationCount() const = 0;
    virtual int annotation() const = 0;
    virtual void setAnnotation(int index) = 0;
    virtual void setAnnoLabelCaption(const QString &text) = 0;
    virtual void setAnnoLabelX(double x) = 0;
    virtual void setAnnoLabelY(double y) = 0;
    virtual void setAnnoVisible(bool visible) = 0;
    virtual void setAnnoLabelColor(OleColour colour) = 0;

    // Colours: the base colour, the plot area and the frame around it.
    virtual OleColour controlFrameColor() const = 0;
    virtual void setControlFrameColor(OleColour colour) = 0;
    virtual OleColour plotAreaColor() const = 0;
    virtual void setPlotAreaColor(OleColour colour) = 0;
    virtual OleColour frameColor() const = 0;
    virtual void setFrameColor(OleColour colour) = 0;

    virtual bool chartEnabled() const = 0;
    virtual void setChartEnabled(bool enabled) = 0;

    // The chart as it is at this moment, as a picture on the clipboard.
    virtual void CopyWindowToClipboard() = 0;
};

// The chart a page gets: an NTGraph unless a factory is installed (tests install a double).
// The chart's widget is a child of parent.
using ChartFactory = std::function<ChartControl *(QWidget *parent)>;
ChartControl *CreateChart(QWidget *parent);
// Installs a factory; an empty one restores the default. Returns the previous factory.
ChartFactory SetChartFactory(ChartFactory factory);

} // namespace app::analysis::chart

#endif
