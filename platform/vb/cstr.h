#ifndef PLATFORM_VB_CSTR_H
#define PLATFORM_VB_CSTR_H

#include <QString>

#include "platform/vb/format.h"

namespace platform::vb {

// The text the system gives a number when it turns it into a string: the shortest decimal of
// at most 15 significant digits for a double (7 for a single), no grouping, the given decimal
// separator, and E notation ("1E+15", "1.5E-05") when the decimal exponent is above 14 (6 for a
// single) or below -4. Zero, negative zero included, is "0".
QString CStr(double value, const NumberSeparators &separators = NumberSeparators::user());
QString CStr(float value, const NumberSeparators &separators = NumberSeparators::user());

} // namespace platform::vb

#endif
