#ifndef TESTS_SUPPORT_USBEMULATOR_H
#define TESTS_SUPPORT_USBEMULATOR_H

// A USB bus with one emulated FT232R for every simulated module of the process (umockdev): the
// real libusb and libftdi1 find, open and drive the chips through the kernel's usbdevfs
// interface. The chips follow their modules' "unplugged" fault: an unplugged module's chip
// leaves the bus with a remove event, a plugged-in one comes back as a new device.
//
// While an emulator exists, every process that runs under umockdev's preload library with
// UMOCKDEV_DIR = rootDirectory() sees its bus instead of the real one: this process too, when it
// was started under the preload (see inMockEnvironment()).

#include <condition_variable>
#include <memory>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

#include "tests/support/emulatedft232r.h"

typedef struct _UMockdevTestbed UMockdevTestbed;
typedef struct _UMockdevIoctlBase UMockdevIoctlBase;

namespace platform::ftd2xx::sim {
class SimDevice;
}

namespace testsupport {

class UsbEmulator
{
public:
    // How often the chips look at their modules' faults (and at HXR_SIM_CONTROL).
    static constexpr std::chrono::milliseconds FollowPeriod{10};

    // Puts the chips of the simulated modules there are now on the bus.
    UsbEmulator();
    ~UsbEmulator();
    UsbEmulator(const UsbEmulator &) = delete;
    UsbEmulator &operator=(const UsbEmulator &) = delete;

    // True when this process runs under umockdev's preload library and sees an emulated bus.
    static bool inMockEnvironment();
    // LD_PRELOAD for a process that is to see the emulated bus: umockdev's library, after the
    // AddressSanitizer runtime when this program has one (it must come first), before what
    // LD_PRELOAD held already.
    static std::string preloadList();

    std::string rootDirectory() const;
    // Plugs the chips in or out to match their modules now, rather than within FollowPeriod.
    void followModules();
    // The SIO requests the chip of a module (numbered from 0) has taken since it was plugged in.
    std::vector<EmulatedFt232r::SioRequest> sioRequests(int module) const;
    // Serial bytes the chips of a module have handed to the host, unplugged ones included.
    uint64_t bytesToHost(int module) const;
    // How many chips have been on the bus, unplugged ones included.
    int chipsMade() const;

private:
    struct Slot
    {
        std::shared_ptr<platform::ftd2xx::sim::SimDevice> module;
        EmulatedFt232r *chip = nullptr; // on the bus now, else null
        std::vector<const EmulatedFt232r *> chips; // every one the module has had
        std::string sysPath;
    };
    struct Attached
    {
        std::unique_ptr<EmulatedFt232r> chip;
        UMockdevIoctlBase *handler;
        std::string node;
    };

    void plugLocked(Slot &slot);
    void releaseBus();
    void unplugLocked(Slot &slot);
    void watch();

    UMockdevTestbed *testbed_;
    mutable std::mutex mutex_;
    std::vector<Slot> slots_;
    std::vector<Attached> attached_; // every chip made, kept until the testbed is gone
    int nextAddress_ = 2;
    std::condition_variable stop_;
    bool stopping_ = false;
    std::thread watcher_;
};

} // namespace testsupport

#endif
