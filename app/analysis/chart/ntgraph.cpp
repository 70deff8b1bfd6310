#include "app/analysis/chart/ntgraph.h"

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <utility>

#include <QApplication>
#include <QClipboard>
#include <QEvent>
#include <QFontMetrics>
#include <QMouseEvent>
#include <QPaintEngine>
#include <QPainter>
#include <QRegion>

#include "app/analysis/chart/columnreduction.h"
#include "app/analysis/chart/labelplacement.h"
#include "app/analysis/chart/thinline.h"
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

Qt::PenStyle penStyle(LineType type)
{
    switch (type) {
    case LineType::Dashed:
        return Qt::DashLine;
    case LineType::Dotted:
        return Qt::DotLine;
    case LineType::DashDot:
        return Qt::DashDotLine;
    case LineType::DashDotDot:
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
    scheduleRepaint();
}

void NTGraph::AddElement()
{
    Element added;
    added.lineType = lineType_;
    elements_.push_back(std::move(added));
    element_ = static_cast<int>(elements_.size()) - 1;
}

std::vector<QPointF> NTGraph::points(int element) const
{
    const Element &from = elements_.at(static_cast<size_t>(element));
    std::vector<QPointF> points;
    points.reserve(from.xs.size());
    for (size_t i = 0; i < from.xs.size(); ++i)
        points.emplace_back(from.xs[i], from.ys[i]);
    return points;
}

void NTGraph::setElement(int index)
{
    if (index >= 0 && index < elementCount())
        element_ = index;
}

void NTGraph::setElementLineColor(OleColour colour)
{
    currentElement().colour = colour;
    scheduleRepaint();
}

void NTGraph::setElementWidth(int tenthsOfPixel)
{
    currentElement().width = std::clamp(tenthsOfPixel, 0, 1000);
    scheduleRepaint();
}

void NTGraph::setElementLineType(LineType type)
{
    lineType_ = type;
    currentElement().lineType = type;
    scheduleRepaint();
}

void NTGraph::PlotY(double y, int16_t)
{
    Element &element = currentElement();
    element.add(static_cast<double>(element.xs.size()), y);
    scheduleRepaint();
}

void NTGraph::PlotXY(double x, double y, int16_t)
{
    currentElement().add(x, y);
    scheduleRepaint();
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
    scheduleRepaint();
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
    scheduleRepaint();
}

void NTGraph::setCursor(int index)
{
    if (index < 0)
        return;
    cursor_ = index;
    currentCursor();
    scheduleRepaint();
}

void NTGraph::setCursorX(double x)
{
    currentCursor().x = x;
    scheduleRepaint();
}

void NTGraph::setCursorVisible(bool visible)
{
    currentCursor().visible = visible;
    scheduleRepaint();
}

void NTGraph::setCursorColor(OleColour colour)
{
    currentCursor().colour = colour;
    scheduleRepaint();
}

void NTGraph::setCursorStyle(LineType style)
{
    currentCursor().style = style;
    scheduleRepaint();
}

void NTGraph::setCursorMode(CursorMode mode)
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
    scheduleRepaint();
}

void NTGraph::setAnnotation(int index)
{
    if (index < 0)
        return;
    annotation_ = index;
    currentAnnotation();
    scheduleRepaint();
}

void NTGraph::setAnnoLabelCaption(const QString &text)
{
    currentAnnotation().text = text;
    scheduleRepaint();
}

void NTGraph::setAnnoLabelX(double x)
{
    currentAnnotation().x = x;
    scheduleRepaint();
}

void NTGraph::setAnnoLabelY(double y)
{
    currentAnnotation().y = y;
    scheduleRepaint();
}

void NTGraph::setAnnoVisible(bool visible)
{
    currentAnnotation().visible = visible;
    scheduleRepaint();
}

void NTGraph::setAnnoLabelColor(OleColour colour)
{
    currentAnnotation().colour = colour;
    scheduleRepaint();
}

void NTGraph::setControlFrameColor(OleColour colour)
{
    controlFrame_ = colour;
    scheduleRepaint();
}

void NTGraph::setPlotAreaColor(OleColour colour)
{
    plotArea_ = colour;
    scheduleRepaint();
}

