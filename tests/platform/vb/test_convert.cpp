#include "platform/vb/convert.h"

#include <cmath>
#include <limits>
#include <ostream>

#include <QPoint>

#include <gtest/gtest.h>

#include "platform/vb/vberror.h"

namespace {

using platform::vb::VbError;

struct RoundCase
{
    double value;
    int expected;
};

void PrintTo(const RoundCase &c, std::ostream *os)
{
    *os << c.value << " -> " << c.expected;
}

class HalvesToEven : public testing::TestWithParam<RoundCase>
{};

TEST_P(HalvesToEven, InEveryWidth)
{
    const RoundCase &c = GetParam();
    EXPECT_EQ(platform::vb::CInt(c.value), c.expected);
    EXPECT_EQ(platform::vb::CLng(c.value), c.expected);
}

INSTANTIATE_TEST_SUITE_P(Values, HalvesToEven,
                         testing::Values(RoundCase{0.5, 0}, RoundCase{1.5, 2}, RoundCase{2.5, 2},
                                         RoundCase{3.5, 4}, RoundCase{-0.5, 0}, RoundCase{-1.5, -2},
                                         RoundCase{-2.5, -2}, RoundCase{2.4999999, 2},
                                         RoundCase{2.5000001, 3}, RoundCase{-2.6, -3},
                                         RoundCase{32767.4, 32767}, RoundCase{-32768.5, -32768}));

TEST(Convert, RangeIsCheckedAfterRounding)
{
    auto overflows = [](auto convert, double value) {
        try {
            convert(value);
        } catch (const VbError &e) {
            return e.number() == VbError::Overflow;
        }
        return false;
    };
    const double nan = std::numeric_limits<double>::quiet_NaN();
    const double inf = std::numeric_limits<double>::infinity();
    for (double wild : {32767.5, -32768.6, 1e300, nan, inf, -inf})
        EXPECT_TRUE(overflows(platform::vb::CInt, wild)) << wild;
    EXPECT_EQ(platform::vb::CLng(2147483647.4), 2147483647);
    EXPECT_EQ(platform::vb::CLng(-2147483648.5), -2147483647 - 1);
    for (double wild : {2147483647.5, -2147483648.6, nan})
        EXPECT_TRUE(overflows(platform::vb::CLng, wild)) << wild;
    EXPECT_EQ(platform::vb::CByte(255.4), 255);
    for (double wild : {255.5, -0.6})
        EXPECT_TRUE(overflows(platform::vb::CByte, wild)) << wild;

    EXPECT_FALSE(platform::vb::TryCInt(40000.0));
    EXPECT_FALSE(platform::vb::TryCLng(nan));
    EXPECT_EQ(platform::vb::TryCByte(-0.5), 0);
}

TEST(Convert, IntRoundsDown)
{
    EXPECT_EQ(platform::vb::Int(2.7), 2.0);
    EXPECT_EQ(platform::vb::Int(-2.5), -3.0);
    EXPECT_EQ(platform::vb::Int(-3.0), -3.0);
    EXPECT_EQ(platform::vb::Int(1e300), 1e300);
}

TEST(Convert, VariantsToNumbers)
{
    const QLocale german(QLocale::German, QLocale::Germany);
    EXPECT_EQ(platform::vb::CDbl(QVariant()), 0.0);
    EXPECT_EQ(platform::vb::CDbl(QVariant(true)), -1.0);
    EXPECT_EQ(platform::vb::CDbl(QVariant(qint16(-7))), -7.0);
    EXPECT_EQ(platform::vb::CDbl(QVariant(QStringLiteral(" 123456 "))), 123456.0);
    EXPECT_EQ(platform::vb::CDbl(QVariant(QStringLiteral("1,5")), german), 1.5);
    EXPECT_EQ(platform::vb::CDbl(QVariant(QStringLiteral("1.5")), german), 1.5);
    EXPECT_EQ(platform::vb::CDbl(QVariant(QStringLiteral("-2.5e3"))), -2500.0);
    EXPECT_EQ(platform::vb::CSng(QVariant(16777217.0)), 16777216.0f);
    EXPECT_TRUE(platform::vb::CBool(QVariant(QStringLiteral("true"))));
    EXPECT_TRUE(platform::vb::CBool(QVariant(0.25f)));
    EXPECT_FALSE(platform::vb::CBool(QVariant(QStringLiteral("0"))));
}

TEST(Convert, VariantsThatDoNotConvertRaise)
{
    auto raised = [](auto convert) {
        try {
            convert();
        } catch (const VbError &e) {
            return e.number();
        }
        return 0;
    };
    for (const char *text : {"", "abc", "12abc", "1.2.3"}) {
        const QVariant v(QString::fromLatin1(text));
        EXPECT_EQ(raised([&] { platform::vb::CDbl(v); }), VbError::TypeMismatch) << text;
        EXPECT_EQ(raised([&] { platform::vb::CSng(v); }), VbError::TypeMismatch) << text;
    }
    EXPECT_EQ(raised([] { platform::vb::CSng(QVariant(1e39)); }), VbError::Overflow);
    EXPECT_EQ(raised([] { platform::vb::CSng(QVariant(QStringLiteral("-1e39"))); }),
              VbError::Overflow);
    EXPECT_EQ(
        raised([] { platform::vb::CDbl(QVariant(std::numeric_limits<double>::quiet_NaN())); }),
        VbError::Overflow);
    EXPECT_EQ(raised([] { platform::vb::CDbl(QVariant(QPoint(1, 2))); }), VbError::TypeMismatch);
}

} // namespace
