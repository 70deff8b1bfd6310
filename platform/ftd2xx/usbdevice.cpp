#include "platform/ftd2xx/usbdevice.h"

#include <algorithm>
#include <limits>
#include <vector>

namespace platform::ftd2xx {

UsbDevice::UsbDevice(std::unique_ptr<UsbLink> link, size_t queueCapacity)
    : link_(std::move(link)), queue_(queueCapacity)
{
    pump_ = std::thread(&UsbDevice::pump, this);
}

UsbDevice::~UsbDevice()
{
    {
        std::lock_guard lock(turnMutex_);
        stopping_ = true;
    }
    turnChanged_.notify_all();
    if (pump_.joinable())
        pump_.join();
}

template <typename Call>
FT_STATUS UsbDevice::callLink(Call &&call)
{
    if (lost_)
        return FT_IO_ERROR;
    beginCallerTurn();
    const FT_STATUS status = lost_ ? FT_IO_ERROR : call(*link_);
    endTurn();
    return status;
}

void UsbDevice::beginCallerTurn()
{
    std::unique_lock lock(turnMutex_);
    ++callersWaiting_;
    turnChanged_.wait(lock, [this] { return !linkBusy_; });
    --callersWaiting_;
    linkBusy_ = true;
}

bool UsbDevice::beginPumpTurn()
{
    std::unique_lock lock(turnMutex_);
    turnChanged_.wait(lock, [this] { return stopping_ || (!linkBusy_ && callersWaiting_ == 0); });
    if (stopping_)
        return false;
    linkBusy_ = true;
    return true;
}

void UsbDevice::endTurn()
{
    {
        std::lock_guard lock(turnMutex_);
        linkBusy_ = false;
    }
    turnChanged_.notify_all();
}

void UsbDevice::pump()
{
    std::vector<uint8_t> chunk(ReadChunk);
    while (beginPumpTurn()) {
        uint32_t got = 0;
        const FT_STATUS status = link_->read(chunk.data(), ReadChunk, got);
        // Queued while the turn is held, so a purge never lets bytes of an earlier read through.
        if (status == FT_OK && got > 0) {
            queue_.push(chunk.data(), std::min(got, ReadChunk));
            std::lock_guard lock(noticeMutex_);
            if (notice_)
                notice_();
        } else if (status != FT_OK) {
            lost_ = true;
        }
        endTurn();
        if (status != FT_OK)
            return;
        if (got == 0)
            std::this_thread::sleep_for(IdlePause);
    }
}

FT_STATUS UsbDevice::setBaudRate(uint32_t baudRate)
{
    return callLink([&](UsbLink &link) { return link.setBaudRate(baudRate); });
}

FT_STATUS UsbDevice::setDataCharacteristics(uint8_t wordLength, uint8_t stopBits, uint8_t parity)
{
    return callLink(
        [&](UsbLink &link) { return link.setDataCharacteristics(wordLength, stopBits, parity); });
}

FT_STATUS UsbDevice::setFlowControl(uint16_t flowControl, uint8_t xon, uint8_t xoff)
{
    return callLink([&](UsbLink &link) { return link.setFlowControl(flowControl, xon, xoff); });
}

FT_STATUS UsbDevice::setLatencyTimer(uint8_t milliseconds)
{
    return callLink([&](UsbLink &link) { return link.setLatencyTimer(milliseconds); });
}

FT_STATUS UsbDevice::write(const void *buffer, uint32_t length, uint32_t &written)
{
    written = 0;
    return callLink([&](UsbLink &link) {
        return length == 0 ? FT_OK
                           : link.write(static_cast<const uint8_t *>(buffer), length, written);
    });
}

FT_STATUS UsbDevice::read(void *buffer, uint32_t wanted, uint32_t &returned)
{
    returned = 0;
    if (lost_)
        return FT_IO_ERROR;
    if (wanted > 0)
        returned = static_cast<uint32_t>(queue_.pop(static_cast<uint8_t *>(buffer), wanted));
    return FT_OK;
}

FT_STATUS UsbDevice::queueStatus(uint32_t &rxBytes)
{
    rxBytes = 0;
    if (lost_)
        return FT_IO_ERROR;
    rxBytes = static_cast<uint32_t>(
        std::min<size_t>(queue_.size(), std::numeric_limits<uint32_t>::max()));
    return FT_OK;
}

FT_STATUS UsbDevice::purge(uint32_t mask)
{
    mask &= FT_PURGE_RX | FT_PURGE_TX;
    if (mask == 0)
        return lost_ ? FT_IO_ERROR : FT_OK;
    return callLink([&](UsbLink &link) {
        const FT_STATUS status = link.purge(mask);
        // The local queue empties even when the chip did not answer: nothing stale is read later.
        if (mask & FT_PURGE_RX)
            queue_.clear();
        return status;
    });
}

FT_STATUS UsbDevice::setReceiveNotice(std::function<void()> notice)
{
    std::lock_guard lock(noticeMutex_);
    notice_ = std::move(notice);
    return FT_OK;
}

} // namespace platform::ftd2xx
