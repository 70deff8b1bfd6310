#include "driver/replywait.h"

#include <algorithm>
#include <utility>

#include <QEventLoop>
#include <QMetaObject>

#include "platform/win/eventwait.h"

namespace driver {

namespace {

constexpr auto PollInterval = std::chrono::milliseconds(1);

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
    if (!platform::win::threadRunsEvents()) {
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
    platform::win::runEventsFor(loop, span);
    std::lock_guard lock(mutex_);
    loop_ = nullptr;
    arrived_ = false;
}

} // namespace driver
