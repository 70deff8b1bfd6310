#ifndef TESTS_SUPPORT_FT232RDESCRIPTORS_H
#define TESTS_SUPPORT_FT232RDESCRIPTORS_H

// What an FT232R tells the host about itself: its device and configuration descriptors and its
// string descriptors, as raw little-endian bytes.

#include <cstdint>
#include <string>
#include <vector>

namespace testsupport::ft232r {

inline constexpr uint16_t VendorId = 0x0403;
inline constexpr uint16_t ProductId = 0x6001;
inline constexpr uint16_t DeviceRelease = 0x0600; // bcdDevice of an FT232R
inline constexpr uint8_t BulkIn = 0x81;
inline constexpr uint8_t BulkOut = 0x02;
inline constexpr int PacketSize = 64;
// Every bulk IN packet starts with the two modem-status bytes.
inline constexpr uint8_t ModemStatus[2] = {0x01, 0x60};

enum StringIndex : uint8_t { Languages = 0, Manufacturer = 1, Product = 2, Serial = 3 };

std::vector<uint8_t> deviceDescriptor();
// The whole configuration: configuration, interface and the two bulk endpoints.
std::vector<uint8_t> configurationDescriptor();
// The sysfs "descriptors" attribute: the device descriptor, then the whole configuration.
std::vector<uint8_t> sysfsDescriptors();
// String descriptor `index` (0: the language list) holding `text` as UTF-16LE.
std::vector<uint8_t> stringDescriptor(uint8_t index, const std::string &text);

} // namespace testsupport::ft232r

#endif
