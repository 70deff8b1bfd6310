#ifndef DRIVER_DRIVERSTATE_H
#define DRIVER_DRIVERSTATE_H

#include <array>
#include <atomic>
#include <cstdint>
#include <memory>
#include <vector>

#include "driver/include/hxrdrv.h"
#include "driver/receiveclaim.h"
#include "platform/ftd2xx/ftd2xx.h"

namespace driver {

class Delivery;
class Reader;

constexpr int MaxDevices = 4;

// The library's state, one copy per process. The exports run on one thread at a time (the
// owner's); what the reader or the delivery side also reads is atomic.
struct DriverState
{
    DriverState();
    ~DriverState();
    DriverState(const DriverState &) = delete;
    DriverState &operator=(const DriverState &) = delete;

    std::atomic<int32_t> portOpen{0};
    std::atomic<int32_t> openDeviceCount{0};
    std::atomic<int32_t> stopReaders{0};
    std::atomic<int32_t> ownerThreadId{0};
    std::atomic<HXRReadingProc> callback{nullptr};
    std::atomic<float> streamGain{0.0f};
    std::atomic<float> streamOffset{0.0f};
    // Set while an export works on the port; see exports.cpp.
    std::atomic<bool> portBusy{false};
    // Slots 1 to openDeviceCount; an empty slot (nullptr) is counted but takes no commands.
    std::array<std::atomic<FT_HANDLE>, MaxDevices + 1> deviceHandles{};
    // Slot 1's receive queue, held by a command while it waits for its reply.
    ReceiveClaim receiveClaim;

    // The delivery objects made so far, one per owner thread and each kept until unload.
    std::vector<std::unique_ptr<Delivery>> deliveries;
    Delivery *callbackWindow = nullptr;
    std::unique_ptr<Reader> reader;
};

// Made on first use, so it goes before the USB layer's own state at process exit.
DriverState &driverState();

} // namespace driver

#endif
