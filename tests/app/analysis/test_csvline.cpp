#include "app/analysis/csvline.h"

#include <bit>
#include <cmath>
#include <cstdint>
#include <limits>
#include <random>
#include <string>

#include <gmock/gmock.h>

#include "app/common/formatting.h"
#include "platform/vb/format.h"
#include "platform/vb/val.h"

namespace app::analysis {
namespace {

std::string formatted(float value)
{
    char out[MaxReadingChars];
    return std::string(out, static_cast<size_t>(FormatReading(value, out)));
}

std::string reference(float value)
{
    return platform::vb::Format(common::singleAsDecimal(value), u"0.0000000",
                                platform::vb::NumberSeparators::invariant())
        .toStdString();
}

struct FormatCase
{
    float value;
    const char *text;
};

TEST(FormatReadingTest, WritesSevenDecimalsOfTheShortestForm)
{
    const FormatCase cases[] = {
        {1.5f, "1.5000000"},
        {-0.25f, "-0.2500000"},
        {12.0f, "12.0000000"},
        {12345.67f, "12345.6700000"}, // not the single's exact 12345.669921875
        {1.0f / 256, "0.0039063"},    // 0.00390625: the half goes away from zero
        {-1.0f / 256, "-0.0039063"},
        {-4e-8f, "0.0000000"}, // rounds to zero: no sign
        {5e-8f, "0.0000001"},
        {9.99999999f, "10.0000000"},
        {0.0f, "0.0000000"},
        {-0.0f, "0.0000000"},
        {1e-45f, "0.0000000"},
        // Large values: every digit of the double nearest the shortest form.
        {std::numeric_limits<float>::max(), "340282349999999991754788743781432688640.0000000"},
        {-16777216.0f, "-16777216.0000000"},
    };
    for (const FormatCase &c : cases)
        EXPECT_EQ(formatted(c.value), c.text) << c.value;
}

TEST(FormatReadingTest, EqualsThePatternFormatterForRandomSingles)
{
    std::mt19937 random(15);
    std::uniform_int_distribution<uint32_t> bits;
    std::uniform_real_distribution<float> typical(-20000.0f, 20000.0f);
    int compared = 0;
    while (compared < 1'000'000) {
        // Half arbitrary bit patterns (every exponent), half the readings a module gives.
        const float value =
            compared % 2 ? std::bit_cast<float>(bits(random)) : typical(random) / 1000.0f;
        if (!std::isfinite(value))
            continue;
        ++compared;
        const std::string ours = formatted(value);
        if (ours != reference(value)) {
            ADD_FAILURE() << "value " << std::bit_cast<uint32_t>(value) << ": " << ours;
            return;
        }
    }
}

// Where the formatter changes its way: at each exponent's powers of two (a narrower gap
// below), their neighbours, and the largest mantissa, for every exponent and both signs.
TEST(FormatReadingTest, EqualsThePatternFormatterAtEveryExponentsEdges)
{
    for (uint32_t exponent = 0; exponent < 255; ++exponent) {
        for (const uint32_t fraction : {0u, 1u, 2u, 3u, 0x400000u, 0x7FFFFEu, 0x7FFFFFu}) {
            for (const uint32_t sign : {0u, 0x80000000u}) {
                const float value = std::bit_cast<float>(sign | exponent << 23 | fraction);
                ASSERT_EQ(formatted(value), reference(value))
                    << "exponent " << exponent << ", fraction " << fraction;
            }
        }
    }
}

struct ParseCase
{
    const char *line;
    float value;
};

TEST(ParseReadingTest, ReadsTheLeadingNumber)
{
    const ParseCase cases[] = {
        {"1.5000000", 1.5f},        {"-0.2500000", -0.25f}, {"  12", 12.0f},
        {"abc", 0.0f},              {"", 0.0f},             {"12.5xyz", 12.5f},
        {"1d2", 100.0f},            {"+.5", 0.5f},          {"1e-50", 0.0f},
        {"3.4028235e38", std::numeric_limits<float>::max()}, // rounds to the largest single
        {"-340282350000000000000000000000000000000.0000000", std::numeric_limits<float>::lowest()},
    };
    for (const ParseCase &c : cases) {
        float value = -1.0f;
        EXPECT_TRUE(ParseReading(c.line, value)) << c.line;
        EXPECT_EQ(value, c.value) << c.line;
    }
}

TEST(ParseReadingTest, RefusesNumbersBeyondTheSingleRange)
{
    for (const char *line : {"1e39", "-1e39", "1e400", "340282380000000000000000000000000000000"}) {
        float value = 7.0f;
        EXPECT_FALSE(ParseReading(line, value)) << line;
    }
}

// A comma right after the number, where its decimals would go on, and a digit after it; the
// value is the leading number as ever.
TEST(ParseReadingTest, TellsADecimalCommaFromOtherCommas)
{
    const ParseCase commas[] = {
        {"1,5", 1.0f},     {"-0,25", -0.0f},  {" \t1,5", 1.0f}, {"+1,5", 1.0f},
        {"1,000.5", 1.0f}, {"1.5,3", 1.5f},   {"2.,5", 2.0f},   {".5,5", 0.5f},
        {"1e5,3", 1e5f},   {"1D-2,7", 0.01f}, {"1e39,5", 0.0f}, // beyond a single too
        {"12345678901234567890,1", static_cast<float>(12345678901234567890.0)},
    };
    for (const ParseCase &c : commas) {
        float value = 7.0f;
        bool comma = false;
        if (ParseReading(c.line, value, &comma)) {
            EXPECT_EQ(value, c.value) << c.line;
        }
        EXPECT_TRUE(comma) << c.line;
    }
    for (const char *line : {"1.5", "1,", "1,a", "1, 5", "1 ,5", ",5", "-,5", "abc,5", "1e,5",
                             "1e+,5", "", ","}) {
        float value = 7.0f;
        bool comma = true;
        EXPECT_TRUE(ParseReading(line, value, &comma)) << line;
        EXPECT_FALSE(comma) << line;
    }
}

TEST(ParseReadingTest, AgreesWithTheGeneralParserAndReadsBackWhatWasWritten)
{
    std::mt19937 random(16);
    std::uniform_int_distribution<uint32_t> bits;
    std::uniform_int_distribution<int64_t> digits(-99'999'999'999'999, 99'999'999'999'999);
    for (int i = 0; i < 200'000; ++i) {
        // Long fixed texts exercise the exact fast path at its limits.
        const std::string text = std::to_string(digits(random)) + "e-" + std::to_string(i % 16);
        std::string plain = std::to_string(digits(random) % 100'000'000'000'000 +
                                           (i % 2 ? 200'000'000'000'000 : -200'000'000'000'000));
        plain.insert(plain.size() - static_cast<size_t>(i % 14), 1, '.');
        for (const std::string &line : {text, plain}) {
            float value = 0;
            ASSERT_TRUE(ParseReading(line, value));
            ASSERT_EQ(value, static_cast<float>(platform::vb::Val(line))) << line;
        }
        const float written = std::bit_cast<float>(bits(random));
        if (!std::isfinite(written))
            continue;
        float back = 0;
        ASSERT_TRUE(ParseReading(formatted(written), back));
        ASSERT_EQ(formatted(back), formatted(written));
    }
}

} // namespace
} // namespace app::analysis
