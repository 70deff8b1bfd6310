#ifndef APP_ANALYSIS_CSVLINE_H
#define APP_ANALYSIS_CSVLINE_H

#include <string_view>

namespace app::analysis {

// Room a formatted reading needs: sign, 39 integer digits of the largest single, "." and seven
// decimals.
constexpr int MaxReadingChars = 64;

// Writes the reading as the pattern "0.0000000" writes its shortest decimal form (so 12345.67f
// gives "12345.6700000"): "." whatever the locale, halves away from zero, no "-" when it rounds
// to zero. `out` holds at least MaxReadingChars; returns the characters written.
int FormatReading(float value, char *out);

// Reads a data line's number as the toolkit reads any number (leading blanks skipped, parsing
// stops at the first character that cannot continue it, no number is 0.0). False when the
// number lies beyond the range of a single, which would turn into an infinity. `decimalComma`,
// when given, tells whether the number goes on with "," and a digit ("1,5", "1,000.5"): a file
// written with a decimal comma, whose readings would silently lose their decimals.
bool ParseReading(std::string_view line, float &value, bool *decimalComma = nullptr);

} // namespace app::analysis

#endif
