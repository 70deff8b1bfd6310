#ifndef APP_ANALYSIS_CSVBLOCKS_H
#define APP_ANALYSIS_CSVBLOCKS_H

#include <array>
#include <cstdint>
#include <future>
#include <memory>
#include <string_view>
#include <vector>

namespace app::analysis {

// The data lines of readings[first..last] (each reading as "0.0000000" and CR LF) in blocks of
// `blockLines`, formatted on helper threads a round of blocks ahead of the caller: while the
// caller writes one round, the next one is being formatted. Blocks are taken in order.
class CsvBlocks
{
public:
    CsvBlocks(const float *readings, int32_t first, int32_t last, int32_t blockLines);
    ~CsvBlocks(); // waits for the helpers
    CsvBlocks(const CsvBlocks &) = delete;
    CsvBlocks &operator=(const CsvBlocks &) = delete;

    int32_t count() const { return blocks_; }
    // The text of block `index` (0 .. count() - 1), valid until the next call.
    std::string_view block(int32_t index);

private:
    struct Round
    {
        std::vector<std::unique_ptr<char[]>> buffers;
        std::vector<size_t> sizes;
        std::future<void> done;
    };

    void start(int32_t number);
    void formatRound(Round &round, int32_t number) const;
    size_t formatBlock(int32_t block, char *out) const;

    const float *readings_;
    int32_t first_;
    int32_t last_;
    int32_t blockLines_;
    int32_t blocks_;
    int helpers_;
    int32_t roundBlocks_;
    std::array<Round, 2> rounds_;
};

} // namespace app::analysis

#endif
