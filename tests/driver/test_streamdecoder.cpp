#include "driver/streamdecoder.h"

#include <bit>
#include <cstring>
#include <ostream>
#include <string>
#include <vector>

#include <gmock/gmock.h>

#include "support/namedcase.h"
#include "tests/driver/frames.h"

namespace {

using driver::Reading;
using driver::Scaling;
using driver::StreamDecoder;
using frames::Bytes;

constexpr Scaling Unscaled{1.0f, 0.0f, true};
constexpr Reading Skipped{0, driver::SkippedByteEvent};
constexpr Reading Malformed{0, driver::MalformedFrameEvent};

using frames::frame;
using frames::join;

std::vector<Reading> decodeAll(StreamDecoder &decoder, const Bytes &bytes,
                               const Scaling &scaling = Unscaled)
{
    std::vector<Reading> out;
    decoder.decode(bytes, scaling, out);
    return out;
}

} // namespace

namespace driver {
void PrintTo(const Reading &r, std::ostream *os)
{
    *os << "(" << r.channel << ", " << r.value << ")";
}
} // namespace driver

namespace {

struct Case
{
    const char *name;
    Bytes bytes;
    std::vector<Reading> expected;
    size_t pending;
};

using testsupport::PrintTo;

class StreamDecoderCases : public testing::TestWithParam<Case>
{};

TEST_P(StreamDecoderCases, DecodesOneBuffer)
{
    StreamDecoder decoder;
    EXPECT_THAT(decodeAll(decoder, GetParam().bytes),
                testing::ElementsAreArray(GetParam().expected));
    EXPECT_EQ(decoder.pending(), GetParam().pending);
}

const Bytes F1 = frame(1, 1.5f);
const Bytes F2 = frame(2, -2.25f);
const Bytes F3 = frame(3, 1e6f);
const Bytes F4 = frame(4, 0.125f);
// F2 with its third byte lost on the way.
const Bytes F2Short = {F2[0], F2[1], F2[3], F2[4], F2[5]};

INSTANTIATE_TEST_SUITE_P(
    DriverBuffers, StreamDecoderCases,
    testing::Values(Case{"empty", {}, {}, 0},
                    Case{"noise_then_two_frames",
                         join({{0x01, 0x02, 0x7F}, F1, F2}),
                         {Skipped, Skipped, Skipped, {1, 1.5f}, {2, -2.25f}},
                         0},
                    Case{"seventeen_bytes_keep_five",
                         join({F1, F2, Bytes(F3.begin(), F3.begin() + 5)}),
                         {{1, 1.5f}, {2, -2.25f}},
                         5},
                    // The last byte is never tested: it may start the next read's frame.
                    Case{"only_noise_keeps_last_byte", {0x10, 0x20, 0x30}, {Skipped, Skipped}, 1},
                    Case{"channel_bits_111_and_000",
                         join({frame(8, 3.0f), frame(1, 4.0f)}),
                         {{8, 3.0f}, {1, 4.0f}},
                         0},
                    // A lost byte costs one event and the frame it broke; the rest stays in step.
                    Case{"lost_byte_resynchronises",
                         join({F1, F2Short, F3, F4}),
                         {{1, 1.5f}, Malformed, {3, 1e6f}, {4, 0.125f}},
                         0},
                    // An extra byte after a frame: one event, then back in step at the next start.
                    Case{"inserted_byte_resynchronises",
                         join({F1, {0x33}, F3, F4}),
                         {{1, 1.5f}, Malformed, {3, 1e6f}, {4, 0.125f}},
                         0},
                    Case{"garbage_after_frame_to_the_end",
                         join({F1, {1, 2, 3, 4, 5, 6, 7}}),
                         {{1, 1.5f}, Malformed},
                         0}),
    [](const testing::TestParamInfo<Case> &info) { return std::string(info.param.name); });

TEST(DriverStreamDecoder, SetsTopBitsOfValueBytesFromTheHeader)
{
    // Header bit 3 set and value byte 1 = 0x00: the least significant byte is 0x80.
    const Bytes bytes = {0x88, 0x00, 0x00, 0x00, 0x3F, 0x00};
    StreamDecoder decoder;
    const auto out = decodeAll(decoder, bytes);
    ASSERT_EQ(out.size(), 1u);
    EXPECT_EQ(std::bit_cast<uint32_t>(out[0].value), 0x3F000080u);
    // Bit 7 of a value byte comes from the header only.
    EXPECT_EQ(std::bit_cast<uint32_t>(StreamDecoder::rawValue(bytes.data())), 0x3F000080u);
}

TEST(DriverStreamDecoder, RoundTripsAllTopBitPatterns)
{
    for (uint32_t bits : {0x00000000u, 0x80808080u, 0xFFFFFFFFu, 0x7F7F7F7Fu, 0xC2F6E979u}) {
        const Bytes f = frame(5, std::bit_cast<float>(bits));
        EXPECT_EQ(std::bit_cast<uint32_t>(StreamDecoder::rawValue(f.data())), bits) << bits;
    }
}

TEST(DriverStreamDecoder, KeepsAnUnfinishedFrameForTheNextRead)
{
    StreamDecoder decoder;
    const Bytes all = join({F1, F2, F3});
    EXPECT_THAT(decodeAll(decoder, Bytes(all.begin(), all.begin() + 17)),
                testing::ElementsAre(Reading{1, 1.5f}, Reading{2, -2.25f}));
    EXPECT_THAT(decodeAll(decoder, Bytes(all.begin() + 17, all.end())),
                testing::ElementsAre(Reading{3, 1e6f}));
    EXPECT_EQ(decoder.pending(), 0u);
    // A frame split byte by byte comes out once complete.
    std::vector<Reading> out;
    for (uint8_t byte : F4)
        decoder.decode(std::span(&byte, 1), Unscaled, out);
    EXPECT_THAT(out, testing::ElementsAre(Reading{4, 0.125f}));
}

TEST(DriverStreamDecoder, ReadingsAndEventsDoNotDependOnHowReadsSplit)
{
    const Bytes noise = {0x55, 0x55, 0x55};
    const Bytes streams[] = {join({noise, F1, noise, F2}), join({F1, noise, noise, F2, F3}),
                             join({F1, {0x81, 0x00}, F2, noise})};
    for (const Bytes &stream : streams) {
        StreamDecoder whole;
        const std::vector<Reading> expected = decodeAll(whole, stream);
        for (size_t cut = 1; cut < stream.size(); ++cut) {
            StreamDecoder split;
            std::vector<Reading> got = decodeAll(split, Bytes(stream.begin(), stream.begin() + cut));
            const std::vector<Reading> rest = decodeAll(split, Bytes(stream.begin() + cut, stream.end()));
            got.insert(got.end(), rest.begin(), rest.end());
            EXPECT_EQ(got, expected) << "cut after " << cut;
            EXPECT_EQ(split.pending(), whole.pending()) << "cut after " << cut;
        }
    }
}

TEST(DriverStreamDecoder, ScalesByGainAndOffset)
{
    StreamDecoder decoder;
    // Before the first calibration read both are 0: every reading is 0.
    EXPECT_THAT(decodeAll(decoder, F3, Scaling{0.0f, 0.0f, true}),
                testing::ElementsAre(Reading{3, 0.0f}));
    EXPECT_THAT(decodeAll(decoder, F1, Scaling{2.0f, 0.5f, true}),
                testing::ElementsAre(Reading{1, 2.5f}));
    // Computed wider, rounded once to single precision.
    const float gain = 1.1f, offset = 0.3f, raw = 1e6f;
    const auto expected = static_cast<float>(static_cast<double>(gain) * raw - offset);
    EXPECT_THAT(decodeAll(decoder, F3, Scaling{gain, offset, true}),
                testing::ElementsAre(Reading{3, expected}));
}

TEST(DriverStreamDecoder, DropsReadingsButKeepsEventsWhenNobodyListens)
{
    StreamDecoder decoder;
    EXPECT_THAT(decodeAll(decoder, join({{0x05}, F1, F2Short, F3}), Scaling{1.0f, 0.0f, false}),
                testing::ElementsAre(Skipped, Malformed));
}

} // namespace
