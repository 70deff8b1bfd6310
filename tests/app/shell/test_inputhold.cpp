#include "app/shell/inputhold.h"

#include <memory>

#include <QApplication>
#include <QCursor>
#include <QMetaObject>
#include <QWidget>

#include <gmock/gmock.h>

#include "app/shell/childcontrol.h"
#include "app/shell/menucontrol.h"
#include "app/shell/programcontext.h"
#include "app/shell/programlinks.h"
#include "support/manualclock.h"
#include "testpages.h"

namespace app::shell {
namespace {

using namespace app::shell::testpages;

class InputHoldTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        container_ = new QWidget(&window_);
        context_ = std::make_unique<ProgramContext>();
        context_->link(ProgramLinkTargets{nullptr, nullptr, &window_, container_, {}});
        RegisterTestPages({HomePageName});
        window_.show();
        OpenPage(LoadPage(HomePageName));
        PageLog().clear();
    }
    void TearDown() override { context_.reset(); }

    QWidget window_;
    QWidget *container_ = nullptr;
    // Declared after the window: it goes first, closing the page shown in it.
    std::unique_ptr<ProgramContext> context_;
};

TEST_F(InputHoldTest, DelayWaitsOnTheClockUnderTheHourglassWithoutRefreshes)
{
    testsupport::ManualClock clock;
    const int64_t start = clock.monotonic;
    int steps = 0;
    bool hourglass = true;
    clock.onSleep = [&] {
        ++steps;
        const QCursor *cursor = QApplication::overrideCursor();
        hourglass = hourglass && cursor && cursor->shape() == Qt::WaitCursor && InputHeld();
        RefreshCurrentPage(); // a refresh tick that arrives meanwhile
    };
    bool queuedRan = false;
    QMetaObject::invokeMethod(
        &window_, [&] { queuedRan = true; }, Qt::QueuedConnection);

    Delay(clock, 4000);

    EXPECT_EQ(clock.monotonic - start, 4000);
    EXPECT_GT(steps, 1) << "the wait lets the window paint between steps";
    EXPECT_TRUE(hourglass);
    EXPECT_TRUE(queuedRan) << "events other than input run during the wait";
    EXPECT_TRUE(PageLog().isEmpty()) << PageLog().join(QLatin1Char(',')).toStdString();
    EXPECT_FALSE(InputHeld());
    EXPECT_EQ(QApplication::overrideCursor(), nullptr);

    RefreshCurrentPage();
    EXPECT_EQ(PageLog(), QStringList{QStringLiteral("refresh ") + HomePageName});
}

} // namespace
} // namespace app::shell
