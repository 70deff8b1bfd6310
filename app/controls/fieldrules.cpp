#include "app/controls/fieldrules.h"

#include <cmath>

#include <QRegularExpression>

#include "platform/vb/cstr.h"
#include "platform/vb/val.h"

namespace app::controls {

int FilterFieldKey(const KeyRules &rules, const KeyContext &at, int keyAscii)
{
    const bool controlKey = keyAscii == 8 || keyAscii == 3 || keyAscii == 22;
    QString allowed = rules.allowed;
    allowed.replace(QLatin1Char('.'), rules.decimalSeparator);
    const QChar key(static_cast<char16_t>(keyAscii));
    const bool selected = at.selectionStart >= 0 && at.selectionLength > 0;

    if (!controlKey) {
        if (rules.maxLength > 0 && at.text.size() >= rules.maxLength && !selected)
            return 0;
        if (!allowed.isEmpty() && !allowed.contains(key))
            return 0;
    }
    // Where the character would go, and the text that would stay beside it.
    const int caret = selected ? at.selectionStart : at.caret;
    QString remaining = at.text;
    if (selected)
        remaining.remove(at.selectionStart, at.selectionLength);

    if (key == QLatin1Char('-') && rules.allowed.contains(QLatin1Char('-')) && caret != 0)
        return 0;
    if (!allowed.isEmpty() && allowed.contains(rules.decimalSeparator) &&
        key == rules.decimalSeparator && remaining.contains(rules.decimalSeparator))
        return 0;
    if (rules.upperCase)
        return key.toUpper().unicode();
    return keyAscii;
}

namespace {

QRegularExpression numberPattern(QChar decimalSeparator)
{
    const QString sep = QRegularExpression::escape(QString(decimalSeparator));
    return QRegularExpression(
        QStringLiteral("^[+-]?(\\d+(%1\\d*)?|%1\\d+)([eE][+-]?\\d+)?$").arg(sep));
}

// Whether the text is a whole number with this decimal separator. Captions are checked on every
// refresh: the expressions of the two separators in use are built once (matching a const
// expression is safe from any thread); another separator builds its own.
bool isCaptionNumber(const QString &text, QChar decimalSeparator)
{
    static const QRegularExpression point = numberPattern(QLatin1Char('.'));
    static const QRegularExpression comma = numberPattern(QLatin1Char(','));
    if (decimalSeparator == QLatin1Char('.'))
        return point.match(text).hasMatch();
    if (decimalSeparator == QLatin1Char(','))
        return comma.match(text).hasMatch();
    return numberPattern(decimalSeparator).match(text).hasMatch();
}

} // namespace

bool ParseCaptionNumber(const QString &text, QChar decimalSeparator, double &value)
{
    const QString trimmed = text.trimmed();
    if (!isCaptionNumber(trimmed, decimalSeparator))
        return false;
    QString plain = trimmed;
    plain.replace(decimalSeparator, QLatin1Char('.'));
    value = platform::vb::Val(plain);
    return std::isfinite(value);
}

QString SevenDigits(double value, const platform::vb::NumberSeparators &separators)
{
    QString result = platform::vb::FormatSevenSignificant(value, separators, u"0.#####0");
    if (result.endsWith(separators.decimal))
        result.chop(1);
    return result;
}

QString FormatCaptionNumber(const QString &text, const QString &format,
                            const platform::vb::NumberSeparators &separators)
{
    if (format.isEmpty())
        return text;
    double value = 0.0;
    if (!ParseCaptionNumber(text, separators.decimal, value))
        return text; // not a number: shown as it is
    if (format == QLatin1String("*"))
        return SevenDigits(value, separators);
    return platform::vb::Format(value, format, separators);
}

bool AcceptsEntry(const QString &text, bool isNumeric, double min, double max,
                  QChar decimalSeparator)
{
    const bool ranged = min != 0.0 || max != 0.0;
    double value = 0.0;
    if ((isNumeric || ranged) && !ParseCaptionNumber(text, decimalSeparator, value))
        return false;
    return !ranged || (value >= min && value <= max);
}

QString EntryRefusal(const QString &text, bool isNumeric, double min, double max,
                     const platform::vb::NumberSeparators &separators)
{
    if (AcceptsEntry(text, isNumeric, min, max, separators.decimal))
        return QString();
    const bool ranged = min != 0.0 || max != 0.0;
    double value = 0.0;
    const bool number = ParseCaptionNumber(text, separators.decimal, value);
    if (!ranged)
        return QStringLiteral("Not a number");
    const QString range =
        QStringLiteral("enter a number from %1 to %2")
            .arg(platform::vb::CStr(min, separators), platform::vb::CStr(max, separators));
    return (number ? QStringLiteral("Out of range: ") : QStringLiteral("Not a number: ")) + range;
}

} // namespace app::controls
