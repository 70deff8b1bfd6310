#include "tests/support/usbemulator.h"

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <stdexcept>

#include <link.h>

#include <umockdev.h>

#include "platform/ftd2xx/sim/simdevice.h"
#include "platform/ftd2xx/sim/simmodule.h"
#include "tests/support/ft232rdescriptors.h"

namespace testsupport {

namespace {

namespace sim = platform::ftd2xx::sim;

gboolean onIoctl(UMockdevIoctlBase *, UMockdevIoctlClient *client, gpointer chip)
{
    static_cast<EmulatedFt232r *>(chip)->handleIoctl(client);
    return TRUE;
}

void onClientVanished(UMockdevIoctlBase *, UMockdevIoctlClient *, gpointer chip)
{
    static_cast<EmulatedFt232r *>(chip)->clientVanished();
}

std::string hex(const std::vector<uint8_t> &bytes)
{
    std::string text;
    char pair[3];
    for (const uint8_t byte : bytes) {
        std::snprintf(pair, sizeof pair, "%02x", byte);
        text += pair;
    }
    return text;
}

// The udev and sysfs view of one chip, in umockdev's text form.
std::string describeDevice(const std::string &sysPath, int address, const std::string &product,
                           const std::string &serial)
{
    char padded[8];
    std::snprintf(padded, sizeof padded, "%03d", address);
    const std::string node = std::string("bus/usb/001/") + padded;
    const std::string number = std::to_string(address);
    return "P: " + sysPath.substr(4) + "\nN: " + node +
           "\nE: SUBSYSTEM=usb\nE: DEVTYPE=usb_device\nE: DRIVER=usb\nE: DEVNAME=/dev/" + node +
           "\nE: BUSNUM=001\nE: DEVNUM=" + padded + "\nE: PRODUCT=403/6001/600" +
           "\nA: busnum=1\\n\nA: devnum=" + number + "\\n\nA: bConfigurationValue=1\\n" +
           "\nA: speed=12\\n\nA: idVendor=0403\\n\nA: idProduct=6001\\n\nA: bcdDevice=0600\\n" +
           "\nA: manufacturer=FTDI\\n\nA: product=" + product + "\\n\nA: serial=" + serial +
           "\\n\nH: descriptors=" + hex(ft232r::sysfsDescriptors()) + "\n";
}

} // namespace

UsbEmulator::UsbEmulator() : testbed_(umockdev_testbed_new())
{
    if (!testbed_)
        throw std::runtime_error("umockdev cannot make a testbed");
    sim::followControlFile(); // a module it pulls out is not there from the start
    std::lock_guard lock(mutex_);
    const int count = sim::moduleCount();
    slots_.resize(static_cast<size_t>(count));
    try {
        for (int i = 0; i < count; ++i) {
            Slot &slot = slots_[static_cast<size_t>(i)];
            slot.module = sim::moduleAt(i);
            slot.sysPath = "/sys/devices/pci0000:00/0000:00:14.0/usb1/1-" + std::to_string(i + 1);
            if (!slot.module->unplugged())
                plugLocked(slot);
        }
    } catch (...) {
        releaseBus();
        throw;
    }
    watcher_ = std::thread([this] { watch(); });
}

UsbEmulator::~UsbEmulator()
{
    {
        std::lock_guard lock(mutex_);
        stopping_ = true;
    }
    stop_.notify_all();
    watcher_.join();
    releaseBus();
}

void UsbEmulator::releaseBus()
{
    // The testbed's worker calls the chips: it goes first.
    for (const Attached &attached : attached_)
        umockdev_testbed_detach_ioctl(testbed_, attached.node.c_str(), nullptr);
    g_object_unref(testbed_);
    for (Attached &attached : attached_) {
        g_object_unref(attached.handler);
        attached.chip.reset();
    }
}

bool UsbEmulator::inMockEnvironment()
{
    return umockdev_in_mock_environment();
}

std::string UsbEmulator::preloadList()
{
    std::string list;
    dl_iterate_phdr(
        [](dl_phdr_info *info, size_t, void *found) {
            if (info->dlpi_name && std::strstr(info->dlpi_name, "/libasan.so"))
                *static_cast<std::string *>(found) = info->dlpi_name;
            return 0;
        },
        &list);
    list += list.empty() ? "libumockdev-preload.so.0" : ":libumockdev-preload.so.0";
    if (const char *earlier = std::getenv("LD_PRELOAD"); earlier && *earlier)
        list += std::string(":") + earlier;
    return list;
}

std::string UsbEmulator::rootDirectory() const
{
    gchar *root = umockdev_testbed_get_root_dir(testbed_);
    std::string text = root;
    g_free(root);
    return text;
}

void UsbEmulator::plugLocked(Slot &slot)
{
    const int address = nextAddress_++;
    char node[32];
    std::snprintf(node, sizeof node, "/dev/bus/usb/001/%03d", address);
    const std::string serial = std::to_string(slot.module->serial());
    auto chip = std::make_unique<EmulatedFt232r>(slot.module, serial);
    UMockdevIoctlBase *handler = umockdev_ioctl_base_new();
    g_signal_connect(handler, "handle-ioctl", G_CALLBACK(onIoctl), chip.get());
    g_signal_connect(handler, "client-vanished", G_CALLBACK(onClientVanished), chip.get());
    GError *error = nullptr;
    // The node answers before udev announces it, so that an open right after "add" works.
    if (!umockdev_testbed_attach_ioctl(testbed_, node, handler, &error) ||
        !umockdev_testbed_add_from_string(
            testbed_,
            describeDevice(slot.sysPath, address, slot.module->description(), serial).c_str(),
            &error)) {
        const std::string message = error ? error->message : "unknown error";
        g_clear_error(&error);
        g_object_unref(handler);
        throw std::runtime_error("umockdev cannot add the chip: " + message);
    }
    slot.chip = chip.get();
    slot.chips.push_back(chip.get());
    attached_.push_back({std::move(chip), handler, node});
}

void UsbEmulator::unplugLocked(Slot &slot)
{
    // Transfers end before the device goes: a blocking libusb read must see ENODEV first.
    slot.chip->unplug();
    slot.chip = nullptr;
    umockdev_testbed_uevent(testbed_, slot.sysPath.c_str(), "remove");
    umockdev_testbed_remove_device(testbed_, slot.sysPath.c_str());
}

void UsbEmulator::followModules()
{
    sim::followControlFile();
    std::lock_guard lock(mutex_);
    for (Slot &slot : slots_) {
        const bool gone = slot.module->unplugged();
        if (gone && slot.chip)
            unplugLocked(slot);
        else if (!gone && !slot.chip)
            plugLocked(slot);
    }
}

void UsbEmulator::watch()
{
    std::unique_lock lock(mutex_);
    while (!stop_.wait_for(lock, FollowPeriod, [this] { return stopping_; })) {
        lock.unlock();
        followModules();
        lock.lock();
    }
}

std::vector<EmulatedFt232r::SioRequest> UsbEmulator::sioRequests(int module) const
{
    std::lock_guard lock(mutex_);
    if (module < 0 || static_cast<size_t>(module) >= slots_.size() ||
        !slots_[static_cast<size_t>(module)].chip)
        return {};
    return slots_[static_cast<size_t>(module)].chip->sioRequests();
}

uint64_t UsbEmulator::bytesToHost(int module) const
{
    std::lock_guard lock(mutex_);
    uint64_t bytes = 0;
    if (module >= 0 && static_cast<size_t>(module) < slots_.size())
        for (const EmulatedFt232r *chip : slots_[static_cast<size_t>(module)].chips)
            bytes += chip->bytesToHost();
    return bytes;
}

int UsbEmulator::chipsMade() const
{
    std::lock_guard lock(mutex_);
    return static_cast<int>(attached_.size());
}

} // namespace testsupport
