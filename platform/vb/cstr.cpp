#include "platform/vb/cstr.h"

#include <charconv>
#include <cmath>
#include <cstdlib>
#include <string>

namespace platform::vb {

namespace {

QString general(double value, int digits, int largestFixedExponent,
                const NumberSeparators &separators)
{
    if (std::isnan(value))
        return QStringLiteral("NaN");
    if (std::isinf(value))
        return value < 0 ? QStringLiteral("-Inf") : QStringLiteral("Inf");
    if (value == 0.0)
        return QStringLiteral("0");

    // Correctly rounded mantissa digits and the decimal exponent of the rounded value, with "."
    // and "e" whatever the C library's locale (printf would follow its decimal point).
    char buffer[64];
    const auto written = std::to_chars(buffer, buffer + sizeof buffer, std::fabs(value),
                                       std::chars_format::scientific, digits - 1);
    const std::string text(buffer, written.ptr);
    const size_t e = text.find('e');
    std::string mantissa;
    for (size_t i = 0; i < e; ++i)
        if (text[i] != '.')
            mantissa.push_back(text[i]);
    const char *exponentText = text.c_str() + e + 1;
    if (*exponentText == '+')
        ++exponentText;
    int exponent = 0;
    std::from_chars(exponentText, text.c_str() + text.size(), exponent);
    while (mantissa.size() > 1 && mantissa.back() == '0')
        mantissa.pop_back();

    QString result;
    if (value < 0)
        result.append(QLatin1Char('-'));
    const auto digitsOf = [](const std::string &s) {
        return QString::fromLatin1(s.data(), qsizetype(s.size()));
    };
    if (exponent > largestFixedExponent || exponent < -4) {
        result.append(QLatin1Char(mantissa[0]));
        if (mantissa.size() > 1) {
            result.append(separators.decimal);
            result.append(digitsOf(mantissa.substr(1)));
        }
        result.append(exponent < 0 ? QLatin1String("E-") : QLatin1String("E+"));
        result.append(QStringLiteral("%1").arg(std::abs(exponent), 2, 10, QLatin1Char('0')));
        return result;
    }
    if (exponent < 0) {
        result.append(QLatin1Char('0'));
        result.append(separators.decimal);
        result.append(QString(-exponent - 1, QLatin1Char('0')));
        result.append(digitsOf(mantissa));
        return result;
    }
    const size_t integerDigits = size_t(exponent) + 1;
    if (mantissa.size() <= integerDigits) {
        result.append(digitsOf(mantissa));
        result.append(QString(qsizetype(integerDigits - mantissa.size()), QLatin1Char('0')));
    } else {
        result.append(digitsOf(mantissa.substr(0, integerDigits)));
        result.append(separators.decimal);
        result.append(digitsOf(mantissa.substr(integerDigits)));
    }
    return result;
}

} // namespace

QString CStr(double value, const NumberSeparators &separators)
{
    return general(value, 15, 14, separators);
}

QString CStr(float value, const NumberSeparators &separators)
{
    return general(double(value), 7, 6, separators);
}

} // namespace platform::vb
