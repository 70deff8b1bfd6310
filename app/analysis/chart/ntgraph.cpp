#include "app/analysis/chart/ntgraph.h"

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <utility>

#include <QApplication>
#include <QClipboard>
#include <QFontMetrics>
#include <QMouseEvent>
#include <QPainter>

#include "app/analysis/chart/columnreduction.h"
#include "platform/win/gui/qcolour.h"

namespace app::analysis::chart {

namespace {

constexpr int Divisions = 10;
constexpr int MinMarginLeft = 36;
constexpr int MarginRight = 14;
constexpr int MarginTop = 10;
constexpr int MarginBottom = 22;
// Pixel coordinates are kept well inside what the painter's integer rasteriser takes; a wild
// value still points the line off the plot in its direction.
constexpr double PixelLimit = 1.0e6;

QColor qColour(OleColour colour)
{
    return platform::win::gui::toQColor(colour);
}

// A colour that reads on the given background.
QColor textColourOn(const QColor &background)
{
    return background.lightnessF() > 0.55 ? QColor(Qt::black) : QColor(Qt::white);
}

QColor blend(const QColor &a, const QColor &b, double share)
{
    return QColor::fromRgbF(static_cast<float>(a.redF() * (1 - share) + b.redF() * share),
                            static_cast<float>(a.greenF() * (1 - share) + b.greenF() * share),
                            static_cast<float>(a.blueF() * (1 - share) + b.blueF() * share));
}

Qt::PenStyle penStyle(int type)
{
    switch (type) {
    case 1:
        return Qt::DashLine;
    case 2:
        return Qt::DotLine;
    case 3:
        return Qt::DashDotLine;
    case 4:
        return Qt::DashDotDotLine;
    default:
        return Qt::SolidLine;
    }
}

QString axisNumber(double value)
{
    if (std::abs(value) < 1e-12)
        value = 0.0;
    return QString::number(value, 'g', 4);
}

} // namespace

NTGraph::NTGraph(QWidget *parent) : QWidget(parent)
{
    setAttribute(Qt::WA_OpaquePaintEvent);
    elements_.emplace_back();
}

void NTGraph::ClearGraph()
{
    Element first = std::move(elements_.front());
    first.clear();
    first.lineType = lineType_;
    elements_.clear();
    elements_.push_back(std::move(first));
    element_ = 0;
    update();
}

void NTGraph::AddElement()
{
    Element added;
    added.lineType = lineType_;
    elements_.push_back(std::move(added));
    element_ = static_cast<int>(elements_.size()) - 1;
}

void NTGraph::setElement(int index)
{
    if (index >= 0 && index < elementCount())
        element_ = index;
}

void NTGraph::setElementLineColor(OleColour colour)
{
    currentElement().colour = colour;
    update();
}

void NTGraph::setElementWidth(int tenthsOfPixel)
{
    currentElement().width = std::clamp(tenthsOfPixel, 0, 1000);
    update();
}

void NTGraph::setElementLineType(int type)
{
    lineType_ = type;
    currentElement().lineType = type;
    update();
}

void NTGraph::PlotY(double y, int16_t)
{
    Element &element = currentElement();
    element.add(static_cast<double>(element.points.size()), y);
    update();
}

void NTGraph::PlotXY(double x, double y, int16_t)
{
    currentElement().add(x, y);
    update();
}

void NTGraph::SetRange(double xMin, double xMax, double yMin, double yMax)
{
    if (!std::isfinite(xMin) || !std::isfinite(xMax) || !std::isfinite(yMin) ||
        !std::isfinite(yMax))
        return;
    // An empty range is widened around its value; a reversed one is turned round.
    const auto order = [](double &low, double &high) {
        if (low > high)
            std::swap(low, high);
        if (low == high) {
            const double half = low == 0.0 ? 1.0 : std::abs(low) * 0.1;
            low -= half;
            high += half;
        }
    };
    order(xMin, xMax);
    order(yMin, yMax);
    xMin_ = xMin;
    xMax_ = xMax;
    yMin_ = yMin;
    yMax_ = yMax;
    update();
}

NTGraph::Cursor &NTGraph::currentCursor()
{
    if (cursor_ >= cursorCount())
        cursors_.resize(static_cast<size_t>(cursor_) + 1);
    return cursors_[static_cast<size_t>(cursor_)];
}

void NTGraph::AddCursor()
{
    cursors_.emplace_back();
    cursor_ = cursorCount() - 1;
    update();
}

void NTGraph::setCursor(int index)
{
    if (index < 0)
        return;
    cursor_ = index;
    currentCursor();
    update();
}

void NTGraph::setCursorX(double x)
{
    currentCursor().x = x;
    update();
}

void NTGraph::setCursorVisible(bool visible)
{
    currentCursor().visible = visible;
    update();
}

void NTGraph::setCursorColor(OleColour colour)
{
    currentCursor().colour = colour;
    update();
}

void NTGraph::setCursorStyle(int style)
{
    currentCursor().style = style;
    update();
}

void NTGraph::setCursorMode(int mode)
{
    currentCursor().mode = mode;
}

NTGraph::Annotation &NTGraph::currentAnnotation()
{
    if (annotation_ >= annotationCount())
        annotations_.resize(static_cast<size_t>(annotation_) + 1);
    return annotations_[static_cast<size_t>(annotation_)];
}

void NTGraph::AddAnnotation()
{
    annotations_.emplace_back();
    annotation_ = annotationCount() - 1;
    update();
}

void NTGraph::setAnnotation(int index)
{
    if (index < 0)
        return;
    annotation_ = index;
    currentAnnotation();
    update();
}

void NTGraph::setAnnoLabelCaption(const QString &text)
{
    currentAnnotation().text = text;
    update();
}

void NTGraph::setAnnoLabelX(double x)
{
    currentAnnotation().x = x;
    update();
}

void NTGraph::setAnnoLabelY(double y)
{
    currentAnnotation().y = y;
    update();
}

void NTGraph::setAnnoVisible(bool visible)
{
    currentAnnotation().visible = visible;
    update();
}

void NTGraph::setAnnoLabelColor(OleColour colour)
{
    currentAnnotation().colour = colour;
    update();
}

void NTGraph::setControlFrameColor(OleColour colour)
{
    controlFrame_ = colour;
    update();
}

void NTGraph::setPlotAreaColor(OleColour colour)
{
    plotArea_ = colour;
    update();
}

void NTGraph::setFrameColor(OleColour colour)
{
    frame_ = colour;
    update();
}

void NTGraph::CopyWindowToClipboard()
{
    // grab() renders now, so a label shown just before the call is in the picture.
    QApplication::clipboard()->setImage(grab().toImage());
}

QFont NTGraph::axisFont() const
{
    QFont small = font();
    small.setPointSizeF(7.5);
    return small;
}

int NTGraph::leftMargin() const
{
    // Wide enough for the widest number of the y axis.
    const QFontMetrics metrics(axisFont());
    int widest = 0;
    for (int i = 0; i <= Divisions; i += 2)
        widest = std::max(widest, metrics.horizontalAdvance(
                                      axisNumber(yMin_ + (yMax_ - yMin_) * i / Divisions)));
    return std::max(MinMarginLeft, widest + 8);
}

QRect NTGraph::plotRect() const
{
    return rect().adjusted(leftMargin(), MarginTop, -MarginRight, -MarginBottom);
}

double NTGraph::dataX(double pixelX) const
{
    const QRect plot = plotRect();
    if (plot.width() <= 0)
        return xMin_;
    return xMin_ + (pixelX - plot.left()) / plot.width() * (xMax_ - xMin_);
}

QPointF NTGraph::toPixels(double x, double y, const QRect &plot) const
{
    const double px = plot.left() + (x - xMin_) / (xMax_ - xMin_) * plot.width();
    const double py = plot.bottom() + 1 - (y - yMin_) / (yMax_ - yMin_) * plot.height();
    return {std::clamp(px, -PixelLimit, PixelLimit), std::clamp(py, -PixelLimit, PixelLimit)};
}

void NTGraph::paintEvent(QPaintEvent *)
{
    QPainter painter(this);
    painter.fillRect(rect(), qColour(frame_));
    const QRect plot = plotRect();
    if (plot.width() <= 0 || plot.height() <= 0)
        return;
    painter.fillRect(plot, qColour(plotArea_));
    paintGrid(painter, plot);
    painter.save();
    painter.setClipRect(plot);
    for (const Element &element : elements_)
        paintElement(painter, element, plot);
    paintCursors(painter, plot);
    painter.restore();
    paintAnnotations(painter, plot);
}

void NTGraph::paintGrid(QPainter &painter, const QRect &plot) const
{
    const QColor plotColour = qColour(plotArea_);
    const QColor text = textColourOn(qColour(frame_));
    painter.setPen(QPen(blend(plotColour, textColourOn(plotColour), 0.3), 0, Qt::DotLine));
    for (int i = 1; i < Divisions; ++i) {
        const int x = plot.left() + plot.width() * i / Divisions;
        const int y = plot.top() + plot.height() * i / Divisions;
        painter.drawLine(x, plot.top(), x, plot.bottom());
        painter.drawLine(plot.left(), y, plot.right(), y);
    }
    painter.setPen(QPen(text, 0));
    painter.drawRect(plot.adjusted(0, 0, -1, -1));

    painter.setFont(axisFont());
    const int lineHeight = painter.fontMetrics().height();
    for (int i = 0; i <= Divisions; i += 2) {
        const int x = plot.left() + plot.width() * i / Divisions;
        const QString label = axisNumber(xMin_ + (xMax_ - xMin_) * i / Divisions);
        painter.drawText(QRect(x - 40, plot.bottom() + 3, 80, lineHeight), Qt::AlignHCenter,
                         label);
        const int y = plot.bottom() + 1 - plot.height() * i / Divisions;
        const QString value = axisNumber(yMin_ + (yMax_ - yMin_) * i / Divisions);
        painter.drawText(QRect(0, y - lineHeight / 2, plot.left() - 4, lineHeight),
                         Qt::AlignRight | Qt::AlignVCenter, value);
    }
}

void NTGraph::paintElement(QPainter &painter, const Element &element, const QRect &plot) const
{
    if (element.points.empty())
        return;
    QPen pen(qColour(element.colour));
    pen.setWidthF(element.width / 10.0);
    // A line of one pixel or less takes the painter's fast single-pixel path.
    pen.setCosmetic(element.width <= 10);
    pen.setStyle(penStyle(element.lineType));
    painter.setPen(pen);

    // Data to pixels; points sit on the centre of their pixel column, so that the points of
    // one column draw one vertical run whether the line is reduced or not.
    const double sx = plot.width() / (xMax_ - xMin_);
    const double sy = plot.height() / (yMax_ - yMin_);
    const double left = plot.left();
    const double bottom = plot.bottom() + 1;
    const auto column = [&](double x) {
        const double px = std::clamp(left + (x - xMin_) * sx, -PixelLimit, PixelLimit);
        double whole = static_cast<double>(static_cast<int64_t>(px));
        if (whole > px)
            whole -= 1.0;
        return whole + 0.5;
    };
    const auto row = [&](double y) {
        return std::clamp(bottom - (y - yMin_) * sy, -PixelLimit, PixelLimit);
    };

    QPolygonF line;
    const bool reduce =
        decimated_ && element.points.size() > 2 * static_cast<size_t>(plot.width());
    if (reduce && element.finite && element.ascending) {
        // Ascending x: each column is one stretch of points, found by search.
        ColumnReducer reducer(line, row);
        const std::vector<QPointF> &points = element.points;
        const size_t n = points.size();
        size_t begin = 0;
        while (begin < n) {
            const double at = column(points[begin].x());
            // The stretch ends at the first point of a later column: a short linear look,
            // then a doubling search and a binary one.
            size_t end = begin + 1;
            size_t stride = 1;
            while (end < n && column(points[end].x()) == at) {
                const size_t probe = std::min(n, end + stride);
                if (column(points[probe - 1].x()) == at) {
                    end = probe;
                    stride *= 2;
                } else {
                    end = static_cast<size_t>(
                        std::partition_point(points.begin() + static_cast<ptrdiff_t>(end),
                                             points.begin() + static_cast<ptrdiff_t>(probe),
                                             [&](const QPointF &p) { return column(p.x()) == at; }) -
                        points.begin());
                    break;
                }
            }
            reducer.addRun(at, points.data() + begin, end - begin);
            begin = end;
        }
        reducer.flush();
    } else if (reduce) {
        // Values stay in data units until a run is written: y to row keeps the extremes.
        ColumnReducer reducer(line, row);
        // The next column starts at this pixel; only then is a point's column worked out.
        double edge = -PixelLimit - 1.0;
        double at = 0.0;
        for (const QPointF &point : element.points) {
            const double x = point.x();
            const double y = point.y();
            if (!std::isfinite(x) || !std::isfinite(y))
                continue;
            const double px = left + (x - xMin_) * sx;
            if (!(px < edge) || px < edge - 1.0) {
                at = column(x);
                edge = at + 0.5;
            }
            reducer.add(at, y);
        }
        reducer.flush();
    } else {
        line.reserve(static_cast<qsizetype>(element.points.size()));
        for (const QPointF &point : element.points) {
            if (std::isfinite(point.x()) && std::isfinite(point.y()))
                line.append(QPointF(column(point.x()), row(point.y())));
        }
    }
    if (line.size() == 1)
        painter.drawPoint(line.front());
    else if (line.size() > 1)
        painter.drawPolyline(line);
}

void NTGraph::paintCursors(QPainter &painter, const QRect &plot) const
{
    for (const Cursor &cursor : cursors_) {
        if (!cursor.visible || !std::isfinite(cursor.x))
            continue;
        const double x = toPixels(cursor.x, yMin_, plot).x();
        painter.setPen(QPen(qColour(cursor.colour), 0, penStyle(cursor.style)));
        painter.drawLine(QPointF(x, plot.top()), QPointF(x, plot.bottom()));
    }
}

void NTGraph::paintAnnotations(QPainter &painter, const QRect &plot) const
{
    QFont font = painter.font();
    font.setPointSizeF(9.0);
    painter.setFont(font);
    for (const Annotation &label : annotations_) {
        if (!label.visible || label.text.isEmpty() || !std::isfinite(label.x) ||
            !std::isfinite(label.y))
            continue;
        QPointF at = toPixels(label.x, label.y, plot) + QPointF(2, -3);
        // A text that would run past the plot's right edge ends at it instead (never starting
        // left of the plot), so that a reading placed near the right is read whole.
        const double width = painter.fontMetrics().horizontalAdvance(label.text);
        if (at.x() + width > plot.right())
            at.setX(std::max(double(plot.left()) + 2.0, plot.right() - width));
        painter.setPen(qColour(label.colour));
        painter.drawText(at, label.text);
    }
}

void NTGraph::raise(int event, const QVariantList &args)
{
    if (handler_)
        handler_(event, args);
}

void NTGraph::mouseReleaseEvent(QMouseEvent *event)
{
    const QPointF at = event->position();
    if (event->button() == Qt::LeftButton && plotRect().contains(at.toPoint())) {
        const double x = dataX(at.x());
        if (cursor_ < cursorCount() && cursors_[static_cast<size_t>(cursor_)].mode == 2) {
            cursors_[static_cast<size_t>(cursor_)].x = x;
            update();
        }
        raise(ChartEvent::Click, {x});
    }
    raise(ChartEvent::Mouse, {static_cast<int>(event->button())});
    QWidget::mouseReleaseEvent(event);
}

} // namespace app::analysis::chart
