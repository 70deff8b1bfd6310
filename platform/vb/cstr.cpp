#include "platform/vb/cstr.h"

#include <cmath>
#include <cstdio>
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

    // Correctly rounded mantissa digits and the decimal exponent of the rounded value.
    char buffer[64];
    std::snprintf(buffer, sizeof buffer, "%.*e", digits - 1, std::fabs(value));
    const std::string text(buffer);
    const size_t e = text.find('e');
    std::string mantissa;
    for (size_t i = 0; i < e; ++i)
        if (text[i] != '.')
            mantissa.push_back(text[i]);
    const int exponent = std::atoi(text.c_str() + e + 1);
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
        char exponentText[16];
        std::snprintf(exponentText, sizeof exponentText, "E%c%02d", exponent < 0 ? '-' : '+',
                      std::abs(exponent));
        result.append(QLatin1String(exponentText));
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
