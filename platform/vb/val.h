#ifndef PLATFORM_VB_VAL_H
#define PLATFORM_VB_VAL_H

#include <cstddef>
#include <string_view>

#include <QStringView>

namespace platform::vb {

// The leading number of a text, locale-free: leading blanks are skipped, then an optional sign,
// digits with an optional "." and an optional exponent; parsing stops at the first character
// that cannot continue the number. A text without a number gives 0.
double Val(std::string_view text);
double Val(QStringView text);

// Where the leading number that Val reads ends, counted from the start of the text (its leading
// blanks included); 0 when the text holds no number.
size_t ValNumberEnd(std::string_view text);

} // namespace platform::vb

#endif
