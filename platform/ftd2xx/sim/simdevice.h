#ifndef PLATFORM_FTD2XX_SIM_SIMDEVICE_H
#define PLATFORM_FTD2XX_SIM_SIMDEVICE_H

// One simulated module as seen from its USB serial link: host frames in, reply lines and the
// reading stream out, with the faults it was told to show. The parameters and the output chain
// live in SimParameters, the frame clock in SimStream. Every member may be called from any
// thread (the driver's reader and its command loop share a device).
//
// Protocol: the host sends "!001:" + command + CR; other lines are ignored. A read "MNEM?"
// answers the bare number, a write "MNEM=value" the value now held, an execute "MNEM" "OK", each
// followed by CR; a rejected command answers "?" + CR. The empty command stops the stream and
// enters configuration mode without a reply; RST answers, then streams. Numbers are written
// with "." and up to seven decimals, whole numbers without any. CONF is the configuration-mode
// flag: the empty command sets it, RST clears it, a write sets it without changing the mode.
// The module streams from power-on (its first open); the stream and all parameters carry on
// while no handle is open, but a new open starts with an empty receive queue.

#include <condition_variable>
#include <cstdint>
#include <deque>
#include <functional>
#include <mutex>
#include <optional>
#include <string>
#include <string_view>
#include <thread>
#include <vector>

#include "platform/ftd2xx/sim/simclock.h"
#include "platform/ftd2xx/sim/simconfig.h"
#include "platform/ftd2xx/sim/simparameters.h"
#include "platform/ftd2xx/sim/simsignal.h"
#include "platform/ftd2xx/sim/simstream.h"

namespace platform::ftd2xx::sim {

class SimDevice
{
public:
    // Receives every line the host sent (without its CR), with the device's index.
    using FrameLogger = std::function<void(int index, const std::string &frame)>;

    SimDevice(const DeviceConfig &config, int index, FrameLogger logger);
    ~SimDevice();
    SimDevice(const SimDevice &) = delete;
    SimDevice &operator=(const SimDevice &) = delete;

    int index() const { return index_; }
    const std::string &description() const { return description_; }
    uint32_t serial() const;

    // The USB side. open() fails while the device is open already or unplugged. A handle keeps
    // the plug count of its open: once the module has been unplugged it is dead for good.
    bool open();
    bool unplugged() const;
    uint64_t plugCount() const;
    void close();
    bool isOpen() const;
    bool setupFails(SetupStep step) const;
    void receive(const uint8_t *data, size_t length);
    size_t queued();
    size_t take(uint8_t *buffer, size_t wanted);
    void purge(bool receiveQueue, bool transmitQueue);
    // Called, under the device's lock, whenever reply bytes become readable: at once for a reply
    // on time, when a late one falls due on the module's clock, and after each look while parts
    // of a split reply are still on their way. An empty notice ends it.
    void setArrivalNotice(std::function<void()> notice);

    // The test side.
    std::optional<double> parameter(std::string_view mnemonic);
    bool setParameter(std::string_view mnemonic, double value);
    Faults faults() const;
    void setFaults(const Faults &faults);
    void setSignal(const SignalConfig &signal);
    void setIntegrityError(bool on);
    bool streaming() const;
    uint64_t framesSent() const;
    uint64_t framesLost() const;

private:
    void powerOnLocked(Clock::time_point now);
    double inputLocked(Clock::time_point now);
    void pollLocked(Clock::time_point now);
    void streamLocked(Clock::time_point until);
    void sendLocked(std::string_view bytes);
    void releaseChunkLocked();
    void replyLocked(std::string text, Clock::time_point now, bool startsStream = false);
    void handleLocked(const std::string &line, Clock::time_point now);
    std::string answerLocked(std::string_view command, Clock::time_point now);
    size_t visibleLocked() const { return rx_.size() - rxHead_; }
    void announceLocked();
    void watchLateReplies();

    const int index_;
    const std::string description_;
    const FrameLogger logger_;

    mutable std::mutex mutex_;
    Faults faults_;
    SimParameters parameters_;
    SimSignal signal_;
    SimStream stream_;
    bool open_ = false;
    bool powered_ = false;
    Clock::time_point powerOn_{};
    std::string inbound_;
    std::vector<uint8_t> rx_; // bytes the host can read, from rxHead_ on
    size_t rxHead_ = 0;
    size_t capacity_;
    std::deque<std::string> staged_; // reply chunks not yet readable (split replies)
    struct Pending
    {
        Clock::time_point due;
        std::string text;
        bool startsStream; // the answer to RST
    };
    std::deque<Pending> pending_; // late replies, in the order they fall due
    uint64_t framesSent_ = 0;
    uint64_t framesLost_ = 0;
    uint64_t plugCount_ = 0; // how often the module was unplugged

    std::function<void()> notice_;
    std::condition_variable noticeChanged_;
    bool stopping_ = false;
    std::thread watcher_; // started with the first notice; wakes it when late replies fall due
};

} // namespace platform::ftd2xx::sim

#endif
