#ifndef APP_COMMON_FORMATTING_H
#define APP_COMMON_FORMATTING_H

#include <cstdint>

#include <QString>
#include <QStringView>

namespace app::common {

// What the seven-digit display shows when a value's integer digits and sign do not fit it.
inline constexpr QStringView DisplayOverflow = u"-------";

// The double nearest to the single's shortest decimal text, so 0.1f counts as 0.1 and
// 12345.67f as 12345.67 (not 12345.669921875). Not-finite values pass through.
double singleAsDecimal(float value);

// Seven significant digits for a fixed-width display: the value with the pattern "0.######0"
// in the program's separators, cut to 7 characters plus one for each of "-", ".", ",", a first
// "0" and a first "-0". Integer digits and the sign are never cut: 123456789 stays whole.
QString FormatSevenDigits(float value);
// The same for a number given as text (the program's or "." as decimal separator). A text that
// is not a number comes back as it stands.
QString FormatSevenDigitsStr(QStringView value);

// The Information page's display: seven significant digits, then the display format (the
// program's DisplayFormat unless one is given), right-aligned in 7 characters, or 8 when the
// text holds the decimal separator. A value whose integer part and sign need more than seven
// places shows DisplayOverflow.
QString FormatDisplayValue(double value);
QString FormatDisplayValue(double value, QStringView displayFormat);

// Seconds split into whole hours, whole minutes and the remaining seconds rounded half to even
// (so 3,599.6 s gives 0 h, 59 min, 60 s). A value that is not finite raises an overflow error.
void SplitSeconds(double seconds, double &hours, int16_t &minutes, int16_t &secs);

// "hh:mm:ss" (hours with as many digits as they need) and "mm:ss" (hours dropped).
QString FormatHMS(double seconds);
QString FormatMS(double seconds);

// A span of microseconds with its frequency: "0 µs", "998 µs (1002.0 Hz)",
// "-1.5 ms (666.7 Hz)", and from one second on "00:02:250 µs" (minutes, seconds, microseconds).
QString FormatInterval(int32_t micros);

} // namespace app::common

#endif
