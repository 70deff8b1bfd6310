#include "app/shell/programcontext.h"

#include <QPointer>
#include <QWidget>

#include <gmock/gmock.h>

#include "app/common/globals.h"
#include "app/device/drv_hxr.h"
#include "app/device/hxr.h"
#include "app/shell/childcontrol.h"
#include "app/shell/connection.h"
#include "app/shell/devicecontrol.h"
#include "app/shell/programlinks.h"
#include "runleftovers.h"
#include "support/fakepagesethost.h"
#include "testpages.h"

namespace app::shell {
namespace {

using ::testing::ElementsAre;
using ::testing::IsEmpty;
using namespace app::shell::testpages;

// Leaves one mark in each layer's state, so that a test sees which state is current.
void markEveryLayer(const QString &mark)
{
    app::common::setFactoryAccess(true);
    app::common::setDataFolder(mark);
    app::device::setStreamRunning(true);
    CurrentConnection().ConnectionStatusText = mark;
    RegisterTestPages({mark});
}

// The marks of markEveryLayer, empty where a layer holds its defaults.
QStringList marks()
{
    return {app::common::FactoryAccess() ? QStringLiteral("factory") : QString(),
            app::common::DataFolder(),
            app::device::StreamRunning() ? QStringLiteral("streaming") : QString(),
            CurrentConnection().ConnectionStatusText};
}

TEST(ProgramContext, StartsFromDefaultsAndGivesBackWhatWasCurrentBefore)
{
    const QStringList none{QString(), QString(), QString(), QString()};
    ASSERT_EQ(marks(), none) << "the process-wide defaults";
    {
        ProgramContext outer;
        markEveryLayer(QStringLiteral("outer"));
        {
            ProgramContext inner;
            EXPECT_EQ(marks(), none);
            EXPECT_FALSE(HasPageFactory(QStringLiteral("outer")));
            markEveryLayer(QStringLiteral("inner"));
        }
        EXPECT_EQ(marks(), QStringList({"factory", "outer", "streaming", "outer"}));
        EXPECT_TRUE(HasPageFactory(QStringLiteral("outer")));
        EXPECT_FALSE(HasPageFactory(QStringLiteral("inner")));
    }
    EXPECT_EQ(marks(), none);
    EXPECT_FALSE(HasPageFactory(QStringLiteral("outer")));
}

TEST(ProgramContext, ItsPagesCloseWhileTheStateTheyUseIsThere)
{
    QWidget window;
    auto *container = new QWidget(&window);
    QPointer<ChildFormClass> page;
    {
        ProgramContext context;
        context.link(ProgramLinkTargets{nullptr, nullptr, &window, container, {}});
        RegisterTestPages({HomePageName});
        OpenPage(LoadPage(HomePageName));
        page = CurrentPage();
        ASSERT_NE(page, nullptr);
        PageLog().clear();
    }
    EXPECT_THAT(PageLog(), ElementsAre("unload CHILD_GEN_HOME"));
    EXPECT_EQ(page, nullptr);
    EXPECT_EQ(CurrentPage(), nullptr);
    EXPECT_EQ(PageContainer(), nullptr) << "the links went with the context";
}

TEST(ProgramContext, DroppedByAFixtureItLeavesNothingBehind)
{
    const runleftovers::FontFolder fonts;
    QWidget window;
    auto *container = new QWidget(&window);
    testsupport::FakePageSetHost host;
    app::device::HXR hxr(runleftovers::CountingDriver());
    QPointer<ChildFormClass> page;
    {
        ProgramContextOptions options;
        options.fontFolder = fonts.path();
        ProgramContext context(options);
        context.link(ProgramLinkTargets{&hxr, &host, &window, container, {}});
        RegisterTestPages({HomePageName});
        BuildDeviceList(false);
        SelectDevice(HomeSetKey);
        OpenPage(LoadPage(HomePageName));
        page = CurrentPage();
        hxr.OpenPort();
        ASSERT_EQ(runleftovers::Leftovers(page), runleftovers::Everything());
    }
    EXPECT_THAT(runleftovers::Leftovers(page), IsEmpty());
}

} // namespace
} // namespace app::shell
