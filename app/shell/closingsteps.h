#ifndef APP_SHELL_CLOSINGSTEPS_H
#define APP_SHELL_CLOSINGSTEPS_H

#include <functional>

#include <QAnyStringView>

namespace app::shell {

// What the one who ends a run does in the steps that are its own; an empty hook does nothing.
struct ClosingSteps
{
    // Stops the window's own timers: the page refresh and the hover tip.
    std::function<void()> stopTimers;
    // Saves the settings and lets go of the mouse.
    std::function<void()> release;
    // Closes the module's port, when there is a module.
    std::function<void()> closePort;
    // Removes the program-wide links, the device object's among them.
    std::function<void()> removeLinks;
    // Ends the program with the code; empty: leave the event loop with it. The closing
    // sequence's alone: it comes after the steps.
    std::function<void(int code)> endProgram;
};

// The steps that end a run, in the order they run. Between the first two the main window's
// closing sequence waits for a page refresh that is still running; nothing else can wait.
enum class ClosingStep {
    StopRefresh,   // ShuttingDown set, the window's timers stopped, the mouse released
    UnloadMessage, // the message form
    UnloadPages,
    ClearPageSets,
    ClosePort,
    ReleaseDevice, // the links, the program-wide device reference among them
    UnloadFonts,
};

// Runs, in order, the steps of the run's end that have not run yet, up to and including
// `last`. Each runs once a run, whoever asks: the main window's closing sequence runs them
// all, and the window's destructor and the program context only finish what has not run. A
// step that throws is logged as `page`.`handler` and the steps after it still run.
void FinishClosing(const ClosingSteps &steps, QAnyStringView page, QAnyStringView handler,
                   ClosingStep last = ClosingStep::UnloadFonts);

} // namespace app::shell

#endif
