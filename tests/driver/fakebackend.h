#ifndef TESTS_DRIVER_FAKEBACKEND_H
#define TESTS_DRIVER_FAKEBACKEND_H

// A scripted USB back-end for the driver's tests: devices with a description, a set-up step that
// fails, replies in chunks (optionally late), a writer held up after its write, bytes pushed by
// the test, and a log of every frame written.

#include <chrono>
#include <cstring>
#include <deque>
#include <functional>
#include <memory>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

#include "platform/ftd2xx/backend.h"

namespace fake {

using Clock = std::chrono::steady_clock;

enum class FailAt { Nothing, Open, Baud, DataCharacteristics, FlowControl, Latency };

struct Chunk
{
    std::string bytes;
    std::chrono::milliseconds delay{0}; // after the write that caused it
};

// The line of one device, shared by the test and the device object the driver opens.
struct Line
{
    std::string description = "HXR";
    FailAt failAt = FailAt::Nothing;
    FT_STATUS writeStatus = FT_OK;
    FT_STATUS readStatus = FT_OK;
    // Answers a written frame with chunks; each chunk is read on its own.
    std::function<std::vector<Chunk>(const std::string &frame)> responder;
    // How long a write keeps its caller once the reply is queued, as a busy machine may.
    std::chrono::milliseconds stallAfterWrite{0};

    std::mutex mutex;
    std::vector<std::string> frames;
    uint32_t baud = 0, latency = 0, purges = 0, opens = 0, closes = 0;
    uint32_t largestRead = 0; // the most bytes asked for in one read
    uint32_t queries = 0;     // queue status calls
    struct Pending
    {
        std::string bytes;
        Clock::time_point due;
    };
    std::deque<Pending> rx;

    void push(const std::string &bytes)
    {
        std::lock_guard lock(mutex);
        rx.push_back({bytes, Clock::now()});
    }
    std::vector<std::string> written()
    {
        std::lock_guard lock(mutex);
        return frames;
    }
    uint32_t queryCount()
    {
        std::lock_guard lock(mutex);
        return queries;
    }
    size_t waiting()
    {
        std::lock_guard lock(mutex);
        size_t total = 0;
        for (const auto &p : rx)
            total += p.bytes.size();
        return total;
    }
};

class Device final : public platform::ftd2xx::Device
{
public:
    explicit Device(std::shared_ptr<Line> line) : line_(std::move(line)) {}
    ~Device() override
    {
        std::lock_guard lock(line_->mutex);
        ++line_->closes;
    }

    FT_STATUS setBaudRate(uint32_t baud) override
    {
        std::lock_guard lock(line_->mutex);
        line_->baud = baud;
        return step(FailAt::Baud);
    }
    FT_STATUS setDataCharacteristics(uint8_t bits, uint8_t stop, uint8_t parity) override
    {
        if (bits != FT_BITS_8 || stop != FT_STOP_BITS_1 || parity != FT_PARITY_NONE)
            return FT_INVALID_PARAMETER;
        return step(FailAt::DataCharacteristics);
    }
    FT_STATUS setFlowControl(uint16_t flow, uint8_t, uint8_t) override
    {
        if (flow != FT_FLOW_NONE)
            return FT_INVALID_PARAMETER;
        return step(FailAt::FlowControl);
    }
    FT_STATUS setLatencyTimer(uint8_t ms) override
    {
        std::lock_guard lock(line_->mutex);
        line_->latency = ms;
        return step(FailAt::Latency);
    }
    FT_STATUS write(const void *buffer, uint32_t length, uint32_t &written) override
    {
        std::chrono::milliseconds stall{0};
        {
            std::lock_guard lock(line_->mutex);
            if (line_->writeStatus != FT_OK)
                return line_->writeStatus;
            const std::string frame(static_cast<const char *>(buffer), length);
            line_->frames.push_back(frame);
            written = length;
            if (line_->responder) {
                const auto now = Clock::now();
                for (const Chunk &chunk : line_->responder(frame))
                    line_->rx.push_back({chunk.bytes, now + chunk.delay});
            }
            stall = line_->stallAfterWrite;
        }
        std::this_thread::sleep_for(stall);
        return FT_OK;
    }
    // Counts every chunk due, but reads one chunk at a time: a split reply takes several reads.
    FT_STATUS read(void *buffer, uint32_t wanted, uint32_t &returned) override
    {
        std::lock_guard lock(line_->mutex);
        line_->largestRead = std::max(line_->largestRead, wanted);
        returned = 0;
        if (ready()) {
            auto &front = line_->rx.front();
            returned = static_cast<uint32_t>(std::min<size_t>(wanted, front.bytes.size()));
            std::memcpy(buffer, front.bytes.data(), returned);
            front.bytes.erase(0, returned);
            if (front.bytes.empty())
                line_->rx.pop_front();
        }
        return line_->readStatus;
    }
    FT_STATUS queueStatus(uint32_t &rxBytes) override
    {
        std::lock_guard lock(line_->mutex);
        ++line_->queries;
        rxBytes = 0;
        const auto now = Clock::now();
        for (const auto &pending : line_->rx) {
            if (pending.due > now)
                break;
            rxBytes += static_cast<uint32_t>(pending.bytes.size());
        }
        return FT_OK;
    }
    FT_STATUS purge(uint32_t mask) override
    {
        std::lock_guard lock(line_->mutex);
        ++line_->purges;
        if (mask & FT_PURGE_RX)
            line_->rx.clear();
        return FT_OK;
    }

private:
    bool ready() const { return !line_->rx.empty() && line_->rx.front().due <= Clock::now(); }
    FT_STATUS step(FailAt here) const { return line_->failAt == here ? FT_OTHER_ERROR : FT_OK; }

