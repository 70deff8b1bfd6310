#ifndef PLATFORM_FTD2XX_USBFTDILINK_H
#define PLATFORM_FTD2XX_USBFTDILINK_H

#include <memory>
#include <vector>

#include "platform/ftd2xx/usblink.h"

struct ftdi_context;

namespace platform::ftd2xx {

// Releases the USB interface if one was claimed, then frees the libftdi context.
struct FtdiContextDeleter
{
    void operator()(ftdi_context *context) const;
};
using FtdiContextPtr = std::unique_ptr<ftdi_context, FtdiContextDeleter>;

// A new libftdi context, or null when libusb cannot start.
FtdiContextPtr makeFtdiContext();

// A real FT232-class chip behind libftdi, on a context whose device is open.
class UsbFtdiLink final : public UsbLink
{
public:
    // A USB read waits at most this long; the chip answers every latency period, so this only
    // bounds how long closing can take when the chip misbehaves.
    static constexpr unsigned ReadTimeoutMs = 100;
    static constexpr unsigned WriteTimeoutMs = 1000;
    // Above every rate an FT232-class chip can run; keeps libftdi's arithmetic in range.
    static constexpr uint32_t MaxBaudRate = 12'000'000;
    // Each bulk IN packet starts with two bytes of modem status.
    static constexpr int ModemStatusBytes = 2;
    // 4 KB of full-speed packets: a read never asks for more in one transfer.
    static constexpr uint32_t MaxPacketsPerRead = 64;

    explicit UsbFtdiLink(FtdiContextPtr context);

    FT_STATUS setBaudRate(uint32_t baudRate) override;
    FT_STATUS setDataCharacteristics(uint8_t wordLength, uint8_t stopBits, uint8_t parity) override;
    FT_STATUS setFlowControl(uint16_t flowControl, uint8_t xon, uint8_t xoff) override;
    FT_STATUS setLatencyTimer(uint8_t milliseconds) override;
    FT_STATUS write(const uint8_t *buffer, uint32_t length, uint32_t &written) override;
    FT_STATUS read(uint8_t *buffer, uint32_t capacity, uint32_t &got) override;
    FT_STATUS purge(uint32_t mask) override;

private:
    FtdiContextPtr context_;
    std::vector<uint8_t> transfer_; // one bulk IN transfer, modem status and all
};

} // namespace platform::ftd2xx

#endif
