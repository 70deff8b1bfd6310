#include "driver/replywait.h"

#include <algorithm>
#include <thread>
#include <utility>

#include <QAbstractEventDispatcher>
#include <QCoreApplication>
#include <QEventLoop>
#include <QThread>
#include <QTimer>

namespace driver {

namespace {

constexpr auto PollInterval = std::chrono::milliseconds(1);

// Only the application's own thread has windows to keep alive; other callers simply block.
bool runsEvents()
{
    const QCoreApplication *application = QCoreApplication::instance();
    return application && QThread::currentThread() == application->thread() &&
           QAbstractEventDispatcher::instance() != nullptr;
}

// Runs the thread's events, user input held back, until `loop` quits or `span` has passed.
void runEventsFor(QEventLoop &loop, ReplyWait::Clock::duration span)
{
    const auto ms = std::chrono::ceil<std::chrono::milliseconds>(span).count();
    QTimer timer;
    timer.setSingleShot(true);
    timer.setTimerType(Qt::PreciseTimer);
    QObject::connect(&timer, &QTimer::timeout, &loop, &QEventLoop::quit);
    timer.start(static_cast<int>(std::max<decltype(ms)>(ms, 0)));
    loop.exec(QEventLoop::ExcludeUserInputEvents);
}

} // namespace

ReplyWait::ReplyWait(FT_HANDLE device) : device_(device)
{
    notified_ =
        FT_SetEventNotification(device_, FT_EVENT_RXCHAR, &ReplyWait::arrived, this) == FT_OK;
}

ReplyWait::~ReplyWait()
{
    if (notified_)
        FT_SetEventNotification(device_, 0, nullptr, nullptr);
}

void ReplyWait::arrived(void *context)
{
    auto *wait = static_cast<ReplyWait *>(context);
    std::lock_guard lock(wait->mutex_);
    wait->arrived_ = true;
    wait->arrival_.notify_all();
    if (wait->loop_)
        QMetaObject::invokeMethod(wait->loop_, &QEventLoop::quit, Qt::QueuedConnection);
}

void ReplyWait::waitUntil(Clock::time_point deadline)
{
    Clock::duration span = deadline - Clock::now();
    if (!notified_)
        span = std::min<Clock::duration>(span, PollInterval);
    if (span <= Clock::duration::zero())
        return;
    if (!runsEvents()) {
        std::unique_lock lock(mutex_);
        arrival_.wait_for(lock, span, [this] { return arrived_; });
        arrived_ = false;
        return;
    }
    QEventLoop loop;
    {
        std::lock_guard lock(mutex_);
        if (std::exchange(arrived_, false))
            return;
        loop_ = &loop;
    }
    runEventsFor(loop, span);
    std::lock_guard lock(mutex_);
    loop_ = nullptr;
    arrived_ = false;
}

void ReplyWait::pause(std::chrono::milliseconds span)
{
    if (!runsEvents()) {
        std::this_thread::sleep_for(span);
        return;
    }
    // Timers may fire a little early: run the events again until the whole span has passed.
    const auto end = Clock::now() + span;
    while (Clock::now() < end) {
        QEventLoop loop;
        runEventsFor(loop, end - Clock::now());
    }
}

} // namespace driver
