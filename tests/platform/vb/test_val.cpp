#include "platform/vb/val.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <string>

#include <locale.h>

#include <QString>

#include <gtest/gtest.h>

namespace {

struct ValCase
{
    const char *text;
    double expected;
};

void PrintTo(const ValCase &c, std::ostream *os)
{
    *os << '"' << c.text << '"';
}

class ValTable : public testing::TestWithParam<ValCase>
{};

TEST_P(ValTable, ReadsTheLeadingNumber)
{
    EXPECT_DOUBLE_EQ(platform::vb::Val(GetParam().text), GetParam().expected) << GetParam().text;
    EXPECT_DOUBLE_EQ(platform::vb::Val(QString::fromLatin1(GetParam().text)), GetParam().expected);
}

INSTANTIATE_TEST_SUITE_P(Texts, ValTable,
                         testing::Values(ValCase{"1", 1.0}, ValCase{"  -2.5\r", -2.5},
                                         ValCase{"+3.25abc", 3.25}, ValCase{"?", 0.0},
                                         ValCase{"", 0.0}, ValCase{".5", 0.5}, ValCase{"5.", 5.0},
                                         ValCase{"1e3", 1000.0}, ValCase{"1E", 1.0},
                                         ValCase{"2D2", 200.0}, ValCase{"-", 0.0},
                                         ValCase{"1,5", 1.0}, ValCase{"1e-400", 0.0},
                                         ValCase{"12 34", 12.0}));

TEST(Val, TinyNumbersUnderflowAndHugeOnesOverflowAsTheCLibraryDoes)
{
    const std::string manyZeros = "0." + std::string(330, '0') + "1";
    const std::string denormal = "0." + std::string(320, '0') + "5E+1xyz";
    // The C library's own conversion, in "C": a comma locale would stop it at the point.
    for (const std::string &text : {std::string("1E-400"), std::string("-2E-999"), manyZeros,
                                   denormal, std::string("4.9e-324"), std::string("-1D400"),
                                   std::string("1e400"), std::string("1.7976931348623157e308")}) {
        const double value = platform::vb::Val(text);
        std::string number = text.substr(0, text.find_first_of("xyz"));
        std::replace(number.begin(), number.end(), 'D', 'e');
        static const locale_t cLocale = newlocale(LC_ALL_MASK, "C", locale_t{});
        const double expected = strtod_l(number.c_str(), nullptr, cLocale);
        EXPECT_EQ(std::signbit(value), std::signbit(expected)) << text;
        EXPECT_TRUE(value == expected) << text << ": " << value << " != " << expected;
    }
    EXPECT_EQ(platform::vb::Val("-2E-999"), 0.0);
    EXPECT_GT(platform::vb::Val("4.9e-324"), 0.0);
    EXPECT_EQ(platform::vb::Val("-1D400"), -HUGE_VAL);
}

} // namespace
