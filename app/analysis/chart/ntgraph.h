#ifndef APP_ANALYSIS_CHART_NTGRAPH_H
#define APP_ANALYSIS_CHART_NTGRAPH_H

#include <array>
#include <cmath>
#include <cstddef>
#include <utility>
#include <vector>

#include <QFont>
#include <QHash>
#include <QImage>
#include <QPixmap>
#include <QPointF>
#include <QPolygonF>
#include <QRect>
#include <QRegion>
#include <QString>
#include <QWidget>

#include "app/analysis/chart/chartcontrol.h"
#include "app/analysis/chart/repaintpacer.h"

class QFontMetrics;
class QPainter;

namespace app::analysis::chart {

// The chart widget: elements drawn as lines over a ten-division grid with axis numbers,
// vertical cursors and text labels. A call only marks the chart changed: a repaint follows at
// most once a frame of the screen, so a page that plots a whole trace in one timer tick, or
// ticks faster than the screen shows, paints once a frame with its latest state. The frame,
// grid and axis numbers are kept as a picture, drawn again only when the size, a range, a
// colour or the font changes. Beyond two points per pixel column a line is
// reduced to the first, lowest, highest and last point of each column, which covers the same
// pixels as the full line at a fraction of the cost; a solid one-pixel line is then written
// straight into the pixels, as the painter would draw it.
class NTGraph : public QWidget, public ChartControl
{
    Q_OBJECT

public:
    explicit NTGraph(QWidget *parent = nullptr);

    QWidget *widget() override { return this; }
    void setClickHandler(ClickHandler handler) override { clickHandler_ = std::move(handler); }
    void setMouseHandler(MouseHandler handler) override { mouseHandler_ = std::move(handler); }

    void ClearGraph() override;
    void AddElement() override;
    int element() const override { return element_; }
    void setElement(int index) override;
    void setElementLineColor(OleColour colour) override;
    void setElementWidth(int tenthsOfPixel) override;
    void setElementLineType(LineType type) override;
    void PlotY(double y, int16_t mode) override;
    void PlotXY(double x, double y, int16_t mode) override;
    void SetRange(double xMin, double xMax, double yMin, double yMax) override;

    void AddCursor() override;
    int cursor() const override { return cursor_; }
    void setCursor(int index) override;
    void setCursorX(double x) override;
    void setCursorVisible(bool visible) override;
    void setCursorColor(OleColour colour) override;
    void setCursorStyle(LineType style) override;
    void setCursorMode(CursorMode mode) override;

    void AddAnnotation() override;
    int annotationCount() const override { return static_cast<int>(annotations_.size()); }
    int annotation() const override { return annotation_; }
    void setAnnotation(int index) override;
    void setAnnoLabelCaption(const QString &text) override;
    void setAnnoLabelX(double x) override;
    void setAnnoLabelY(double y) override;
    void setAnnoVisible(bool visible) override;
    void setAnnoLabelColor(OleColour colour) override;

    OleColour controlFrameColor() const override { return controlFrame_; }
    void setControlFrameColor(OleColour colour) override;
    OleColour plotAreaColor() const override { return plotArea_; }
    void setPlotAreaColor(OleColour colour) override;
    OleColour frameColor() const override { return frame_; }
    void setFrameColor(OleColour colour) override;

    bool chartEnabled() const override { return isEnabled(); }
    void setChartEnabled(bool enabled) override { setEnabled(enabled); }

    void CopyWindowToClipboard() override;

    // What the chart holds, for owners and tests.
    int elementCount() const { return static_cast<int>(elements_.size()); }
    std::vector<QPointF> points(int element) const;
    LineType lineType(int element) const { return elements_.at(element).lineType; }
    int cursorCount() const { return static_cast<int>(cursors_.size()); }
    double cursorX(int index) const { return cursors_.at(index).x; }
    QString annotationText(int index) const { return annotations_.at(index).text; }
    double xMin() const { return xMin_; }
    double xMax() const { return xMax_; }
    double yMin() const { return yMin_; }
    double yMax() const { return yMax_; }
    // The grid area in widget pixels.
    QRect plotRect() const;
    // The data x at a widget pixel column.
    double dataX(double pixelX) const;
    // Off, every point of a line is drawn (the reference the reduction is measured against).
    void setDecimated(bool on) { decimated_ = on; }
    // On, the painter draws every line, also where the chart writes the pixels itself (the
    // reference those pixels are checked against).
    void setPainterLines(bool on) { painterLines_ = on; }

    QSize sizeHint() const override { return {400, 250}; }

protected:
    void paintEvent(QPaintEvent *event) override;
    void mouseReleaseEvent(QMouseEvent *event) override;
    void changeEvent(QEvent *event) override;

private:
    struct Element
    {
        OleColour colour = 0x00FF00;
        int width = 10;
        LineType lineType = LineType::Solid;
        // The points, x and y apart: a dense trace is reduced by reading its y alone.
        std::vector<double> xs;
        std::vector<double> ys;
        // Every point finite, and x never falling: such a line is reduced column by column
        // without looking at each point's column.
        bool finite = true;
        bool ascending = true;

