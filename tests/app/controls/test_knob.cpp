#include "app/controls/knob.h"

#include <cmath>
#include <limits>

#include <QCoreApplication>
#include <QLabel>
#include <QMouseEvent>
#include <QSignalSpy>

#include <gtest/gtest.h>

#include "app/controls/picturebox.h"
#include "platform/vb/vberror.h"
#include "platform/win/propertybag.h"

namespace app::controls {
namespace {

constexpr float Tolerance = 0.01f;

class KnobTest : public testing::Test
{
protected:
    void SetUp() override
    {
        knob.resize(50, 50);
        knob.show();
    }

    // A pointer move over the picture with the left button held.
    void drag(int x, int y)
    {
        QMouseEvent move(QEvent::MouseMove, QPointF(x, y), knob.Knob1()->mapToGlobal(QPointF(x, y)),
                         Qt::NoButton, Qt::LeftButton, Qt::NoModifier);
        QCoreApplication::sendEvent(knob.Knob1(), &move);
    }

    Knob knob;
};

TEST_F(KnobTest, PercentAndValueReadBackThroughTheAngle)
{
    struct Case
    {
        float set;
        float read;
    };
    for (const Case &c : {Case{0, 0.333f}, Case{50, 50}, Case{100, 100}, Case{150, 100.333f}}) {
        knob.setPercent(c.set);
        EXPECT_NEAR(knob.Percent(), c.read, Tolerance) << c.set;
    }
    for (const Case &c : {Case{250, 250}, Case{2000, 1000}, Case{-5, 3.333f}}) {
        knob.setValue(c.set);
        EXPECT_NEAR(knob.Value(), c.read, Tolerance) << c.set;
    }
}

TEST_F(KnobTest, UndefinedPercentagesFailAndLeaveTheKnob)
{
    knob.setPercent(40);
    QSignalSpy turned(&knob, &Knob::Turned);
    knob.setMin(5);
    knob.setMax(5);
    struct Case
    {
        float value;
        int error;
    };
    for (const Case &c : {Case{5, 6}, Case{7, 11}}) {
        try {
            knob.setValue(c.value);
            ADD_FAILURE() << c.value;
        } catch (const platform::vb::VbError &error) {
            EXPECT_EQ(error.number(), c.error) << c.value;
        }
    }
    knob.setMax(10);
    for (float wild :
         {std::numeric_limits<float>::quiet_NaN(), std::numeric_limits<float>::infinity()}) {
        try {
            knob.setValue(wild);
            ADD_FAILURE() << "Value";
        } catch (const platform::vb::VbError &error) {
            EXPECT_EQ(error.number(), 5);
        }
        EXPECT_THROW(knob.setPercent(wild), platform::vb::VbError);
    }
    EXPECT_NEAR(knob.Percent(), 40, Tolerance);
    EXPECT_EQ(turned.count(), 0);
}

TEST_F(KnobTest, TurningFromRestFollowsThePointer)
{
    struct Case
    {
        const char *move;
        QPoint prime;
        QPoint to;
        float percent;
    };
    // Each priming move from (0, 0) leaves the counter where it was.
    for (const Case &c : {Case{"right, upper half", {10, 10}, {11, 10}, 51},
                          Case{"up, left half", {10, 10}, {10, 9}, 51},
                          Case{"right, lower half", {40, 40}, {41, 40}, 49},
                          Case{"no movement", {10, 10}, {10, 10}, 50}}) {
        Knob fresh;
        fresh.resize(50, 50);
        fresh.show();
        fresh.setPercent(50);
        QSignalSpy turned(&fresh, &Knob::Turned);
        for (QPoint p : {c.prime, c.to}) {
            QMouseEvent move(QEvent::MouseMove, QPointF(p), fresh.Knob1()->mapToGlobal(QPointF(p)),
                             Qt::NoButton, Qt::LeftButton, Qt::NoModifier);
            QCoreApplication::sendEvent(fresh.Knob1(), &move);
        }
        EXPECT_NEAR(fresh.Percent(), c.percent, Tolerance) << c.move;
        EXPECT_EQ(turned.count(), 2) << c.move;
    }
}

TEST_F(KnobTest, AMoveWithoutTheLeftButtonDoesNothing)
{
    QSignalSpy turned(&knob, &Knob::Turned);
    QMouseEvent move(QEvent::MouseMove, QPointF(11, 10), knob.Knob1()->mapToGlobal(QPointF(11, 10)),
                     Qt::NoButton, Qt::LeftButton | Qt::RightButton, Qt::NoModifier);
    QCoreApplication::sendEvent(knob.Knob1(), &move);
    EXPECT_EQ(turned.count(), 0);
}

TEST_F(KnobTest, AtTheStopTheCountersReturnDoesNotTurnBack)
{
    drag(10, 10);
    for (int x = 11; x <= 111; ++x) // 101 steps clockwise: the counter passes 100
        drag(x, 10);
    EXPECT_EQ(knob.turnCounter(), 50.0f);
    EXPECT_NEAR(knob.Percent(), 100.333f, Tolerance);
    drag(112, 10);
    EXPECT_NEAR(knob.Percent(), 100.333f, Tolerance);
    drag(112, 11); // left in the right half: back one step
    EXPECT_NEAR(knob.Percent(), 100.333f, Tolerance);
    drag(111, 11);
    EXPECT_NEAR(knob.Percent(), 99.333f, Tolerance);
}

TEST_F(KnobTest, ALoadedPositionSurvivesTheResize)
{
    platform::win::PropertyBag bag;
    bag.write(QStringLiteral("Percent"), 40.0f, 0.0f);
    Knob loaded;
    QSignalSpy turned(&loaded, &Knob::Turned);
    loaded.ReadProperties(bag);
    EXPECT_EQ(turned.count(), 1);
    loaded.resize(58, 58);
    loaded.show();
    EXPECT_NEAR(loaded.Percent(), 40, Tolerance);
    EXPECT_EQ(turned.count(), 1);

    platform::win::PropertyBag written;
    loaded.WriteProperties(written);
    EXPECT_EQ(written.keys(), QStringList{QStringLiteral("Percent")});
}

TEST_F(KnobTest, SizeClassesByHeight)
{
    struct Case
    {
        int height;
        int16_t sizeClass;
    };
    for (const Case &c : {Case{33, 0}, Case{34, 1}, Case{42, 2}, Case{50, 3}, Case{58, 4}}) {
        knob.resize(60, c.height);
        EXPECT_EQ(knob.sizeClass(), c.sizeClass) << c.height;
    }
    knob.resize(80, 60);
    EXPECT_EQ(knob.lLeft()->geometry().bottom(), 59);
    EXPECT_EQ(knob.lRight()->geometry().right(), 79);
}

TEST_F(KnobTest, DrawsTheMarkerAtItsAngle)
{
    knob.setBackColor(0xFFFFFF);
    knob.setKnobColor(0xC0C0C0);
    knob.setMarkColor(0x0000FF);
    knob.setPercent(50); // the marker points straight up
    const QImage image = knob.Knob1()->image();
    EXPECT_EQ(image.pixelColor(25, 25 - 12), QColor(255, 0, 0));
    EXPECT_EQ(image.pixelColor(25, 25 + 10), QColor(192, 192, 192));
    EXPECT_EQ(image.pixelColor(2, 2), QColor(255, 255, 255));
}

} // namespace
} // namespace app::controls
