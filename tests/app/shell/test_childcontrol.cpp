#include "app/shell/childcontrol.h"

#include <memory>
#include <stdexcept>

#include <QCheckBox>
#include <QEventLoop>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPointer>
#include <QPushButton>
#include <QTimer>

#include <gmock/gmock.h>

#include "app/shell/menucontrol.h"
#include "app/shell/programcontext.h"
#include "app/shell/programlinks.h"
#include "support/warningrecorder.h"
#include "testpages.h"

namespace app::shell {
namespace {

using ::testing::ElementsAre;
using namespace app::shell::testpages;

class ChildControlTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        window_.resize(800, 600);
        container_ = new QWidget(&window_);
        container_->setGeometry(10, 10, 500, 400);
        mainHelp_ = new QWidget(&window_);
        mainHelp_->setGeometry(520, 10, 250, 400);
        help_ = new QPlainTextEdit(mainHelp_);
        extra_ = new QPlainTextEdit(mainHelp_);
        extra_->hide();
        context_ = std::make_unique<ProgramContext>();
        context_->link(ProgramLinkTargets{
            nullptr, nullptr, &window_, container_, {container_, mainHelp_, help_, extra_}});
        RegisterTestPages({HomePageName, "CHILD_GEN_INFO", "CHILD_GEN_FILE"});
        window_.show();
        PageLog().clear();
    }
    void TearDown() override { context_.reset(); }

    QWidget window_;
    QWidget *container_ = nullptr;
    QWidget *mainHelp_ = nullptr;
    QPlainTextEdit *help_ = nullptr;
    QPlainTextEdit *extra_ = nullptr;
    // Declared after the widgets: it goes first, closing the pages shown in them.
    std::unique_ptr<ProgramContext> context_;
};

TEST_F(ChildControlTest, OpeningAPageShowsItWithItsHelpThenActivatesIt)
{
    OpenPage(LoadPage(HomePageName));
    PageLog().clear();

    DeactivateCurrentPage();
    OpenPage(LoadPage("CHILD_GEN_INFO"));

    EXPECT_THAT(PageLog(), ElementsAre("deactivate CHILD_GEN_HOME", "load CHILD_GEN_INFO",
                                       "help CHILD_GEN_INFO", "activate CHILD_GEN_INFO"));
    ChildFormClass *info = LoadedPage("CHILD_GEN_INFO");
    EXPECT_EQ(CurrentPage(), info);
    EXPECT_EQ(info->parentWidget(), container_);
    EXPECT_EQ(info->pos(), QPoint(-1, -1));
    EXPECT_TRUE(info->isVisible());
    EXPECT_FALSE(LoadedPage(HomePageName)->isVisible()); // covered pages take no input
    EXPECT_EQ(help_->toPlainText(), "CHILD_GEN_INFO help\nsecond line");
    EXPECT_THAT(RegisteredPageNames(), ElementsAre("CHILD_GEN_HOME", "CHILD_GEN_INFO"));
    EXPECT_TRUE(container_->isVisible());
}

TEST_F(ChildControlTest, RegisteringTwiceKeepsOneEntry)
{
    ChildFormClass *home = LoadPage(HomePageName);
    RegisterPage(home);
    RegisterPage(home);
    EXPECT_THAT(RegisteredPageNames(), ElementsAre(HomePageName));
}

TEST_F(ChildControlTest, UnloadPagesKeepsOnlyHomeLoadedAndUnregistered)
{
    OpenPage(LoadPage(HomePageName));
    OpenPage(LoadPage("CHILD_GEN_INFO"));
    OpenPage(LoadPage("CHILD_GEN_FILE"));
    QPointer<ChildFormClass> home = LoadedPage(HomePageName);
    PageLog().clear();

    UnloadPages();

    EXPECT_THAT(PageLog(), ElementsAre("unload CHILD_GEN_FILE", "unload CHILD_GEN_INFO"));
    EXPECT_THAT(LoadedPageNames(), ElementsAre(HomePageName));
    EXPECT_TRUE(RegisteredPageNames().isEmpty());
    EXPECT_EQ(CurrentPage(), nullptr);
    ASSERT_TRUE(home);
    OpenPage(LoadPage(HomePageName));
    EXPECT_EQ(LoadedPage(HomePageName), home.data()); // the same instance, registered again
    EXPECT_THAT(RegisteredPageNames(), ElementsAre(HomePageName));
}

