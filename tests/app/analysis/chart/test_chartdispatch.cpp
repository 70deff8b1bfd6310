#include <vector>

#include <QSignalSpy>

#include <gmock/gmock.h>

#include "app/analysis/chart/chartdispatch.h"
#include "platform/vb/vberror.h"
#include "support/recordingchart.h"

namespace app::analysis::chart {
namespace {

using testsupport::ChartMember;
using testsupport::RecordingChart;

// Every identifier reaches the member of its role, with the arguments as given.
TEST(ChartDispatchTest, EveryIdentifierReachesItsMember)
{
    enum Kind { Method, Let, Get };
    struct Case
    {
        Kind kind;
        int id;
        QVariantList args;
        ChartMember member;
    };
    RecordingChart recorder;
    ChartDispatch chart(recorder);
    const std::vector<Case> cases = {
        {Method, 59, {}, ChartMember::ClearGraph},
        {Method, 57, {}, ChartMember::AddElement},
        {Method, 61, {2.5, 1}, ChartMember::PlotY},
        {Method, 60, {1.0, 2.0, 0}, ChartMember::PlotXY},
        {Method, 53, {0.0, 10.0, -1.0, 1.0}, ChartMember::SetRange},
        {Method, 66, {}, ChartMember::AddCursor},
        {Method, 64, {}, ChartMember::AddAnnotation},
        {Method, 55, {}, ChartMember::CopyWindowToClipboard},
        {Let, 31, {1}, ChartMember::setElement},
        {Let, 10, {qlonglong{0xFFFFFF}}, ChartMember::setElementLineColor},
        {Let, 5, {10}, ChartMember::setElementWidth},
        {Let, 12, {2}, ChartMember::setElementLineType},
        {Let, 33, {0}, ChartMember::setCursor},
        {Let, 34, {100.0}, ChartMember::setCursorX},
        {Let, 37, {true}, ChartMember::setCursorVisible},
        {Let, 4, {qlonglong{0x00FF00}}, ChartMember::setCursorColor},
        {Let, 38, {1}, ChartMember::setCursorStyle},
        {Let, 36, {2}, ChartMember::setCursorMode},
        {Let, 29, {1}, ChartMember::setAnnotation},
        {Let, 24, {QStringLiteral("12Hz")}, ChartMember::setAnnoLabelCaption},
        {Let, 25, {11.0}, ChartMember::setAnnoLabelX},
        {Let, 26, {-0.08}, ChartMember::setAnnoLabelY},
        {Let, 30, {false}, ChartMember::setAnnoVisible},
        {Let, 32, {qlonglong{0x0000FF}}, ChartMember::setAnnoLabelColor},
        {Let, 22, {qlonglong{0x303030}}, ChartMember::setControlFrameColor},
        {Let, 2, {qlonglong{0x101010}}, ChartMember::setPlotAreaColor},
        {Let, 1, {qlonglong{0x202020}}, ChartMember::setFrameColor},
        {Get, 31, {}, ChartMember::element},
        {Get, 33, {}, ChartMember::cursor},
        {Get, 29, {}, ChartMember::annotation},
        {Get, 50, {}, ChartMember::annotationCount},
        {Get, 22, {}, ChartMember::controlFrameColor},
        {Get, 2, {}, ChartMember::plotAreaColor},
        {Get, 1, {}, ChartMember::frameColor},
    };
    for (const Case &c : cases) {
        recorder.log.clear();
        switch (c.kind) {
        case Method:
            chart.Invoke(c.id, c.args);
            break;
        case Let:
            chart.Let(c.id, c.args.at(0));
            break;
        case Get:
            chart.Get(c.id);
            break;
        }
        ASSERT_EQ(recorder.log.size(), 1u) << c.id;
        EXPECT_EQ(recorder.log.front().member, c.member) << c.id;
        ASSERT_EQ(recorder.log.front().args.size(), c.args.size()) << c.id;
        for (qsizetype i = 0; i < c.args.size(); ++i)
            EXPECT_EQ(recorder.log.front().args.at(i).toString(), c.args.at(i).toString())
                << c.id << " argument " << i;
    }
    recorder.log.clear();
    chart.setEnabled(true);
    EXPECT_THAT(recorder.members(), testing::ElementsAre(ChartMember::setChartEnabled));
    EXPECT_TRUE(recorder.chartEnabled());
}

TEST(ChartDispatchTest, EventsOfTheChartReachThePage)
{
    RecordingChart recorder;
    ChartDispatch chart(recorder);
    QSignalSpy events(&chart, &ChartDispatch::Event);
    recorder.click(42.0);
    recorder.mouseUp(1);
    ASSERT_EQ(events.count(), 2);
    EXPECT_EQ(events.at(0).at(0).toInt(), 9);
    EXPECT_EQ(events.at(0).at(1).toList().at(0).toDouble(), 42.0);
    EXPECT_EQ(events.at(1).at(0).toInt(), 11);
    EXPECT_EQ(events.at(1).at(1).toList().at(0).toInt(), 1);
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
