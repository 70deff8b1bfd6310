#include "driver/reader.h"

#include <algorithm>
#include <chrono>

#include "driver/delivery.h"
#include "driver/receiveclaim.h"

namespace driver {

namespace {

constexpr auto PollInterval = std::chrono::milliseconds(10);

bool readSucceeded(FT_STATUS status)
{
    return status == FT_OK || status == FT_IO_ERROR;
}

} // namespace

Reader::Reader(Sources sources, Delivery &delivery) : sources_(sources), delivery_(delivery)
{
    batch_.reserve(1024);
    thread_ = std::thread([this] { run(); });
}

Reader::~Reader()
{
    join();
}

void Reader::join()
{
    if (thread_.joinable())
        thread_.join();
}

void Reader::run()
{
    while (sources_.stop->load() == 0) {
        pass();
        std::this_thread::sleep_for(PollInterval);
    }
}

void Reader::pass()
{
    const FT_HANDLE device = sources_.device->load();
    if (!device)
        return;
    uint32_t received = 0;
    sources_.claim->unlessClaimed([&] { received = take(device); });
    if (received == 0)
        return;
    const Scaling scaling{sources_.gain->load(), sources_.offset->load(),
                          sources_.procedure->load() != nullptr && sources_.portOpen->load() != 0};
    decoder_.commit(received, scaling, batch_);
    if (!batch_.empty())
        delivery_.handOver(batch_);
    batch_.clear();
}

uint32_t Reader::take(FT_HANDLE device)
{
    uint32_t queued = 0;
    FT_GetQueueStatus(device, &queued);
    if (queued <= ReadThreshold)
        return 0;
    const auto wanted = static_cast<uint32_t>(std::min<size_t>(queued, decoder_.freeRoom()));
    uint32_t received = 0;
    const FT_STATUS status = FT_Read(device, decoder_.writeArea(), wanted, &received);
    return readSucceeded(status) ? received : 0;
}

} // namespace driver
