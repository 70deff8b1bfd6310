#include <cmath>
#include <memory>

#include <QApplication>
#include <QMouseEvent>
#include <QSignalSpy>

#include <gmock/gmock.h>

#include "app/controls/propertybag.h"
#include "app/controls/rangeselect.h"
#include "platform/vb/vberror.h"

namespace app::controls {
namespace {

using Part = RangeSelect::Part;

// The FFT page's selector: Max 1,748 on 11,655 twips (777 pixels).
std::unique_ptr<RangeSelect> makeSelector(int start = 2, int end = 1746)
{
    auto range = std::make_unique<RangeSelect>();
    range->resize(777, 17);
    range->setMax(1748);
    range->setValueStart(start);
    range->setValueEnd(end);
    return range;
}

void send(QWidget *part, QEvent::Type type, QPoint global, Qt::MouseButton button)
{
    const QPointF local = part->mapFromGlobal(QPointF(global));
    const Qt::MouseButtons held = type == QEvent::MouseButtonRelease ? Qt::NoButton
                                                                    : Qt::MouseButtons(button);
    QMouseEvent event(type, local, QPointF(global), button, held, Qt::NoModifier);
    QApplication::sendEvent(part, &event);
}

// Presses a part 2 pixels in from its left edge, moves the pointer dx pixels in `moves` equal
// steps (the part's own coordinates follow it as it moves) and releases.
void drag(RangeSelect &range, Part which, int dx, int moves = 1,
          Qt::MouseButton button = Qt::LeftButton, bool release = true)
{
    QWidget *part = range.part(which);
    const QPoint start = part->mapToGlobal(QPoint(2, 2));
    send(part, QEvent::MouseButtonPress, start, button);
    for (int i = 1; i <= moves; ++i)
        send(part, QEvent::MouseMove, start + QPoint(dx * i / moves, 0), button);
    if (release)
        send(part, QEvent::MouseButtonRelease, start + QPoint(dx, 0), button);
}

// The same drag, still held: the thumb is where the moves left it, not yet snapped back.
void hold(RangeSelect &range, Part which, int dx, int moves = 1)
{
    drag(range, which, dx, moves, Qt::LeftButton, false);
}

TEST(RangeSelectTest, NarrowestSpanAGripDragLeaves)
{
    auto range = makeSelector(0, 1746);
    drag(*range, Part::Right, -800);
    EXPECT_EQ(range->ValueStart(), 0);
    EXPECT_EQ(range->ValueSpan(), 30); // rounded(200 x 0.14998)

    // Elsewhere the two roundings can meet one lower, never further.
    int smallest = 30;
    for (int start = 1; start < 1500; start += 7) {
        range->setValueStart(start);
        range->setValueEnd(start + 100);
        drag(*range, Part::Right, -800);
        smallest = std::min(smallest, range->ValueSpan());
        EXPECT_GE(range->thumbWidth(), 200.0);
    }
    EXPECT_GE(smallest, 29);
}

TEST(RangeSelectTest, RightGripStopsAtTheEdge)
{
    auto range = makeSelector();
    hold(*range, Part::Right, 400);
    EXPECT_EQ(range->ValueEnd(), 1748);
    EXPECT_NEAR(range->thumbLeft() + range->thumbWidth(), 11655.0, 0.5);
}

TEST(RangeSelectTest, WholeThumbStopsThirtyTwipsShort)
{
    auto range = makeSelector(100, 400);
    QSignalSpy scroll(range.get(), &RangeSelect::Scroll);
    hold(*range, Part::Thumb, 900, 3);
    EXPECT_EQ(scroll.count(), 3);
    EXPECT_NEAR(range->thumbLeft() + range->thumbWidth(), 11655.0 - 30.0, 0.5);
    range->partReleased(Part::Thumb, Qt::LeftButton, true);
    drag(*range, Part::Thumb, -900);
    EXPECT_EQ(range->ValueStart(), 0);
    EXPECT_EQ(range->ValueSpan(), 300);
}

TEST(RangeSelectTest, LeftGripStopsShortOfTheEndWhichStays)
{
    auto range = makeSelector(500, 1000);
    // Held past the end over many moves, the end does not walk.
    drag(*range, Part::Left, 600, 12);
    EXPECT_EQ(range->ValueEnd(), 1000);
    EXPECT_EQ(range->ValueStart(), 970);
    // Within 200 twips of the end.
    range->setValueStart(960);
    drag(*range, Part::Left, 10);
    EXPECT_EQ(range->ValueEnd(), 1000);
    EXPECT_EQ(range->ValueStart(), 970);
    // Past the left edge.
    drag(*range, Part::Left, -900);
    EXPECT_EQ(range->ValueStart(), 0);
    EXPECT_EQ(range->ValueEnd(), 1000);
}

TEST(RangeSelectTest, LeftGripOfAThumbNearTheStartStopsAtZero)
{
    auto range = makeSelector(0, 20);
    drag(*range, Part::Left, 50);
    EXPECT_EQ(range->ValueStart(), 0);
    EXPECT_EQ(range->ValueEnd(), 20);
}

TEST(RangeSelectTest, HostAssignmentsKeepTheSpanAndRaiseNoScroll)
{
    auto range = makeSelector();
    drag(*range, Part::Thumb, 10);
    const int span = range->ValueSpan();
    QSignalSpy scroll(range.get(), &RangeSelect::Scroll);
    range->setValueStart(10);
    range->setValueEnd(20);
    EXPECT_EQ(range->ValueSpan(), span);
    EXPECT_EQ(scroll.count(), 0);
    EXPECT_NEAR(range->thumbLeft(), 10 / range->scale(), 1e-3);
    try {
        range->setValueSpan(5);
        ADD_FAILURE();
    } catch (const platform::vb::VbError &error) {
        EXPECT_EQ(error.number(), 382);
    }
    EXPECT_EQ(range->ValueSpan(), span);
}

TEST(RangeSelectTest, RightButtonStartsNoDragAndAClickOnTheThumbRedraws)
{
    auto range = makeSelector(100, 400);
    QSignalSpy scroll(range.get(), &RangeSelect::Scroll);
    drag(*range, Part::Thumb, 50, 1, Qt::RightButton);
    EXPECT_EQ(scroll.count(), 0);
    EXPECT_FALSE(range->dragging());

    drag(*range, Part::Thumb, 3); // the thumb lands on a whole twip, then snaps to the values
    EXPECT_EQ(scroll.count(), 1);
    EXPECT_NEAR(range->thumbLeft(), range->ValueStart() / range->scale(), 1e-3);
}

TEST(RangeSelectTest, TheGripOnTheFarSideComesToTheFront)
{
    auto range = makeSelector(100, 110);
    EXPECT_EQ(range->frontGrip(), Part::Right);
    range->setValueStart(1000);
    range->setValueEnd(1010);
    EXPECT_EQ(range->frontGrip(), Part::Left);
    EXPECT_EQ(range->part(Part::Thumb)->children().last(), range->part(Part::Left));
}

TEST(RangeSelectTest, NoLayoutWithoutAScaleOrAWidth)
{
    auto range = std::make_unique<RangeSelect>();
    range->resize(200, 17);
    range->setMax(0);
    QSignalSpy scroll(range.get(), &RangeSelect::Scroll);
    drag(*range, Part::Thumb, 20);
    drag(*range, Part::Left, 20);
    EXPECT_EQ(scroll.count(), 0);

    // Values far beyond a small Max still place the thumb (far off the control).
    range->setMax(1);
    range->setValueStart(2'000'000'000);
    range->setValueEnd(2'100'000'000);
    EXPECT_GT(range->thumbLeft(), range->widthTwips());

    auto narrow = std::make_unique<RangeSelect>();
    narrow->resize(0, 17);
    EXPECT_THROW(narrow->setMax(100), platform::vb::VbError);
}

TEST(RangeSelectTest, PropertiesRoundTripWithoutDefaults)
{
    RangeSelect range;
    PropertyBag empty;
    range.WriteProperties(empty);
    EXPECT_TRUE(empty.isEmpty());

    auto changed = makeSelector(2, 1746);
    changed->setForeColor(0x808000);
    PropertyBag bag;
    changed->WriteProperties(bag);
    EXPECT_THAT(bag.keys(),
                testing::UnorderedElementsAre("ForeColor", "ValueStart", "ValueEnd", "Max"));
    RangeSelect loaded;
    loaded.resize(777, 17);
    loaded.ReadProperties(bag);
    EXPECT_EQ(loaded.Max(), 1748);
    EXPECT_EQ(loaded.ValueStart(), 2);
    EXPECT_EQ(loaded.ValueEnd(), 1746);
    EXPECT_EQ(loaded.ValueSpan(), 20000); // as stored: never recomputed on load
    EXPECT_EQ(loaded.ForeColor(), 0x808000u);
}

} // namespace
} // namespace app::controls
