#include "platform/vb/datetime.h"

namespace platform::vb {

QString LongDate(const QDate &date, const QLocale &locale)
{
    if (!date.isValid())
        return QString();
    return locale.toString(date, QLocale::LongFormat);
}

QString LongTime(const QTime &time, const QLocale &locale)
{
    if (!time.isValid())
        return QString();
    return locale.toString(time, longTimeFormat(locale));
}

QString longTimeFormat(const QLocale &locale)
{
    const QString pattern = locale.timeFormat(QLocale::LongFormat);
    QString kept;
    bool quoted = false;
    for (qsizetype i = 0; i < pattern.size(); ++i) {
        const QChar c = pattern[i];
        if (c == QLatin1Char('\'')) {
            quoted = !quoted;
            kept.append(c);
        } else if (!quoted && c == QLatin1Char('t')) {
            // Drop the zone field with the blanks and the brackets some locales put around it.
            while (!kept.isEmpty() &&
                   (kept.back() == QLatin1Char(' ') || kept.back() == QLatin1Char('(')))
                kept.chop(1);
            while (i + 1 < pattern.size() &&
                   (pattern[i + 1] == QLatin1Char('t') || pattern[i + 1] == QLatin1Char(')')))
                ++i;
        } else {
            kept.append(c);
        }
    }
    return kept.trimmed();
}

} // namespace platform::vb
