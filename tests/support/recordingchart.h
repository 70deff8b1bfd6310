#ifndef TESTS_SUPPORT_RECORDINGCHART_H
#define TESTS_SUPPORT_RECORDINGCHART_H

// A chart that draws nothing and logs every call a page makes, by member, with its arguments;
// it keeps just enough state to answer reads (selections, label count, colours). Install it
// with InstallRecordingCharts to have every page chart be one.

#include <algorithm>
#include <cstdint>
#include <iterator>
#include <ostream>
#include <utility>
#include <vector>

#include <QPointer>
#include <QString>
#include <QVariant>
#include <QVariantList>
#include <QWidget>

#include "app/analysis/chart/chartcontrol.h"

namespace testsupport {

using app::analysis::chart::OleColour;

// The chart's members as the log names them, spelled as ChartControl spells them.
enum class ChartMember {
    ClearGraph,
    AddElement,
    element,
    setElement,
    setElementLineColor,
    setElementWidth,
    setElementLineType,
    PlotY,
    PlotXY,
    SetRange,
    AddCursor,
    cursor,
    setCursor,
    setCursorX,
    setCursorVisible,
    setCursorColor,
    setCursorStyle,
    setCursorMode,
    AddAnnotation,
    annotationCount,
    annotation,
    setAnnotation,
    setAnnoLabelCaption,
    setAnnoLabelX,
    setAnnoLabelY,
    setAnnoVisible,
    setAnnoLabelColor,
    controlFrameColor,
    setControlFrameColor,
    plotAreaColor,
    setPlotAreaColor,
    frameColor,
    setFrameColor,
    chartEnabled,
    setChartEnabled,
    CopyWindowToClipboard,
};

inline const char *nameOf(ChartMember member)
{
    static const char *const names[] = {
        "ClearGraph",
        "AddElement",
        "element",
        "setElement",
        "setElementLineColor",
        "setElementWidth",
        "setElementLineType",
        "PlotY",
        "PlotXY",
        "SetRange",
        "AddCursor",
        "cursor",
        "setCursor",
        "setCursorX",
        "setCursorVisible",
        "setCursorColor",
        "setCursorStyle",
        "setCursorMode",
        "AddAnnotation",
        "annotationCount",
        "annotation",
        "setAnnotation",
        "setAnnoLabelCaption",
        "setAnnoLabelX",
        "setAnnoLabelY",
        "setAnnoVisible",
        "setAnnoLabelColor",
        "controlFrameColor",
        "setControlFrameColor",
        "plotAreaColor",
        "setPlotAreaColor",
        "frameColor",
        "setFrameColor",
        "chartEnabled",
        "setChartEnabled",
        "CopyWindowToClipboard",
    };
    static_assert(std::size(names) == static_cast<size_t>(ChartMember::CopyWindowToClipboard) + 1);
    return names[static_cast<size_t>(member)];
}

inline void PrintTo(ChartMember member, std::ostream *os)
{
    *os << nameOf(member);
}

struct ChartCall
{
    ChartMember member;
    QVariantList args;

    bool operator==(const ChartCall &other) const
    {
        return member == other.member && args == other.args;
    }
};

inline void PrintTo(const ChartCall &call, std::ostream *os)
{
    *os << nameOf(call.member) << '(';
    for (qsizetype i = 0; i < call.args.size(); ++i)
        *os << (i ? ", " : "") << call.args.at(i).toString().toStdString();
    *os << ')';
}

class RecordingChart : public QWidget, public app::analysis::chart::ChartControl
{
public:
    using Member = ChartMember;

    explicit RecordingChart(QWidget *parent = nullptr) : QWidget(parent) {}

    // Reads are logged too, so reading the chart from a const page still leaves a trace.
    mutable std::vector<ChartCall> log;
    int annotations = 0;
    int cursors = 0;
    OleColour baseColour = 0x404040;

    // The chart's events, as a mouse action on the real chart raises them.
    void click(double x)
    {
        if (clickHandler_)
            clickHandler_(x);
    }
    void mouseUp(int button)
    {
        if (mouseHandler_)
            mouseHandler_(button);
    }

    // The calls of this member, in order.
    std::vector<ChartCall> callsOf(Member member) const
    {
        std::vector<ChartCall> found;
        std::copy_if(log.begin(), log.end(), std::back_inserter(found),
                     [member](const ChartCall &call) { return call.member == member; });
        return found;
    }
    int countOf(Member member) const { return static_cast<int>(callsOf(member).size()); }
    // The value last passed to a member that takes one, or an invalid variant.
    QVariant lastArg(Member member) const
    {
        for (auto it = log.rbegin(); it != log.rend(); ++it)
            if (it->member == member)
                return it->args.value(0);
        return {};
    }
    std::vector<Member> members() const
    {
        std::vector<Member> found;
        for (const ChartCall &call : log)
            found.push_back(call.member);
        return found;
    }