void NTGraph::setFrameColor(OleColour colour)
{
    frame_ = colour;
    scheduleRepaint();
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

NTGraph::AxisLabels NTGraph::axisLabels(double low, double high)
{
    AxisLabels labels;
    for (int i = 0; i <= Divisions; i += 2)
        labels[static_cast<size_t>(i / 2)] = axisNumber(low + (high - low) * i / Divisions);
    return labels;
}

int NTGraph::leftMargin() const
{
    AxisLabels labels = axisLabels(yMin_, yMax_);
    if (margin_ >= 0 && labels == marginLabels_)
        return margin_;
    // Wide enough for the widest number of the y axis. The kept widths are let go now and
    // then, so that a range that never settles does not gather them without end.
    if (widths_.size() > 1024)
        widths_.clear();
    const QFontMetrics metrics(axisFont());
    int widest = 0;
    for (const QString &label : labels) {
        auto width = widths_.constFind(label);
        if (width == widths_.constEnd())
            width = widths_.insert(label, metrics.horizontalAdvance(label));
        widest = std::max(widest, *width);
    }
    margin_ = std::max(MinMarginLeft, widest + 8);
    marginLabels_ = std::move(labels);
    return margin_;
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
    // Painted from the state as it is now (also for grab() and render()).
    pacer_.painting();
    QPainter painter(this);
    const QRect plot = plotRect();
    if (!paintBackground(painter, plot))
        return;
    paintData(painter, plot);
}

void NTGraph::changeEvent(QEvent *event)
{
    if (event->type() == QEvent::FontChange) {
        margin_ = -1;
        widths_.clear();
        for (KeptGrid &kept : grids_)
            kept.picture = QPixmap();
        background_ = QPixmap();
    }
    QWidget::changeEvent(event);
}

NTGraph::BackgroundKey NTGraph::backgroundKey(const QRect &plot, qreal ratio) const
{
    // The y numbers are those the plot's margin was just measured for.
    return {size(), plot, ratio, frame_, plotArea_, axisLabels(xMin_, xMax_), marginLabels_};
}

const QPixmap &NTGraph::gridPicture(const BackgroundKey &key) const
{
    BackgroundKey gridKey = key;
    gridKey.xLabels = {};
    gridKey.yLabels = {};
    for (const KeptGrid &kept : grids_)
        if (!kept.picture.isNull() && kept.key == gridKey)
            return kept.picture;
    // The one made longest ago gives way.
    auto &[kept, grid] = grids_[nextGrid_];
    nextGrid_ = (nextGrid_ + 1) % grids_.size();
    grid = QPixmap(key.size * key.ratio);
    grid.setDevicePixelRatio(key.ratio);
    grid.fill(qColour(frame_));
    QPainter painter(&grid);
    painter.fillRect(key.plot, qColour(plotArea_));
    paintGrid(painter, key.plot);
    kept = gridKey;
    return grid;
}

bool NTGraph::paintBackground(QPainter &painter, const QRect &plot) const
{
    if (plot.width() <= 0 || plot.height() <= 0) {
        painter.fillRect(rect(), qColour(frame_));
        return false;
    }
    const qreal ratio = painter.device()->devicePixelRatio();
    const BackgroundKey key = backgroundKey(plot, ratio);
    if (background_.isNull() || !(key == backgroundKey_)) {
        const QPixmap &grid = gridPicture(key);
        BackgroundKey sameGrid = backgroundKey_;
        sameGrid.xLabels = key.xLabels;
        sameGrid.yLabels = key.yLabels;
        const bool newGrid = background_.isNull() || !(sameGrid == key);
        if (newGrid) {
            background_ = grid.copy();
            background_.setDevicePixelRatio(ratio);
        }
        QPainter labels(&background_);
        if (!newGrid) {
            // A new range alone: only the strips left of and below the plot, where the numbers
            // are, are taken back from the grid before the new numbers are written.
            const QRect left(0, 0, plot.left(), height());
            const QRect below(0, plot.bottom() + 1, width(), height() - plot.bottom() - 1);
            for (const QRect &strip : {left, below}) {
                const QRectF source(strip.topLeft() * ratio, strip.size() * ratio);
                labels.drawPixmap(QRectF(strip), grid, source);
            }
        }
        paintAxes(labels, plot, key);
        backgroundKey_ = key;
    }
    painter.drawPixmap(0, 0, background_);
    return true;
}

void NTGraph::paintData(QPainter &painter, const QRect &plot) const
{
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
    painter.setPen(QPen(blend(plotColour, textColourOn(plotColour), 0.3), 0, Qt::DotLine));
    for (int i = 1; i < Divisions; ++i) {
        const int x = plot.left() + plot.width() * i / Divisions;
        const int y = plot.top() + plot.height() * i / Divisions;
        painter.drawLine(x, plot.top(), x, plot.bottom());
        painter.drawLine(plot.left(), y, plot.right(), y);
    }
    painter.setPen(QPen(textColourOn(qColour(frame_)), 0));
    painter.drawRect(plot.adjusted(0, 0, -1, -1));
}

void NTGraph::paintAxes(QPainter &painter, const QRect &plot, const BackgroundKey &key) const
{
    // The numbers are written on a painter of their own: it has neither the grid's pen nor font.
    painter.setPen(QPen(textColourOn(qColour(frame_)), 0));
    painter.setFont(axisFont());
    const int lineHeight = painter.fontMetrics().height();
    for (int i = 0; i <= Divisions; i += 2) {
        const int x = plot.left() + plot.width() * i / Divisions;
        const auto at = static_cast<size_t>(i / 2);
        painter.drawText(QRect(x - 40, plot.bottom() + 3, 80, lineHeight), Qt::AlignHCenter,
                         key.xLabels[at]);
        const int y = plot.bottom() + 1 - plot.height() * i / Divisions;
        painter.drawText(QRect(0, y - lineHeight / 2, plot.left() - 4, lineHeight),
                         Qt::AlignRight | Qt::AlignVCenter, key.yLabels[at]);
    }
}

// Data to pixels for one paint. Points sit on the centre of their pixel column, so that the
// points of one column draw one vertical run whether the line is reduced or not.
struct NTGraph::Scale
{
    double sx;
    double sy;
    double left;
    double bottom;
    double xMin;
    double yMin;

    double pixelX(double x) const { return left + (x - xMin) * sx; }
    double column(double x) const
    {
        const double px = std::clamp(pixelX(x), -PixelLimit, PixelLimit);
        double whole = static_cast<double>(static_cast<int64_t>(px));
        if (whole > px)
            whole -= 1.0;
        return whole + 0.5;
    }
    double row(double y) const
    {
        return std::clamp(bottom - (y - yMin) * sy, -PixelLimit, PixelLimit);
    }
};

void NTGraph::paintElement(QPainter &painter, const Element &element, const QRect &plot) const
{
    if (element.xs.empty())
        return;
    QPen pen(qColour(element.colour));
    pen.setWidthF(element.width / 10.0);
    // A line of one pixel or less takes the painter's fast single-pixel path.
    pen.setCosmetic(element.width <= 10);
    pen.setStyle(penStyle(element.lineType));
    painter.setPen(pen);

    const Scale scale{plot.width() / (xMax_ - xMin_),
                      plot.height() / (yMax_ - yMin_),
                      double(plot.left()),
                      double(plot.bottom() + 1),
                      xMin_,
                      yMin_};
    // The line is built in a buffer kept from paint to paint.
    line_.resize(0);
    const bool reduce = decimated_ && element.xs.size() > 2 * static_cast<size_t>(plot.width());
    if (reduce && element.finite && element.ascending)
        reduceAscending(element, scale);
    else if (reduce)
        reduceAny(element, scale);
    else
        placeEvery(element, scale);

    const QPolygonF &line = line_;
    if (line.isEmpty() || (decimated_ && !painterLines_ && paintThin(painter, element, plot)))
        return;
    if (line.size() == 1)
        painter.drawPoint(line.front());
    else
        painter.drawPolyline(line);
}

void NTGraph::reduceAscending(const Element &element, const Scale &scale) const
{
    // Ascending x: each column is one stretch of points, found by search.
    const std::vector<double> &xs = element.xs;
    const size_t n = xs.size();
    const auto column = [&scale](double x) { return scale.column(x); };
    ColumnReducer reducer(line_, [&scale](double y) { return scale.row(y); });
    size_t begin = 0;
    size_t length = 1; // of the stretch before: evenly spaced points repeat it
    while (begin < n) {
        const double at = column(xs[begin]);
        // The stretch ends at the first point of a later column: where the last stretch's
        // length says if it does, else found by a doubling search and a binary one.
        const size_t guess = begin + length;
        size_t end = begin + 1;
        size_t stride = 1;
        if (guess <= n && column(xs[guess - 1]) == at && (guess == n || column(xs[guess]) != at))
            end = guess;
        while (end < n && column(xs[end]) == at) {
            const size_t probe = std::min(n, end + stride);
            if (column(xs[probe - 1]) == at) {
                end = probe;
                stride *= 2;
            } else {
                end = static_cast<size_t>(
                    std::partition_point(xs.begin() + static_cast<ptrdiff_t>(end),
                                         xs.begin() + static_cast<ptrdiff_t>(probe),
                                         [&](double x) { return column(x) == at; }) -
                    xs.begin());
                break;
            }
        }
        reducer.addRun(at, element.ys.data() + begin, end - begin);
        length = end - begin;
        begin = end;
    }
    reducer.flush();
}

void NTGraph::reduceAny(const Element &element, const Scale &scale) const
{
    // Values stay in data units until a run is written: y to row keeps the extremes.
    ColumnReducer reducer(line_, [&scale](double y) { return scale.row(y); });
    // The next column starts at this pixel; only then is a point's column worked out.
    double edge = -PixelLimit - 1.0;
    double at = 0.0;
    for (size_t i = 0; i < element.xs.size(); ++i) {
        const double x = element.xs[i];
        const double y = element.ys[i];
        if (!std::isfinite(x) || !std::isfinite(y))
            continue;
        const double px = scale.pixelX(x);
        if (!(px < edge) || px < edge - 1.0) {
            at = scale.column(x);
            edge = at + 0.5;
        }
        reducer.add(at, y);
    }
    reducer.flush();
}

void NTGraph::placeEvery(const Element &element, const Scale &scale) const
{
    const size_t n = element.xs.size();
    line_.reserve(static_cast<qsizetype>(n));
    for (size_t i = 0; i < n; ++i) {
        const double x = element.xs[i];
        const double y = element.ys[i];
        if (std::isfinite(x) && std::isfinite(y))
            line_.append(QPointF(scale.column(x), scale.row(y)));
    }
}

bool NTGraph::paintThin(QPainter &painter, const Element &element, const QRect &plot) const
{
    // Only where the outcome is the painter's own to the pixel: a solid line of one pixel (or
    // the zero-width pen, which is the same), no antialiasing, no scaling, nothing blended, a
    // raster device and an open line.
    if (element.lineType != LineType::Solid || (element.width != 10 && element.width != 0))
        return false;
    QPaintEngine *engine = painter.paintEngine();
    if (!engine || engine->type() != QPaintEngine::Raster || !engine->paintDevice() ||
        painter.testRenderHint(QPainter::Antialiasing) || painter.opacity() != 1.0 ||
        painter.compositionMode() != QPainter::CompositionMode_SourceOver)
        return false;
    const QTransform transform = painter.deviceTransform();
    if (transform.type() > QTransform::TxTranslate ||
        transform.dx() != std::trunc(transform.dx()) ||
        transform.dy() != std::trunc(transform.dy()))
        return false;
    QPolygonF &line = line_;
    if (line.size() > 1 && line.front() == line.back())
        return false;

    const QPoint offset(static_cast<int>(transform.dx()), static_cast<int>(transform.dy()));
    const QRect devicePlot = plot.translated(offset);
    QPaintDevice *device = engine->paintDevice();
    const QRect deviceRect(0, 0, device->width(), device->height());
    const QColor colour = qColour(element.colour);
    line.translate(offset);
    const auto draw = [&](ThinLine &thin) {
        if (line.size() == 1)
            thin.drawPoint(line.front());
        else
            thin.drawPolyline(line.constData(), static_cast<size_t>(line.size()));
    };

    // Straight into the device where it is a 32-bit image that the painter writes without
    // blending, and nothing but a rectangle clips it.
    QImage *image = device->devType() == QInternal::Image ? static_cast<QImage *>(device) : nullptr;
    const QRegion systemClip = engine->systemClip();
    if (image && image->isDetached() && image->devicePixelRatio() == 1.0 &&
        (image->format() == QImage::Format_ARGB32_Premultiplied ||
         image->format() == QImage::Format_RGB32) &&
        systemClip.rectCount() <= 1) {
        const QRect clip =
            devicePlot & (systemClip.isEmpty() ? deviceRect : systemClip.boundingRect());
        ThinLine thin(*image, QPoint(0, 0), clip, deviceRect, colour.rgba());
        draw(thin);
        return true;
    }

    // Elsewhere into an image of the plot, which is then laid over it.
    if (layer_.size() != plot.size()) {
        layer_ = QImage(plot.size(), QImage::Format_ARGB32_Premultiplied);
        layer_.fill(0);
    }
    ThinLine thin(layer_, devicePlot.topLeft(), devicePlot, deviceRect, colour.rgba());
    draw(thin);
    if (thin.lastRow() < thin.firstRow())
        return true;
    const QRect rows(0, thin.firstRow(), plot.width(), thin.lastRow() - thin.firstRow() + 1);
    painter.drawImage(plot.topLeft() + rows.topLeft(), layer_, rows);
    for (int y = rows.top(); y <= rows.bottom(); ++y)
        std::fill_n(reinterpret_cast<QRgb *>(layer_.scanLine(y)), layer_.width(), QRgb{0});
    return true;
}

void NTGraph::paintCursors(QPainter &painter, const QRect &plot) const
{
    // A line passes behind the labels, never through their text.
    painter.setClipRegion(QRegion(plot).subtracted(labelBoxes(painter, plot)));
    for (const Cursor &cursor : cursors_) {
        if (!cursor.visible || !std::isfinite(cursor.x))
            continue;
        const double x = toPixels(cursor.x, yMin_, plot).x();
        painter.setPen(QPen(qColour(cursor.colour), 0, penStyle(cursor.style)));
        painter.drawLine(QPointF(x, plot.top()), QPointF(x, plot.bottom()));
    }
}

QRegion NTGraph::labelBoxes(const QPainter &painter, const QRect &plot) const
{
    const QFont font = labelFont(painter.font());
    const QFontMetrics metrics(font, painter.device());
    QRegion boxes;
    for (const Annotation &label : annotations_) {
        if (!label.shown())
            continue;
        const double width = label.widthIn(metrics, font);
        boxes += labelTextBox(labelTextOrigin(toPixels(label.x, label.y, plot), width, plot), width,
                              metrics);
    }
    return boxes;
}

void NTGraph::paintAnnotations(QPainter &painter, const QRect &plot) const
{
    const QFont font = labelFont(painter.font());
    painter.setFont(font);
    for (const Annotation &label : annotations_) {
        if (!label.shown())
            continue;
        const double width = label.widthIn(painter.fontMetrics(), font);
        painter.setPen(qColour(label.colour));
        painter.drawText(labelTextOrigin(toPixels(label.x, label.y, plot), width, plot),
                         label.text);
    }
}

double NTGraph::Annotation::widthIn(const QFontMetrics &metrics, const QFont &font) const
{
    if (text != measuredText || font != measuredFont) {
        measuredWidth = metrics.horizontalAdvance(text);
        measuredText = text;
        measuredFont = font;
    }
    return measuredWidth;
}

void NTGraph::mouseReleaseEvent(QMouseEvent *event)
{
    const QPointF at = event->position();
    if (event->button() == Qt::LeftButton && plotRect().contains(at.toPoint())) {
        const double x = dataX(at.x());
        if (cursor_ < cursorCount() &&
            cursors_[static_cast<size_t>(cursor_)].mode == CursorMode::FollowsClick) {
            cursors_[static_cast<size_t>(cursor_)].x = x;
            scheduleRepaint();
        }
        if (clickHandler_)
            clickHandler_(x);
    }
    if (mouseHandler_)
        mouseHandler_(static_cast<int>(event->button()));
    QWidget::mouseReleaseEvent(event);
}

} // namespace app::analysis::chart
