#include "app/shell/closingsequence.h"

#include <optional>
#include <utility>

#include <QCloseEvent>
#include <QCoreApplication>
#include <QMetaObject>
#include <QWidget>

#include "app/analysis/csvmodule.h"
#include "app/common/desktop/messages.h"
#include "app/common/desktop/waitcursor.h"
#include "app/shell/childcontrol.h"
#include "app/shell/handlertrap.h"
#include "app/shell/inputhold.h"
#include "platform/win/messagehook.h"

namespace app::shell {

namespace {

// How soon a close asked for during a page's input hold is tried again.
constexpr int HeldCloseRetryMs = 100;

} // namespace

ClosingSequence::ClosingSequence(QWidget &window, int waitMs, ClosingSteps steps)
    : window_(window), waitMs_(waitMs), steps_(std::move(steps))
{
    wait_.setSingleShot(true);
    QObject::connect(&wait_, &QTimer::timeout, [this] { waitExpired(); });
}

void ClosingSequence::closeEvent(QCloseEvent &event)
{
    if (closed_) {
        event.accept();
        return;
    }
    const bool csvJob = app::analysis::CsvJobRunning();
    if (csvJob || InputHeld()) {
        // A data file is being written or read further down this call stack, or a page holds
        // the user's input (a settle wait, a save): the data file stops at its next block (the
        // old file or snapshot stays), and the close is tried again once that has returned.
        if (csvJob)
            app::analysis::CancelCsvJob();
        event.ignore();
        QWidget *window = &window_;
        QTimer::singleShot(HeldCloseRetryMs, window, [window] { window->close(); });
        return;
    }
    if (IsRefreshing()) {
        // The refresh is further down this very call stack: waiting here would keep it from
        // ever finishing. Wait for it to return instead, at most waitMs.
        event.ignore();
        if (!pending_) {
            pending_ = true;
            finishSteps(ClosingStep::StopRefresh);
            app::common::desktop::ShowMessage(
                QStringLiteral("Waiting for current page refresh to complete..."),
                QStringLiteral("Closing..."), false, app::common::desktop::MessageNotice);
            wait_.start(waitMs_);
        }
        return;
    }
    run();
    event.accept();
}

void ClosingSequence::refreshFinished()
{
    if (pending_ && !closed_) {
        wait_.stop();
        QWidget *window = &window_;
        QMetaObject::invokeMethod(
            window, [window] { window->close(); }, Qt::QueuedConnection);
    }
}

void ClosingSequence::waitExpired()
{
    if (closed_ || !IsRefreshing())
        return;
    finishSteps(ClosingStep::UnloadMessage);
    platform::win::showPlainMessage(
        QStringLiteral("Tried to shut down but events still being executed in child page refresh!"),
        QStringLiteral("Error Closing"));
    // Closing goes on; the page whose refresh still runs is destroyed once it returns.
    run();
    window_.hide();
}

void ClosingSequence::run()
{
    if (closed_)
        return;
    closed_ = true;
    wait_.stop();
    std::optional<app::common::desktop::WaitCursor> busy(std::in_place);
    finishSteps(ClosingStep::ReleaseDevice);
    RunTrappedStep("MainFrm", "runClosingSequence", [this] { window_.hide(); });
    busy.reset();
    finishSteps(ClosingStep::UnloadFonts);
    if (steps_.endProgram)
        steps_.endProgram(0);
    else
        QCoreApplication::exit(0);
}

void ClosingSequence::finish()
{
    finishSteps(ClosingStep::UnloadFonts);
}

void ClosingSequence::finishSteps(ClosingStep last)
{
    FinishClosing(steps_, "MainFrm", "runClosingSequence", last);
}

} // namespace app::shell
