#ifndef PLATFORM_VB_CONVERT_H
#define PLATFORM_VB_CONVERT_H

#include <cstdint>
#include <optional>

#include <QLocale>
#include <QVariant>

namespace platform::vb {

// Conversions of reals to integers round halves to even (2.5 gives 2, 3.5 gives 4, -2.5 gives
// -2) and raise VbError Overflow when the rounded value does not fit, NaN and infinities
// included.
int16_t CInt(double value);
int32_t CLng(double value);
uint8_t CByte(double value);

// The same roundings without raising: empty when the value does not fit. For values that come
// from outside (the module), where a wild number must not end an operation.
std::optional<int16_t> TryCInt(double value);
std::optional<int32_t> TryCLng(double value);
std::optional<uint8_t> TryCByte(double value);

// The largest whole number not above the value (Int(-2.5) is -3); NaN and infinities pass.
double Int(double value);

// Conversions of a variant as the system makes them: empty gives 0 (False); True is -1;
// numbers pass; the whole of a text must be a number, in the given locale's form or the
// invariant one (blanks around it allowed), else VbError TypeMismatch. CSng raises Overflow beyond
// the single range, and both raise Overflow for NaN and infinities. CBool also takes "True" and
// "False" in any case.
double CDbl(const QVariant &value, const QLocale &locale = QLocale::system());
float CSng(const QVariant &value, const QLocale &locale = QLocale::system());
bool CBool(const QVariant &value, const QLocale &locale = QLocale::system());
float CSng(double value);

} // namespace platform::vb

#endif
