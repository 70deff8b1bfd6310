#include "platform/ftd2xx/sim/simdevice.h"

#include <algorithm>
#include <charconv>
#include <cstring>

#include "platform/ftd2xx/sim/simnumber.h"

namespace platform::ftd2xx::sim {

namespace {

constexpr std::string_view FramePrefix = "!001:";
// A host line longer than this without a CR is noise and is dropped.
constexpr size_t MaxLine = 256;
// Byte sent for junk in the stream: bit 7 clear, not a CR.
constexpr uint8_t JunkByte = 0x55;
constexpr int StreamChannel = 1;

std::string formatValue(double value)
{
    char text[64];
    const auto result = std::to_chars(text, text + sizeof text, value, std::chars_format::fixed, 7);
    if (result.ec != std::errc())
        return "0";
    std::string out(text, result.ptr);
    while (out.back() == '0')
        out.pop_back();
    if (out.back() == '.')
        out.pop_back();
    if (out == "-0")
        out = "0";
    return out;
}

} // namespace

SimDevice::SimDevice(const DeviceConfig &config, int index, FrameLogger logger)
    : index_(index), description_(config.description), logger_(std::move(logger)),
      faults_(config.faults), parameters_(config),
      signal_(config.signal, 0x5EED0000ull + config.serial), stream_(config.rate),
      // One second of readings: an unread device holds no more than a real one would.
      capacity_(static_cast<size_t>(std::max(config.rate, 100)) * 6)
{}

SimDevice::~SimDevice()
{
    {
        std::lock_guard lock(mutex_);
        stopping_ = true;
    }
    noticeChanged_.notify_all();
    if (watcher_.joinable())
        watcher_.join();
}

void SimDevice::setArrivalNotice(std::function<void()> notice)
{
    std::lock_guard lock(mutex_);
    notice_ = std::move(notice);
    if (notice_ && !watcher_.joinable())
        watcher_ = std::thread([this] { watchLateReplies(); });
    noticeChanged_.notify_all();
}

void SimDevice::announceLocked()
{
    if (notice_)
        notice_();
}

// Late replies become readable on the module's clock whenever the host looks; this thread only
// tells a waiting host when to look. It looks again at least every few milliseconds, so that a
// test's own clock, which moves in steps, is followed too.
void SimDevice::watchLateReplies()
{
    constexpr auto LookAgain = std::chrono::milliseconds(5);
    std::unique_lock lock(mutex_);
    while (!stopping_) {
        if (!notice_ || pending_.empty()) {
            noticeChanged_.wait(lock);
            continue;
        }
        const auto at = now();
        if (pending_.front().due <= at) {
            pollLocked(at);
            announceLocked();
            continue;
        }
        const Clock::duration untilDue = pending_.front().due - at;
        noticeChanged_.wait_for(lock, std::min<Clock::duration>(untilDue, LookAgain));
    }
}

uint32_t SimDevice::serial() const
{
    std::lock_guard lock(mutex_);
    return parameters_.serial();
}

bool SimDevice::open()
{
    std::lock_guard lock(mutex_);
    if (open_ || faults_.unplugged || faults_.failStep == SetupStep::Open)
        return false;
    open_ = true;
    const auto at = now();
    powerOnLocked(at);
    // A new session starts with an empty receive queue: what fell due while nobody listened
    // is gone, and so are replies nobody read.
    stream_.produce(at, 0, {});
    rx_.clear();
    rxHead_ = 0;
    staged_.clear();
    return true;
}

void SimDevice::close()
{
    std::lock_guard lock(mutex_);
    open_ = false;
}

bool SimDevice::isOpen() const
{
    std::lock_guard lock(mutex_);
    return open_;
}

bool SimDevice::setupFails(SetupStep step) const
{
    std::lock_guard lock(mutex_);
    return faults_.failStep == step;
}

// The module streams from power-on, which is its first use.
void SimDevice::powerOnLocked(Clock::time_point now)
{
    if (powered_)
        return;
    powered_ = true;
    powerOn_ = now;
    stream_.start(now);
}

double SimDevice::inputLocked(Clock::time_point when)
{
    const double seconds = std::chrono::duration<double>(when - powerOn_).count();
    return signal_.at(seconds);
}

void SimDevice::sendLocked(std::string_view bytes)
{
    rx_.insert(rx_.end(), bytes.begin(), bytes.end());
}

void SimDevice::streamLocked(Clock::time_point until)
{
    const size_t visible = visibleLocked();
    const uint64_t room = visible >= capacity_ ? 0 : (capacity_ - visible) / 6;
    framesLost_ += stream_.produce(until, room, [this](Clock::time_point when, uint64_t number) {
        if (faults_.junkEvery > 0 && number % static_cast<uint64_t>(faults_.junkEvery) == 0)
            rx_.insert(rx_.end(), static_cast<size_t>(faults_.junkCount), JunkByte);
        const double raw = parameters_.mvv(inputLocked(when));
        const Frame frame = encodeFrame(StreamChannel, static_cast<float>(raw));
        rx_.insert(rx_.end(), frame.begin(), frame.end());
        ++framesSent_;
    });
}

void SimDevice::pollLocked(Clock::time_point now)
{
    if (rxHead_ > 0 && rxHead_ >= rx_.size() / 2) {
        rx_.erase(rx_.begin(), rx_.begin() + static_cast<std::ptrdiff_t>(rxHead_));
        rxHead_ = 0;
    }
    // Late replies take their place among the frames that fell due around them.
    while (!pending_.empty() && pending_.front().due <= now) {
        streamLocked(pending_.front().due);
        const Clock::time_point due = pending_.front().due;
        const bool startsStream = pending_.front().startsStream;
        std::string text = std::move(pending_.front().text);
        pending_.pop_front();
        if (faults_.splitBytes > 0) {
            const auto size = static_cast<size_t>(faults_.splitBytes);
            for (size_t at = 0; at < text.size(); at += size)
                staged_.push_back(text.substr(at, size));
        } else {
            sendLocked(text);
        }
        if (startsStream)
            stream_.start(due);
    }
    streamLocked(now);
}

void SimDevice::releaseChunkLocked()
{
    if (staged_.empty())
        return;
    sendLocked(staged_.front());
    staged_.pop_front();
}

void SimDevice::replyLocked(std::string text, Clock::time_point now, bool startsStream)
{
    text += '\r';
    const auto delay = std::chrono::milliseconds(faults_.replyDelayMs);
    Pending reply{now + std::chrono::duration_cast<Clock::duration>(delay), std::move(text),
                  startsStream};
    const auto later = std::upper_bound(
        pending_.begin(), pending_.end(), reply.due,
        [](Clock::time_point due, const Pending &other) { return due < other.due; });
    pending_.insert(later, std::move(reply));
    pollLocked(now);
}

std::string SimDevice::answerLocked(std::string_view command, Clock::time_point now)
{
    static const std::string Rejected = "?";
    if (matchesCommand(faults_.reject, command))
        return Rejected;
    if (command.back() == '?') {
        const auto value =
            parameters_.read(command.substr(0, command.size() - 1), inputLocked(now));
        return value ? formatValue(*value) : Rejected;
    }
    if (const size_t equals = command.find('='); equals != std::string_view::npos) {
        const auto value = parseNumber(command.substr(equals + 1));
        if (!value)
            return Rejected;
        const auto held = parameters_.write(command.substr(0, equals), *value);
        return held ? formatValue(*held) : Rejected;
    }
    return parameters_.execute(command) ? "OK" : Rejected;
}

void SimDevice::handleLocked(const std::string &line, Clock::time_point now)
{
    logger_(index_, line);
    if (line.compare(0, FramePrefix.size(), FramePrefix) != 0)
        return;
    const std::string_view command = std::string_view(line).substr(FramePrefix.size());
    if (command.empty()) {
        stream_.stop();
        for (auto &reply : pending_)
            reply.startsStream = false; // a restart still on its way is overtaken
        parameters_.enterCommandMode();
        return;
    }
    if (matchesCommand(faults_.silent, command))
        return;
    std::string answer = answerLocked(command, now);
    // RST answers first and streams once the answer is out, however late that is.
    const bool restarts = command == "RST" && answer != "?";
    replyLocked(std::move(answer), now, restarts);
}

void SimDevice::receive(const uint8_t *data, size_t length)
{
    std::lock_guard lock(mutex_);
    const auto at = now();
    powerOnLocked(at);
    pollLocked(at);
    for (size_t i = 0; i < length; ++i) {
        const char byte = static_cast<char>(data[i]);
        if (byte != '\r') {
            inbound_ += byte;
            if (inbound_.size() > MaxLine)
                inbound_.clear();
            continue;
        }
        const std::string line = std::move(inbound_);
        inbound_.clear();
        handleLocked(line, at);
    }
    if (visibleLocked() > 0 || !staged_.empty())
        announceLocked();
    noticeChanged_.notify_all(); // a late reply may have been added
}

size_t SimDevice::queued()
{
    std::lock_guard lock(mutex_);
    const auto at = now();
    powerOnLocked(at);
    pollLocked(at);
    releaseChunkLocked(); // a split reply shows one more part at each look
    if (!staged_.empty())
        announceLocked();
    return visibleLocked();
}

size_t SimDevice::take(uint8_t *buffer, size_t wanted)
{
    std::lock_guard lock(mutex_);
    const auto at = now();
    powerOnLocked(at);
    pollLocked(at);
    if (visibleLocked() == 0)
        releaseChunkLocked();
    const size_t count = std::min(wanted, visibleLocked());
    if (count > 0)
        std::memcpy(buffer, rx_.data() + rxHead_, count);
    rxHead_ += count;
    if (!staged_.empty())
        announceLocked();
    return count;
}

void SimDevice::purge(bool receiveQueue, bool)
{
    // Host writes are taken at once, so there is never a transmit queue to clear.
    std::lock_guard lock(mutex_);
    if (!receiveQueue)
        return;
    pollLocked(now());
    rx_.clear();
    rxHead_ = 0;
    staged_.clear();
}

std::optional<double> SimDevice::parameter(std::string_view mnemonic)
{
    std::lock_guard lock(mutex_);
    const auto at = now();
    powerOnLocked(at);
    return parameters_.read(mnemonic, inputLocked(at));
}

bool SimDevice::setParameter(std::string_view mnemonic, double value)
{
    std::lock_guard lock(mutex_);
    return parameters_.force(mnemonic, value);
}

Faults SimDevice::faults() const
{
    std::lock_guard lock(mutex_);
    return faults_;
}

void SimDevice::setFaults(const Faults &faults)
{
    std::lock_guard lock(mutex_);
    if (faults.unplugged && !faults_.unplugged)
        ++plugCount_;
    faults_ = faults;
}

bool SimDevice::unplugged() const
{
    std::lock_guard lock(mutex_);
    return faults_.unplugged;
}

uint64_t SimDevice::plugCount() const
{
    std::lock_guard lock(mutex_);
    return plugCount_;
}

void SimDevice::setSignal(const SignalConfig &signal)
{
    std::lock_guard lock(mutex_);
    signal_ = SimSignal(signal, 0x5EED0000ull + parameters_.serial());
}

void SimDevice::setIntegrityError(bool on)
{
    std::lock_guard lock(mutex_);
    parameters_.setIntegrityError(on);
}

bool SimDevice::streaming() const
{
    std::lock_guard lock(mutex_);
    return stream_.running();
}

uint64_t SimDevice::framesSent() const
{
    std::lock_guard lock(mutex_);
    return framesSent_;
}

uint64_t SimDevice::framesLost() const
{
    std::lock_guard lock(mutex_);
    return framesLost_;
}

} // namespace platform::ftd2xx::sim
