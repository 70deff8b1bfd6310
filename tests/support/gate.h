#ifndef TESTS_SUPPORT_GATE_H
#define TESTS_SUPPORT_GATE_H

#include <chrono>
#include <condition_variable>
#include <mutex>

namespace testsupport {

// A flag one thread raises and another waits for: a worker held at a point until the test has
// done its part on the user-interface thread. The wait has a generous ceiling, so that a fault
// shows as a failure rather than a hang.
class Gate
{
public:
    void open()
    {
        const std::lock_guard lock(mutex_);
        open_ = true;
        changed_.notify_all();
    }
    // True once open; false when the ceiling passed first.
    bool waitOpen()
    {
        std::unique_lock lock(mutex_);
        return changed_.wait_for(lock, std::chrono::seconds(60), [this] { return open_; });
    }
    bool isOpen()
    {
        const std::lock_guard lock(mutex_);
        return open_;
    }

private:
    std::mutex mutex_;
    std::condition_variable changed_;
    bool open_ = false;
};

} // namespace testsupport

#endif
