#ifndef TESTS_SUPPORT_RECORDINGCHART_H
#define TESTS_SUPPORT_RECORDINGCHART_H

// A chart that draws nothing and logs every call a page makes, by dispatch identifier, with
// its arguments; it keeps just enough state to answer reads (selections, label count,
// colours). Install it with InstallRecordingCharts to have every page chart be one.

#include <algorithm>
#include <cstdint>
#include <iterator>
#include <ostream>
#include <vector>

#include <QPointer>
#include <QString>
#include <QVariant>
#include <QVariantList>
#include <QWidget>

#include "app/analysis/chart/chartcontrol.h"

namespace testsupport {

using app::analysis::chart::OleColour;

struct ChartCall
{
    enum Kind { Method, Let, Get };
    Kind kind;
    int id;
    QVariantList args;

    bool operator==(const ChartCall &other) const
    {
        return kind == other.kind && id == other.id && args == other.args;
    }
};

inline void PrintTo(const ChartCall &call, std::ostream *os)
{
    static const char *const kinds[] = {"call", "let", "get"};
    *os << kinds[call.kind] << ' ' << call.id << '(';
    for (qsizetype i = 0; i < call.args.size(); ++i)
        *os << (i ? ", " : "") << call.args.at(i).toString().toStdString();
    *os << ')';
}

class RecordingChart : public QWidget, public app::analysis::chart::ChartControl
{
public:
    explicit RecordingChart(QWidget *parent = nullptr) : QWidget(parent) {}

    // Reads are logged too, so reading the chart from a const page still leaves a trace.
    mutable std::vector<ChartCall> log;
    int annotations = 0;
    int cursors = 0;
    OleColour baseColour = 0x404040;

    // Raises one of the chart's events, as a mouse action on the real chart would.
    void fire(int event, const QVariantList &args = {})
    {
        if (handler_)
            handler_(event, args);
    }

    // The calls with this identifier (of any kind), in order.
    std::vector<ChartCall> callsOf(int id) const
    {
        std::vector<ChartCall> found;
        std::copy_if(log.begin(), log.end(), std::back_inserter(found),
                     [id](const ChartCall &call) { return call.id == id; });
        return found;
    }
    int countOf(int id) const { return static_cast<int>(callsOf(id).size()); }
    // The value last assigned to a property, or an invalid variant.
    QVariant lastLet(int id) const
    {
        for (auto it = log.rbegin(); it != log.rend(); ++it)
            if (it->kind == ChartCall::Let && it->id == id)
                return it->args.value(0);
        return {};
    }
    std::vector<int> ids() const
    {
        std::vector<int> found;
        for (const ChartCall &call : log)
            found.push_back(call.id);
        return found;
    }

    QWidget *widget() override { return this; }
    void setEventHandler(EventHandler handler) override { handler_ = std::move(handler); }

    void ClearGraph() override { method(59); }
    void AddElement() override { method(57); }
    int element() const override { return get(31, element_); }
    void setElement(int index) override { element_ = let(31, index); }
    void setElementLineColor(OleColour colour) override { let(10, colourArg(colour)); }
    void setElementWidth(int tenths) override { let(5, tenths); }
    void setElementLineType(int type) override { let(12, type); }
    void PlotY(double y, int16_t mode) override { method(61, {y, mode}); }
    void PlotXY(double x, double y, int16_t mode) override { method(60, {x, y, mode}); }
    void SetRange(double xMin, double xMax, double yMin, double yMax) override
    {
        method(53, {xMin, xMax, yMin, yMax});
    }

    void AddCursor() override
    {
        ++cursors;
        method(66);
    }
    int cursor() const override { return get(33, cursor_); }
    void setCursor(int index) override { cursor_ = let(33, index); }
    void setCursorX(double x) override { let(34, x); }
    void setCursorVisible(bool visible) override { let(37, visible); }
    void setCursorColor(OleColour colour) override { let(4, colourArg(colour)); }
    void setCursorStyle(int style) override { let(38, style); }
    void setCursorMode(int mode) override { let(36, mode); }

    void AddAnnotation() override
    {
        ++annotations;
        method(64);
    }
    int annotationCount() const override { return get(50, annotations); }
    int annotation() const override { return get(29, annotation_); }
    void setAnnotation(int index) override
    {
        annotation_ = let(29, index);
        annotations = std::max(annotations, index + 1);
    }
    void setAnnoLabelCaption(const QString &text) override { let(24, text); }
    void setAnnoLabelX(double x) override { let(25, x); }
    void setAnnoLabelY(double y) override { let(26, y); }
    void setAnnoVisible(bool visible) override { let(30, visible); }
    void setAnnoLabelColor(OleColour colour) override { let(32, colourArg(colour)); }

    OleColour controlFrameColor() const override { return get(22, baseColour); }
    void setControlFrameColor(OleColour colour) override { baseColour = let(22, colour); }
    OleColour plotAreaColor() const override { return get(2, plotArea_); }
    void setPlotAreaColor(OleColour colour) override { plotArea_ = let(2, colour); }
    OleColour frameColor() const override { return get(1, frame_); }
    void setFrameColor(OleColour colour) override { frame_ = let(1, colour); }

    bool chartEnabled() const override { return enabled_; }
    void setChartEnabled(bool enabled) override
    {
        enabled_ = enabled;
        log.push_back({ChartCall::Let, EnabledId, {enabled}});
    }

    void CopyWindowToClipboard() override { method(55); }

    // The log's identifier for the named property Enabled.
    static constexpr int EnabledId = -1;

private:
    static qlonglong colourArg(OleColour colour) { return static_cast<qlonglong>(colour); }

    void method(int id, QVariantList args = {}) { log.push_back({ChartCall::Method, id, args}); }
    template <typename T> T let(int id, T value)
    {
        log.push_back({ChartCall::Let, id, {QVariant::fromValue(value)}});
        return value;
    }
    template <typename T> T get(int id, T value) const
    {
        log.push_back({ChartCall::Get, id, {}});
        return value;
    }

    EventHandler handler_;
    int element_ = 0;
    int cursor_ = 0;
    int annotation_ = 0;
    OleColour plotArea_ = 0;
    OleColour frame_ = 0;
    bool enabled_ = false;
};

// Makes every chart a page creates a RecordingChart; the last one made is `latest`. Restores
// the previous factory when it goes.
class InstallRecordingCharts
{
public:
    InstallRecordingCharts()
        : previous_(app::analysis::chart::SetChartFactory([this](QWidget *parent) {
              auto *chart = new RecordingChart(parent);
              made.push_back(chart);
              return chart;
          }))
    {}
    ~InstallRecordingCharts() { app::analysis::chart::SetChartFactory(previous_); }
    InstallRecordingCharts(const InstallRecordingCharts &) = delete;
    InstallRecordingCharts &operator=(const InstallRecordingCharts &) = delete;

    RecordingChart *latest() const { return made.empty() ? nullptr : made.back().data(); }

    std::vector<QPointer<RecordingChart>> made;

private:
    app::analysis::chart::ChartFactory previous_;
};

} // namespace testsupport

#endif
