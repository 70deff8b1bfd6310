#include "platform/ftd2xx/backend.h"

namespace platform::ftd2xx {

namespace {

// Placeholder until the libftdi1 back-end lands: no devices.
class EmptyBackend final : public Backend
{
public:
    FT_STATUS deviceCount(uint32_t &count) override
    {
        count = 0;
        return FT_OK;
    }
    FT_STATUS description(uint32_t, std::string &) override { return FT_DEVICE_NOT_FOUND; }
    FT_STATUS serialNumber(uint32_t, std::string &) override { return FT_DEVICE_NOT_FOUND; }
    FT_STATUS open(uint32_t, std::unique_ptr<Device> &) override { return FT_DEVICE_NOT_FOUND; }
    bool isSimulated() const override { return false; }
};

} // namespace

std::unique_ptr<Backend> makeUsbBackend() { return std::make_unique<EmptyBackend>(); }

} // namespace platform::ftd2xx
