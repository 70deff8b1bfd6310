#include "platform/ftd2xx/backend.h"

#include <algorithm>
#include <array>
#include <utility>
#include <vector>

#include <ftdi.h>
#include <libusb.h>

#include "platform/ftd2xx/usbdevice.h"
#include "platform/ftd2xx/usbftdilink.h"
#include "platform/ftd2xx/usbids.h"

namespace platform::ftd2xx {

namespace {

// Where a device sits: its bus, then the hub ports from the root down. Sorting by it gives the
// order of the sockets, whatever order libusb keeps its list in (its newest device comes first,
// so that a re-plugged module would move to the front).
std::vector<int> location(libusb_device *device)
{
    std::array<uint8_t, 8> ports{};
    const int depth = libusb_get_port_numbers(device, ports.data(), static_cast<int>(ports.size()));
    std::vector<int> place{libusb_get_bus_number(device)};
    for (int i = 0; i < depth; ++i)
        place.push_back(ports[static_cast<size_t>(i)]);
    place.push_back(libusb_get_device_address(device));
    return place;
}

// The chips on the bus with the numbers of ModuleUsbIds. Indices follow that table, and the
// socket order within each number, which is the same for every listing while nothing is
// plugged in or out.
class BusListing
{
public:
    BusListing() : context_(makeFtdiContext())
    {
        if (!context_) {
            status_ = FT_OTHER_ERROR; // libusb cannot start
            return;
        }
        lists_.reserve(ModuleUsbIds.size());
        for (const UsbId &id : ModuleUsbIds) {
            ftdi_device_list *list = nullptr;
            const int found = ftdi_usb_find_all(context_.get(), &list, id.vendor, id.product);
            if (found < 0) {
                status_ = FT_OTHER_ERROR;
                devices_.clear();
                return;
            }
            lists_.push_back(list);
            addInSocketOrder(list);
        }
    }
    ~BusListing()
    {
        for (ftdi_device_list *&list : lists_)
            if (list)
                ftdi_list_free(&list);
    }
    BusListing(const BusListing &) = delete;
    BusListing &operator=(const BusListing &) = delete;

    FT_STATUS status() const { return status_; }
    uint32_t count() const { return static_cast<uint32_t>(devices_.size()); }
    ftdi_context *context() const { return context_.get(); }
    // The listing's context, for the caller to keep the device opened on it.
    FtdiContextPtr takeContext() { return std::move(context_); }

    // The device at index, or the status that says why there is none.
    FT_STATUS find(uint32_t index, libusb_device *&found) const
    {
        found = nullptr;
        if (status_ != FT_OK)
            return status_;
        if (index >= devices_.size())
            return FT_DEVICE_NOT_FOUND;
        found = devices_[index];
        return FT_OK;
    }

private:
    void addInSocketOrder(ftdi_device_list *list)
    {
        std::vector<std::pair<std::vector<int>, libusb_device *>> placed;
        for (; list; list = list->next)
            placed.emplace_back(location(list->dev), list->dev);
        std::sort(placed.begin(), placed.end());
        for (const auto &[place, device] : placed)
            devices_.push_back(device);
    }

    FtdiContextPtr context_;
    std::vector<ftdi_device_list *> lists_;
    std::vector<libusb_device *> devices_;
    FT_STATUS status_ = FT_OK;
};

enum class DeviceString { Description, Serial };

FT_STATUS readString(uint32_t index, DeviceString which, std::string &text)
{
    text.clear();
    BusListing bus;
    libusb_device *device = nullptr;
    if (const FT_STATUS status = bus.find(index, device); status != FT_OK)
        return status;
    // USB string descriptors hold at most 126 characters.
    std::array<char, 128> buffer{};
    char *description = which == DeviceString::Description ? buffer.data() : nullptr;
    char *serial = which == DeviceString::Serial ? buffer.data() : nullptr;
    const int size = static_cast<int>(buffer.size());
    // A string the chip does not have reads as empty; only a device that cannot be asked fails.
    switch (
        ftdi_usb_get_strings(bus.context(), device, nullptr, 0, description, size, serial, size)) {
    case 0:
        buffer.back() = '\0';
        text = buffer.data();
        return FT_OK;
    case -4:
        return FT_DEVICE_NOT_OPENED; // in use elsewhere, or no permission on the device node
    default:
        return FT_IO_ERROR;
    }
}

class UsbBackend final : public Backend
{
public:
    FT_STATUS deviceCount(uint32_t &count) override
    {
        BusListing bus;
        count = bus.count();
        return bus.status();
    }

    FT_STATUS description(uint32_t index, std::string &text) override
    {
        return readString(index, DeviceString::Description, text);
    }

    FT_STATUS serialNumber(uint32_t index, std::string &text) override
    {
        return readString(index, DeviceString::Serial, text);
    }

    FT_STATUS open(uint32_t index, std::unique_ptr<Device> &device) override
    {
        device.reset();
        BusListing bus;
        libusb_device *found = nullptr;
        if (const FT_STATUS status = bus.find(index, found); status != FT_OK)
            return status;
        // Let the kernel's serial driver have the chip back once we close it.
        bus.context()->module_detach_mode = AUTO_DETACH_REATACH_SIO_MODULE;
        if (ftdi_usb_open_dev(bus.context(), found) != 0)
            return FT_DEVICE_NOT_OPENED;
        device = std::make_unique<UsbDevice>(std::make_unique<UsbFtdiLink>(bus.takeContext()));
        return FT_OK;
    }

    bool isSimulated() const override { return false; }
};

} // namespace

std::unique_ptr<Backend> makeUsbBackend()
{
    return std::make_unique<UsbBackend>();
}

} // namespace platform::ftd2xx
