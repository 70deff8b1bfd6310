#include "platform/vb/format.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <string>

#include <QLocale>

namespace platform::vb {

namespace {

struct NumberPattern
{
    QString prefix;
    QString suffix;
    int minIntegerDigits = 0;
    bool grouping = false;
    bool hasDecimalPoint = false;
    int requiredDecimals = 0;
    int totalDecimals = 0;
};

bool isPlaceholder(QChar c)
{
    return c == QLatin1Char('0') || c == QLatin1Char('#') || c == QLatin1Char('.') ||
           c == QLatin1Char(',');
}

NumberPattern parsePattern(QStringView pattern)
{
    NumberPattern parsed;
    qsizetype first = 0;
    while (first < pattern.size() && !isPlaceholder(pattern[first]))
        ++first;
    qsizetype last = pattern.size();
    while (last > first && !isPlaceholder(pattern[last - 1]))
        --last;
    parsed.prefix = pattern.left(first).toString();
    parsed.suffix = pattern.mid(last).toString();
    bool inDecimals = false;
    for (qsizetype i = first; i < last; ++i) {
        const QChar c = pattern[i];
        if (c == QLatin1Char('.')) {
            inDecimals = true;
            parsed.hasDecimalPoint = true;
        } else if (c == QLatin1Char(',')) {
            parsed.grouping = parsed.grouping || !inDecimals;
        } else if (inDecimals) {
            ++parsed.totalDecimals;
            if (c == QLatin1Char('0'))
                parsed.requiredDecimals = parsed.totalDecimals;
        } else if (c == QLatin1Char('0')) {
            ++parsed.minIntegerDigits;
        }
    }
    return parsed;
}

// |value| with `places` decimals, rounded half away from zero. Rounding starts from the shortest
// decimal text that reads back as the same double, so 2.675 gives 2.68 and 5e-8 gives 0.0000001,
// as a person reading the value expects.
std::string roundedDigits(double magnitude, int places)
{
    char buffer[400];
    const auto result =
        std::to_chars(buffer, buffer + sizeof buffer, magnitude, std::chars_format::fixed);
    if (result.ec != std::errc())
        return std::string("0");
    std::string shortest(buffer, result.ptr);
    size_t point = shortest.find('.');
    if (point == std::string::npos) {
        point = shortest.size();
        shortest.push_back('.');
    }
    shortest.append(static_cast<size_t>(places) + 1, '0');
    const size_t cut = point + 1 + static_cast<size_t>(places);
    std::string kept = shortest.substr(0, places == 0 ? point : cut);
    if (shortest[cut] >= '5') {
        // Carry through the kept digits, stepping over the point.
        int i = static_cast<int>(kept.size()) - 1;
        for (; i >= 0; --i) {
            char &digit = kept[static_cast<size_t>(i)];
            if (digit == '.')
                continue;
            if (digit != '9') {
                ++digit;
                break;
            }
            digit = '0';
        }
        if (i < 0)
            kept.insert(kept.begin(), '1');
    }
    return kept;
}

QString groupThousands(const std::string &digits, QChar separator)
{
    QString grouped;
    const size_t n = digits.size();
    for (size_t i = 0; i < n; ++i) {
        if (i > 0 && (n - i) % 3 == 0)
            grouped.append(separator);
        grouped.append(QLatin1Char(digits[i]));
    }
    return grouped;
}

} // namespace

NumberSeparators NumberSeparators::user()
{
    const QLocale locale = QLocale::system();
    NumberSeparators separators;
    separators.decimal =
        locale.decimalPoint().isEmpty() ? QLatin1Char('.') : locale.decimalPoint()[0];
    separators.thousands =
        locale.groupSeparator().isEmpty() ? QLatin1Char(',') : locale.groupSeparator()[0];
    return separators;
}

QString Format(double value, QStringView pattern, const NumberSeparators &separators)
{
    const NumberPattern parsed = parsePattern(pattern);
    if (std::isnan(value))
        return parsed.prefix + QStringLiteral("NaN") + parsed.suffix;
    if (std::isinf(value))
        return parsed.prefix + (value < 0 ? QStringLiteral("-Inf") : QStringLiteral("Inf")) +
               parsed.suffix;

    const std::string rounded = roundedDigits(std::fabs(value), parsed.totalDecimals);
    const size_t point = rounded.find('.');
    std::string integer = rounded.substr(0, point);
    std::string decimals = point == std::string::npos ? std::string() : rounded.substr(point + 1);

    const bool zero = rounded.find_first_not_of("0.") == std::string::npos;
    while (decimals.size() > static_cast<size_t>(parsed.requiredDecimals) && decimals.back() == '0')
        decimals.pop_back();
    // Leading zeros beyond the required integer digits go ("#.0" writes 0.5 as ".5").
    size_t leading = 0;
    while (leading < integer.size() && integer[leading] == '0' &&
           integer.size() - leading > static_cast<size_t>(parsed.minIntegerDigits))
        ++leading;
    integer.erase(0, leading);
    if (integer.size() < static_cast<size_t>(parsed.minIntegerDigits))
        integer.insert(0, static_cast<size_t>(parsed.minIntegerDigits) - integer.size(), '0');

    QString text = parsed.prefix;
    if (value < 0 && !zero)
        text.append(QLatin1Char('-'));
    text.append(parsed.grouping ? groupThousands(integer, separators.thousands)
                                : QString::fromLatin1(integer.data(), qsizetype(integer.size())));
    if (parsed.hasDecimalPoint && !decimals.empty()) {
        text.append(separators.decimal);
        text.append(QString::fromLatin1(decimals.data(), qsizetype(decimals.size())));
    }
    text.append(parsed.suffix);
    return text;
}

QString FormatSevenSignificant(double value, const NumberSeparators &separators,
                               QStringView pattern)
{
    const QString text = Format(value, pattern, separators);
    qsizetype length = 7;
    if (text.contains(QLatin1Char('-')))
        ++length;
    if (text.contains(QLatin1Char('.')))
        ++length;
    if (text.contains(QLatin1Char(',')))
        ++length;
    if (text.startsWith(QLatin1Char('0')))
        ++length;
    if (text.startsWith(QLatin1String("-0")))
        ++length;
    const qsizetype point = text.indexOf(separators.decimal);
    return text.left(std::max(length, point < 0 ? text.size() : point));
}

std::string FormatWireValue(double value)
{
    return Format(value, u"######0.0000000", NumberSeparators::invariant()).toStdString();
}

} // namespace platform::vb
