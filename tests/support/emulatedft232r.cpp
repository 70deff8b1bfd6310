#include "tests/support/emulatedft232r.h"

#include <algorithm>
#include <cerrno>
#include <cstddef>
#include <cstring>
#include <thread>

#include <linux/ioctl.h>
#include <umockdev.h>
#include <linux/usbdevice_fs.h>

#include "platform/ftd2xx/sim/simdevice.h"
#include "tests/support/ft232rdescriptors.h"

namespace testsupport {

namespace {

using Clock = std::chrono::steady_clock;
using platform::ftd2xx::sim::SetupStep;

constexpr int FullSpeed = 2; // USB_SPEED_FULL
constexpr int PacketData = ft232r::PacketSize - 2;
constexpr char KernelDriver[] = "ftdi_sio";

void complete(UMockdevIoctlClient *client, long result, int error = 0)
{
    umockdev_ioctl_client_complete(client, result, error);
}

// The client's memory behind a pointer in an ioctl argument, copied here and written back when
// the ioctl completes; empty when the client has gone meanwhile (killed, say).
class Resolved
{
public:
    Resolved(UMockdevIoctlData *parent, size_t offset, size_t length)
        : data_(length > 0 ? umockdev_ioctl_data_resolve(parent, offset, length, nullptr)
                           : nullptr)
    {}
    ~Resolved()
    {
        if (data_)
            g_object_unref(data_);
    }
    Resolved(const Resolved &) = delete;
    Resolved &operator=(const Resolved &) = delete;

