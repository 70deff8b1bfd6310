#include <memory>
#include <vector>

#include <QApplication>
#include <QMouseEvent>
#include <QSignalSpy>

#include <gmock/gmock.h>

#include "app/controls/propertybag.h"
#include "app/controls/slider.h"
#include "support/namedcase.h"

namespace app::controls {
namespace {

using testing::ElementsAre;

// 1,515 twips wide: 1,200 twips of travel for the handle.
std::unique_ptr<Slider> makeSlider(int widthPixels = 101)
{
    auto slider = std::make_unique<Slider>();
    slider->resize(widthPixels, 40);
    return slider;
}

void send(QWidget *target, QEvent::Type type, int x, Qt::MouseButton button,
          Qt::MouseButtons buttons)
{
    QMouseEvent event(type, QPointF(x, 5), target->mapToGlobal(QPointF(x, 5)), button, buttons,
                      Qt::NoModifier);
    QApplication::sendEvent(target, &event);
}

// Presses the handle at its pixel 5 and moves the pointer by dx pixels with the given buttons.
void drag(Slider &slider, int dx, Qt::MouseButtons buttons = Qt::LeftButton)
{
    QWidget *handle = slider.handle();
    const Qt::MouseButton first = buttons & Qt::LeftButton ? Qt::LeftButton : Qt::RightButton;
    send(handle, QEvent::MouseButtonPress, 5, first, buttons);
    send(handle, QEvent::MouseMove, 5 + dx, Qt::NoButton, buttons);
    send(handle, QEvent::MouseButtonRelease, 5 + dx, first, Qt::NoButton);
}

std::vector<float> changes(const QSignalSpy &spy)
{
    std::vector<float> values;
    for (const QList<QVariant> &args : spy)
        values.push_back(args.at(0).toFloat());
    return values;
}

TEST(SliderTest, AssignmentsClampAndRaiseChange)
{
    auto slider = makeSlider();
    slider->setMin(10);
    slider->setMax(20);
    QSignalSpy spy(slider.get(), &Slider::Change);
    slider->setValue(25);
    slider->setValue(5);
    slider->setValue(15);
    EXPECT_THAT(changes(spy), ElementsAre(20.0f, 10.0f, 15.0f));
    EXPECT_DOUBLE_EQ(slider->handleLeft(), 600.0);

    spy.clear();
    slider->setMax(12); // re-clamps without Change
    EXPECT_EQ(slider->Value(), 12.0f);
    slider->setMax(20);
    slider->setMin(15);
    EXPECT_EQ(slider->Value(), 15.0f);
    EXPECT_EQ(spy.count(), 0);
}

struct DragCase
{
    const char *name;
    float min, max;
    int widthPixels;
    bool enabled;
    Qt::MouseButtons buttons;
    int dx; // pointer travel in pixels from a handle at the left end
    bool moves;
    float value; // the value Change reports, when it is raised
};

using testsupport::PrintTo;

class SliderDragTest : public testing::TestWithParam<DragCase>
{};

TEST_P(SliderDragTest, Drag)
{
    const DragCase &c = GetParam();
    auto slider = makeSlider(c.widthPixels);
    slider->setMin(c.min);
    slider->setMax(c.max);
    slider->setValue(c.min);
    slider->setEnabled(c.enabled);
    QSignalSpy spy(slider.get(), &Slider::Change);
    const double before = slider->handleLeft();
    drag(*slider, c.dx, c.buttons);
    if (!c.moves) {
        EXPECT_EQ(spy.count(), 0);
        EXPECT_EQ(slider->handleLeft(), before);
        return;
    }
    ASSERT_EQ(spy.count(), 1);
    EXPECT_FLOAT_EQ(changes(spy).front(), c.value);
    EXPECT_FLOAT_EQ(slider->Value(), c.value);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, SliderDragTest,
    testing::Values(
        // 1,200 twips of travel: 8 px is 120 twips, a tenth.
        DragCase{"tenth", 0, 100, 101, true, Qt::LeftButton, 8, true, 10.0f},
        // 1 px = 15 twips = 1.25 %: rounded to two decimals, halves to even (1.25 -> 1.2).
        DragCase{"hundredths", 0, 100, 101, true, Qt::LeftButton, 1, true, 1.0f},
        DragCase{"past the right end", -5, 5, 101, true, Qt::LeftButton, 500, true, 5.0f},
        DragCase{"past the left end", -5, 5, 101, true, Qt::LeftButton, -50, true, -5.0f},
        DragCase{"disabled", 0, 100, 101, false, Qt::LeftButton, 8, false, 0},
        DragCase{"right button", 0, 100, 101, true, Qt::RightButton, 8, false, 0},
        DragCase{"both buttons", 0, 100, 101, true, Qt::LeftButton | Qt::RightButton, 8, false, 0},
        // Max = Min: the handle moves, the value is Min.
        DragCase{"empty range", 7, 7, 101, true, Qt::LeftButton, 8, true, 7.0f},
        // As wide as the handle: no travel, the value stays and Change reports it.
        DragCase{"no travel", 0, 100, 21, true, Qt::LeftButton, 8, true, 0.0f}),
    [](const testing::TestParamInfo<DragCase> &info) {
        std::string name = info.param.name;
        std::replace(name.begin(), name.end(), ' ', '_');
        return name;
    });

TEST(SliderTest, EveryDragPositionIsAWholeHundredth)
{
    auto slider = makeSlider();
    slider->setMin(-3);
    slider->setMax(9);
    for (int dx = 0; dx <= 80; ++dx) {
        slider->setValue(-3);
        drag(*slider, dx);
        const double k = (slider->Value() + 3.0) / 12.0 * 100.0;
        EXPECT_NEAR(k, std::nearbyint(k), 1e-4) << dx;
    }
}

TEST(SliderTest, DisabledSliderStillFollowsAssignments)
{
    auto slider = makeSlider();
    slider->setEnabled(false);
    QSignalSpy spy(slider.get(), &Slider::Change);
    slider->setValue(50);
    EXPECT_EQ(spy.count(), 1);
    EXPECT_DOUBLE_EQ(slider->handleLeft(), 600.0);
}

TEST(SliderTest, KeepsItsHeightWhateverTheContainerGives)
{
    auto slider = makeSlider();
    EXPECT_EQ(slider->height(), 19);
    slider->resize(120, 60);
    EXPECT_EQ(slider->height(), 19);
}

TEST(SliderTest, DesignFillUntilAColourOrEnabledIsAssigned)
{
    PropertyBag bag;
    bag.writeColour(QStringLiteral("ForeColor"), 0x00FF00, 0xFF);
    auto slider = makeSlider();
    slider->ReadProperties(bag);
    EXPECT_EQ(slider->fillColour(), Slider::DesignFill);
    EXPECT_EQ(slider->ForeColor(), 0x00FF00u);
    slider->setEnabled(false);
    EXPECT_EQ(slider->fillColour(), 0u);
    slider->setEnabled(true);
    EXPECT_EQ(slider->fillColour(), 0x00FF00u);
}

TEST(SliderTest, PropertiesRoundTripWithoutDefaults)
{
    auto slider = makeSlider();
    PropertyBag empty;
    slider->WriteProperties(empty);
    EXPECT_TRUE(empty.isEmpty());

    slider->setMax(200);
    slider->setValue(150);
    slider->setToolTipText(QStringLiteral("Set the timebase"));
    slider->setDisabledColor(0x808080);
    PropertyBag bag;
    slider->WriteProperties(bag);
    EXPECT_THAT(bag.keys(),
                testing::UnorderedElementsAre("Max", "Value", "ToolTipText", "DisabledColor"));
    auto loaded = makeSlider();
    loaded->ReadProperties(bag);
    EXPECT_EQ(loaded->Value(), 150.0f);
    EXPECT_EQ(loaded->Max(), 200.0f);
    EXPECT_EQ(loaded->handle()->toolTip(), QStringLiteral("Set the timebase"));
    EXPECT_EQ(loaded->DisabledColor(), 0x808080u);
}

TEST(SliderTest, PressShowsTheHandCursorAndReleaseTheArrow)
{
    auto slider = makeSlider();
    send(slider->handle(), QEvent::MouseButtonPress, 5, Qt::RightButton, Qt::RightButton);
    EXPECT_EQ(slider->handle()->cursor().shape(), Qt::PointingHandCursor);
    send(slider->handle(), QEvent::MouseButtonRelease, 5, Qt::RightButton, Qt::NoButton);
    EXPECT_EQ(slider->handle()->cursor().shape(), Qt::ArrowCursor);
}

} // namespace
} // namespace app::controls
