#include <cmath>
#include <functional>
#include <random>
#include <vector>

#include <QImage>
#include <QPainter>

#include <gtest/gtest.h>

#include "app/analysis/chart/thinline.h"

namespace app::analysis::chart {
namespace {

constexpr QRgb Background = 0xFF000000;
constexpr QRgb Green = 0xFF00FF00;
const QSize DeviceSize(220, 120);
const QRect Plot(36, 10, 150, 90);

QPen onePixelPen()
{
    QPen pen{QColor(Green)};
    pen.setWidthF(1.0);
    pen.setCosmetic(true);
    return pen;
}

QImage byPainter(const std::vector<QPointF> &points)
{
    QImage image(DeviceSize, QImage::Format_ARGB32_Premultiplied);
    image.fill(Background);
    QPainter painter(&image);
    painter.setPen(onePixelPen());
    painter.setClipRect(Plot);
    if (points.size() == 1)
        painter.drawPoint(points.front());
    else
        painter.drawPolyline(points.data(), static_cast<int>(points.size()));
    return image;
}

QImage byThinLine(const std::vector<QPointF> &points)
{
    QImage image(DeviceSize, QImage::Format_ARGB32_Premultiplied);
    image.fill(Background);
    ThinLine line(image, QPoint(0, 0), Plot, image.rect(), Green);
    if (points.size() == 1)
        line.drawPoint(points.front());
    else
        line.drawPolyline(points.data(), points.size());
    return image;
}

// A trace as the chart hands it over: points on the centres of pixel columns, one to four per
// column, now and then a column left out.
std::vector<QPointF> columnTrace(std::mt19937 &random, double low, double high, double spread,
                                 double grid)
{
    std::uniform_real_distribution<double> value(low, high);
    std::uniform_int_distribution<int> perColumn(1, 4);
    std::vector<QPointF> points;
    double level = value(random);
    for (int column = 30; column < 200; column += 1 + (random() % 9 == 0 ? 2 : 0)) {
        const int count = perColumn(random);
        for (int i = 0; i < count; ++i) {
            level = level + (value(random) - level) * spread;
            const double y = grid > 0 ? std::round(level * grid) / grid : level;
            points.emplace_back(column + 0.5, y);
        }
    }
    return points;
}

struct Shape
{
    const char *name;
    std::function<std::vector<QPointF>(std::mt19937 &)> make;
};

TEST(ThinLineTest, DrawsWhatThePainterDraws)
{
    const Shape shapes[] = {
        {"dense trace", [](std::mt19937 &r) { return columnTrace(r, 0, 120, 1.0, 0); }},
        {"slow trace", [](std::mt19937 &r) { return columnTrace(r, 0, 120, 0.05, 0); }},
        {"trace on half pixels", [](std::mt19937 &r) { return columnTrace(r, 0, 120, 1.0, 2); }},
        {"trace on 1/64 pixel", [](std::mt19937 &r) { return columnTrace(r, 0, 120, 1.0, 64); }},
        // Far past the plot and the device: cut at the device's edges.
        {"wild trace", [](std::mt19937 &r) { return columnTrace(r, -400, 500, 1.0, 0); }},
        {"any line",
         [](std::mt19937 &r) {
             std::uniform_real_distribution<double> x(-30, 250);
             std::uniform_real_distribution<double> y(-30, 150);
             std::vector<QPointF> points(2 + r() % 30);
             for (QPointF &point : points)
                 point = QPointF(x(r), y(r));
             return points;
         }},
        {"short steps",
         [](std::mt19937 &r) {
             std::uniform_real_distribution<double> step(-1.2, 1.2);
             std::vector<QPointF> points{{100.3, 50.7}};
             for (int i = 0; i < 60; ++i)
                 points.push_back(points.back() + QPointF(step(r), step(r)));
             return points;
         }},
        {"one point",
         [](std::mt19937 &r) {
             std::uniform_real_distribution<double> at(20, 200);
             return std::vector<QPointF>{QPointF(at(r), at(r) / 2)};
         }},
    };
    for (const Shape &shape : shapes) {
        std::mt19937 random(2024);
        for (int round = 0; round < 150; ++round) {
            std::vector<QPointF> points = shape.make(random);
            if (points.size() > 1 && points.front() == points.back())
                continue; // a closed outline is left to the painter
            ASSERT_EQ(byThinLine(points), byPainter(points)) << shape.name << ", round " << round;
        }
    }
}

} // namespace
} // namespace app::analysis::chart
