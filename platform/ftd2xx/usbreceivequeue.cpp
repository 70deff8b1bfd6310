#include "platform/ftd2xx/usbreceivequeue.h"

#include <algorithm>
#include <cstring>

namespace platform::ftd2xx {

UsbReceiveQueue::UsbReceiveQueue(size_t capacity) : ring_(std::max<size_t>(capacity, 1)) {}

size_t UsbReceiveQueue::push(const uint8_t *bytes, size_t count)
{
    std::lock_guard lock(mutex_);
    const size_t kept = std::min(count, ring_.size() - size_);
    dropped_ += count - kept;
    size_t tail = (head_ + size_) % ring_.size();
    size_t done = 0;
    while (done < kept) {
        const size_t run = std::min(kept - done, ring_.size() - tail);
        std::memcpy(ring_.data() + tail, bytes + done, run);
        done += run;
        tail = (tail + run) % ring_.size();
    }
    size_ += kept;
    return kept;
}

size_t UsbReceiveQueue::pop(uint8_t *out, size_t wanted)
{
    std::lock_guard lock(mutex_);
    const size_t taken = std::min(wanted, size_);
    size_t done = 0;
    while (done < taken) {
        const size_t run = std::min(taken - done, ring_.size() - head_);
        std::memcpy(out + done, ring_.data() + head_, run);
        done += run;
        head_ = (head_ + run) % ring_.size();
    }
    size_ -= taken;
    if (size_ == 0)
        head_ = 0;
    return taken;
}

size_t UsbReceiveQueue::size() const
{
    std::lock_guard lock(mutex_);
    return size_;
}

uint64_t UsbReceiveQueue::dropped() const
{
    std::lock_guard lock(mutex_);
    return dropped_;
}

void UsbReceiveQueue::clear()
{
    std::lock_guard lock(mutex_);
    head_ = 0;
    size_ = 0;
    dropped_ = 0;
}

} // namespace platform::ftd2xx
