#ifndef APP_ANALYSIS_CHART_COLUMNREDUCTION_H
#define APP_ANALYSIS_CHART_COLUMNREDUCTION_H

#include <cstddef>
#include <utility>

#include <QPointF>
#include <QPolygonF>

namespace app::analysis::chart {

// A line reduced to what a one-pixel line can show: for every run of consecutive points in the
// same pixel column, its first, smallest, largest and last value in their order. Points come in
// already placed on their column's centre; Map turns a value into its pixel row when the run is
// written (any order-keeping or order-reversing map keeps the same extremes). The reduced line
// covers the same vertical extent in every column as the full one, including the segments that
// join one column to the next.
template <typename Map> class ColumnReducer
{
public:
    ColumnReducer(QPolygonF &out, Map map) : out_(out), map_(std::move(map)) {}

    void add(double x, double value)
    {
        if (count_ == 0 || x != x_) {
            flush();
            x_ = x;
            first_ = last_ = smallest_ = largest_ = value;
            smallestAt_ = largestAt_ = 0;
            count_ = 1;
            return;
        }
        if (value < smallest_) {
            smallest_ = value;
            smallestAt_ = count_;
        }
        if (value > largest_) {
            largest_ = value;
            largestAt_ = count_;
        }
        last_ = value;
        ++count_;
    }

    // A whole run at once: count points of one column, their values the y of each point.
    void addRun(double x, const QPointF *points, size_t count)
    {
        flush();
        x_ = x;
        first_ = smallest_ = largest_ = points[0].y();
        smallestAt_ = largestAt_ = 0;
        for (size_t i = 1; i < count; ++i) {
            const double value = points[i].y();
            if (value < smallest_) {
                smallest_ = value;
                smallestAt_ = i;
            }
            if (value > largest_) {
                largest_ = value;
                largestAt_ = i;
            }
        }
        last_ = points[count - 1].y();
        count_ = count;
    }

    // Writes the run in hand; call once more after the last point.
    void flush()
    {
        if (count_ == 0)
            return;
        const size_t lastAt = count_ - 1;
        out_.append(QPointF(x_, map_(first_)));
        // The extremes in the order they came, each once, none repeating the first or the last.
        std::pair<size_t, double> extremes[2] = {{smallestAt_, smallest_}, {largestAt_, largest_}};
        if (extremes[0].first > extremes[1].first)
            std::swap(extremes[0], extremes[1]);
        size_t previous = 0;
        for (const auto &[at, value] : extremes) {
            if (at != previous && at != lastAt)
                out_.append(QPointF(x_, map_(value)));
            previous = at;
        }
        if (lastAt != 0)
            out_.append(QPointF(x_, map_(last_)));
        count_ = 0;
    }

private:
    QPolygonF &out_;
    Map map_;
    double x_ = 0.0;
    double first_ = 0.0;
    double last_ = 0.0;
    double smallest_ = 0.0;
    double largest_ = 0.0;
    size_t smallestAt_ = 0;
    size_t largestAt_ = 0;
    size_t count_ = 0;
};

} // namespace app::analysis::chart

#endif
