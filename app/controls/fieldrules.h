#ifndef APP_CONTROLS_FIELDRULES_H
#define APP_CONTROLS_FIELDRULES_H

#include <cstdint>

#include <QChar>
#include <QString>

#include "platform/vb/format.h"

namespace app::controls {

// The rules of an entry field's text, apart from any widget.

// What a typed key meets: the text, the selection (start -1 when nothing is selected) and the
// caret.
struct KeyContext
{
    QString text;
    int selectionStart = -1;
    int selectionLength = 0;
    int caret = 0;
};

// What the field lets through: its Allowed characters ("." standing for the decimal separator,
// empty for any), its MaxLength (0 for any) and UpperCase.
struct KeyRules
{
    QString allowed;
    int16_t maxLength = 0;
    bool upperCase = false;
    QChar decimalSeparator = QLatin1Char('.');
};

// The character code the field takes for a typed key, 0 when it refuses it. Backspace, Ctrl+C
// and Ctrl+V always pass the set and length checks; a minus (when allowed) only at the start,
// and a second decimal separator never beside the one that stays.
int FilterFieldKey(const KeyRules &rules, const KeyContext &at, int keyAscii);

// A caption's number: an optional sign, digits with at most one decimal separator and an
// optional exponent. False for anything else and for numbers too large to hold.
bool ParseCaptionNumber(const QString &text, QChar decimalSeparator, double &value);

// The seven-digit rule of the "*" format: seven digits, not counting the sign, the separator
// and a leading zero; only decimals are cut.
QString SevenDigits(double value, const platform::vb::NumberSeparators &separators);

// The caption as the field's Format shows it ("*" for seven digits); text that is not a number,
// or an empty format, leaves it as it is.
QString FormatCaptionNumber(const QString &text, const QString &format,
                            const platform::vb::NumberSeparators &separators);

// Whether an edit is taken: a numeric field (IsNumeric, or Min or Max not 0) needs a number,
// and a range (Min or Max not 0) a number inside it.
bool AcceptsEntry(const QString &text, bool isNumeric, double min, double max,
                  QChar decimalSeparator);

// Why AcceptsEntry refuses the text, in words for the user (the range included where there is
// one); empty when it takes it.
QString EntryRefusal(const QString &text, bool isNumeric, double min, double max,
                     const platform::vb::NumberSeparators &separators);

} // namespace app::controls

#endif
