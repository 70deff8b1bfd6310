#ifndef PLATFORM_FTD2XX_SIM_SIMSTREAM_H
#define PLATFORM_FTD2XX_SIM_SIMSTREAM_H

// The module's reading stream: the 6-byte frame and the clock that says how many are due.
//
// Frame: byte 0 has bit 7 set, the channel - 1 in bits 6-4 and bit 7 of value bytes 1-4 in bits
// 3-0; bytes 1-4 carry bits 0-6 of the little-endian IEEE-754 single; byte 5 is a check byte,
// the XOR of bytes 0-4 with bit 7 cleared.

#include <array>
#include <cstdint>
#include <functional>

#include "platform/ftd2xx/sim/simclock.h"

namespace platform::ftd2xx::sim {

using Frame = std::array<uint8_t, 6>;

Frame encodeFrame(int channel, float value);

// Readings fall due at a fixed rate from the moment the stream starts; the host's queries pull
// whatever fell due since the last one. Not thread-safe (the module calls it under its lock).
class SimStream
{
public:
    // Called for each frame due: its time and its number since the stream started.
    using Emit = std::function<void(Clock::time_point when, uint64_t number)>;

    explicit SimStream(int rate);

    void start(Clock::time_point now);
    void stop();
    bool running() const { return running_; }
    int rate() const { return rate_; }

    // Emits the frames due up to now, at most room of them; the rest are lost, as with an
    // overflowing receive buffer. Returns the number lost.
    uint64_t produce(Clock::time_point now, uint64_t room, const Emit &emit);

private:
    uint64_t dueSinceBase(Clock::time_point now) const;
    Clock::time_point frameTime(uint64_t index) const;

    int rate_;
    bool running_ = false;
    // Frames are counted from a base time that moves on by whole seconds, so that the counts
    // stay small however long the stream runs.
    Clock::time_point base_{};
    uint64_t produced_ = 0; // frames emitted or lost since base_
    uint64_t number_ = 0;   // frames since start
};

} // namespace platform::ftd2xx::sim

#endif
