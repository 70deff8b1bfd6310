#ifndef PLATFORM_FTD2XX_USBDEVICE_H
#define PLATFORM_FTD2XX_USBDEVICE_H

#include <atomic>
#include <chrono>
#include <condition_variable>
#include <cstdint>
#include <functional>
#include <memory>
#include <mutex>
#include <thread>

#include "platform/ftd2xx/backend.h"
#include "platform/ftd2xx/usblink.h"
#include "platform/ftd2xx/usbreceivequeue.h"

namespace platform::ftd2xx {

// An open USB serial device. A pump thread reads the chip all the time into a receive queue, so
// that queueStatus answers at once and read never waits, as the driver expects of D2XX. When the
// chip stops answering (unplugged) every call returns FT_IO_ERROR from then on.
class UsbDevice final : public Device
{
public:
    static constexpr uint32_t ReadChunk = 4096;
    // Pause after a read that brought nothing; a real chip has already waited its latency period.
    static constexpr std::chrono::milliseconds IdlePause{1};

    explicit UsbDevice(std::unique_ptr<UsbLink> link,
                       size_t queueCapacity = UsbReceiveQueue::DefaultCapacity);
    // Stops and joins the pump, then closes the link.
    ~UsbDevice() override;

    UsbDevice(const UsbDevice &) = delete;
    UsbDevice &operator=(const UsbDevice &) = delete;

    FT_STATUS setBaudRate(uint32_t baudRate) override;
    FT_STATUS setDataCharacteristics(uint8_t wordLength, uint8_t stopBits, uint8_t parity) override;
    FT_STATUS setFlowControl(uint16_t flowControl, uint8_t xon, uint8_t xoff) override;
    FT_STATUS setLatencyTimer(uint8_t milliseconds) override;
    FT_STATUS write(const void *buffer, uint32_t length, uint32_t &written) override;
    FT_STATUS read(void *buffer, uint32_t wanted, uint32_t &returned) override;
    FT_STATUS queueStatus(uint32_t &rxBytes) override;
    FT_STATUS purge(uint32_t mask) override;
    FT_STATUS setReceiveNotice(std::function<void()> notice) override;

    // True once the chip has stopped answering.
    bool isLost() const { return lost_; }

private:
    template <typename Call>
    FT_STATUS callLink(Call &&call);
    void beginCallerTurn();
    bool beginPumpTurn();
    void endTurn();
    void pump();

    std::unique_ptr<UsbLink> link_;
    UsbReceiveQueue queue_;
    // The link serves one thread at a time. Callers go before the pump, so a command waits for
    // at most the one read in flight.
    std::mutex turnMutex_;
    std::condition_variable turnChanged_;
    bool linkBusy_ = false;
    int callersWaiting_ = 0;
    bool stopping_ = false;
    std::atomic<bool> lost_{false};
    std::mutex noticeMutex_;
    std::function<void()> notice_;
    std::thread pump_; // last: starts once everything above is built
};

} // namespace platform::ftd2xx

#endif
