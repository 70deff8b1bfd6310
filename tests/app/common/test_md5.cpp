#include "app/common/md5.h"

#include <random>

#include <QCryptographicHash>

#include <gtest/gtest.h>

#include "platform/vb/cp1252.h"

namespace {

using app::common::MD5Hex;
using app::common::MD5Salt;
using app::common::MD5Text;
using app::common::SaltedMD5;

struct DigestCase
{
    const char *text;
    const char *digest;
};

void PrintTo(const DigestCase &c, std::ostream *os)
{
    *os << '"' << c.text << '"';
}

class Rfc1321Vectors : public testing::TestWithParam<DigestCase>
{};

TEST_P(Rfc1321Vectors, MatchInLowerCase)
{
    EXPECT_EQ(MD5Text(QString::fromLatin1(GetParam().text)), QLatin1String(GetParam().digest));
}

INSTANTIATE_TEST_SUITE_P(
    Published, Rfc1321Vectors,
    testing::Values(
        DigestCase{"", "d41d8cd98f00b204e9800998ecf8427e"},
        DigestCase{"a", "0cc175b9c0f1b6a831c399e269772661"},
        DigestCase{"abc", "900150983cd24fb0d6963f7d28e17f72"},
        DigestCase{"message digest", "f96b697d7cb7938d525a2f31aaf161d0"},
        DigestCase{"abcdefghijklmnopqrstuvwxyz", "c3fcd3d76192e4007dfb496cca67e13b"},
        DigestCase{"ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789",
                   "d174ab98d277d9f5a5611c2c9f419d9f"},
        DigestCase{"1234567890123456789012345678901234567890123456789012345678901234567890123456"
                   "7890",
                   "57edf4a22be3c955ac49da2e2107b67a"}));

// Lengths around the block boundaries: 55 bytes pad within one block, 56 need a second, 64 fill
// one block exactly and pad in the next.
TEST(MD5, PaddingEdgesAgreeWithTheReference)
{
    for (int length : {54, 55, 56, 57, 63, 64, 65, 119, 120, 128}) {
        const QByteArray bytes(length, 'x');
        EXPECT_EQ(
            MD5Hex(bytes),
            QString::fromLatin1(QCryptographicHash::hash(bytes, QCryptographicHash::Md5).toHex()))
            << length;
    }
}

TEST(MD5, RandomInputsAgreeWithTheReference)
{
    std::mt19937 random(1321);
    std::uniform_int_distribution<int> lengths(0, 300);
    std::uniform_int_distribution<int> bytes(0, 255);
    for (int run = 0; run < 200; ++run) {
        QByteArray input(lengths(random), Qt::Uninitialized);
        for (char &b : input) {
            b = static_cast<char>(bytes(random));
        }
        const QString expected =
            QString::fromLatin1(QCryptographicHash::hash(input, QCryptographicHash::Md5).toHex());
        // Through the text form as well: every byte is one character of the code page.
        ASSERT_EQ(MD5Text(platform::vb::fromCp1252(input)), expected) << input.toHex().data();
    }
}

TEST(MD5, SaltGoesInFrontAndIsHashedAsCodePageBytes)
{
    EXPECT_EQ(MD5Salt().size(), 7);
    EXPECT_EQ(SaltedMD5(QString()), MD5Text(MD5Salt()));
    EXPECT_EQ(SaltedMD5(QStringLiteral("Data")), MD5Hex(QByteArray("~\xA5;<,<&Data")));
    // 48 characters after the salt make 55 bytes (one block), 49 make 56 (two blocks).
    for (int length : {48, 49}) {
        const QString text(length, QLatin1Char('k'));
        EXPECT_EQ(SaltedMD5(text),
                  QString::fromLatin1(
                      QCryptographicHash::hash(QByteArray("~\xA5;<,<&") + QByteArray(length, 'k'),
                                               QCryptographicHash::Md5)
                          .toHex()));
    }
}

} // namespace