    explicit operator bool() const { return data_ != nullptr; }
    UMockdevIoctlData *get() const { return data_; }
    template <typename T>
    T &as() const
    {
        return *reinterpret_cast<T *>(data_->data);
    }

private:
    UMockdevIoctlData *data_;
};

usbdevfs_urb *urbOf(UMockdevIoctlData *data)
{
    return reinterpret_cast<usbdevfs_urb *>(data->data);
}

SetupStep stepOf(uint8_t request, uint16_t value)
{
    switch (request) {
    case EmulatedFt232r::SioReset:
        return value == 0 ? SetupStep::Open : SetupStep::None;
    case EmulatedFt232r::SioSetBaudRate:
        return SetupStep::BaudRate;
    case EmulatedFt232r::SioSetData:
        return SetupStep::DataCharacteristics;
    case EmulatedFt232r::SioSetFlowControl:
        return SetupStep::FlowControl;
    case EmulatedFt232r::SioSetLatencyTimer:
        return SetupStep::LatencyTimer;
    default:
        return SetupStep::None;
    }
}

int copyOut(const std::vector<uint8_t> &bytes, uint8_t *data, uint16_t length)
{
    const size_t count = std::min<size_t>(bytes.size(), length);
    std::memcpy(data, bytes.data(), count);
    return static_cast<int>(count);
}

} // namespace

EmulatedFt232r::EmulatedFt232r(std::shared_ptr<platform::ftd2xx::sim::SimDevice> module,
                               std::string serial)
    : module_(std::move(module)), serial_(std::move(serial))
{}

EmulatedFt232r::~EmulatedFt232r()
{
    std::lock_guard lock(mutex_);
    dropUrbsLocked();
    releaseLocked();
}

void EmulatedFt232r::dropUrbsLocked()
{
    for (const Urb &urb : inTransfers_)
        g_object_unref(urb.data);
    for (const Urb &urb : completed_)
        g_object_unref(urb.data);
    inTransfers_.clear();
    completed_.clear();
}

void EmulatedFt232r::handleIoctl(UMockdevIoctlClient *client)
{
    const unsigned long request = umockdev_ioctl_client_get_request(client);
    UMockdevIoctlData *arg = umockdev_ioctl_client_get_arg(client);
    if (request == USBDEVFS_REAPURB || request == USBDEVFS_REAPURBNDELAY) {
        reap(client, arg);
        return;
    }
    if (request == USBDEVFS_SUBMITURB) {
        submit(client, arg);
        return;
    }
    if (request == USBDEVFS_DISCARDURB) {
        discard(client, arg);
        return;
    }
    if (request == USBDEVFS_CONTROL) {
        controlIoctl(client, arg);
        return;
    }
    answerDriverQueries(client, request, arg);
}

void EmulatedFt232r::answerDriverQueries(UMockdevIoctlClient *client, unsigned long request,
                                         UMockdevIoctlData *arg)
{
    std::lock_guard lock(mutex_);
    if (unplugged_) {
        complete(client, -1, ENODEV);
        return;
    }
    // The sizes of the arguments that point to memory of the client.
    size_t argumentSize = 0;
    switch (request) {
    case USBDEVFS_GET_CAPABILITIES:
        argumentSize = sizeof(uint32_t);
        break;
    case USBDEVFS_GETDRIVER:
        argumentSize = sizeof(usbdevfs_getdriver);
        break;
    case USBDEVFS_IOCTL:
        argumentSize = sizeof(usbdevfs_ioctl);
        break;
    case USBDEVFS_DISCONNECT_CLAIM:
        argumentSize = sizeof(usbdevfs_disconnect_claim);
        break;
    case USBDEVFS_CLAIMINTERFACE:
    case USBDEVFS_RELEASEINTERFACE:
        argumentSize = sizeof(unsigned);
        break;
    default:
        break;
    }
    const Resolved argument(arg, 0, argumentSize);
    if (argumentSize > 0 && !argument) {
        complete(client, -1, EFAULT);
        return;
    }
    switch (request) {
    case USBDEVFS_GET_CAPABILITIES:
        argument.as<uint32_t>() = USBDEVFS_CAP_ZERO_PACKET | USBDEVFS_CAP_BULK_CONTINUATION |
                                  USBDEVFS_CAP_NO_PACKET_SIZE_LIM |
                                  USBDEVFS_CAP_REAP_AFTER_DISCONNECT;
        complete(client, 0);
        return;
    case USBDEVFS_GET_SPEED:
        complete(client, FullSpeed);
        return;
    case USBDEVFS_GETDRIVER: {
        if (!kernelDriverBound_) {
            complete(client, -1, ENODATA);
            return;
        }
        auto &query = argument.as<usbdevfs_getdriver>();
        std::strncpy(query.driver, KernelDriver, sizeof query.driver);
        complete(client, 0);
        return;
    }
    case USBDEVFS_IOCTL: {
        const int code = argument.as<usbdevfs_ioctl>().ioctl_code;
        if (code == static_cast<int>(USBDEVFS_DISCONNECT)) {
            const bool wasBound = kernelDriverBound_;
            kernelDriverBound_ = false;
            complete(client, wasBound ? 0 : -1, wasBound ? 0 : ENODATA);
        } else if (code == static_cast<int>(USBDEVFS_CONNECT)) {
            kernelDriverBound_ = !claimed_;
            complete(client, 0);
        } else {
            complete(client, -1, ENOTTY);
        }
        return;
    }
    case USBDEVFS_DISCONNECT_CLAIM: {
        const unsigned interface = argument.as<usbdevfs_disconnect_claim>().interface;
        kernelDriverBound_ = false;
        const int error = claim(interface);
        complete(client, error ? -1 : 0, error);
        return;
    }
    case USBDEVFS_CLAIMINTERFACE:
    case USBDEVFS_RELEASEINTERFACE: {
        const unsigned interface = argument.as<unsigned>();
        int error = interface == 0 ? 0 : EINVAL;
        if (request == USBDEVFS_CLAIMINTERFACE && !error)
            error = kernelDriverBound_ ? EBUSY : claim(interface);
        else if (!error)
            releaseLocked();
        complete(client, error ? -1 : 0, error);
        return;
    }
    case USBDEVFS_SETCONFIGURATION:
    case USBDEVFS_SETINTERFACE:
    case USBDEVFS_RESET:
    case USBDEVFS_RESETEP:
    case USBDEVFS_CLEAR_HALT:
        complete(client, 0);
        return;
    default:
        complete(client, -1, ENOTTY);
        return;
    }
}

// The module's session is the claim: a module that is to fail its opening is left closed, and
// the reset that libftdi sends next stalls.
int EmulatedFt232r::claim(unsigned interface)
{
    if (interface != 0)
        return EINVAL;
    if (claimed_)
        return 0;
    if (!module_->setupFails(SetupStep::Open)) {
        if (!module_->open())
            return EBUSY;
        moduleOpen_ = true;
    }
    claimed_ = true;
    return 0;
}

void EmulatedFt232r::releaseLocked()
{
    claimed_ = false;
    if (moduleOpen_)
        module_->close();
    moduleOpen_ = false;
}

void EmulatedFt232r::clientVanished()
{
    std::lock_guard lock(mutex_);
    dropUrbsLocked();
    releaseLocked();
}

void EmulatedFt232r::unplug()
{
    std::lock_guard lock(mutex_);
    if (unplugged_)
        return;
    unplugged_ = true;
    // What is in flight ends with ENODEV and can still be reaped: libusb waits for it.
    for (const Urb &urb : inTransfers_) {
        urbOf(urb.data)->status = -ENODEV;
        urbOf(urb.data)->actual_length = 0;
        completed_.push_back(urb);
    }
    inTransfers_.clear();
    releaseLocked();
}

void EmulatedFt232r::submit(UMockdevIoctlClient *client, UMockdevIoctlData *arg)
{
    std::lock_guard lock(mutex_);
    if (unplugged_) {
        complete(client, -1, ENODEV);
        return;
    }
    const Resolved resolved(arg, 0, sizeof(usbdevfs_urb));
    if (!resolved) {
        complete(client, -1, EFAULT);
        return;
    }
    UMockdevIoctlData *data = resolved.get();
    usbdevfs_urb *urb = urbOf(data);
    if (urb->buffer_length < 0 ||
        (urb->buffer_length > 0 && !Resolved(data, offsetof(usbdevfs_urb, buffer),
                                             static_cast<size_t>(urb->buffer_length)))) {
        complete(client, -1, urb->buffer_length < 0 ? EINVAL : EFAULT);
        return;
    }
    g_object_ref(data); // held with the URB until it is reaped
    auto *buffer = static_cast<uint8_t *>(urb->buffer);
    urb->status = 0;
    urb->actual_length = 0;
    const Urb pending{data, Clock::now()};
    if (urb->type == USBDEVFS_URB_TYPE_CONTROL && urb->buffer_length >= 8) {
        const Setup setup{buffer[0], buffer[1], static_cast<uint16_t>(buffer[2] | buffer[3] << 8),
                          static_cast<uint16_t>(buffer[4] | buffer[5] << 8),
                          static_cast<uint16_t>(std::min(buffer[6] | buffer[7] << 8,
                                                         urb->buffer_length - 8))};
        const int result = control(setup, buffer + 8);
        urb->status = result < 0 ? -EPIPE : 0;
        urb->actual_length = std::max(result, 0);
        completed_.push_back(pending);
    } else if (urb->type == USBDEVFS_URB_TYPE_BULK && urb->endpoint == ft232r::BulkOut) {
        if (moduleOpen_)
            module_->receive(buffer, static_cast<size_t>(urb->buffer_length));
        urb->actual_length = urb->buffer_length;
        completed_.push_back(pending);
    } else if (urb->type == USBDEVFS_URB_TYPE_BULK && urb->endpoint == ft232r::BulkIn) {
        inTransfers_.push_back(pending);
    } else {
        g_object_unref(data);
        complete(client, -1, EINVAL);
        return;
    }
    complete(client, 0);
}

void EmulatedFt232r::controlIoctl(UMockdevIoctlClient *client, UMockdevIoctlData *arg)
{
    std::lock_guard lock(mutex_);
    if (unplugged_) {
        complete(client, -1, ENODEV);
        return;
    }
    const Resolved call(arg, 0, sizeof(usbdevfs_ctrltransfer));
    if (!call) {
        complete(client, -1, EFAULT);
        return;
    }
    const auto &transfer = call.as<usbdevfs_ctrltransfer>();
    const Setup setup{transfer.bRequestType, transfer.bRequest, transfer.wValue, transfer.wIndex,
                      transfer.wLength};
    if (setup.length > 0 &&
        !Resolved(call.get(), offsetof(usbdevfs_ctrltransfer, data), setup.length)) {
        complete(client, -1, EFAULT);
        return;
    }
    const int result = control(setup, static_cast<uint8_t *>(transfer.data));
    complete(client, result < 0 ? -1 : result, result < 0 ? EPIPE : 0);
}

void EmulatedFt232r::discard(UMockdevIoctlClient *client, UMockdevIoctlData *arg)
{
    std::lock_guard lock(mutex_);
    // The argument is the address of the URB itself.
    const auto address = reinterpret_cast<gulong>(*reinterpret_cast<void **>(arg->data));
    const auto found = std::find_if(inTransfers_.begin(), inTransfers_.end(),
                                    [&](const Urb &urb) { return urb.data->client_addr == address; });
    if (found == inTransfers_.end()) {
        complete(client, -1, EINVAL);
        return;
    }
    urbOf(found->data)->status = -ENOENT;
    completed_.push_back(*found);
    inTransfers_.erase(found);
    complete(client, 0);
}

void EmulatedFt232r::reap(UMockdevIoctlClient *client, UMockdevIoctlData *arg)
{
    for (int look = 0; look < 2; ++look) {
        std::chrono::microseconds pause{0};
        {
            std::lock_guard lock(mutex_);
            if (!unplugged_)
                fillInTransfersLocked();
            if (takeCompletedLocked(client, arg))
                return;
            if (unplugged_) {
                complete(client, -1, ENODEV);
                return;
            }
            pause = pauseBeforeNextLookLocked();
        }
        if (look == 0)
            std::this_thread::sleep_for(pause);
    }
    complete(client, -1, EAGAIN);
}

bool EmulatedFt232r::takeCompletedLocked(UMockdevIoctlClient *client, UMockdevIoctlData *arg)
{
    if (completed_.empty())
        return false;
    const Resolved pointer(arg, 0, sizeof(void *));
    if (!pointer)
        return false; // the client has gone: its URBs go with it
    UMockdevIoctlData *data = completed_.front().data;
    completed_.pop_front();
    umockdev_ioctl_data_set_ptr(pointer.get(), 0, data);
    complete(client, 0);
    g_object_unref(data);
    return true;
}

// A transfer in flight cannot end before its latency timer runs out (the module never fills
// one sooner), so an empty reap may wait for that; with none in flight it waits a little.
std::chrono::microseconds EmulatedFt232r::pauseBeforeNextLookLocked() const
{
    if (inTransfers_.empty())
        return EmptyReapPause;
    const auto due = inTransfers_.front().since + std::chrono::milliseconds(latencyMs_);
    const auto left = std::chrono::duration_cast<std::chrono::microseconds>(due - Clock::now());
    return std::clamp(left, std::chrono::microseconds(0), LongestReapPause);
}

// The oldest IN transfer ends when the module's bytes fill it, or when the latency timer runs
// out with whatever has come (perhaps nothing but the status bytes).
void EmulatedFt232r::fillInTransfersLocked()
{
    while (!inTransfers_.empty()) {
        const Urb &oldest = inTransfers_.front();
        usbdevfs_urb *urb = urbOf(oldest.data);
        const int length = urb->buffer_length;
        const size_t room = static_cast<size_t>(length / ft232r::PacketSize * PacketData +
                                                std::max(length % ft232r::PacketSize - 2, 0));
        const size_t available = moduleOpen_ ? module_->queued() : 0;
        const bool timedOut =
            Clock::now() - oldest.since >= std::chrono::milliseconds(latencyMs_);
        if (available < room && !timedOut)
            return;
        urb->actual_length = static_cast<int>(
            fillPackets(static_cast<uint8_t *>(urb->buffer), static_cast<size_t>(length)));
        urb->status = 0;
        completed_.push_back(oldest);
        inTransfers_.pop_front();
        if (!inTransfers_.empty())
            inTransfers_.front().since = std::max(inTransfers_.front().since, Clock::now());
    }
}

size_t EmulatedFt232r::fillPackets(uint8_t *buffer, size_t length)
{
    size_t used = 0;
    while (length - used >= 2) {
        std::memcpy(buffer + used, ft232r::ModemStatus, 2);
        const size_t room = std::min<size_t>(length - used - 2, PacketData);
        const size_t got = moduleOpen_ ? module_->take(buffer + used + 2, room) : 0;
        used += 2 + got;
        bytesToHost_ += got;
        // A short packet ends the transfer.
        if (got < PacketData)
            break;
    }
    return used;
}

int EmulatedFt232r::control(const Setup &setup, uint8_t *data)
{
    constexpr uint8_t TypeMask = 0x60, Standard = 0x00, Vendor = 0x40;
    switch (setup.requestType & TypeMask) {
    case Standard:
        return standardRequest(setup, data);
    case Vendor:
        return vendorRequest(setup, data);
    default:
        return -1;
    }
}

int EmulatedFt232r::standardRequest(const Setup &setup, uint8_t *data)
{
    enum : uint8_t { GetStatus = 0, ClearFeature = 1, GetDescriptor = 6, GetConfiguration = 8,
                     SetConfiguration = 9, SetInterface = 11 };
    switch (setup.request) {
    case GetDescriptor:
        return describe(setup, data);
    case GetStatus:
        return copyOut({0, 0}, data, setup.length);
    case GetConfiguration:
        return copyOut({1}, data, setup.length);
    case ClearFeature:
    case SetConfiguration:
    case SetInterface:
        return 0;
    default:
        return -1;
    }
}

int EmulatedFt232r::describe(const Setup &setup, uint8_t *data) const
{
    enum : uint8_t { Device = 1, Configuration = 2, String = 3 };
    const auto index = static_cast<uint8_t>(setup.value & 0xff);
    switch (setup.value >> 8) {
    case Device:
        return copyOut(ft232r::deviceDescriptor(), data, setup.length);
    case Configuration:
        return index == 0 ? copyOut(ft232r::configurationDescriptor(), data, setup.length) : -1;
    case String:
        switch (index) {
        case ft232r::Languages:
            return copyOut(ft232r::stringDescriptor(index, {}), data, setup.length);
        case ft232r::Manufacturer:
            return copyOut(ft232r::stringDescriptor(index, "FTDI"), data, setup.length);
        case ft232r::Product:
            return copyOut(ft232r::stringDescriptor(index, module_->description()), data,
                           setup.length);
        case ft232r::Serial:
            return copyOut(ft232r::stringDescriptor(index, serial_), data, setup.length);
        default:
            return -1;
        }
    default:
        return -1;
    }
}

int EmulatedFt232r::vendorRequest(const Setup &setup, uint8_t *data)
{
    enum : uint8_t { ReadPins = 0x0c, ReadEeprom = 0x90 };
    sioRequests_.push_back({setup.request, setup.value, setup.index});
    if (const SetupStep step = stepOf(setup.request, setup.value);
        step != SetupStep::None && module_->setupFails(step))
        return -1;
    switch (setup.request) {
    case SioReset:
        // The chip's own view: 1 empties what the host sent, 2 what it holds for the host.
        if (moduleOpen_)
            module_->purge(setup.value != 1, setup.value != 2);
        return 0;
    case SioSetLatencyTimer:
        if ((setup.value & 0xff) == 0)
            return -1;
        latencyMs_ = static_cast<uint8_t>(setup.value & 0xff);
        return 0;
    case SioGetLatencyTimer:
        return copyOut({latencyMs_}, data, setup.length);
    case SioPollModemStatus:
        return copyOut({ft232r::ModemStatus[0], ft232r::ModemStatus[1]}, data, setup.length);
    case ReadPins:
        return copyOut({0xff}, data, setup.length);
    case ReadEeprom:
        return copyOut({0xff, 0xff}, data, setup.length); // a blank EEPROM
    case SioModemControl:
    case SioSetFlowControl:
    case SioSetBaudRate:
    case SioSetData:
    case 6: // event character
    case 7: // error character
    case 0x0b: // bit mode
        return 0;
    default:
        return -1;
    }
}

std::vector<EmulatedFt232r::SioRequest> EmulatedFt232r::sioRequests() const
{
    std::lock_guard lock(mutex_);
    return sioRequests_;
}

uint64_t EmulatedFt232r::bytesToHost() const
{
    std::lock_guard lock(mutex_);
    return bytesToHost_;
}

double EmulatedFt232r::baudRate(uint16_t value, uint16_t index)
{
    // Eighths of the divisor, in the order the chip numbers them.
    static constexpr double Fractions[8] = {0, 0.5, 0.25, 0.125, 0.375, 0.625, 0.75, 0.875};
    const unsigned code = (value >> 14) | ((index & 1u) << 2);
    const double divisor = (value & 0x3fff) + Fractions[code];
    if (divisor == 0)
        return 3'000'000;
    if (divisor == 1)
        return 2'000'000;
    return 3'000'000 / divisor;
}

} // namespace testsupport