    std::shared_ptr<Line> line_;
};

class Backend final : public platform::ftd2xx::Backend
{
public:
    explicit Backend(std::vector<std::shared_ptr<Line>> lines) : lines_(std::move(lines)) {}

    FT_STATUS countStatus = FT_OK;

    FT_STATUS deviceCount(uint32_t &count) override
    {
        count = static_cast<uint32_t>(lines_.size());
        return countStatus;
    }
    FT_STATUS description(uint32_t index, std::string &text) override
    {
        if (index >= lines_.size())
            return FT_DEVICE_NOT_FOUND;
        text = lines_[index]->description;
        return FT_OK;
    }
    FT_STATUS serialNumber(uint32_t index, std::string &text) override
    {
        text = "FAKE" + std::to_string(index);
        return FT_OK;
    }
    FT_STATUS open(uint32_t index, std::unique_ptr<platform::ftd2xx::Device> &device) override
    {
        if (index >= lines_.size())
            return FT_DEVICE_NOT_FOUND;
        {
            std::lock_guard lock(lines_[index]->mutex);
            ++lines_[index]->opens;
        }
        if (lines_[index]->failAt == FailAt::Open)
            return FT_DEVICE_NOT_OPENED;
        device = std::make_unique<Device>(lines_[index]);
        return FT_OK;
    }
    bool isSimulated() const override { return true; }

private:
    std::vector<std::shared_ptr<Line>> lines_;
};

// Installs `count` devices described "HXR" (or as given) and returns their lines.
inline std::vector<std::shared_ptr<Line>> install(std::vector<std::string> descriptions,
                                                  Backend **backend = nullptr)
{
    std::vector<std::shared_ptr<Line>> lines;
    for (auto &text : descriptions) {
        lines.push_back(std::make_shared<Line>());
        lines.back()->description = text;
    }
    auto made = std::make_unique<Backend>(lines);
    if (backend)
        *backend = made.get();
    platform::ftd2xx::setActiveBackend(std::move(made));
    return lines;
}

// A responder that answers each frame from a table of reply lines ("" for no reply).
inline std::function<std::vector<Chunk>(const std::string &)>
answering(std::function<std::string(const std::string &command)> reply)
{
    return [reply](const std::string &frame) -> std::vector<Chunk> {
        // "!001:" + command + CR
        const std::string command = frame.substr(5, frame.size() - 6);
        const std::string text = reply(command);
        if (text.empty())
            return {};
        return {{text, std::chrono::milliseconds(0)}};
    };
}

} // namespace fake

#endif
