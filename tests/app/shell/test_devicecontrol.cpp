#include "app/shell/devicecontrol.h"

#include <memory>

#include <QPlainTextEdit>
#include <QWidget>

#include <gmock/gmock.h>

#include "app/shell/childcontrol.h"
#include "app/shell/connection.h"
#include "app/shell/device.h"
#include "app/shell/menucontrol.h"
#include "app/shell/programcontext.h"
#include "app/shell/programlinks.h"
#include "support/fakepagesethost.h"
#include "testpages.h"

namespace app::shell {
namespace {

using ::testing::ElementsAre;
using namespace app::shell::testpages;

class DeviceControlTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        container_.resize(400, 300);
        context_ = std::make_unique<ProgramContext>();
        context_->link(ProgramLinkTargets{
            nullptr, &host_, &container_, &container_, {&container_, nullptr, &help_, nullptr}});
        RegisterTestPages({"CHILD_GEN_HOME", "CHILD_GEN_REVIEW", "CHILD_GEN_INFO", "CHILD_GEN_FILE",
                           "CHILD_GEN_LOCK"});
    }
    void TearDown() override { context_.reset(); }
    void connectModule()
    {
        BuildDeviceList(false);
        SelectDevice(HomeSetKey);
        BuildButtonBar();
        SelectDevice(ModuleSetKey);
        BuildButtonBar();
    }

    QWidget container_;
    QPlainTextEdit help_;
    testsupport::FakePageSetHost host_;
    // Declared after the widgets and the host: it goes first, closing what uses them.
    std::unique_ptr<ProgramContext> context_;
};

TEST_F(DeviceControlTest, ModuleSetHasTheFactoryButtonOnlyInFactoryMode)
{
    BuildDeviceList(false);
    SelectDevice(ModuleSetKey);
    const Device *set = CurrentDevice();
    ASSERT_EQ(set->ButtonCount(), 9);
    EXPECT_EQ(set->Form(9), "CHILD_GEN_LOCK");
    EXPECT_EQ(set->DefaultPage, 2);

    BuildDeviceList(true);
    SelectDevice(ModuleSetKey);
    set = CurrentDevice();
    ASSERT_EQ(set->ButtonCount(), 10);
    EXPECT_EQ(set->ButtonImage(10), "@");
    EXPECT_EQ(set->Form(10), "CHILD_GEN_FACTORY");
    EXPECT_TRUE(set->ButtonToolTip(10).startsWith("Factory Only*"));
}

TEST_F(DeviceControlTest, ButtonBarDisablesPagesTheProgramLacksAndOpensTheDefault)
{
    connectModule();
    EXPECT_THAT(host_.buttons, ElementsAre("6", "7", "8", ";-", "<", ":-", "9-", "=-", ">"));
    EXPECT_EQ(host_.selected, 2);
    ASSERT_NE(CurrentPage(), nullptr);
    EXPECT_EQ(CurrentPage()->objectName(), "CHILD_GEN_INFO");
    EXPECT_EQ(help_.toPlainText(), "CHILD_GEN_INFO help\nsecond line");
}

TEST_F(DeviceControlTest, HomeButtonUnloadsTheModulePagesAndShowsTheHomeSet)
{
    connectModule();
    host_.error = -100;
    SwitchPage(3);
    EXPECT_EQ(CurrentPage()->objectName(), "CHILD_GEN_FILE");
    PageLog().clear();

    SwitchPage(1);

    EXPECT_THAT(PageLog(), ElementsAre("deactivate CHILD_GEN_FILE", "unload CHILD_GEN_FILE",
                                       "unload CHILD_GEN_INFO", "help CHILD_GEN_HOME",
                                       "activate CHILD_GEN_HOME"));
    EXPECT_THAT(LoadedPageNames(), ElementsAre("CHILD_GEN_HOME"));
    EXPECT_THAT(host_.buttons, ElementsAre("B", "<"));
    EXPECT_EQ(host_.selected, 1);
    EXPECT_EQ(CurrentDevice()->MODEL, HomeSetKey);
    EXPECT_FALSE(host_.streamRunning);
    EXPECT_FALSE(host_.errorResetEnabled);
    EXPECT_EQ(host_.status.back(), "|0");
    EXPECT_EQ(host_.timerRestarts, 2);
}

TEST_F(DeviceControlTest, ASwitchBeyondTheSetChangesNothing)
{
    connectModule();
    PageLog().clear();
    EXPECT_ANY_THROW(SwitchPage(10));
    EXPECT_ANY_THROW(SwitchPage(0));
    EXPECT_TRUE(PageLog().isEmpty());
    EXPECT_EQ(host_.timerRestarts, 0);
    EXPECT_ANY_THROW(SelectDevice("KTW"));
}

TEST_F(DeviceControlTest, CommsStatusShowsTheLatchedErrorElseTheConnection)
{
    BuildDeviceList(false);
    SelectDevice(HomeSetKey);
    host_.error = -100;
    UpdateCommsStatus();
    EXPECT_EQ(host_.status.back(), "-100|1");
    EXPECT_TRUE(host_.errorResetEnabled);

    host_.error = 0;
    CurrentConnection().ConnectionStatusText = "HXR-TRB serial number 70000";
    UpdateCommsStatus();
    EXPECT_EQ(host_.status.back(), "HXR-TRB serial number 70000|0");
}

TEST_F(DeviceControlTest, ButtonTipsComeFromTheCurrentSet)
{
    BuildDeviceList(false);
    SelectDevice(HomeSetKey);
    ShowButtonTip(2);
    ShowButtonTip(3); // no such button: nothing
    ASSERT_EQ(host_.tips.size(), 1);
    EXPECT_TRUE(host_.tips[0].startsWith("Review*Here you can view"));
}

} // namespace
} // namespace app::shell
