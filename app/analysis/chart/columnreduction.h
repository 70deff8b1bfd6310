#ifndef APP_ANALYSIS_CHART_COLUMNREDUCTION_H
#define APP_ANALYSIS_CHART_COLUMNREDUCTION_H

#include <algorithm>
#include <cstddef>
#include <utility>

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

#include <QPointF>
#include <QPolygonF>

namespace app::analysis::chart {

// A line reduced to what a one-pixel line can show: for every run of consecutive points in the
// same pixel column, its first, smallest, largest and last value in their order. Points come in
// already placed on their column's centre; Map turns a value into its pixel row when the run is
// written (any order-keeping or order-reversing map keeps the same extremes). The reduced line
// covers the same vertical extent in every column as the full one, including the segments that
// join one column to the next.
// The smallest and largest of count finite values (count > 0). Most of the time a dense trace
// spends in reduction is here, so the values are compared two at a time where the processor
// allows it.
inline std::pair<double, double> extremes(const double *values, size_t count)
{
    size_t at = 0;
    double low = values[0];
    double high = values[0];
#if defined(__SSE2__)
    if (count >= 4) {
        __m128d low0 = _mm_loadu_pd(values);
        __m128d high0 = low0;
        __m128d low1 = _mm_loadu_pd(values + 2);
        __m128d high1 = low1;
        for (at = 4; at + 4 <= count; at += 4) {
            const __m128d a = _mm_loadu_pd(values + at);
            const __m128d b = _mm_loadu_pd(values + at + 2);
            low0 = _mm_min_pd(low0, a);
            high0 = _mm_max_pd(high0, a);
            low1 = _mm_min_pd(low1, b);
            high1 = _mm_max_pd(high1, b);
        }
        const __m128d lows = _mm_min_pd(low0, low1);
        const __m128d highs = _mm_max_pd(high0, high1);
        low = std::min(_mm_cvtsd_f64(lows), _mm_cvtsd_f64(_mm_unpackhi_pd(lows, lows)));
        high = std::max(_mm_cvtsd_f64(highs), _mm_cvtsd_f64(_mm_unpackhi_pd(highs, highs)));
    }
#endif
    for (; at < count; ++at) {
        low = std::min(low, values[at]);
        high = std::max(high, values[at]);
    }
    return {low, high};
}

// The index of the first of values[from..count) equal to a or b; there is one.
inline size_t firstOf(const double *values, size_t from, size_t count, double a, double b)
{
    size_t at = from;
#if defined(__SSE2__)
    const __m128d wantA = _mm_set1_pd(a);
    const __m128d wantB = _mm_set1_pd(b);
    for (; at + 2 <= count; at += 2) {
        const __m128d pair = _mm_loadu_pd(values + at);
        const int found = _mm_movemask_pd(
            _mm_or_pd(_mm_cmpeq_pd(pair, wantA), _mm_cmpeq_pd(pair, wantB)));
        if (found != 0)
            return at + ((found & 1) != 0 ? 0 : 1);
    }
#endif
    while (values[at] != a && values[at] != b)
        ++at;
    return at;
}

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

    // A whole run at once: the values of count points of one column.
    void addRun(double x, const double *values, size_t count)
    {
        flush();
        x_ = x;
        const auto [low, high] = extremes(values, count);
        smallest_ = low;
        largest_ = high;
        // The earliest point holding each extreme, as add() keeps: the first of the two, then
        // the other from there on.
        const size_t at = firstOf(values, 0, count, low, high);
        const double other = values[at] == low ? high : low;
        const size_t otherAt = firstOf(values, at, count, other, other);
        smallestAt_ = values[at] == low ? at : otherAt;
        largestAt_ = values[at] == low ? otherAt : at;
        first_ = values[0];
        last_ = values[count - 1];
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