        void add(double x, double y)
        {
            finite = finite && std::isfinite(x) && std::isfinite(y);
            ascending = ascending && (xs.empty() || x >= xs.back());
            xs.push_back(x);
            ys.push_back(y);
        }
        void clear()
        {
            xs.clear();
            ys.clear();
            finite = ascending = true;
        }
    };
    struct Cursor
    {
        double x = 0.0;
        bool visible = true;
        OleColour colour = 0xFFFFFF;
        LineType style = LineType::Solid;
        CursorMode mode = CursorMode::Fixed;
    };
    struct Annotation
    {
        QString text;
        double x = 0.0;
        double y = 0.0;
        bool visible = true;
        OleColour colour = 0xFFFFFF;
        // The text's width in the font it was last painted with: a live page repaints the same
        // label many times a second, and measuring a text shapes it anew.
        mutable QString measuredText;
        mutable QFont measuredFont;
        mutable double measuredWidth = 0.0;
        double widthIn(const QFontMetrics &metrics, const QFont &font) const;
        bool shown() const
        {
            return visible && !text.isEmpty() && std::isfinite(x) && std::isfinite(y);
        }
    };

    Element &currentElement() { return elements_.at(static_cast<size_t>(element_)); }
    Cursor &currentCursor();
    Annotation &currentAnnotation();
    // Marks the chart changed; the pacer repaints it once the burst of changes is over.
    void scheduleRepaint() { pacer_.changed(); }
    QFont axisFont() const;
    // The numbers at every second division, from the low end of the axis.
    using AxisLabels = std::array<QString, 6>;
    static AxisLabels axisLabels(double low, double high);
    int leftMargin() const;
    QPointF toPixels(double x, double y, const QRect &plot) const;
    struct Scale;
    // The frame, plot area, grid and axis numbers, which change only with the size, ranges,
    // colours and font: drawn from the kept picture, made again where one of them changed.
    // False when the plot has no area and nothing more is drawn.
    bool paintBackground(QPainter &painter, const QRect &plot) const;
    // What the kept pictures were drawn for: the axis numbers as written, so that a range
    // that moves without changing them keeps the picture.
    struct BackgroundKey
    {
        QSize size;
        QRect plot;
        qreal ratio = 0.0;
        OleColour frame = 0;
        OleColour plotArea = 0;
        AxisLabels xLabels;
        AxisLabels yLabels;
        bool operator==(const BackgroundKey &) const = default;
    };
    BackgroundKey backgroundKey(const QRect &plot, qreal ratio) const;
    // The grid without the numbers, which a change of range alone leaves as it is.
    const QPixmap &gridPicture(const BackgroundKey &key) const;
    // The grid lines and the plot's border, then the axis numbers around it.
    void paintGrid(QPainter &painter, const QRect &plot) const;
    void paintAxes(QPainter &painter, const QRect &plot, const BackgroundKey &key) const;
    // The elements, cursors and labels over the background.
    void paintData(QPainter &painter, const QRect &plot) const;
    void paintElement(QPainter &painter, const Element &element, const QRect &plot) const;
    // The element's line in pixels, into line_: reduced per pixel column (points in ascending
    // x, or any points), or every point.
    void reduceAscending(const Element &element, const Scale &scale) const;
    void reduceAny(const Element &element, const Scale &scale) const;
    void placeEvery(const Element &element, const Scale &scale) const;
    // Draws line_ straight into pixels where that gives what the painter would; false where
    // it does not, and the painter draws it.
    bool paintThin(QPainter &painter, const Element &element, const QRect &plot) const;
    void paintCursors(QPainter &painter, const QRect &plot) const;
    void paintAnnotations(QPainter &painter, const QRect &plot) const;
    // The boxes the shown labels' texts take, with a little room around them.
    QRegion labelBoxes(const QPainter &painter, const QRect &plot) const;

    ClickHandler clickHandler_;
    MouseHandler mouseHandler_;
    std::vector<Element> elements_;
    int element_ = 0;
    LineType lineType_ = LineType::Solid; // taken by every element added later
    std::vector<Cursor> cursors_;
    int cursor_ = 0;
    std::vector<Annotation> annotations_;
    int annotation_ = 0;
    double xMin_ = 0.0;
    double xMax_ = 10.0;
    double yMin_ = 0.0;
    double yMax_ = 10.0;
    OleColour controlFrame_ = 0x404040;
    OleColour plotArea_ = 0x000000;
    OleColour frame_ = 0x404040;
    bool decimated_ = true;
    bool painterLines_ = false;
    // Kept from paint to paint, so that painting allocates nothing once sizes settle.
    mutable QPolygonF line_;
    mutable QImage layer_;
    // The kept pictures and what each was drawn for (the numbers unused by the grids'). A few
    // grids: a moving range that widens and narrows its numbers moves the plot's left edge
    // back and forth.
    struct KeptGrid
    {
        BackgroundKey key;
        QPixmap picture;
    };
    mutable std::array<KeptGrid, 4> grids_;
    mutable size_t nextGrid_ = 0;
    mutable QPixmap background_;
    mutable BackgroundKey backgroundKey_;
    // The left margin for the y numbers it was measured with, and the widths of numbers
    // measured in the axis font, which a moving range mostly repeats.
    mutable int margin_ = -1;
    mutable AxisLabels marginLabels_;
    mutable QHash<QString, int> widths_;
    RepaintPacer pacer_{*this};
};

} // namespace app::analysis::chart

#endif
