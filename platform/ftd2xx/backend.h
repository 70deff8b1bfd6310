#ifndef PLATFORM_FTD2XX_BACKEND_H
#define PLATFORM_FTD2XX_BACKEND_H

#include <cstdint>
#include <functional>
#include <memory>
#include <string>

#include "platform/ftd2xx/ftd2xx.h"

namespace platform::ftd2xx {

// One opened device of a back-end. Every call may come from any thread; implementations keep
// themselves consistent (the driver's reader and its command loop share one device).
class Device
{
public:
    virtual ~Device() = default;
    virtual FT_STATUS setBaudRate(uint32_t baudRate) = 0;
    virtual FT_STATUS setDataCharacteristics(uint8_t wordLength, uint8_t stopBits,
                                             uint8_t parity) = 0;
    virtual FT_STATUS setFlowControl(uint16_t flowControl, uint8_t xon, uint8_t xoff) = 0;
    virtual FT_STATUS setLatencyTimer(uint8_t milliseconds) = 0;
    virtual FT_STATUS write(const void *buffer, uint32_t length, uint32_t &written) = 0;
    virtual FT_STATUS read(void *buffer, uint32_t wanted, uint32_t &returned) = 0;
    virtual FT_STATUS queueStatus(uint32_t &rxBytes) = 0;
    virtual FT_STATUS purge(uint32_t mask) = 0;
    // Calls `notice` whenever received bytes are queued; an empty one ends it, and no call runs
    // after that has returned. Devices that cannot tell answer FT_NOT_SUPPORTED.
    virtual FT_STATUS setReceiveNotice(std::function<void()> notice)
    {
        (void)notice;
        return FT_NOT_SUPPORTED;
    }
};

// A source of devices: the libftdi1 bus or the simulated module.
class Backend
{
public:
    virtual ~Backend() = default;
    virtual FT_STATUS deviceCount(uint32_t &count) = 0;
    virtual FT_STATUS description(uint32_t index, std::string &text) = 0;
    virtual FT_STATUS serialNumber(uint32_t index, std::string &text) = 0;
    virtual FT_STATUS open(uint32_t index, std::unique_ptr<Device> &device) = 0;
    // True for the simulated module; code that must know asks this, never a name.
    virtual bool isSimulated() const = 0;
};

std::unique_ptr<Backend> makeUsbBackend();
std::unique_ptr<Backend> makeSimBackend();

// The back-end of this process, chosen from HXR_FTDI at first use.
Backend &activeBackend();

// Replaces the active back-end (tests); handles opened before stay valid until closed.
void setActiveBackend(std::unique_ptr<Backend> backend);

} // namespace platform::ftd2xx

#endif
