#ifndef TESTS_SUPPORT_EMULATEDFT232R_H
#define TESTS_SUPPORT_EMULATEDFT232R_H

// One FT232R on an emulated USB bus, answering the kernel's usbdevfs ioctls that libusb sends to
// its device node. Its serial side is a simulated module: host bytes go to the module, the
// module's replies and stream come back in bulk IN packets the way the chip sends them (two
// modem-status bytes, then up to 62 data bytes; a transfer ends with a short packet once the
// latency timer runs out or the transfer is full). A set-up step the module is told to fail
// stalls the vendor request that carries it.

#include <chrono>
#include <cstdint>
#include <deque>
#include <memory>
#include <mutex>
#include <string>
#include <vector>

typedef struct _UMockdevIoctlClient UMockdevIoctlClient;
typedef struct _UMockdevIoctlData UMockdevIoctlData;

namespace platform::ftd2xx::sim {
class SimDevice;
}

namespace testsupport {

class EmulatedFt232r
{
public:
    // A vendor (SIO) request as the host sent it, for tests to check the chip's set-up.
    struct SioRequest
    {
        uint8_t request;
        uint16_t value;
        uint16_t index;
        friend bool operator==(const SioRequest &, const SioRequest &) = default;
    };
    static constexpr uint8_t SioReset = 0, SioModemControl = 1, SioSetFlowControl = 2,
                             SioSetBaudRate = 3, SioSetData = 4, SioPollModemStatus = 5,
                             SioSetLatencyTimer = 9, SioGetLatencyTimer = 10;
    // An empty reap waits this long for a transfer to end before answering "nothing yet": the
    // device node never makes libusb wait, so without it libusb spins on the reaps. It waits
    // for a transfer's latency timer, but never longer than LongestReapPause, since umockdev
    // serves every chip's ioctls from one thread.
    static constexpr std::chrono::microseconds EmptyReapPause{300};
    static constexpr std::chrono::microseconds LongestReapPause{2000};

    EmulatedFt232r(std::shared_ptr<platform::ftd2xx::sim::SimDevice> module, std::string serial);
    ~EmulatedFt232r();
    EmulatedFt232r(const EmulatedFt232r &) = delete;
    EmulatedFt232r &operator=(const EmulatedFt232r &) = delete;

    // Answers one ioctl of a client of the device node (umockdev's worker thread).
    void handleIoctl(UMockdevIoctlClient *client);
    // The client closed the node: its claim and its transfers end.
    void clientVanished();
    // The chip leaves the bus: transfers in flight end with ENODEV, every later call fails so.
    void unplug();

    std::vector<SioRequest> sioRequests() const;
    // Serial bytes handed to the host in bulk IN packets (modem status not counted).
    uint64_t bytesToHost() const;
    // The baud rate the chip runs at after the host's last SIO_SET_BAUDRATE (FT232R divisors).
    static double baudRate(uint16_t value, uint16_t index);

private:
    struct Setup
    {
        uint8_t requestType;
        uint8_t request;
        uint16_t value;
        uint16_t index;
        uint16_t length;
    };
    struct Urb
    {
        UMockdevIoctlData *data; // one reference held until the URB is reaped
        std::chrono::steady_clock::time_point since;
    };

    void reap(UMockdevIoctlClient *client, UMockdevIoctlData *arg);
    bool takeCompletedLocked(UMockdevIoctlClient *client, UMockdevIoctlData *arg);
    std::chrono::microseconds pauseBeforeNextLookLocked() const;
    void submit(UMockdevIoctlClient *client, UMockdevIoctlData *arg);
    void discard(UMockdevIoctlClient *client, UMockdevIoctlData *arg);
    void controlIoctl(UMockdevIoctlClient *client, UMockdevIoctlData *arg);
    void answerDriverQueries(UMockdevIoctlClient *client, unsigned long request,
                             UMockdevIoctlData *arg);
    int claim(unsigned interface);
    void releaseLocked();
    void fillInTransfersLocked();
    size_t fillPackets(uint8_t *buffer, size_t length);
    // Bytes the host gets back for a control request, or -1 for a stall.
    int control(const Setup &setup, uint8_t *data);
    int standardRequest(const Setup &setup, uint8_t *data);
    int vendorRequest(const Setup &setup, uint8_t *data);
    int describe(const Setup &setup, uint8_t *data) const;
    void dropUrbsLocked();

    const std::shared_ptr<platform::ftd2xx::sim::SimDevice> module_;
    const std::string serial_;
    mutable std::mutex mutex_;
    bool unplugged_ = false;
    bool claimed_ = false;
    bool moduleOpen_ = false;
    bool kernelDriverBound_ = true; // the serial driver holds the chip until the host detaches it
    uint8_t latencyMs_ = 16;
    std::deque<Urb> inTransfers_; // bulk IN, waiting for data or the latency timer
    std::deque<Urb> completed_;   // ready to be reaped, oldest first
    std::vector<SioRequest> sioRequests_;
    uint64_t bytesToHost_ = 0;
};

} // namespace testsupport

#endif
