#include "platform/vb/cstr.h"

#include <limits>

#include <gtest/gtest.h>

namespace {

using platform::vb::CStr;
using platform::vb::NumberSeparators;

struct CStrCase
{
    double value;
    const char *expected;
};

void PrintTo(const CStrCase &c, std::ostream *os)
{
    *os << c.expected;
}

class CStrTable : public testing::TestWithParam<CStrCase>
{};

TEST_P(CStrTable, WritesTheShortestText)
{
    EXPECT_EQ(CStr(GetParam().value, NumberSeparators::invariant()),
              QString::fromLatin1(GetParam().expected));
}

INSTANTIATE_TEST_SUITE_P(
    Doubles, CStrTable,
    testing::Values(CStrCase{0.0, "0"}, CStrCase{-0.0, "0"}, CStrCase{12.5, "12.5"},
                    CStrCase{-1.5, "-1.5"}, CStrCase{0.1 + 0.2, "0.3"},
                    CStrCase{1.0 / 3.0, "0.333333333333333"},
                    CStrCase{2.0 / 3.0, "0.666666666666667"}, CStrCase{100.0, "100"},
                    CStrCase{999999999999999.0, "999999999999999"}, CStrCase{1e15, "1E+15"},
                    CStrCase{1234567890123456.0, "1.23456789012346E+15"},
                    CStrCase{9.9999999999999999e14, "1E+15"}, CStrCase{0.0001, "0.0001"},
                    CStrCase{0.000123, "0.000123"}, CStrCase{0.00001, "1E-05"},
                    CStrCase{-1.5e-7, "-1.5E-07"},
                    CStrCase{1.7976931348623157e308, "1.79769313486232E+308"}));

TEST(CStr, SinglesKeepSevenDigits)
{
    const NumberSeparators dot = NumberSeparators::invariant();
    EXPECT_EQ(CStr(0.1f, dot), QStringLiteral("0.1"));
    EXPECT_EQ(CStr(1234567.0f, dot), QStringLiteral("1234567"));
    EXPECT_EQ(CStr(12345678.0f, dot), QStringLiteral("1.234568E+07"));
    EXPECT_EQ(CStr(999999.0f, dot), QStringLiteral("999999"));
}

TEST(CStr, UsesTheGivenDecimalSeparator)
{
    const NumberSeparators comma{QLatin1Char(','), QLatin1Char('.')};
    EXPECT_EQ(CStr(1234.5, comma), QStringLiteral("1234,5"));
    EXPECT_EQ(CStr(2.5e20, comma), QStringLiteral("2,5E+20"));
}

} // namespace
