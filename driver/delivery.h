#ifndef DRIVER_DELIVERY_H
#define DRIVER_DELIVERY_H

#include <atomic>
#include <condition_variable>
#include <cstdint>
#include <mutex>
#include <vector>

#include <QObject>

#include "driver/include/hxrdrv.h"
#include "driver/streamdecoder.h"

namespace driver {

// Carries decoded batches from the reader thread to the thread that owns this object, where the
// registered procedure is called once per record, in order. The reader blocks on each hand-over
// until the owner has run the batch, or until the hand-over is cancelled.
class Delivery final : public QObject
{
    Q_OBJECT

public:
    // What the owner side asks before each call; both are read once per record.
    struct Target
    {
        const std::atomic<HXRReadingProc> *procedure = nullptr;
        const std::atomic<int32_t> *stopped = nullptr;
    };

    Delivery(int32_t threadId, Target target);
    ~Delivery() override;

    // The thread identifier this object was created for.
    int32_t threadId() const { return threadId_; }

    // Reader side: hands `batch` over (its contents are taken) and waits until the owner has run
    // it. False when the hand-over was cancelled or the object is closed.
    bool handOver(std::vector<Reading> &batch);

    // Any thread: drops a waiting batch, releases the reader and refuses hand-overs until
    // reopen(). Batches already queued on the owner thread are never run.
    void cancel();
    void reopen();

    // Any thread: whether a batch waits for the owner to run it.
    bool handOverPending();

private:
    void runPending();

    const int32_t threadId_;
    const Target target_;

    std::mutex mutex_;
    std::condition_variable handedBack_;
    std::vector<Reading> waiting_; // guarded by mutex_
    bool posted_ = false;          // guarded by mutex_
    bool closed_ = false;          // guarded by mutex_
    // Bumped by cancel(): a batch that is running stops calling once it changes.
    std::atomic<uint64_t> session_{0};
    std::vector<Reading> running_; // owner thread only
};

} // namespace driver

#endif
