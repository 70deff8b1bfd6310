#ifndef PLATFORM_FTD2XX_USBIDS_H
#define PLATFORM_FTD2XX_USBIDS_H

#include <array>
#include <cstdint>

namespace platform::ftd2xx {

// A USB vendor and product number.
struct UsbId
{
    uint16_t vendor;
    uint16_t product;
};

// The USB serial chips the bus listing looks for, in this order: FTDI's own numbers of the
// FT232R/FT245R, FT2232, FT4232H, FT232H and FT-X chips (what libftdi looks for when it is given
// no numbers). resources/70-hxr-module.rules gives the user at the local seat access to exactly
// these; a test keeps the two the same.
inline constexpr std::array<UsbId, 5> ModuleUsbIds{{
    {0x0403, 0x6001},
    {0x0403, 0x6010},
    {0x0403, 0x6011},
    {0x0403, 0x6014},
    {0x0403, 0x6015},
}};

} // namespace platform::ftd2xx

#endif
