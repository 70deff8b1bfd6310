#include "platform/vb/convert.h"

#include <cfloat>
#include <cmath>
#include <limits>

#include <QMetaType>
#include <QString>

#include "platform/vb/vberror.h"

namespace platform::vb {

namespace {

// Halves go to the even neighbour. x - floor(x) is exact for every finite double, so the
// comparison with 0.5 is too; the result does not depend on the FPU rounding mode.
double roundHalfEven(double value)
{
    const double floor = std::floor(value);
    const double fraction = value - floor;
    if (fraction > 0.5)
        return floor + 1.0;
    if (fraction < 0.5)
        return floor;
    return std::fmod(floor, 2.0) == 0.0 ? floor : floor + 1.0;
}

template <typename Integer>
std::optional<Integer> tryRound(double value)
{
    if (!std::isfinite(value))
        return std::nullopt;
    const double rounded = roundHalfEven(value);
    if (rounded < static_cast<double>(std::numeric_limits<Integer>::min()) ||
        rounded > static_cast<double>(std::numeric_limits<Integer>::max()))
        return std::nullopt;
    return static_cast<Integer>(rounded);
}

template <typename Integer>
Integer roundOrRaise(double value, const char *source)
{
    const std::optional<Integer> rounded = tryRound<Integer>(value);
    if (!rounded)
        throw VbError(VbError::Overflow, QString::fromLatin1(source), QStringLiteral("Overflow"));
    return *rounded;
}

[[noreturn]] void raiseTypeMismatch(const char *source)
{
    throw VbError(VbError::TypeMismatch, QString::fromLatin1(source),
                  QStringLiteral("Type mismatch"));
}

bool isNumericType(int typeId)
{
    switch (typeId) {
    case QMetaType::Int:
    case QMetaType::UInt:
    case QMetaType::LongLong:
    case QMetaType::ULongLong:
    case QMetaType::Double:
    case QMetaType::Float:
    case QMetaType::Short:
    case QMetaType::UShort:
    case QMetaType::Long:
    case QMetaType::ULong:
    case QMetaType::SChar:
    case QMetaType::UChar:
        return true;
    default:
        return false;
    }
}

std::optional<double> parseNumber(const QString &text, const QLocale &locale)
{
    const QString trimmed = text.trimmed();
    if (trimmed.isEmpty())
        return std::nullopt;
    bool ok = false;
    double value = locale.toDouble(trimmed, &ok);
    if (ok)
        return value;
    value = QLocale::c().toDouble(trimmed, &ok);
    if (ok)
        return value;
    return std::nullopt;
}

double toDouble(const QVariant &value, const QLocale &locale, const char *source)
{
    if (!value.isValid() || value.isNull())
        return 0.0;
    const int type = value.typeId();
    if (type == QMetaType::Bool)
        return value.toBool() ? -1.0 : 0.0;
    if (isNumericType(type))
        return value.toDouble();
    if (type == QMetaType::QString) {
        const std::optional<double> number = parseNumber(value.toString(), locale);
        if (!number)
            raiseTypeMismatch(source);
        return *number;
    }
    raiseTypeMismatch(source);
}

} // namespace

int16_t CInt(double value)
{
    return roundOrRaise<int16_t>(value, "CInt");
}
int32_t CLng(double value)
{
    return roundOrRaise<int32_t>(value, "CLng");
}
uint8_t CByte(double value)
{
    return roundOrRaise<uint8_t>(value, "CByte");
}

std::optional<int16_t> TryCInt(double value)
{
    return tryRound<int16_t>(value);
}
std::optional<int32_t> TryCLng(double value)
{
    return tryRound<int32_t>(value);
}
std::optional<uint8_t> TryCByte(double value)
{
    return tryRound<uint8_t>(value);
}

double Int(double value)
{
    return std::floor(value);
}

double CDbl(const QVariant &value, const QLocale &locale)
{
    const double number = toDouble(value, locale, "CDbl");
    if (!std::isfinite(number))
        throw VbError(VbError::Overflow, QStringLiteral("CDbl"), QStringLiteral("Overflow"));
    return number;
}

float CSng(double value)
{
    if (!std::isfinite(value) || std::fabs(value) > static_cast<double>(FLT_MAX))
        throw VbError(VbError::Overflow, QStringLiteral("CSng"), QStringLiteral("Overflow"));
    return static_cast<float>(value);
}

float CSng(const QVariant &value, const QLocale &locale)
{
    return CSng(toDouble(value, locale, "CSng"));
}

bool CBool(const QVariant &value, const QLocale &locale)
{
    if (value.typeId() == QMetaType::QString) {
        const QString text = value.toString().trimmed();
        if (text.compare(QLatin1String("True"), Qt::CaseInsensitive) == 0)
            return true;
        if (text.compare(QLatin1String("False"), Qt::CaseInsensitive) == 0)
            return false;
    }
    const double number = toDouble(value, locale, "CBool");
    if (std::isnan(number))
        throw VbError(VbError::Overflow, QStringLiteral("CBool"), QStringLiteral("Overflow"));
    return number != 0.0;
}

} // namespace platform::vb
