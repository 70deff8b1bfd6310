#include <vector>

#include <QSignalSpy>

#include <gmock/gmock.h>

#include "app/analysis/chart/chartdispatch.h"
#include "platform/vb/vberror.h"
#include "support/recordingchart.h"

namespace app::analysis::chart {
namespace {

using testsupport::ChartCall;
using testsupport::RecordingChart;

// Every identifier reaches the member of that role: the double logs it back under the same
// identifier with the same arguments.
TEST(ChartDispatchTest, EveryIdentifierReachesItsMember)
{
    RecordingChart recorder;
    ChartDispatch chart(recorder);
    const std::vector<ChartCall> calls = {
        {ChartCall::Method, 59, {}},
        {ChartCall::Method, 57, {}},
        {ChartCall::Method, 61, {2.5, 1}},
        {ChartCall::Method, 60, {1.0, 2.0, 0}},
        {ChartCall::Method, 53, {0.0, 10.0, -1.0, 1.0}},
        {ChartCall::Method, 66, {}},
        {ChartCall::Method, 64, {}},
        {ChartCall::Method, 55, {}},
        {ChartCall::Let, 31, {1}},
        {ChartCall::Let, 10, {qlonglong{0xFFFFFF}}},
        {ChartCall::Let, 5, {10}},
        {ChartCall::Let, 12, {2}},
        {ChartCall::Let, 33, {0}},
        {ChartCall::Let, 34, {100.0}},
        {ChartCall::Let, 37, {true}},
        {ChartCall::Let, 4, {qlonglong{0x00FF00}}},
        {ChartCall::Let, 38, {1}},
        {ChartCall::Let, 36, {2}},
        {ChartCall::Let, 29, {1}},
        {ChartCall::Let, 24, {QStringLiteral("12Hz")}},
        {ChartCall::Let, 25, {11.0}},
        {ChartCall::Let, 26, {-0.08}},
        {ChartCall::Let, 30, {false}},
        {ChartCall::Let, 32, {qlonglong{0x0000FF}}},
        {ChartCall::Let, 2, {qlonglong{0x101010}}},
        {ChartCall::Let, 1, {qlonglong{0x202020}}},
        {ChartCall::Get, 50, {}},
        {ChartCall::Get, 22, {}},
    };
    for (const ChartCall &call : calls) {
        recorder.log.clear();
        switch (call.kind) {
        case ChartCall::Method:
            chart.Invoke(call.id, call.args);
            break;
        case ChartCall::Let:
            chart.Let(call.id, call.args.at(0));
            break;
        case ChartCall::Get:
            chart.Get(call.id);
            break;
        }
        ASSERT_EQ(recorder.log.size(), 1u) << call.id;
        EXPECT_EQ(recorder.log.front().kind, call.kind) << call.id;
        EXPECT_EQ(recorder.log.front().id, call.id);
        ASSERT_EQ(recorder.log.front().args.size(), call.args.size()) << call.id;
        for (qsizetype i = 0; i < call.args.size(); ++i)
            EXPECT_EQ(recorder.log.front().args.at(i).toString(), call.args.at(i).toString())
                << call.id << " argument " << i;
    }
}

TEST(ChartDispatchTest, EventsOfTheChartReachThePage)
{
    RecordingChart recorder;
    ChartDispatch chart(recorder);
    QSignalSpy events(&chart, &ChartDispatch::Event);
    recorder.fire(ChartEvent::Click, {42.0});
    recorder.fire(ChartEvent::Mouse, {1});
    ASSERT_EQ(events.count(), 2);
    EXPECT_EQ(events.at(0).at(0).toInt(), 9);
    EXPECT_EQ(events.at(0).at(1).toList().at(0).toDouble(), 42.0);
    EXPECT_EQ(events.at(1).at(0).toInt(), 11);
}

TEST(ChartDispatchTest, UnknownMembersRaise438)
{
    RecordingChart recorder;
    ChartDispatch chart(recorder);
    for (int id : {0, 7, 99}) {
        try {
            chart.Invoke(id);
            ADD_FAILURE() << id;
        } catch (const platform::vb::VbError &error) {
            EXPECT_EQ(error.number(), 438);
        }
    }
    EXPECT_THROW(chart.Let(59, 1), platform::vb::VbError);  // a method, not a property
    EXPECT_THROW(chart.Get(24), platform::vb::VbError);     // not read by anyone
    chart.Invoke(64);
    chart.Invoke(64);
    EXPECT_EQ(chart.Get(50).toInt(), 2);
    chart.Let(2, qlonglong{0x0000FF});
    EXPECT_EQ(chart.Get(2).toLongLong(), qlonglong{0x0000FF});
}

} // namespace
} // namespace app::analysis::chart
