#include "platform/vb/val.h"

#include <cmath>

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

TEST(Val, OverflowGivesInfinity)
{
    EXPECT_TRUE(std::isinf(platform::vb::Val("1e400")));
}

} // namespace
