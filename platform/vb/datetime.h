#ifndef PLATFORM_VB_DATETIME_H
#define PLATFORM_VB_DATETIME_H

#include <QDate>
#include <QLocale>
#include <QString>
#include <QTime>

namespace platform::vb {

// The user's long date ("Monday, January 16, 2017" in a US locale).
QString LongDate(const QDate &date, const QLocale &locale = QLocale::system());

// The user's long time ("9:05:00 AM" in a US locale). A stored time has no time zone, so the
// zone that some locales add to their long form is left out.
QString LongTime(const QTime &time, const QLocale &locale = QLocale::system());

// The locale's long time pattern without its time-zone field.
QString longTimeFormat(const QLocale &locale);

} // namespace platform::vb

#endif
