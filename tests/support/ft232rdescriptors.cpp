#include "tests/support/ft232rdescriptors.h"

#include <algorithm>

namespace testsupport::ft232r {

namespace {

void appendWord(std::vector<uint8_t> &bytes, uint16_t word)
{
    bytes.push_back(static_cast<uint8_t>(word & 0xff));
    bytes.push_back(static_cast<uint8_t>(word >> 8));
}

} // namespace

std::vector<uint8_t> deviceDescriptor()
{
    std::vector<uint8_t> bytes{18, 0x01};
    appendWord(bytes, 0x0200); // USB 2.0
    bytes.insert(bytes.end(), {0x00, 0x00, 0x00, 8}); // class in the interface; EP0 of 8 bytes
    appendWord(bytes, VendorId);
    appendWord(bytes, ProductId);
    appendWord(bytes, DeviceRelease);
    bytes.insert(bytes.end(), {Manufacturer, Product, Serial, 1});
    return bytes;
}

std::vector<uint8_t> configurationDescriptor()
{
    const auto endpoint = [](std::vector<uint8_t> &bytes, uint8_t address) {
        bytes.insert(bytes.end(), {7, 0x05, address, 0x02}); // bulk
        appendWord(bytes, PacketSize);
        bytes.push_back(0);
    };
    std::vector<uint8_t> bytes{9, 0x02, 0, 0, 1, 1, 0, 0xa0, 45}; // bus powered, 90 mA
    bytes.insert(bytes.end(), {9, 0x04, 0, 0, 2, 0xff, 0xff, 0xff, Product});
    endpoint(bytes, BulkIn);
    endpoint(bytes, BulkOut);
    bytes[2] = static_cast<uint8_t>(bytes.size());
    return bytes;
}

std::vector<uint8_t> sysfsDescriptors()
{
    std::vector<uint8_t> bytes = deviceDescriptor();
    const std::vector<uint8_t> configuration = configurationDescriptor();
    bytes.insert(bytes.end(), configuration.begin(), configuration.end());
    return bytes;
}

std::vector<uint8_t> stringDescriptor(uint8_t index, const std::string &text)
{
    std::vector<uint8_t> bytes{0, 0x03};
    if (index == Languages) {
        appendWord(bytes, 0x0409); // US English
    } else {
        // A descriptor holds at most 126 characters; ours are ASCII.
        const size_t length = std::min<size_t>(text.size(), 126);
        for (size_t i = 0; i < length; ++i)
            appendWord(bytes, static_cast<uint8_t>(text[i]));
    }
    bytes[0] = static_cast<uint8_t>(bytes.size());
    return bytes;
}

} // namespace testsupport::ft232r