    QWidget *widget() override { return this; }
    void setClickHandler(ClickHandler handler) override { clickHandler_ = std::move(handler); }
    void setMouseHandler(MouseHandler handler) override { mouseHandler_ = std::move(handler); }

    void ClearGraph() override { record(Member::ClearGraph); }
    void AddElement() override { record(Member::AddElement); }
    int element() const override { return read(Member::element, element_); }
    void setElement(int index) override { element_ = set(Member::setElement, index); }
    void setElementLineColor(OleColour colour) override
    {
        set(Member::setElementLineColor, colourArg(colour));
    }
    void setElementWidth(int tenths) override { set(Member::setElementWidth, tenths); }
    void setElementLineType(app::analysis::chart::LineType type) override
    {
        set(Member::setElementLineType, static_cast<int>(type));
    }
    void PlotY(double y, int16_t mode) override { record(Member::PlotY, {y, mode}); }
    void PlotXY(double x, double y, int16_t mode) override { record(Member::PlotXY, {x, y, mode}); }
    void SetRange(double xMin, double xMax, double yMin, double yMax) override
    {
        record(Member::SetRange, {xMin, xMax, yMin, yMax});
    }

    void AddCursor() override
    {
        ++cursors;
        record(Member::AddCursor);
    }
    int cursor() const override { return read(Member::cursor, cursor_); }
    void setCursor(int index) override { cursor_ = set(Member::setCursor, index); }
    void setCursorX(double x) override { set(Member::setCursorX, x); }
    void setCursorVisible(bool visible) override { set(Member::setCursorVisible, visible); }
    void setCursorColor(OleColour colour) override
    {
        set(Member::setCursorColor, colourArg(colour));
    }
    void setCursorStyle(app::analysis::chart::LineType style) override
    {
        set(Member::setCursorStyle, static_cast<int>(style));
    }
    void setCursorMode(app::analysis::chart::CursorMode mode) override
    {
        set(Member::setCursorMode, static_cast<int>(mode));
    }

    void AddAnnotation() override
    {
        ++annotations;
        record(Member::AddAnnotation);
    }
    int annotationCount() const override { return read(Member::annotationCount, annotations); }
    int annotation() const override { return read(Member::annotation, annotation_); }
    void setAnnotation(int index) override
    {
        annotation_ = set(Member::setAnnotation, index);
        annotations = std::max(annotations, index + 1);
    }
    void setAnnoLabelCaption(const QString &text) override
    {
        set(Member::setAnnoLabelCaption, text);
    }
    void setAnnoLabelX(double x) override { set(Member::setAnnoLabelX, x); }
    void setAnnoLabelY(double y) override { set(Member::setAnnoLabelY, y); }
    void setAnnoVisible(bool visible) override { set(Member::setAnnoVisible, visible); }
    void setAnnoLabelColor(OleColour colour) override
    {
        set(Member::setAnnoLabelColor, colourArg(colour));
    }

    OleColour controlFrameColor() const override
    {
        return read(Member::controlFrameColor, baseColour);
    }
    void setControlFrameColor(OleColour colour) override
    {
        baseColour = set(Member::setControlFrameColor, colour);
    }
    OleColour plotAreaColor() const override { return read(Member::plotAreaColor, plotArea_); }
    void setPlotAreaColor(OleColour colour) override
    {
        plotArea_ = set(Member::setPlotAreaColor, colour);
    }
    OleColour frameColor() const override { return read(Member::frameColor, frame_); }
    void setFrameColor(OleColour colour) override { frame_ = set(Member::setFrameColor, colour); }

    bool chartEnabled() const override { return read(Member::chartEnabled, enabled_); }
    void setChartEnabled(bool enabled) override
    {
        enabled_ = set(Member::setChartEnabled, enabled);
    }

    void CopyWindowToClipboard() override { record(Member::CopyWindowToClipboard); }

private:
    static qlonglong colourArg(OleColour colour) { return static_cast<qlonglong>(colour); }

    void record(Member member, QVariantList args = {}) { log.push_back({member, std::move(args)}); }
    template <typename T>
    T set(Member member, T value)
    {
        log.push_back({member, {QVariant::fromValue(value)}});
        return value;
    }
    template <typename T>
    T read(Member member, T value) const
    {
        log.push_back({member, {}});
        return value;
    }

    ClickHandler clickHandler_;
    MouseHandler mouseHandler_;
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
