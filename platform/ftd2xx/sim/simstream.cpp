#include "platform/ftd2xx/sim/simstream.h"

#include <algorithm>
#include <cstring>

namespace platform::ftd2xx::sim {

namespace {

using std::chrono::nanoseconds;
constexpr uint64_t NanosPerSecond = 1000000000ull;

} // namespace

Frame encodeFrame(int channel, float value)
{
    std::array<uint8_t, 4> bytes{};
    uint32_t bits = 0;
    std::memcpy(&bits, &value, sizeof bits);
    for (int i = 0; i < 4; ++i)
        bytes[static_cast<size_t>(i)] = static_cast<uint8_t>(bits >> (8 * i));
    Frame frame{};
    frame[0] = static_cast<uint8_t>(0x80 | ((channel - 1) & 7) << 4);
    for (int i = 0; i < 4; ++i) {
        const uint8_t byte = bytes[static_cast<size_t>(i)];
        frame[0] |= static_cast<uint8_t>((byte >> 7) << (3 - i));
        frame[static_cast<size_t>(i) + 1] = byte & 0x7F;
    }
    frame[5] = (frame[0] ^ frame[1] ^ frame[2] ^ frame[3] ^ frame[4]) & 0x7F;
    return frame;
}

SimStream::SimStream(int rate) : rate_(std::max(rate, 1)) {}

void SimStream::start(Clock::time_point now)
{
    running_ = true;
    base_ = now;
    produced_ = 0;
    number_ = 0;
}

void SimStream::stop()
{
    running_ = false;
}

uint64_t SimStream::dueSinceBase(Clock::time_point now) const
{
    if (now <= base_)
        return 0;
    const auto elapsed =
        static_cast<uint64_t>(std::chrono::duration_cast<nanoseconds>(now - base_).count());
    const auto rate = static_cast<uint64_t>(rate_);
    return elapsed / NanosPerSecond * rate + elapsed % NanosPerSecond * rate / NanosPerSecond;
}

Clock::time_point SimStream::frameTime(uint64_t index) const
{
    const auto rate = static_cast<uint64_t>(rate_);
    const uint64_t nanos = index / rate * NanosPerSecond + index % rate * NanosPerSecond / rate;
    return base_ + std::chrono::duration_cast<Clock::duration>(nanoseconds(nanos));
}

uint64_t SimStream::produce(Clock::time_point now, uint64_t room, const Emit &emit)
{
    if (!running_)
        return 0;
    const uint64_t due = dueSinceBase(now);
    uint64_t lost = 0;
    if (due > produced_) {
        const uint64_t count = due - produced_;
        const uint64_t emitted = std::min(count, room);
        for (uint64_t i = 0; i < emitted; ++i)
            emit(frameTime(produced_ + i + 1), number_++);
        lost = count - emitted;
        number_ += lost;
        produced_ = due;
    }
    const auto rate = static_cast<uint64_t>(rate_);
    if (produced_ >= rate) {
        const uint64_t seconds = produced_ / rate;
        base_ += std::chrono::duration_cast<Clock::duration>(nanoseconds(seconds * NanosPerSecond));
        produced_ -= seconds * rate;
    }
    return lost;
}

} // namespace platform::ftd2xx::sim
