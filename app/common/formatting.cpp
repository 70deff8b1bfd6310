#include "app/common/formatting.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <string>

#include "app/common/globals.h"
#include "platform/vb/cstr.h"
#include "platform/vb/format.h"
#include "platform/vb/vberror.h"

namespace app::common {

namespace {

using platform::vb::CStr;
using platform::vb::Format;
using platform::vb::FormatSevenSignificant;
using platform::vb::NumberSeparators;

const QString MicroSeconds = QStringLiteral(" \u00B5s");

// The whole text must be a finite number, with the program's or "." as decimal separator.
bool parseNumber(QStringView text, const NumberSeparators &separators, double &number)
{
    QString normal = text.trimmed().toString();
    normal.replace(separators.decimal, QLatin1Char('.'));
    if (normal.startsWith(QLatin1Char('+')))
        normal.remove(0, 1);
    if (normal.endsWith(QLatin1Char('.')))
        normal.append(QLatin1Char('0'));
    const QByteArray latin = normal.toLatin1();
    if (latin.isEmpty())
        return false;
    const char *end = latin.constData() + latin.size();
    const auto result = std::from_chars(latin.constData(), end, number);
    return result.ec == std::errc() && result.ptr == end && std::isfinite(number);
}

QString twoDigits(double value)
{
    return Format(value, u"00", ProgramSeparators());
}

} // namespace

double singleAsDecimal(float value)
{
    if (!std::isfinite(value))
        return double(value);
    char buffer[64];
    const auto written = std::to_chars(buffer, buffer + sizeof buffer, value);
    double decimal = double(value);
    std::from_chars(buffer, written.ptr, decimal);
    return decimal;
}

QString FormatSevenDigits(float value)
{
    return FormatSevenSignificant(singleAsDecimal(value), ProgramSeparators());
}

QString FormatSevenDigitsStr(QStringView value)
{
    const NumberSeparators separators = ProgramSeparators();
    double number = 0;
    if (!parseNumber(value, separators, number))
        return value.toString();
    return FormatSevenSignificant(number, separators);
}

QString FormatDisplayValue(double value)
{
    return FormatDisplayValue(value, DisplayFormat());
}

QString FormatDisplayValue(double value, QStringView displayFormat)
{
    const NumberSeparators separators = ProgramSeparators();
    const QString seven = FormatSevenDigitsStr(CStr(value, separators));
    double number = value;
    parseNumber(seven, separators, number);
    QString text = displayFormat.isEmpty() ? CStr(number, separators)
                                           : Format(number, displayFormat, separators);
    const qsizetype point = text.indexOf(separators.decimal);
    if ((point < 0 ? text.size() : point) > 7)
        return DisplayOverflow.toString();
    const qsizetype width = point < 0 ? 7 : 8;
    text = text.left(width);
    return (QString(8, QLatin1Char(' ')) + text).right(width);
}

void SplitSeconds(double seconds, double &hours, int16_t &minutes, int16_t &secs)
{
    if (!std::isfinite(seconds))
        throw platform::vb::VbError(platform::vb::VbError::Overflow, QStringLiteral("SplitSeconds"),
                                    QStringLiteral("Overflow"));
    hours = std::floor(seconds / 3600.0);
    const double rest = seconds - hours * 3600.0;
    minutes = int16_t(std::floor(rest / 60.0));
    secs = int16_t(std::nearbyint(rest - minutes * 60.0));
}

QString FormatHMS(double seconds)
{
    double hours = 0;
    int16_t minutes = 0;
    int16_t secs = 0;
    SplitSeconds(seconds, hours, minutes, secs);
    return twoDigits(hours) + QLatin1Char(':') + twoDigits(minutes) + QLatin1Char(':') +
           twoDigits(secs);
}

QString FormatMS(double seconds)
{
    double hours = 0;
    int16_t minutes = 0;
    int16_t secs = 0;
    SplitSeconds(seconds, hours, minutes, secs);
    return twoDigits(minutes) + QLatin1Char(':') + twoDigits(secs);
}

QString FormatInterval(int32_t micros)
{
    // 64 bits, so that the most negative value can be made positive.
    const int64_t magnitude = micros < 0 ? -int64_t(micros) : int64_t(micros);
    const QString sign = micros < 0 ? QStringLiteral("-") : QString();
    const int64_t whole = magnitude / 1000000;
    const NumberSeparators separators = ProgramSeparators();
    if (whole == 0) {
        if (magnitude == 0)
            return QStringLiteral("0") + MicroSeconds;
        const QString frequency =
            Format(1000000.0 / double(magnitude), u"0.0", separators) + QStringLiteral(" Hz)");
        if (magnitude < 999)
            return sign + QString::number(magnitude) + MicroSeconds + QStringLiteral(" (") +
                   frequency;
        return sign + CStr(double(magnitude) / 1000.0, separators) + QStringLiteral(" ms (") +
               frequency;
    }
    const QString text = FormatHMS(double(whole)) + QLatin1Char(':') +
                         QString::number(magnitude - whole * 1000000) + MicroSeconds;
    return sign + text.mid(3);
}

} // namespace app::common
