#include "platform/ftd2xx/backend.h"

#include <limits>
#include <memory>
#include <string>

#include <gmock/gmock.h>

#include "platform/ftd2xx/ftd2xx.h"

namespace {

using namespace platform::ftd2xx;

// No module is attached where the tests run, so these go as far as the bus listing: an index the
// bus does not have (a module unplugged since it was counted) is never opened and leaves nothing
// behind. With real modules attached the indices past the count still hold.
TEST(UsbBackend, IndexPastTheBusIsNotFound)
{
    const auto backend = makeUsbBackend();
    EXPECT_FALSE(backend->isSimulated());
    uint32_t count = 99;
    ASSERT_EQ(backend->deviceCount(count), FT_OK);

    for (const uint32_t index : {count, count + 1, std::numeric_limits<uint32_t>::max()}) {
        std::string text = "stale";
        EXPECT_EQ(backend->description(index, text), FT_DEVICE_NOT_FOUND) << index;
        EXPECT_EQ(text, "");
        EXPECT_EQ(backend->serialNumber(index, text), FT_DEVICE_NOT_FOUND) << index;
        std::unique_ptr<Device> device;
        EXPECT_EQ(backend->open(index, device), FT_DEVICE_NOT_FOUND) << index;
        EXPECT_EQ(device, nullptr);
    }
}

TEST(UsbBackend, EmptyBusThroughTheDriverCalls)
{
    setActiveBackend(makeUsbBackend());
    uint32_t count = 99;
    ASSERT_EQ(FT_ListDevices(&count, nullptr, FT_LIST_NUMBER_ONLY), FT_OK);
    if (count != 0)
        GTEST_SKIP() << "USB serial chips are attached";

    char description[FT_DESCRIPTION_SIZE] = "x";
    EXPECT_EQ(FT_ListDevices(nullptr, description, FT_LIST_BY_INDEX | FT_OPEN_BY_DESCRIPTION),
              FT_DEVICE_NOT_FOUND);
    FT_HANDLE handle = reinterpret_cast<FT_HANDLE>(1);
    EXPECT_EQ(FT_Open(0, &handle), FT_DEVICE_NOT_FOUND);
    EXPECT_EQ(handle, nullptr);
    EXPECT_EQ(FT_Close(handle), FT_INVALID_HANDLE);
    setActiveBackend(nullptr);
}

} // namespace
