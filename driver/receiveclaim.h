#ifndef DRIVER_RECEIVECLAIM_H
#define DRIVER_RECEIVECLAIM_H

#include <mutex>

namespace driver {

// Keeps the reader off slot 1's receive queue while a command waits for its reply: once the
// module streams (RST answers, then streams at once), the reply soon has more than the reader's
// threshold of frames behind it, and a read by the reader would take the reply with them.
class ReceiveClaim
{
public:
    // The command's side: claims the queue for as long as the scope lives. Made before the
    // command is written, it waits for a read the reader has begun, so no read of the reader
    // can hold a byte of the reply.
    class Scope
    {
    public:
        explicit Scope(ReceiveClaim &claim);
        ~Scope();
        Scope(const Scope &) = delete;
        Scope &operator=(const Scope &) = delete;

    private:
        ReceiveClaim &claim_;
    };

    // The reader's side: runs `read` (a look at the queue and the read) unless the queue is
    // claimed; false when it was.
    template <typename Read>
    bool unlessClaimed(Read read)
    {
        std::lock_guard lock(mutex_);
        if (claimed_)
            return false;
        read();
        return true;
    }

private:
    std::mutex mutex_;
    bool claimed_ = false; // guarded by mutex_
};

} // namespace driver

#endif
