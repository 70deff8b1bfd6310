#ifndef PLATFORM_FTD2XX_USBRECEIVEQUEUE_H
#define PLATFORM_FTD2XX_USBRECEIVEQUEUE_H

#include <cstddef>
#include <cstdint>
#include <mutex>
#include <vector>

namespace platform::ftd2xx {

// Bytes received from a USB serial chip and not yet read by the application. One thread (the
// pump) pushes, any thread pops; nothing ever waits for data. The queue is bounded like a real
// driver's receive buffer: when the application stops reading, the bytes that do not fit are
// dropped and the ones already queued stay intact.
class UsbReceiveQueue
{
public:
    static constexpr size_t DefaultCapacity = size_t{1} << 20;

    explicit UsbReceiveQueue(size_t capacity = DefaultCapacity);

    // Appends as many of the bytes as there is room for and answers how many were kept.
    size_t push(const uint8_t *bytes, size_t count);
    // Moves at most `wanted` of the oldest bytes to `out` and answers how many came.
    size_t pop(uint8_t *out, size_t wanted);
    size_t size() const;
    size_t capacity() const { return ring_.size(); }
    // Bytes dropped because the queue was full, since it was made or last cleared.
    uint64_t dropped() const;
    void clear();

private:
    mutable std::mutex mutex_;
    std::vector<uint8_t> ring_;
    size_t head_ = 0; // index of the oldest byte
    size_t size_ = 0;
    uint64_t dropped_ = 0;
};

} // namespace platform::ftd2xx

#endif
