#include "platform/vb/format.h"

#include <gtest/gtest.h>

namespace {

using platform::vb::Format;
using platform::vb::FormatSevenSignificant;
using platform::vb::FormatWireValue;
using platform::vb::NumberSeparators;

struct FormatCase
{
    double value;
    const char16_t *pattern;
    const char16_t *expected;
};

void PrintTo(const FormatCase &c, std::ostream *os)
{
    *os << c.value << " as " << QString::fromUtf16(c.pattern).toStdString();
}

class FormatTable : public testing::TestWithParam<FormatCase>
{};

TEST_P(FormatTable, WritesThePattern)
{
    const FormatCase &c = GetParam();
    EXPECT_EQ(Format(c.value, c.pattern, NumberSeparators::invariant()),
              QString::fromUtf16(c.expected))
        << c.value;
}

INSTANTIATE_TEST_SUITE_P(
    Patterns, FormatTable,
    testing::Values(FormatCase{-0.5, u"######0.0000000", u"-0.5000000"},
                    FormatCase{1234.5, u"######0.0000000", u"1234.5000000"},
                    FormatCase{0.0, u"######0.0000000", u"0.0000000"},
                    FormatCase{123456789.25, u"######0.0000000", u"123456789.2500000"},
                    FormatCase{0.00000005, u"######0.0000000", u"0.0000001"},
                    FormatCase{-0.00000004, u"######0.0000000", u"0.0000000"},
                    FormatCase{0.5, u"0.######0", u"0.5000000"},
                    FormatCase{12.3456789, u"0.######0", u"12.3456789"},
                    FormatCase{1.0, u"0.0", u"1.0"}, FormatCase{2.25, u"0.0", u"2.3"},
                    FormatCase{-2.25, u"0.0", u"-2.3"}, FormatCase{7.0, u"00", u"07"},
                    FormatCase{10000.0, u"#,#", u"10,000"},
                    FormatCase{1234567.0, u"#,#", u"1,234,567"}, FormatCase{0.5, u"#.0", u".5"},
                    FormatCase{-1234567.8, u"0.00000", u"-1234567.80000"},
                    FormatCase{9.999996, u"0.00000", u"10.00000"}, FormatCase{3.0, u"0.##", u"3"},
                    FormatCase{3.1, u"0.##", u"3.1"},
                    // Seven significant digits: every place written, rounded at the seventh.
                    FormatCase{1234.5678, u"0.######0", u"1234.5678000"},
                    FormatCase{-0.00000005, u"0.######0", u"-0.0000001"},
                    FormatCase{0.99999996, u"0.######0", u"1.0000000"},
                    FormatCase{1234567.8, u"0.######0", u"1234567.8000000"},
                    // Clock fields: at least two digits, more when needed.
                    FormatCase{0.0, u"00", u"00"}, FormatCase{59.0, u"00", u"59"},
                    FormatCase{123.0, u"00", u"123"}, FormatCase{-1.0, u"00", u"-01"},
                    FormatCase{2.5, u"00", u"03"},
                    // Frequencies.
                    FormatCase{1001.001001, u"0.0", u"1001.0"},
                    FormatCase{666.6666667, u"0.0", u"666.7"}, FormatCase{0.04, u"0.0", u"0.0"},
                    // Display formats.
                    FormatCase{12.5, u"0.00", u"12.50"}, FormatCase{12.5, u"0", u"13"},
                    FormatCase{-0.000004, u"0.00000", u"0.00000"},
                    FormatCase{1.0, u"0.0000000", u"1.0000000"}));

TEST(Format, UsesTheGivenSeparators)
{
    const NumberSeparators comma{QLatin1Char(','), QLatin1Char('.')};
    EXPECT_EQ(Format(1.0, u"0.0", comma), QStringLiteral("1,0"));
    EXPECT_EQ(Format(10000.0, u"#,#", comma), QStringLiteral("10.000"));
}

TEST(Format, SevenSignificantCutsOnlyDecimals)
{
    const NumberSeparators comma{QLatin1Char(','), QLatin1Char('.')};
    EXPECT_EQ(FormatSevenSignificant(12.3456789, comma), QStringLiteral("12,34567"));
    EXPECT_EQ(FormatSevenSignificant(-0.000123456789, comma), QStringLiteral("-0,0001235"));
    // The separator left last is the caller's to keep or drop.
    EXPECT_EQ(FormatSevenSignificant(1234567.5, comma), QStringLiteral("1234567,"));
    EXPECT_EQ(FormatSevenSignificant(-123456789.5, comma), QStringLiteral("-123456789"));
}

TEST(Format, WireValueIgnoresTheLocale)
{
    EXPECT_EQ(FormatWireValue(-0.5), "-0.5000000");
    EXPECT_EQ(FormatWireValue(1e12), "1000000000000.0000000");
}

} // namespace
