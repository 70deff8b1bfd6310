#include "app/analysis/csvblocks.h"

#include <algorithm>
#include <system_error>
#include <thread>

#include "app/analysis/csvline.h"

namespace app::analysis {

namespace {

constexpr int MaxHelpers = 8;
constexpr int32_t BlocksPerHelper = 4; // a round's share, enough to keep a helper busy

int helperCount(int32_t blocks)
{
    const int cores = static_cast<int>(std::thread::hardware_concurrency());
    return std::clamp(std::min(cores, MaxHelpers), 1, std::max(blocks, 1));
}

} // namespace

CsvBlocks::CsvBlocks(const float *readings, int32_t first, int32_t last, int32_t blockLines)
    : readings_(readings), first_(first), last_(last), blockLines_(blockLines),
      blocks_(last < first ? 0 : (last - first) / blockLines + 1), helpers_(helperCount(blocks_)),
      roundBlocks_(helpers_ * BlocksPerHelper)
{
    if (blocks_ > 0)
        start(0);
}

CsvBlocks::~CsvBlocks()
{
    for (Round &round : rounds_) {
        if (round.done.valid())
            round.done.wait();
    }
}

std::string_view CsvBlocks::block(int32_t index)
{
    const int32_t number = index / roundBlocks_;
    Round &round = rounds_[static_cast<size_t>(number % 2)];
    if (index % roundBlocks_ == 0) {
        round.done.get();
        // The other round's buffers were handed out before this one: free to refill.
        if ((number + 1) * roundBlocks_ < blocks_)
            start(number + 1);
    }
    const auto slot = static_cast<size_t>(index % roundBlocks_);
    return {round.buffers[slot].get(), round.sizes[slot]};
}

void CsvBlocks::start(int32_t number)
{
    Round &round = rounds_[static_cast<size_t>(number % 2)];
    if (round.buffers.empty()) {
        const int32_t lines = std::min(last_ - first_ + 1, blockLines_);
        const size_t bytes = static_cast<size_t>(lines) * (MaxReadingChars + 2);
        // Not zeroed: a block touches only the pages its lines fill.
        for (int32_t i = 0; i < std::min(roundBlocks_, blocks_); ++i)
            round.buffers.push_back(std::make_unique_for_overwrite<char[]>(bytes));
        round.sizes.resize(round.buffers.size());
    }
    // A single block is formatted by the caller when it asks for it: no thread is worth it.
    auto work = [this, &round, number] { formatRound(round, number); };
    if (blocks_ > 1) {
        try {
            round.done = std::async(std::launch::async, work);
            return;
        } catch (const std::system_error &) {
            // No thread to be had: the round is formatted when it is asked for.
        }
    }
    round.done = std::async(std::launch::deferred, work);
}

void CsvBlocks::formatRound(Round &round, int32_t number) const
{
    const int32_t firstBlock = number * roundBlocks_;
    const int32_t count = std::min(roundBlocks_, blocks_ - firstBlock);
    auto share = [&](int helper) {
        for (int32_t i = helper; i < count; i += helpers_)
            round.sizes[static_cast<size_t>(i)] =
                formatBlock(firstBlock + i, round.buffers[static_cast<size_t>(i)].get());
    };
    std::vector<std::jthread> others;
    const int used = std::min<int>(helpers_, count);
    for (int helper = 1; helper < used; ++helper) {
        try {
            others.emplace_back(share, helper);
        } catch (const std::system_error &) {
            share(helper); // no thread to be had: its share is done here
        }
    }
    share(0);
}

size_t CsvBlocks::formatBlock(int32_t block, char *out) const
{
    const int32_t from = first_ + block * blockLines_;
    const int32_t to = std::min(last_, from + blockLines_ - 1);
    char *o = out;
    for (int32_t i = from; i <= to; ++i) {
        o += FormatReading(readings_[i], o);
        *o++ = '\r';
        *o++ = '\n';
    }
    return static_cast<size_t>(o - out);
}

} // namespace app::analysis
