#include "app/controls/fieldrules.h"

#include <gmock/gmock.h>

#include "support/namedcase.h"

namespace app::controls {
namespace {

using testsupport::PrintTo;

struct KeyCase
{
    const char *name;
    const char *allowed;
    int maxLength;
    bool upperCase;
    char decimal;
    const char *text;
    int selectionStart, selectionLength, caret;
    int key;
    int expected; // 0: refused
};

class FilterFieldKeyTest : public testing::TestWithParam<KeyCase>
{};

TEST_P(FilterFieldKeyTest, Key)
{
    const KeyCase &c = GetParam();
    const KeyRules rules{QString::fromLatin1(c.allowed), static_cast<int16_t>(c.maxLength),
                         c.upperCase, QLatin1Char(c.decimal)};
    const KeyContext at{QString::fromLatin1(c.text), c.selectionStart, c.selectionLength, c.caret};
    EXPECT_EQ(FilterFieldKey(rules, at, c.key), c.expected);
}

constexpr const char *Numeric = "0123456789.-";

INSTANTIATE_TEST_SUITE_P(
    Cases, FilterFieldKeyTest,
    testing::Values(
        KeyCase{"DigitTaken", Numeric, 0, false, '.', "12", -1, 0, 2, '3', '3'},
        KeyCase{"OutsideTheSet", Numeric, 0, false, '.', "12", -1, 0, 2, 'a', 0},
        KeyCase{"AnyCharacterWithoutASet", "", 0, false, '.', "", -1, 0, 0, 'a', 'a'},
        KeyCase{"MinusAtTheStart", Numeric, 0, false, '.', "5", -1, 0, 0, '-', '-'},
        KeyCase{"MinusAfterTheStart", Numeric, 0, false, '.', "5", -1, 0, 1, '-', 0},
        KeyCase{"MinusOverASelectionFromTheStart", Numeric, 0, false, '.', "56", 0, 1, 1, '-', '-'},
        KeyCase{"MinusFreeWhenNotInTheSet", "", 0, false, '.', "5", -1, 0, 1, '-', '-'},
        KeyCase{"SecondSeparator", Numeric, 0, false, '.', "1.5", -1, 0, 3, '.', 0},
        KeyCase{"SeparatorReplacingTheSelectedOne", Numeric, 0, false, '.', "1.5", 1, 1, 2, '.',
                '.'},
        KeyCase{"CommaLocaleTakesComma", Numeric, 0, false, ',', "1", -1, 0, 1, ',', ','},
        KeyCase{"CommaLocaleRefusesDot", Numeric, 0, false, ',', "1", -1, 0, 1, '.', 0},
        KeyCase{"AtMaxLength", "", 4, false, '.', "1234", -1, 0, 4, '5', 0},
        KeyCase{"AtMaxLengthOverASelection", "", 4, false, '.', "1234", 1, 2, 3, '9', '9'},
        KeyCase{"BackspaceAtMaxLength", "", 4, false, '.', "1234", -1, 0, 4, 8, 8},
        KeyCase{"PasteOutsideTheSet", Numeric, 0, false, '.', "1", -1, 0, 1, 22, 22},
        KeyCase{"UpperCase", "", 0, true, '.', "", -1, 0, 0, 'a', 'A'}));

TEST(CaptionNumber, ParsesOnlyPlainNumbersInTheFieldsSeparator)
{
    double value = 0;
    EXPECT_TRUE(ParseCaptionNumber(QStringLiteral(" -1,5e2 "), QLatin1Char(','), value));
    EXPECT_DOUBLE_EQ(value, -150.0);
    EXPECT_TRUE(ParseCaptionNumber(QStringLiteral(".5"), QLatin1Char('.'), value));
    EXPECT_DOUBLE_EQ(value, 0.5);
    for (const char *bad : {"", "1.5", "1,2,3", "12abc", "1e999", "-", ","})
        EXPECT_FALSE(ParseCaptionNumber(QString::fromLatin1(bad), QLatin1Char(','), value)) << bad;
    // Each separator keeps its own rule, whichever was asked for before.
    const QChar arabic(0x066B);
    for (const QChar sep : {QChar(u'.'), QChar(u','), arabic, QChar(u'.')}) {
        for (const QChar other : {QChar(u'.'), QChar(u','), arabic}) {
            const QString text = QStringLiteral("2") + other + QStringLiteral("5");
            EXPECT_EQ(ParseCaptionNumber(text, sep, value), other == sep) << text.toStdString();
            if (other == sep) {
                EXPECT_DOUBLE_EQ(value, 2.5);
            }
        }
    }
}

TEST(CaptionNumber, FormatsNumbersAndLeavesOtherText)
{
    const auto invariant = platform::vb::NumberSeparators::invariant();
    EXPECT_EQ(FormatCaptionNumber(QStringLiteral("2.5"), QStringLiteral("0.00"), invariant),
              QStringLiteral("2.50"));
    EXPECT_EQ(FormatCaptionNumber(QStringLiteral("1234.56789"), QStringLiteral("*"), invariant),
              QStringLiteral("1234.567"));
    EXPECT_EQ(FormatCaptionNumber(QStringLiteral("n/a"), QStringLiteral("0.00"), invariant),
              QStringLiteral("n/a"));
    EXPECT_EQ(FormatCaptionNumber(QStringLiteral("2.5"), QString(), invariant),
              QStringLiteral("2.5"));
}

TEST(CaptionNumber, EntriesNeedANumberInTheirRange)
{
    const QChar dot = QLatin1Char('.');
    EXPECT_TRUE(AcceptsEntry(QStringLiteral("text"), false, 0, 0, dot)) << "a plain field";
    EXPECT_FALSE(AcceptsEntry(QStringLiteral("text"), true, 0, 0, dot));
    EXPECT_TRUE(AcceptsEntry(QStringLiteral("-3"), true, 0, 0, dot)) << "no range";
    EXPECT_FALSE(AcceptsEntry(QStringLiteral("x"), false, 1, 10, dot)) << "a range is numeric";
    EXPECT_TRUE(AcceptsEntry(QStringLiteral("10"), false, 1, 10, dot)) << "the ends belong to it";
    EXPECT_FALSE(AcceptsEntry(QStringLiteral("10.5"), false, 1, 10, dot));
    EXPECT_FALSE(AcceptsEntry(QStringLiteral("-1"), false, 0, 10, dot)) << "Min 0 with a Max";
}

} // namespace
} // namespace app::controls
