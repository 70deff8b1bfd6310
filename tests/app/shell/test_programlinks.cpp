#include "app/shell/programlinks.h"

#include <memory>

#include <QPlainTextEdit>
#include <QWidget>

#include <gmock/gmock.h>

#include "app/device/drv_hxr.h"
#include "app/device/hxr.h"
#include "app/shell/childcontrol.h"
#include "app/shell/devicecontrol.h"
#include "platform/win/messagehook.h"
#include "support/fakepagesethost.h"

namespace app::shell {
namespace {

using testing::ElementsAre;

TEST(ProgramLinks, InstallsEveryLinkAndRemovesThemAll)
{
    app::device::HXR device;
    testsupport::FakePageSetHost host;
    QWidget window;
    auto *container = new QWidget(&window);
    QPlainTextEdit help;
    {
        ProgramLinks links(
            ProgramLinkTargets{&device, &host, &window, container, {container, nullptr, &help}});
        EXPECT_EQ(app::device::HXRObject(), &device);
        EXPECT_EQ(PageContainer(), container);
        EXPECT_NE(platform::win::messagePresenter(), nullptr);
        ShowRecordBlanker(true);
        EXPECT_THAT(host.blankerShown, ElementsAre(true));
    }
    EXPECT_EQ(app::device::HXRObject(), nullptr);
    EXPECT_EQ(PageContainer(), nullptr);
    EXPECT_EQ(platform::win::messagePresenter(), nullptr);
    ShowRecordBlanker(false);
    EXPECT_THAT(host.blankerShown, ElementsAre(true)) << "the host is gone";
}

TEST(ProgramLinks, LeavesOutWhatItIsNotGiven)
{
    app::device::HXR other;
    app::device::SetHXRObject(&other);
    {
        ProgramLinks links(ProgramLinkTargets{});
        EXPECT_EQ(app::device::HXRObject(), &other);
        EXPECT_NE(platform::win::messagePresenter(), nullptr) << "the presenter is always there";
    }
    EXPECT_EQ(app::device::HXRObject(), &other);
    app::device::ClearHXRObject();
}

} // namespace
} // namespace app::shell
