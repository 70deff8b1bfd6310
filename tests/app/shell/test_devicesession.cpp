#include "app/shell/devicesession.h"

#include <cstddef>
#include <optional>

#include <QAbstractEventDispatcher>
#include <QApplication>
#include <QCursor>
#include <QPaintEvent>
#include <QPushButton>
#include <QTest>
#include <QTimer>
#include <qpa/qwindowsysteminterface.h>

#include <gmock/gmock.h>

#include "app/device/drv_hxr.h"
#include "app/device/fakedriver.h"
#include "app/device/hxr.h"

namespace app::shell {
namespace {

using testing::ElementsAre;
using testing_device::FakeModule;

class CountingButton : public QPushButton
{
public:
    int paints = 0;

protected:
    void paintEvent(QPaintEvent *event) override
    {
        ++paints;
        QPushButton::paintEvent(event);
    }
};

// A click as the display server queues it: it reaches the widget only when the thread's
// window-system input is next let through.
void queueClick(QWidget &widget)
{
    QWindow *window = widget.windowHandle();
    const QPointF at(10, 10);
    QWindowSystemInterface::handleMouseEvent<QWindowSystemInterface::AsynchronousDelivery>(
        window, at, window->mapToGlobal(at), Qt::LeftButton, Qt::LeftButton,
        QEvent::MouseButtonPress);
    QWindowSystemInterface::handleMouseEvent<QWindowSystemInterface::AsynchronousDelivery>(
        window, at, window->mapToGlobal(at), Qt::NoButton, Qt::LeftButton,
        QEvent::MouseButtonRelease);
}

// The program's device object waits out the module's restart after a new serial number on the
// system clock: the window paints and its timers run, but the user's input and any other module
// command wait, under the wait pointer.
TEST(DeviceSession, TheRestartAfterASerialNumberKeepsTheWindowAliveAndHoldsInput)
{
    FakeModule module;
    FakeModule::current() = &module;
    DeviceSession session(QString(), testing_device::fakeDriverApi(), {});
    app::device::HXR &hxr = *session.device();

    CountingButton button;
    button.resize(80, 30);
    button.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&button));
    int clicks = 0;
    QObject::connect(&button, &QPushButton::clicked, [&] { ++clicks; });

    // The first timer runs once the restart wait has begun: the writes and RST are sent then.
    struct During
    {
        bool ran = false;
        bool commandRunning = false;
        Qt::CursorShape cursor = Qt::ArrowCursor;
        std::size_t framesBefore = 0;
        std::size_t framesAfter = 0;
        int paintsBefore = 0;
        int paintsAfter = -1;
        int clicks = -1;
    } during;
    QTimer::singleShot(0, [&] {
        during.ran = true;
        during.commandRunning = app::device::ModuleCommandRunning();
        const QCursor *cursor = QApplication::overrideCursor();
        during.cursor = cursor ? cursor->shape() : Qt::ArrowCursor;
        during.framesBefore = module.frames.size();
        hxr.ADC();
        hxr.USR1(1.0f);
        during.framesAfter = module.frames.size();
        queueClick(button);
        during.paintsBefore = button.paints;
        button.update();
        QTimer::singleShot(100, [&] {
            during.paintsAfter = button.paints;
            during.clicks = clicks;
        });
    });
    int wakeUps = 0;
    const QMetaObject::Connection counting =
        QObject::connect(QAbstractEventDispatcher::instance(),
                         &QAbstractEventDispatcher::awake, [&] { ++wakeUps; });

    hxr.SERIALNUMBER(70000.0);
    QObject::disconnect(counting);

    ASSERT_TRUE(during.ran) << "timers run while the module restarts";
    EXPECT_TRUE(during.commandRunning) << "the refresh tick is skipped meanwhile";
    EXPECT_EQ(during.cursor, Qt::WaitCursor);
    EXPECT_EQ(during.framesAfter, during.framesBefore) << "commands meanwhile touch no port";
    EXPECT_GT(during.paintsAfter, during.paintsBefore) << "the window repaints meanwhile";
    EXPECT_EQ(during.clicks, 0) << "the click waits for the end of the restart";
    EXPECT_EQ(clicks, 0);
    // A loop that polled would wake the thread thousands of times in the second it waits.
    EXPECT_LT(wakeUps, 100);
    EXPECT_THAT(module.frames, ElementsAre("FSNL=4464.0000000", "FSNH=1.0000000", "RST", ""));
    EXPECT_EQ(QApplication::overrideCursor(), nullptr);
    EXPECT_FALSE(app::device::ModuleCommandRunning());

    QTRY_COMPARE_WITH_TIMEOUT(clicks, 1, 5000);
    FakeModule::current() = nullptr;
}

} // namespace
} // namespace app::shell