TEST_F(ChildControlTest, UnknownPageIsAnErrorToTheCaller)
{
    EXPECT_ANY_THROW(LoadPage("CHILD_GEN_SCOPE"));
}

TEST_F(ChildControlTest, FocusGoesToTheFirstTabStopElseTheFirstFocusableControl)
{
    QWidget form;
    auto *label = new QLabel("x", &form);
    auto *noTab = new QPushButton("no tab", &form);
    noTab->setFocusPolicy(Qt::ClickFocus);
    auto *edit = new QLineEdit(&form);
    form.show();
    (void)label;

    FocusFirstControl(&form);
    EXPECT_EQ(form.focusWidget(), edit);

    edit->setFocusPolicy(Qt::ClickFocus);
    FocusFirstControl(&form);
    EXPECT_EQ(form.focusWidget(), noTab);
}

TEST_F(ChildControlTest, ExtraInfoFillsOnlyTheGivenPlaceholders)
{
    ShowExtraInfo("From #1 to #2*Span #3", 900);
    EXPECT_TRUE(extra_->isVisible());
    EXPECT_EQ(extra_->height(), 60);
    EXPECT_EQ(extra_->y(), mainHelp_->height() - 60);
    FillExtraInfo({"A"});
    EXPECT_EQ(extra_->toPlainText(), "From A to #2\nSpan #3");
    FillExtraInfo({"A", "B", "C"});
    EXPECT_EQ(extra_->toPlainText(), "From A to B\nSpan C");
    OpenPage(LoadPage(HomePageName));
    EXPECT_FALSE(extra_->isVisible());
}

TEST_F(ChildControlTest, AFailingRefreshLeavesTheFlagClear)
{
    OpenPage(LoadPage(HomePageName));
    LoadedTestPage(HomePageName)->onRefresh = [] { throw std::runtime_error("page fault"); };
    const testsupport::WarningRecorder warnings;
    EXPECT_NO_THROW(RefreshCurrentPage());
    EXPECT_FALSE(IsRefreshing());
    EXPECT_THAT(warnings.recorded(),
                ElementsAre("CHILD_GEN_HOME.TimedRefresh skipped: page fault"));
}

TEST_F(ChildControlTest, ARefreshThatLetsEventsRunIsNotEnteredTwice)
{
    OpenPage(LoadPage(HomePageName));
    int depth = 0;
    int maxDepth = 0;
    LoadedTestPage(HomePageName)->onRefresh = [&] {
        maxDepth = std::max(maxDepth, ++depth);
        if (depth == 1)
            RefreshCurrentPage(); // a tick arriving while the page lets events run
        --depth;
    };
    RefreshCurrentPage();
    EXPECT_EQ(maxDepth, 1);
}

TEST_F(ChildControlTest, APageUnloadedDuringItsOwnRefreshLivesUntilTheRefreshReturns)
{
    OpenPage(LoadPage(HomePageName));
    OpenPage(LoadPage("CHILD_GEN_INFO"));
    TestPage *info = LoadedTestPage("CHILD_GEN_INFO");
    bool aliveAfterUnload = false;
    info->onRefresh = [&] {
        UnloadPages();
        aliveAfterUnload = PageLog().filter("unload CHILD_GEN_INFO").isEmpty();
        PageLog() << "refresh goes on";
    };
    PageLog().clear();
    RefreshCurrentPage();
    EXPECT_TRUE(aliveAfterUnload);
    EXPECT_THAT(PageLog(),
                ElementsAre("refresh CHILD_GEN_INFO", "refresh goes on", "unload CHILD_GEN_INFO"));
    EXPECT_EQ(LoadedPage("CHILD_GEN_INFO"), nullptr);
}

} // namespace
} // namespace app::shell
