#include "platform/ftd2xx/backend.h"

#include <memory>
#include <string>

#include "platform/ftd2xx/sim/simdevice.h"
#include "platform/ftd2xx/sim/simmodule.h"

namespace platform::ftd2xx {

namespace {

using sim::SetupStep;
using sim::SimDevice;

// An open handle on a simulated module; closing the handle frees the module for the next open.
class SimHandle final : public Device
{
public:
    explicit SimHandle(std::shared_ptr<SimDevice> device)
        : device_(std::move(device)), plugCount_(device_->plugCount())
    {}
    ~SimHandle() override
    {
        device_->setArrivalNotice({});
        device_->close();
    }

    FT_STATUS setBaudRate(uint32_t) override { return step(SetupStep::BaudRate); }
    FT_STATUS setDataCharacteristics(uint8_t, uint8_t, uint8_t) override
    {
        return step(SetupStep::DataCharacteristics);
    }
    FT_STATUS setFlowControl(uint16_t, uint8_t, uint8_t) override
    {
        return step(SetupStep::FlowControl);
    }
    FT_STATUS setLatencyTimer(uint8_t) override { return step(SetupStep::LatencyTimer); }

    FT_STATUS write(const void *buffer, uint32_t length, uint32_t &written) override
    {
        if (!present())
            return FT_IO_ERROR;
        device_->receive(static_cast<const uint8_t *>(buffer), length);
        written = length;
        return FT_OK;
    }
    FT_STATUS read(void *buffer, uint32_t wanted, uint32_t &returned) override
    {
        if (!present())
            return FT_IO_ERROR;
        returned = static_cast<uint32_t>(device_->take(static_cast<uint8_t *>(buffer), wanted));
        return FT_OK;
    }
    FT_STATUS queueStatus(uint32_t &rxBytes) override
    {
        if (!present())
            return FT_IO_ERROR;
        rxBytes = static_cast<uint32_t>(device_->queued());
        return FT_OK;
    }
    FT_STATUS purge(uint32_t mask) override
    {
        device_->purge((mask & FT_PURGE_RX) != 0, (mask & FT_PURGE_TX) != 0);
        return FT_OK;
    }
    FT_STATUS setReceiveNotice(std::function<void()> notice) override
    {
        device_->setArrivalNotice(std::move(notice));
        return FT_OK;
    }

private:
    // Fault changes from the control file are taken up here too, while a handle is open.
    bool present() const
    {
        sim::followControlFile();
        return !device_->unplugged() && device_->plugCount() == plugCount_;
    }

    FT_STATUS step(SetupStep which) const
    {
        return device_->setupFails(which) ? FT_IO_ERROR : FT_OK;
    }

    std::shared_ptr<SimDevice> device_;
    const uint64_t plugCount_;
};

class SimBackend final : public Backend
{
public:
    FT_STATUS deviceCount(uint32_t &count) override
    {
        count = static_cast<uint32_t>(sim::deviceCount());
        return FT_OK;
    }
    FT_STATUS description(uint32_t index, std::string &text) override
    {
        const auto device = sim::deviceAt(index);
        if (!device)
            return FT_DEVICE_NOT_FOUND;
        text = device->description();
        return FT_OK;
    }
    FT_STATUS serialNumber(uint32_t index, std::string &text) override
    {
        if (!sim::deviceAt(index))
            return FT_DEVICE_NOT_FOUND;
        // The USB chip's own serial, not the module's: fixed per bus position.
        text = "SIM" + std::to_string(1001 + index);
        return FT_OK;
    }
    FT_STATUS open(uint32_t index, std::unique_ptr<Device> &device) override
    {
        auto found = sim::deviceAt(index);
        if (!found)
            return FT_DEVICE_NOT_FOUND;
        if (!found->open())
            return FT_DEVICE_NOT_OPENED;
        device = std::make_unique<SimHandle>(std::move(found));
        return FT_OK;
    }
    bool isSimulated() const override { return true; }
};

} // namespace

std::unique_ptr<Backend> makeSimBackend()
{
    return std::make_unique<SimBackend>();
}

} // namespace platform::ftd2xx
