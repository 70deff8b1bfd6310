#ifndef APP_SHELL_HANDLERTRAP_H
#define APP_SHELL_HANDLERTRAP_H

#include <QAnyStringView>

namespace app::shell {

// The one trap of the handlers that leave silently on an unexpected error: called from their
// catch block, it logs the exception being handled with qWarning, naming the page (or the shell
// module), the handler and the error, and shows the user nothing:
//   "CHILD_GEN_INFO.TimedRefresh skipped: error 5 in SCON: Invalid procedure call"
// The error is the VB error's number, source and description, an std::exception's what(), or
// "unknown error". It never throws, so that a catch block stays a safe place to call it.
void LogSkippedHandler(QAnyStringView page, QAnyStringView handler) noexcept;

// Runs one step of a handler made of steps (a start-up, a closing): a step that throws is
// skipped and logged as above, and the steps after it still run.
template <typename Step>
void RunTrappedStep(QAnyStringView page, QAnyStringView handler, Step &&step) noexcept
{
    try {
        step();
    } catch (...) {
        LogSkippedHandler(page, handler);
    }
}

} // namespace app::shell

#endif
