#include "app/common/stringbuilder.h"

#include <gtest/gtest.h>

#include "platform/vb/vberror.h"

namespace {

using app::common::StringBuilder;

TEST(StringBuilder, JoinsPiecesInOrder)
{
    StringBuilder builder;
    EXPECT_EQ(builder.length(), 0);
    EXPECT_TRUE(builder.Text().isEmpty());
    builder.concat(u"ab");
    builder.concat(u"c");
    builder.concat(u"");
    EXPECT_EQ(builder.length(), 3);
    EXPECT_EQ(builder.Text(), QStringLiteral("abc"));
    builder.reset();
    EXPECT_EQ(builder.length(), 0);
    builder.concat(u"x");
    EXPECT_EQ(builder.Text(), QStringLiteral("x"));
}

TEST(StringBuilder, CountsAnsiBytesAndKeepsThem)
{
    StringBuilder builder;
    const QString text = QStringLiteral("25\u00B0C \u20AC\r\n");
    builder.concat(text);
    EXPECT_EQ(builder.length(), 8);
    EXPECT_EQ(builder.Text(), text);
}

TEST(StringBuilder, RefusesACharacterOutsideTheCodePage)
{
    StringBuilder builder;
    builder.concat(u"ok");
    try {
        builder.concat(u"a\u4E2D");
        FAIL() << "no error";
    } catch (const platform::vb::VbError &error) {
        EXPECT_EQ(error.number(), platform::vb::VbError::Overflow);
    }
    EXPECT_EQ(builder.Text(), QStringLiteral("ok"));
}

TEST(StringBuilder, HoldsManyLines)
{
    StringBuilder builder;
    QString expected;
    for (int i = 0; i < 10000; ++i) {
        const QString line = QString::number(i) + QStringLiteral("\r\n");
        builder.concat(line);
        expected += line;
    }
    EXPECT_EQ(builder.length(), expected.size());
    EXPECT_EQ(builder.Text(), expected);
}

} // namespace
