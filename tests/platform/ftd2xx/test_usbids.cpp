#include "platform/ftd2xx/usbids.h"

#include <fstream>
#include <regex>
#include <set>
#include <string>
#include <utility>

#include <gmock/gmock.h>

namespace {

using platform::ftd2xx::ModuleUsbIds;
using platform::ftd2xx::UsbId;

// The one shape a line of the rule may have: a USB device with one pair of numbers (lower-case
// hex, as sysfs writes them) is tagged for the local seat, and nothing else is granted (no mode,
// owner or group that would open it to other users).
const std::regex RuleLine(R"re(SUBSYSTEM=="usb", ENV\{DEVTYPE\}=="usb_device", )re"
                          R"re(ATTR\{idVendor\}=="([0-9a-f]{4})", )re"
                          R"re(ATTR\{idProduct\}=="([0-9a-f]{4})", TAG\+="uaccess")re");

TEST(UsbIds, TheUdevRuleGrantsTheSeatExactlyTheNumbersTheBusListingLooksFor)
{
    std::ifstream rule(HXR_SOURCE_DIR "/resources/70-hxr-module.rules");
    ASSERT_TRUE(rule.is_open());
    std::set<std::pair<unsigned long, unsigned long>> granted;
    std::string line;
    while (std::getline(rule, line)) {
        if (line.empty() || line.front() == '#')
            continue;
        std::smatch numbers;
        ASSERT_TRUE(std::regex_match(line, numbers, RuleLine)) << line;
        const auto vendor = std::stoul(numbers[1], nullptr, 16);
        const auto product = std::stoul(numbers[2], nullptr, 16);
        EXPECT_TRUE(granted.emplace(vendor, product).second) << "twice: " << line;
    }

    std::set<std::pair<unsigned long, unsigned long>> listed;
    for (const UsbId &id : ModuleUsbIds)
        listed.emplace(id.vendor, id.product);
    EXPECT_EQ(listed.size(), ModuleUsbIds.size()) << "a number listed twice";
    EXPECT_EQ(granted, listed);
}

} // namespace
