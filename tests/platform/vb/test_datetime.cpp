#include "platform/vb/datetime.h"

#include <gtest/gtest.h>

namespace {

using platform::vb::LongDate;
using platform::vb::LongTime;

TEST(DateTime, LongFormsOfTheLocale)
{
    const QLocale us(QLocale::English, QLocale::UnitedStates);
    EXPECT_EQ(LongDate(QDate(2017, 1, 16), us), QStringLiteral("Monday, January 16, 2017"));
    EXPECT_EQ(LongTime(QTime(9, 5), us), us.toString(QTime(9, 5), QStringLiteral("h:mm:ss AP")));
    EXPECT_TRUE(LongTime(QTime(9, 5), us).startsWith(QStringLiteral("9:05:00")));

    const QLocale german(QLocale::German, QLocale::Germany);
    EXPECT_EQ(LongDate(QDate(2017, 1, 16), german), QStringLiteral("Montag, 16. Januar 2017"));
    EXPECT_EQ(LongTime(QTime(21, 5, 7), german), QStringLiteral("21:05:07"));
}

TEST(DateTime, NoTimeZoneInAnyLongTime)
{
    // A stored time has no zone; none may show up, whatever the locale puts around it.
    for (const QLocale &locale : QLocale::matchingLocales(QLocale::AnyLanguage, QLocale::AnyScript,
                                                          QLocale::AnyTerritory)) {
        const QString pattern = platform::vb::longTimeFormat(locale);
        const QString original = locale.timeFormat(QLocale::LongFormat);
        QString unquoted;
        bool quoted = false;
        for (QChar c : pattern) {
            if (c == QLatin1Char('\''))
                quoted = !quoted;
            else if (!quoted)
                unquoted.append(c);
        }
        ASSERT_FALSE(unquoted.contains(QLatin1Char('t'))) << original.toStdString();
        ASSERT_FALSE(pattern.isEmpty()) << original.toStdString();
        ASSERT_FALSE(unquoted.contains(QLatin1String("()"))) << original.toStdString();
    }
}

TEST(DateTime, InvalidGivesEmptyText)
{
    EXPECT_TRUE(LongDate(QDate()).isEmpty());
    EXPECT_TRUE(LongTime(QTime()).isEmpty());
}

} // namespace
