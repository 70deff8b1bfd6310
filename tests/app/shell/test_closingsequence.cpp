#include "app/shell/closingsequence.h"

#include <optional>
#include <stdexcept>
#include <utility>

#include <QCloseEvent>
#include <QList>
#include <QStringList>
#include <QTest>
#include <QWidget>

#include <gmock/gmock.h>

#include "app/common/globals.h"
#include "app/shell/inputhold.h"
#include "app/shell/programcontext.h"
#include "support/warningrecorder.h"

namespace app::shell {
namespace {

using ::testing::ElementsAre;
using ::testing::IsEmpty;

// A plain window that hands its closes to the sequence, as the main window does.
class ClosingWindow : public QWidget
{
public:
    explicit ClosingWindow(ClosingSteps steps) : closing(*this, 15000, std::move(steps)) {}
    ClosingSequence closing;

protected:
    void closeEvent(QCloseEvent *event) override { closing.closeEvent(*event); }
};

class ClosingSequenceTest : public ::testing::Test
{
protected:
    void SetUp() override { app::common::setShuttingDown(false); }
    void TearDown() override { app::common::setShuttingDown(false); }

    ClosingSteps recordingSteps()
    {
        return {.stopTimers = [this] { steps_ << "stopTimers"; },
                .release = [this] { steps_ << "release"; },
                .closePort =
                    [this] {
                        steps_ << "closePort";
                        if (portFails_)
                            throw std::runtime_error("port gone");
                    },
                .removeLinks = [this] { steps_ << "removeLinks"; },
                .endProgram = [this](int code) { ended_ << code; }};
    }

    // A run of each test's own: the steps that end a run run once a run.
    ProgramContext context_;
    QStringList steps_;
    QList<int> ended_;
    bool portFails_ = false;
};

TEST_F(ClosingSequenceTest, RunsItsStepsOnceInOrderAndEndsTheProgram)
{
    ClosingWindow window(recordingSteps());
    window.show();
    EXPECT_TRUE(window.close());
    EXPECT_TRUE(window.closing.closed());
    EXPECT_TRUE(app::common::ShuttingDown());
    EXPECT_FALSE(window.isVisible());
    // A second close is let through without running anything again.
    window.show();
    EXPECT_TRUE(window.close());
    EXPECT_THAT(steps_, ElementsAre("stopTimers", "release", "closePort", "removeLinks"));
    EXPECT_THAT(ended_, ElementsAre(0));
}

TEST_F(ClosingSequenceTest, AFailingStepIsLoggedAndTheStepsAfterItStillRun)
{
    portFails_ = true;
    const testsupport::WarningRecorder warnings;
    ClosingWindow window(recordingSteps());
    window.show();
    window.close();
    EXPECT_THAT(steps_, ElementsAre("stopTimers", "release", "closePort", "removeLinks"));
    EXPECT_THAT(ended_, ElementsAre(0));
    EXPECT_THAT(warnings.recorded(), ElementsAre("MainFrm.runClosingSequence skipped: port gone"));
}

TEST_F(ClosingSequenceTest, ACloseDuringAnInputHoldWaitsForTheHoldToEnd)
{
    ClosingWindow window(recordingSteps());
    window.show();
    std::optional<InputHold> hold(std::in_place);
    EXPECT_FALSE(window.close());
    EXPECT_THAT(steps_, IsEmpty());
    hold.reset();
    EXPECT_TRUE(QTest::qWaitFor([this] { return !ended_.isEmpty(); }, 5000));
    EXPECT_THAT(ended_, ElementsAre(0));
    EXPECT_FALSE(window.isVisible());
}

} // namespace
} // namespace app::shell
