#include "platform/vb/cp1252.h"

#include <gtest/gtest.h>

namespace {

using platform::vb::fitsCp1252;
using platform::vb::fromCp1252;
using platform::vb::toCp1252;

struct Cp1252Case
{
    const char16_t *text;
    const char *bytes;
};

void PrintTo(const Cp1252Case &c, std::ostream *os)
{
    *os << QString::fromUtf16(c.text).toStdString();
}

class Cp1252Table : public testing::TestWithParam<Cp1252Case>
{};

TEST_P(Cp1252Table, EncodesOneBytePerCharacterAndDecodesBack)
{
    const Cp1252Case &c = GetParam();
    const QString text = QString::fromUtf16(c.text);
    EXPECT_EQ(toCp1252(text), QByteArray(c.bytes));
    EXPECT_EQ(fromCp1252(QByteArray(c.bytes)), text);
    EXPECT_TRUE(fitsCp1252(text));
}

INSTANTIATE_TEST_SUITE_P(Characters, Cp1252Table,
                         testing::Values(Cp1252Case{u"ABC", "ABC"},
                                         // The digest's salt: the yen sign is 0xA5.
                                         Cp1252Case{u"~\u00A5;<,<&", "~\xA5;<,<&"},
                                         Cp1252Case{u"\u20AC\u2122\u0178", "\x80\x99\x9F"},
                                         Cp1252Case{u"\u00E9\u00FF", "\xE9\xFF"}));

TEST(Cp1252, CharactersOutsideTheCodePageBecomeOneQuestionMarkEach)
{
    // Cyrillic, a CJK character and one outside the basic plane (a surrogate pair).
    const QString text =
        QStringLiteral("a\u0416b\u4E2D") + QString::fromUcs4(U"\U0001F600") + QStringLiteral("c");
    EXPECT_EQ(toCp1252(text), QByteArray("a?b??c"));
    EXPECT_FALSE(fitsCp1252(text));
}

TEST(Cp1252, EveryByteSurvivesARoundTrip)
{
    QByteArray all;
    for (int b = 0; b < 256; ++b) {
        all.append(static_cast<char>(b));
    }
    const QString text = fromCp1252(all);
    ASSERT_EQ(text.size(), 256);
    EXPECT_EQ(toCp1252(text), all);
}

} // namespace
