#include "driver/delivery.h"

#include <utility>

#include <QMetaObject>

namespace driver {

Delivery::Delivery(int32_t threadId, Target target) : threadId_(threadId), target_(target) {}

Delivery::~Delivery()
{
    cancel();
}

bool Delivery::handOver(std::vector<Reading> &batch)
{
    std::unique_lock lock(mutex_);
    if (closed_)
        return false;
    waiting_.swap(batch);
    batch.clear();
    posted_ = true;
    const uint64_t session = session_.load();
    QMetaObject::invokeMethod(this, &Delivery::runPending, Qt::QueuedConnection);
    handedBack_.wait(lock, [&] { return !posted_ || session_.load() != session; });
    return !closed_ && session_.load() == session;
}

void Delivery::cancel()
{
    std::lock_guard lock(mutex_);
    closed_ = true;
    posted_ = false;
    waiting_.clear();
    ++session_;
    handedBack_.notify_all();
}

bool Delivery::handOverPending()
{
    std::lock_guard lock(mutex_);
    return posted_;
}

void Delivery::reopen()
{
    std::lock_guard lock(mutex_);
    closed_ = false;
}

void Delivery::runPending()
{
    uint64_t session = 0;
    {
        std::lock_guard lock(mutex_);
        if (!posted_)
            return; // cancelled while queued
        running_.clear();
        running_.swap(waiting_);
        session = session_.load();
    }
    // The procedure may close the port itself: every call checks that the session goes on.
    for (const Reading &reading : running_) {
        const HXRReadingProc procedure = target_.procedure->load(std::memory_order_relaxed);
        if (!procedure || target_.stopped->load(std::memory_order_relaxed) != 0 ||
            session_.load(std::memory_order_relaxed) != session)
            break;
        procedure(reading.channel, reading.value);
    }
    std::lock_guard lock(mutex_);
    if (session_.load() == session) {
        posted_ = false;
        handedBack_.notify_all();
    }
}

} // namespace driver
