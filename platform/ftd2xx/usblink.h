#ifndef PLATFORM_FTD2XX_USBLINK_H
#define PLATFORM_FTD2XX_USBLINK_H

#include <cstdint>

#include "platform/ftd2xx/ftd2xx.h"

namespace platform::ftd2xx {

// The calls a USB device handle makes on its chip, answered with D2XX status codes. The program
// talks to a real chip through libftdi (UsbFtdiLink); tests put a scripted chip here. A link is
// used by one thread at a time: UsbDevice takes turns between its pump and its callers.
class UsbLink
{
public:
    virtual ~UsbLink() = default;
    virtual FT_STATUS setBaudRate(uint32_t baudRate) = 0;
    virtual FT_STATUS setDataCharacteristics(uint8_t wordLength, uint8_t stopBits,
                                             uint8_t parity) = 0;
    virtual FT_STATUS setFlowControl(uint16_t flowControl, uint8_t xon, uint8_t xoff) = 0;
    virtual FT_STATUS setLatencyTimer(uint8_t milliseconds) = 0;
    virtual FT_STATUS write(const uint8_t *buffer, uint32_t length, uint32_t &written) = 0;
    // Waits no longer than about one latency period of the chip; `got` 0 means nothing came.
    // FT_IO_ERROR means the device is gone (unplugged) and will not come back on this handle.
    virtual FT_STATUS read(uint8_t *buffer, uint32_t capacity, uint32_t &got) = 0;
    // Empties the chip's receive (FT_PURGE_RX) and/or transmit (FT_PURGE_TX) buffers.
    virtual FT_STATUS purge(uint32_t mask) = 0;
};

} // namespace platform::ftd2xx

#endif
