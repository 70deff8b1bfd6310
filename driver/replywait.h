#ifndef DRIVER_REPLYWAIT_H
#define DRIVER_REPLYWAIT_H

#include <chrono>
#include <condition_variable>
#include <mutex>

#include "platform/ftd2xx/ftd2xx.h"

class QEventLoop;

namespace driver {

// Sleeps until a device reports received bytes or a deadline passes, for a command that waits
// for its reply. The caller still sees a blocking call, but on a thread that runs an event loop
// (the user-interface thread) the sleep runs that loop without user input: windows repaint and
// answer the window manager, while clicks and keys wait until the command is over. A device
// that cannot report arrivals is looked at every millisecond instead.
class ReplyWait
{
public:
    using Clock = std::chrono::steady_clock;

    // Asks the device for arrival notices until destroyed; make it before sending the command,
    // so that an answer given at once is not missed.
    explicit ReplyWait(FT_HANDLE device);
    ~ReplyWait();
    ReplyWait(const ReplyWait &) = delete;
    ReplyWait &operator=(const ReplyWait &) = delete;

    // Returns once bytes have arrived since the previous return, or at the deadline.
    void waitUntil(Clock::time_point deadline);

private:
    static void arrived(void *context);

    FT_HANDLE device_;
    bool notified_ = false; // the device reports arrivals
    std::mutex mutex_;
    std::condition_variable arrival_;
    bool arrived_ = false;
    QEventLoop *loop_ = nullptr; // the loop a wait on the event thread runs
};

} // namespace driver

#endif
