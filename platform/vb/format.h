#ifndef PLATFORM_VB_FORMAT_H
#define PLATFORM_VB_FORMAT_H

#include <string>

#include <QChar>
#include <QString>
#include <QStringView>

namespace platform::vb {

// The separators a number is written with.
struct NumberSeparators
{
    QChar decimal = QLatin1Char('.');
    QChar thousands = QLatin1Char(',');

    static NumberSeparators invariant() { return {}; }
    // The user's separators, from the system locale.
    static NumberSeparators user();
};

// Numeric patterns as the system uses them: "0" is a required digit, "#" an optional one,
// "." the decimal separator, "," anywhere in the integer part groups thousands.
// - The integer part has at least as many digits as its "0"s (none for "#.0" and 0.5: ".5").
// - The value is rounded at the last decimal place of the pattern, halves away from zero.
// - Decimals run up to the last "0" of the decimal part; the "#" places after it are written
//   only when significant. A pattern that mixes them the other way round ("0.######0") thus
//   always writes every place: 0.5 gives "0.5000000". Integer digits are never cut.
// - A value that rounds to zero is written without a sign.
// Text before the first and after the last placeholder is copied as it stands.
QString Format(double value, QStringView pattern,
               const NumberSeparators &separators = NumberSeparators::user());

// Seven significant places for a fixed-width display: the value with the pattern ("0.######0"
// unless given), cut to 7 characters plus one for each of "-", ".", ",", a first "0" and a
// first "-0". Only decimals are cut: the sign and every integer digit stay (123456789.5 gives
// "123456789"), and a decimal separator left last ("1234567.") stays for the caller to keep or
// drop.
QString FormatSevenSignificant(double value,
                               const NumberSeparators &separators = NumberSeparators::user(),
                               QStringView pattern = u"0.######0");

// The module's wire format "######0.0000000": no blanks, "." whatever the locale, seven decimals.
std::string FormatWireValue(double value);

} // namespace platform::vb

#endif
