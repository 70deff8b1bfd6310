#ifndef PLATFORM_FTD2XX_FTD2XX_H
#define PLATFORM_FTD2XX_FTD2XX_H

// The USB serial calls the driver makes, with the types, constants and status codes it relies on.
// The back-end behind them is chosen once per process by HXR_FTDI: "usb" (the default, libftdi1)
// or "sim" (the simulated module).

#include <cstdint>

using FT_HANDLE = void *;
using FT_STATUS = uint32_t;

constexpr FT_STATUS FT_OK = 0;
constexpr FT_STATUS FT_INVALID_HANDLE = 1;
constexpr FT_STATUS FT_DEVICE_NOT_FOUND = 2;
constexpr FT_STATUS FT_DEVICE_NOT_OPENED = 3;
constexpr FT_STATUS FT_IO_ERROR = 4;
constexpr FT_STATUS FT_INSUFFICIENT_RESOURCES = 5;
constexpr FT_STATUS FT_INVALID_PARAMETER = 6;
constexpr FT_STATUS FT_INVALID_BAUD_RATE = 7;
constexpr FT_STATUS FT_NOT_SUPPORTED = 17;
constexpr FT_STATUS FT_OTHER_ERROR = 18;

// FT_ListDevices flags.
constexpr uint32_t FT_LIST_NUMBER_ONLY = 0x80000000u;
constexpr uint32_t FT_LIST_BY_INDEX = 0x40000000u;
constexpr uint32_t FT_OPEN_BY_SERIAL_NUMBER = 1;
constexpr uint32_t FT_OPEN_BY_DESCRIPTION = 2;

// Line settings.
constexpr uint8_t FT_BITS_8 = 8;
constexpr uint8_t FT_BITS_7 = 7;
constexpr uint8_t FT_STOP_BITS_1 = 0;
constexpr uint8_t FT_STOP_BITS_2 = 2;
constexpr uint8_t FT_PARITY_NONE = 0;
constexpr uint8_t FT_PARITY_ODD = 1;
constexpr uint8_t FT_PARITY_EVEN = 2;
constexpr uint16_t FT_FLOW_NONE = 0x0000;
constexpr uint16_t FT_FLOW_RTS_CTS = 0x0100;

// FT_Purge mask.
constexpr uint32_t FT_PURGE_RX = 1;
constexpr uint32_t FT_PURGE_TX = 2;

// FT_SetEventNotification mask.
constexpr uint32_t FT_EVENT_RXCHAR = 1;

// Descriptions and serial numbers are at most this long, NUL included.
constexpr uint32_t FT_DESCRIPTION_SIZE = 64;

// FT_LIST_NUMBER_ONLY: arg1 points to a uint32_t that receives the number of devices.
// FT_LIST_BY_INDEX | FT_OPEN_BY_DESCRIPTION (or _SERIAL_NUMBER): arg1 is the device index cast to
// a pointer, arg2 a buffer of at least FT_DESCRIPTION_SIZE bytes for the NUL-terminated text.
FT_STATUS FT_ListDevices(void *arg1, void *arg2, uint32_t flags);
FT_STATUS FT_Open(int deviceNumber, FT_HANDLE *handle);
// Closing an unknown or already closed handle answers FT_INVALID_HANDLE and does nothing else.
FT_STATUS FT_Close(FT_HANDLE handle);
FT_STATUS FT_SetBaudRate(FT_HANDLE handle, uint32_t baudRate);
FT_STATUS FT_SetDataCharacteristics(FT_HANDLE handle, uint8_t wordLength, uint8_t stopBits,
                                    uint8_t parity);
FT_STATUS FT_SetFlowControl(FT_HANDLE handle, uint16_t flowControl, uint8_t xon, uint8_t xoff);
FT_STATUS FT_SetLatencyTimer(FT_HANDLE handle, uint8_t milliseconds);
FT_STATUS FT_Write(FT_HANDLE handle, const void *buffer, uint32_t bytesToWrite,
                   uint32_t *bytesWritten);
// Non-blocking: returns at once with at most bytesToRead of the bytes already received.
FT_STATUS FT_Read(FT_HANDLE handle, void *buffer, uint32_t bytesToRead, uint32_t *bytesReturned);
FT_STATUS FT_GetQueueStatus(FT_HANDLE handle, uint32_t *rxBytes);
FT_STATUS FT_Purge(FT_HANDLE handle, uint32_t mask);

// With FT_EVENT_RXCHAR, `notify(context)` is called, from any thread, whenever received bytes have
// been queued, so that a reader can sleep until they come; a mask of 0 ends it, and once that call
// has returned `notify` is not called again. FT_NOT_SUPPORTED from a device that cannot tell.
using FT_EVENT_CALLBACK = void (*)(void *context);
FT_STATUS FT_SetEventNotification(FT_HANDLE handle, uint32_t mask, FT_EVENT_CALLBACK notify,
                                  void *context);

#endif
