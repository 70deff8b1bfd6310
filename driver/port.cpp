#include "driver/port.h"

#include <array>
#include <cstring>
#include <memory>
#include <string>

#include <QThread>

#include <unistd.h>

#include "driver/delivery.h"
#include "driver/driverstate.h"
#include "driver/reader.h"
#include "platform/ftd2xx/ftd2xx.h"

namespace driver {

namespace {

constexpr uint32_t BaudRate = 921600;
constexpr uint8_t LatencyMs = 1;

// The delivery object of the calling thread made by an earlier OPENPORT, if that thread still
// owns it (identifiers of ended threads come back).
Delivery *findCallbackWindow(DriverState &state, int32_t threadId)
{
    for (auto it = state.deliveries.rbegin(); it != state.deliveries.rend(); ++it) {
        Delivery &delivery = **it;
        if (delivery.threadId() == threadId && delivery.thread() == QThread::currentThread())
            return &delivery;
    }
    return nullptr;
}

void startReader(DriverState &state)
{
    const int32_t threadId = currentThreadId();
    state.ownerThreadId = threadId;
    Delivery *delivery = findCallbackWindow(state, threadId);
    if (!delivery)
        delivery = &createCallbackWindow(state, threadId);
    state.callbackWindow = delivery;
    delivery->reopen();
    const Reader::Sources sources{&state.deviceHandles[1], &state.stopReaders,  &state.portOpen,
                                  &state.streamGain,       &state.streamOffset, &state.callback,
                                  &state.receiveClaim};
    state.reader = std::make_unique<Reader>(sources, *delivery);
}

std::string descriptionOf(uint32_t index)
{
    std::array<char, 256> text{};
    FT_ListDevices(reinterpret_cast<void *>(static_cast<uintptr_t>(index)), text.data(),
                   FT_LIST_BY_INDEX | FT_OPEN_BY_DESCRIPTION);
    text.back() = '\0';
    return text.data();
}

// Opens and configures device `index`; nullptr when any step fails (the handle is closed again).
FT_HANDLE openDevice(uint32_t index)
{
    FT_HANDLE handle = nullptr;
    if (FT_Open(static_cast<int>(index), &handle) != FT_OK)
        return nullptr;
    const bool ready =
        FT_SetBaudRate(handle, BaudRate) == FT_OK &&
        FT_SetDataCharacteristics(handle, FT_BITS_8, FT_STOP_BITS_1, FT_PARITY_NONE) == FT_OK &&
        FT_SetFlowControl(handle, FT_FLOW_NONE, 0, 0) == FT_OK &&
        FT_SetLatencyTimer(handle, LatencyMs) == FT_OK;
    if (ready)
        return handle;
    FT_Close(handle);
    return nullptr;
}

// Fills the slots; false when a fifth device ends the scan.
bool scanDevices(DriverState &state, uint32_t count)
{
    for (uint32_t index = 0; index < count; ++index) {
        if (descriptionOf(index) != "HXR")
            continue;
        const int32_t slot = state.openDeviceCount + 1;
        if (slot > MaxDevices)
            return false;
        state.openDeviceCount = slot;
        state.deviceHandles[slot] = openDevice(index);
    }
    return true;
}

} // namespace

int32_t currentThreadId()
{
    return static_cast<int32_t>(gettid());
}

Delivery &createCallbackWindow(DriverState &state, int32_t threadId)
{
    const Delivery::Target target{&state.callback, &state.stopReaders};
    state.deliveries.push_back(std::make_unique<Delivery>(threadId, target));
    return *state.deliveries.back();
}

void openPort(DriverState &state)
{
    closePort(state);
    state.stopReaders = 0;
    startReader(state);

    uint32_t count = 0;
    if (FT_ListDevices(&count, nullptr, FT_LIST_NUMBER_ONLY) != FT_OK)
        return;
    if (scanDevices(state, count))
        state.portOpen = 1;
}

void closePort(DriverState &state)
{
    state.stopReaders = 1;
    state.portOpen = 0;
    if (state.callbackWindow)
        state.callbackWindow->cancel();
    if (state.reader) {
        state.reader->join();
        state.reader.reset();
    }
    for (int slot = 1; slot <= MaxDevices; ++slot) {
        if (const FT_HANDLE handle = state.deviceHandles[slot].exchange(nullptr))
            FT_Close(handle);
    }
    state.openDeviceCount = 0;
}

} // namespace driver
