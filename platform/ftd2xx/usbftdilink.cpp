#include "platform/ftd2xx/usbftdilink.h"

#include <algorithm>
#include <climits>

#include <ftdi.h>
#include <libusb.h>

namespace platform::ftd2xx {

void FtdiContextDeleter::operator()(ftdi_context *context) const
{
    ftdi_usb_close(context);
    ftdi_free(context);
}

FtdiContextPtr makeFtdiContext()
{
    return FtdiContextPtr(ftdi_new());
}

UsbFtdiLink::UsbFtdiLink(FtdiContextPtr context) : context_(std::move(context))
{
    context_->usb_read_timeout = ReadTimeoutMs;
    context_->usb_write_timeout = WriteTimeoutMs;
}

// libftdi answers -3 (or -2 for the calls without a range check) when the handle has no device.
FT_STATUS UsbFtdiLink::setBaudRate(uint32_t baudRate)
{
    if (baudRate == 0 || baudRate > MaxBaudRate)
        return FT_INVALID_BAUD_RATE;
    switch (ftdi_set_baudrate(context_.get(), static_cast<int>(baudRate))) {
    case 0:
        return FT_OK;
    case -1:
        return FT_INVALID_BAUD_RATE; // too far from any rate the chip can divide down to
    case -3:
        return FT_DEVICE_NOT_OPENED;
    default:
        return FT_IO_ERROR;
    }
}

FT_STATUS UsbFtdiLink::setDataCharacteristics(uint8_t wordLength, uint8_t stopBits, uint8_t parity)
{
    ftdi_bits_type bits;
    switch (wordLength) {
    case FT_BITS_8:
        bits = BITS_8;
        break;
    case FT_BITS_7:
        bits = BITS_7;
        break;
    default:
        return FT_INVALID_PARAMETER;
    }
    ftdi_stopbits_type stop;
    switch (stopBits) {
    case FT_STOP_BITS_1:
        stop = STOP_BIT_1;
        break;
    case 1: // one and a half
        stop = STOP_BIT_15;
        break;
    case FT_STOP_BITS_2:
        stop = STOP_BIT_2;
        break;
    default:
        return FT_INVALID_PARAMETER;
    }
    // D2XX numbers parity none, odd, even, mark, space 0 to 4, as libftdi does.
    if (parity > SPACE)
        return FT_INVALID_PARAMETER;
    const int result =
        ftdi_set_line_property(context_.get(), bits, stop, static_cast<ftdi_parity_type>(parity));
    if (result == 0)
        return FT_OK;
    return result == -2 ? FT_DEVICE_NOT_OPENED : FT_IO_ERROR;
}

FT_STATUS UsbFtdiLink::setFlowControl(uint16_t flowControl, uint8_t xon, uint8_t xoff)
{
    constexpr uint16_t DtrDsr = 0x0200;
    constexpr uint16_t XonXoff = 0x0400;
    int result;
    switch (flowControl) {
    case FT_FLOW_NONE:
        result = ftdi_setflowctrl(context_.get(), SIO_DISABLE_FLOW_CTRL);
        break;
    case FT_FLOW_RTS_CTS:
        result = ftdi_setflowctrl(context_.get(), SIO_RTS_CTS_HS);
        break;
    case DtrDsr:
        result = ftdi_setflowctrl(context_.get(), SIO_DTR_DSR_HS);
        break;
    case XonXoff:
        result = ftdi_setflowctrl_xonxoff(context_.get(), xon, xoff);
        break;
    default:
        return FT_INVALID_PARAMETER;
    }
    if (result == 0)
        return FT_OK;
    return result == -2 ? FT_DEVICE_NOT_OPENED : FT_IO_ERROR;
}

FT_STATUS UsbFtdiLink::setLatencyTimer(uint8_t milliseconds)
{
    switch (ftdi_set_latency_timer(context_.get(), milliseconds)) {
    case 0:
        return FT_OK;
    case -1:
        return FT_INVALID_PARAMETER; // the chip takes 1 to 255 ms
    case -3:
        return FT_DEVICE_NOT_OPENED;
    default:
        return FT_IO_ERROR;
    }
}

FT_STATUS UsbFtdiLink::write(const uint8_t *buffer, uint32_t length, uint32_t &written)
{
    written = 0;
    while (written < length) {
        const int part = static_cast<int>(std::min<uint32_t>(length - written, INT_MAX));
        const int result = ftdi_write_data(context_.get(), buffer + written, part);
        if (result < 0)
            return result == -666 ? FT_DEVICE_NOT_OPENED : FT_IO_ERROR;
        if (result == 0)
            return FT_IO_ERROR;
        written += static_cast<uint32_t>(result);
    }
    return FT_OK;
}

// One USB transfer a call, as the chip ends one every latency period: bytes reach the receive
// queue as they come. ftdi_read_data would go on transferring until `capacity` is filled, which
// holds a stream back in bursts of a tenth of a second (a command's reply among them) and drops
// all it has gathered when a later transfer of the same call fails.
FT_STATUS UsbFtdiLink::read(uint8_t *buffer, uint32_t capacity, uint32_t &got)
{
    got = 0;
    const int packet = static_cast<int>(context_->max_packet_size);
    if (capacity == 0 || packet <= ModemStatusBytes)
        return FT_OK;
    const int payload = packet - ModemStatusBytes;
    const int packets = static_cast<int>(std::clamp<uint32_t>(
        capacity / static_cast<uint32_t>(payload), 1, MaxPacketsPerRead));
    transfer_.resize(static_cast<size_t>(packets * packet));
    int transferred = 0;
    const int result =
        libusb_bulk_transfer(context_->usb_dev, static_cast<unsigned char>(context_->out_ep),
                             transfer_.data(), static_cast<int>(transfer_.size()), &transferred,
                             ReadTimeoutMs);
    // A chip that merely kept quiet past the timeout is still there; what came before it counts.
    if (result < 0 && result != LIBUSB_ERROR_TIMEOUT && result != LIBUSB_ERROR_INTERRUPTED)
        return FT_IO_ERROR;
    // Every packet starts with the chip's modem status; the rest is data.
    for (int at = 0; at < transferred; at += packet) {
        const int length = std::min(packet, transferred - at) - ModemStatusBytes;
        const auto size = static_cast<uint32_t>(
            std::min<int64_t>(std::max(length, 0), capacity - got));
        std::copy_n(transfer_.data() + at + ModemStatusBytes, size, buffer + got);
        got += size;
    }
    return FT_OK;
}

FT_STATUS UsbFtdiLink::purge(uint32_t mask)
{
    // The flush calls, not the old purge calls, whose receive and transmit meanings are swapped.
    if ((mask & FT_PURGE_RX) && ftdi_tciflush(context_.get()) != 0)
        return FT_IO_ERROR;
    if ((mask & FT_PURGE_TX) && ftdi_tcoflush(context_.get()) != 0)
        return FT_IO_ERROR;
    return FT_OK;
}

} // namespace platform::ftd2xx
