#include "app/shell/handlertrap.h"

#include <functional>
#include <new>
#include <stdexcept>
#include <string>

#include <QString>

#include <gmock/gmock.h>

#include "platform/vb/vberror.h"
#include "support/namedcase.h"
#include "support/warningrecorder.h"

namespace app::shell {
namespace {

using platform::vb::VbError;
using testing::ElementsAre;
using testsupport::PrintTo;

struct ErrorCase
{
    std::string name;
    std::function<void()> fail;
    QString logged;
};

class HandlerTrapTest : public testing::TestWithParam<ErrorCase>
{};

TEST_P(HandlerTrapTest, LogsThePageTheHandlerAndTheErrorOnce)
{
    const testsupport::WarningRecorder warnings;
    try {
        GetParam().fail();
    } catch (...) {
        LogSkippedHandler(QStringLiteral("CHILD_GEN_INFO"), "TimedRefresh");
    }
    EXPECT_THAT(warnings.recorded(), ElementsAre(GetParam().logged));
}

INSTANTIATE_TEST_SUITE_P(
    ErrorKinds, HandlerTrapTest,
    testing::Values(
        ErrorCase{"VbError",
                  [] { throw VbError(VbError::InvalidCall, "SCON", "Invalid procedure call"); },
                  "CHILD_GEN_INFO.TimedRefresh skipped: error 5 in SCON: Invalid procedure call"},
        ErrorCase{"VbErrorWithoutSource",
                  [] { throw VbError(VbError::Overflow, QString(), "Overflow"); },
                  "CHILD_GEN_INFO.TimedRefresh skipped: error 6: Overflow"},
        ErrorCase{"StdException", [] { throw std::runtime_error("page fault \xc2\xb0"); },
                  QStringLiteral("CHILD_GEN_INFO.TimedRefresh skipped: page fault \u00b0")},
        ErrorCase{"BadAlloc", [] { throw std::bad_alloc(); },
                  "CHILD_GEN_INFO.TimedRefresh skipped: std::bad_alloc"},
        ErrorCase{"AnythingElse", [] { throw 42; },
                  "CHILD_GEN_INFO.TimedRefresh skipped: unknown error"}),
    [](const testing::TestParamInfo<ErrorCase> &info) { return info.param.name; });

TEST(HandlerTrap, OutsideACatchBlockItStillLogsWithoutThrowing)
{
    const testsupport::WarningRecorder warnings;
    LogSkippedHandler("MainFrm", "Load");
    EXPECT_THAT(warnings.recorded(), ElementsAre("MainFrm.Load skipped: unknown error"));
}

TEST(HandlerTrap, AFailingStepIsLoggedAndTheNextStepStillRuns)
{
    const testsupport::WarningRecorder warnings;
    bool nextRan = false;
    RunTrappedStep("MainFrm", "runClosingSequence", [] { throw std::runtime_error("port gone"); });
    RunTrappedStep("MainFrm", "runClosingSequence", [&] { nextRan = true; });
    EXPECT_TRUE(nextRan);
    EXPECT_THAT(warnings.recorded(), ElementsAre("MainFrm.runClosingSequence skipped: port gone"));
}

} // namespace
} // namespace app::shell
