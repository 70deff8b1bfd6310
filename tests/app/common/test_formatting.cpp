#include "app/common/formatting.h"

#include <limits>

#include <gtest/gtest.h>

#include "app/common/globals.h"
#include "platform/vb/vberror.h"

void PrintTo(const QString &text, std::ostream *os)
{
    *os << '"' << text.toStdString() << '"';
}

namespace {

using namespace app::common;

// Every test states its separators; the machine's locale must not decide.
class Separators : public testing::Test
{
protected:
    void SetUp() override { use(QStringLiteral("."), QStringLiteral(",")); }
    void TearDown() override { use(QStringLiteral("."), QStringLiteral(",")); }
    static void use(const QString &decimal, const QString &thousands)
    {
        setDecimalSeparator(decimal);
        setThousandsSeparator(thousands);
    }
};

struct SevenCase
{
    float value;
    const char *expected;
};

void PrintTo(const SevenCase &c, std::ostream *os)
{
    *os << c.expected;
}

class SevenDigits : public Separators, public testing::WithParamInterface<SevenCase>
{};

TEST_P(SevenDigits, KeepsSevenSignificantDigits)
{
    EXPECT_EQ(FormatSevenDigits(GetParam().value), QString::fromLatin1(GetParam().expected));
}

INSTANTIATE_TEST_SUITE_P(
    Values, SevenDigits,
    testing::Values(SevenCase{1234.5678f, "1234.567"}, SevenCase{12.3456789f, "12.34567"},
                    SevenCase{1234567.8f, "1234567."}, SevenCase{-1234567.8f, "-1234567."},
                    SevenCase{0.5f, "0.5000000"}, SevenCase{-0.25f, "-0.2500000"},
                    SevenCase{0.1f, "0.1000000"}, SevenCase{-12.5f, "-12.50000"},
                    // Integer digits beyond seven are never cut.
                    SevenCase{123456789.0f, "123456792"}, SevenCase{-98765432.0f, "-98765432"}));

TEST_F(Separators, SevenDigitsOfATextUseTheProgramSeparator)
{
    EXPECT_EQ(FormatSevenDigitsStr(u"12.3456789"), QStringLiteral("12.34567"));
    EXPECT_EQ(FormatSevenDigitsStr(u" -0.5 "), QStringLiteral("-0.5000000"));
    EXPECT_EQ(FormatSevenDigitsStr(u"n/a"), QStringLiteral("n/a"));
    use(QStringLiteral(","), QStringLiteral("."));
    EXPECT_EQ(FormatSevenDigits(1234.5678f), QStringLiteral("1234,567"));
    EXPECT_EQ(FormatSevenDigitsStr(u"12,3456789"), QStringLiteral("12,34567"));
    EXPECT_EQ(FormatSevenDigitsStr(u"12.3456789"), QStringLiteral("12,34567"));
}

struct DisplayCase
{
    double value;
    const char16_t *format;
    const char16_t *expected;
};

void PrintTo(const DisplayCase &c, std::ostream *os)
{
    *os << c.value << " as " << QString::fromUtf16(c.format).toStdString();
}

class DisplayValue : public Separators, public testing::WithParamInterface<DisplayCase>
{};

TEST_P(DisplayValue, IsRightAlignedInSevenOrEightPlaces)
{
    EXPECT_EQ(FormatDisplayValue(GetParam().value, GetParam().format),
              QString::fromUtf16(GetParam().expected));
}

INSTANTIATE_TEST_SUITE_P(Values, DisplayValue,
                         testing::Values(DisplayCase{12.5, u"0.00", u"   12.50"},
                                         DisplayCase{12.5, u"0", u"     13"},
                                         DisplayCase{-3.25, u"0.00000", u"-3.25000"},
                                         DisplayCase{0.000001, u"0.00000", u" 0.00000"},
                                         DisplayCase{123456.7, u"0.00000", u"123456.7"},
                                         DisplayCase{1234567.8, u"0.00000", u"1234567."},
                                         DisplayCase{-123456.8, u"0.00000", u"-123456."},
                                         DisplayCase{-1234567, u"0", u"-------"},
                                         DisplayCase{-1234567.8, u"0.00000", u"-------"},
                                         DisplayCase{12345678.0, u"0.00", u"-------"},
                                         DisplayCase{1e20, u"0.00000", u"-------"},
                                         DisplayCase{2.5, u"", u"     2.5"}));

TEST_F(Separators, DisplayValueUsesTheProgramFormatAndSeparator)
{
    setDisplayFormat(QStringLiteral("0.000"));
    use(QStringLiteral(","), QStringLiteral("."));
    EXPECT_EQ(FormatDisplayValue(-1.5), QStringLiteral("  -1,500"));
    EXPECT_EQ(FormatDisplayValue(1234.0), QStringLiteral("1234,000"));
    setDisplayFormat(QString());
}

TEST(SplitSeconds, RoundsTheSecondsAfterTheMinutesAreTaken)
{
    double hours = -1;
    int16_t minutes = -1;
    int16_t secs = -1;
    SplitSeconds(3723.0, hours, minutes, secs);
    EXPECT_EQ(hours, 1.0);
    EXPECT_EQ(minutes, 2);
    EXPECT_EQ(secs, 3);
    SplitSeconds(3599.6, hours, minutes, secs);
    EXPECT_EQ(hours, 0.0);
    EXPECT_EQ(minutes, 59);
    EXPECT_EQ(secs, 60);
    SplitSeconds(62.5, hours, minutes, secs); // half to even
    EXPECT_EQ(secs, 2);
    SplitSeconds(63.5, hours, minutes, secs);
    EXPECT_EQ(secs, 4);
    EXPECT_THROW(SplitSeconds(std::numeric_limits<double>::quiet_NaN(), hours, minutes, secs),
                 platform::vb::VbError);
}

TEST_F(Separators, ClockTexts)
{
    EXPECT_EQ(FormatHMS(3723.0), QStringLiteral("01:02:03"));
    EXPECT_EQ(FormatHMS(0.0), QStringLiteral("00:00:00"));
    EXPECT_EQ(FormatHMS(360000.0 + 61.0), QStringLiteral("100:01:01"));
    EXPECT_EQ(FormatMS(3903.0), QStringLiteral("05:03"));
    EXPECT_EQ(FormatMS(3599.6), QStringLiteral("59:60"));
    EXPECT_EQ(FormatMS(8640000.0 / 4800.0), QStringLiteral("30:00"));
}

struct IntervalCase
{
    int32_t micros;
    const char16_t *expected;
};

void PrintTo(const IntervalCase &c, std::ostream *os)
{
    *os << c.micros;
}

class Interval : public Separators, public testing::WithParamInterface<IntervalCase>
{};

TEST_P(Interval, DescribesTheSpan)
{
    EXPECT_EQ(FormatInterval(GetParam().micros), QString::fromUtf16(GetParam().expected));
}

INSTANTIATE_TEST_SUITE_P(
    Spans, Interval,
    testing::Values(
        IntervalCase{0, u"0 \u00B5s"}, IntervalCase{500, u"500 \u00B5s (2000.0 Hz)"},
        IntervalCase{208, u"208 \u00B5s (4807.7 Hz)"},
        IntervalCase{998, u"998 \u00B5s (1002.0 Hz)"}, IntervalCase{999, u"0.999 ms (1001.0 Hz)"},
        IntervalCase{-1500, u"-1.5 ms (666.7 Hz)"}, IntervalCase{999999, u"999.999 ms (1.0 Hz)"},
        IntervalCase{1000000, u"00:01:0 \u00B5s"}, IntervalCase{2000250, u"00:02:250 \u00B5s"},
        IntervalCase{-61000001, u"-01:01:1 \u00B5s"},
        IntervalCase{std::numeric_limits<int32_t>::max(), u"35:47:483647 \u00B5s"},
        IntervalCase{std::numeric_limits<int32_t>::min(), u"-35:47:483648 \u00B5s"}));

TEST_F(Separators, IntervalUsesTheProgramSeparator)
{
    use(QStringLiteral(","), QStringLiteral("."));
    EXPECT_EQ(FormatInterval(-1500), QStringLiteral("-1,5 ms (666,7 Hz)"));
}

} // namespace
