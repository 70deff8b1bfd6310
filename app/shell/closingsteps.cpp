#include "app/shell/closingsteps.h"

#include "app/common/desktop/fonts.h"
#include "app/common/desktop/messages.h"
#include "app/common/globals.h"
#include "app/shell/childcontrol.h"
#include "app/shell/devicecontrol.h"
#include "app/shell/handlertrap.h"
#include "app/shell/shellstate.h"

namespace app::shell {

namespace {

void call(const std::function<void()> &hook)
{
    if (hook)
        hook();
}

void runStep(ClosingStep step, const ClosingSteps &steps)
{
    switch (step) {
    case ClosingStep::StopRefresh:
        app::common::setShuttingDown(true);
        call(steps.stopTimers);
        call(steps.release);
        break;
    case ClosingStep::UnloadMessage:
        app::common::desktop::UnloadMessage();
        break;
    case ClosingStep::UnloadPages:
        CloseAllPages();
        break;
    case ClosingStep::ClearPageSets:
        ClearDevices();
        break;
    case ClosingStep::ClosePort:
        call(steps.closePort);
        break;
    case ClosingStep::ReleaseDevice:
        call(steps.removeLinks);
        break;
    case ClosingStep::UnloadFonts:
        app::common::desktop::UnloadFonts();
        break;
    }
}

} // namespace

void FinishClosing(const ClosingSteps &steps, QAnyStringView page, QAnyStringView handler,
                   ClosingStep last)
{
    int &run = ShellState::current().closingStepsRun;
    while (run <= static_cast<int>(last)) {
        // Counted before it runs: a step that fails is not tried again.
        const auto step = static_cast<ClosingStep>(run++);
        RunTrappedStep(page, handler, [&] { runStep(step, steps); });
    }
}

} // namespace app::shell
