#include "platform/ftd2xx/ftd2xx.h"

#include <cstdlib>
#include <cstring>
#include <functional>
#include <map>
#include <memory>
#include <mutex>
#include <string>

#include "platform/ftd2xx/backend.h"

namespace platform::ftd2xx {

namespace {

std::mutex tableMutex;
std::unique_ptr<Backend> backend;
// Open devices by handle. A call holds its own reference, so a close from another thread never
// destroys a device under a call that is still running.
std::map<uintptr_t, std::shared_ptr<Device>> openDevices;
uintptr_t nextHandle = 0x1000;

std::shared_ptr<Device> deviceFor(FT_HANDLE handle)
{
    std::lock_guard lock(tableMutex);
    const auto found = openDevices.find(reinterpret_cast<uintptr_t>(handle));
    return found == openDevices.end() ? nullptr : found->second;
}

std::unique_ptr<Backend> backendFromEnvironment()
{
    const char *choice = std::getenv("HXR_FTDI");
    if (choice && std::strcmp(choice, "sim") == 0)
        return makeSimBackend();
    return makeUsbBackend();
}

Backend &backendLocked()
{
    if (!backend)
        backend = backendFromEnvironment();
    return *backend;
}

} // namespace

Backend &activeBackend()
{
    std::lock_guard lock(tableMutex);
    return backendLocked();
}

void setActiveBackend(std::unique_ptr<Backend> next)
{
    std::lock_guard lock(tableMutex);
    backend = std::move(next);
}

} // namespace platform::ftd2xx

using platform::ftd2xx::activeBackend;
using platform::ftd2xx::deviceFor;

FT_STATUS FT_ListDevices(void *arg1, void *arg2, uint32_t flags)
{
    auto &source = activeBackend();
    if (flags & FT_LIST_NUMBER_ONLY) {
        if (!arg1)
            return FT_INVALID_PARAMETER;
        return source.deviceCount(*static_cast<uint32_t *>(arg1));
    }
    if ((flags & FT_LIST_BY_INDEX) && arg2) {
        const auto index = static_cast<uint32_t>(reinterpret_cast<uintptr_t>(arg1));
        // A failed look-up leaves an empty text, never the previous device's.
        static_cast<char *>(arg2)[0] = '\0';
        std::string text;
        const FT_STATUS status = (flags & FT_OPEN_BY_SERIAL_NUMBER)
                                     ? source.serialNumber(index, text)
                                     : source.description(index, text);
        if (status != FT_OK)
            return status;
        const size_t length = std::min<size_t>(text.size(), FT_DESCRIPTION_SIZE - 1);
        std::memcpy(arg2, text.data(), length);
        static_cast<char *>(arg2)[length] = '\0';
        return FT_OK;
    }
    return FT_INVALID_PARAMETER;
}

FT_STATUS FT_Open(int deviceNumber, FT_HANDLE *handle)
{
    if (!handle || deviceNumber < 0)
        return FT_INVALID_PARAMETER;
    *handle = nullptr;
    std::unique_ptr<platform::ftd2xx::Device> device;
    const FT_STATUS status = activeBackend().open(static_cast<uint32_t>(deviceNumber), device);
    if (status != FT_OK)
        return status;
    if (!device)
        return FT_DEVICE_NOT_OPENED;
    std::lock_guard lock(platform::ftd2xx::tableMutex);
    const uintptr_t key = platform::ftd2xx::nextHandle++;
    platform::ftd2xx::openDevices.emplace(key, std::move(device));
    *handle = reinterpret_cast<FT_HANDLE>(key);
    return FT_OK;
}

FT_STATUS FT_Close(FT_HANDLE handle)
{
    std::shared_ptr<platform::ftd2xx::Device> closing;
    {
        std::lock_guard lock(platform::ftd2xx::tableMutex);
        const auto found = platform::ftd2xx::openDevices.find(reinterpret_cast<uintptr_t>(handle));
        if (found == platform::ftd2xx::openDevices.end())
            return FT_INVALID_HANDLE;
        closing = std::move(found->second);
        platform::ftd2xx::openDevices.erase(found);
    }
    return FT_OK; // the device closes when the last running call lets go of it
}

#define HXR_WITH_DEVICE(handle, call)                                                              \
    do {                                                                                           \
        const auto device = deviceFor(handle);                                                     \
        if (!device)                                                                               \
            return FT_INVALID_HANDLE;                                                              \
        return device->call;                                                                       \
    } while (false)

FT_STATUS FT_SetBaudRate(FT_HANDLE handle, uint32_t baudRate)
{
    HXR_WITH_DEVICE(handle, setBaudRate(baudRate));
}

FT_STATUS FT_SetDataCharacteristics(FT_HANDLE handle, uint8_t wordLength, uint8_t stopBits,
                                    uint8_t parity)
{
    HXR_WITH_DEVICE(handle, setDataCharacteristics(wordLength, stopBits, parity));
}

FT_STATUS FT_SetFlowControl(FT_HANDLE handle, uint16_t flowControl, uint8_t xon, uint8_t xoff)
{
    HXR_WITH_DEVICE(handle, setFlowControl(flowControl, xon, xoff));
}

FT_STATUS FT_SetLatencyTimer(FT_HANDLE handle, uint8_t milliseconds)
{
    HXR_WITH_DEVICE(handle, setLatencyTimer(milliseconds));
}

FT_STATUS FT_Write(FT_HANDLE handle, const void *buffer, uint32_t bytesToWrite,
                   uint32_t *bytesWritten)
{
    if (!bytesWritten || (!buffer && bytesToWrite > 0))
        return FT_INVALID_PARAMETER;
    *bytesWritten = 0;
    HXR_WITH_DEVICE(handle, write(buffer, bytesToWrite, *bytesWritten));
}

FT_STATUS FT_Read(FT_HANDLE handle, void *buffer, uint32_t bytesToRead, uint32_t *bytesReturned)
{
    if (!bytesReturned || (!buffer && bytesToRead > 0))
        return FT_INVALID_PARAMETER;
    *bytesReturned = 0;
    HXR_WITH_DEVICE(handle, read(buffer, bytesToRead, *bytesReturned));
}

FT_STATUS FT_GetQueueStatus(FT_HANDLE handle, uint32_t *rxBytes)
{
    if (!rxBytes)
        return FT_INVALID_PARAMETER;
    *rxBytes = 0;
    HXR_WITH_DEVICE(handle, queueStatus(*rxBytes));
}

FT_STATUS FT_Purge(FT_HANDLE handle, uint32_t mask)
{
    HXR_WITH_DEVICE(handle, purge(mask));
}

FT_STATUS FT_SetEventNotification(FT_HANDLE handle, uint32_t mask, FT_EVENT_CALLBACK notify,
                                  void *context)
{
    if ((mask & FT_EVENT_RXCHAR) && !notify)
        return FT_INVALID_PARAMETER;
    std::function<void()> notice;
    if (mask & FT_EVENT_RXCHAR)
        notice = [notify, context] { notify(context); };
    HXR_WITH_DEVICE(handle, setReceiveNotice(std::move(notice)));
}
