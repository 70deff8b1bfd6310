#ifndef TOOLTIPS_TIPERRORS_H
#define TOOLTIPS_TIPERRORS_H

#include <cstdint>

#include <QString>

#include "platform/vb/vberror.h"

namespace tooltips {

// Error numbers above the custom-error base.
constexpr int32_t CustomErrorBase = static_cast<int32_t>(0x80040000u);
constexpr int32_t ErrTooltipFailure = CustomErrorBase + 9759; // &H8004261F
constexpr int32_t ErrInfotipFailure = CustomErrorBase + 9760; // &H80042620

enum EErrTimer : int32_t {
    eErrTimer_CantCreateTimer = CustomErrorBase + 18401,
    eErrTimer_ComponentFailure = CustomErrorBase + 18402,
};

enum EErrEnvironment : int32_t {
    eErrEnvironment_CannotGetOsName = CustomErrorBase + 17381,
    eErrEnvironment_UnknownOperatingSystem = CustomErrorBase + 17382,
    eErrEnvironment_ComponentFailure = CustomErrorBase + 17383,
};

constexpr int32_t ErrTooManyTimers = 18511;

// The name the library's errors give as their executable.
inline const QString LibraryName = QStringLiteral("R77Tip");

// "<Class> component failure in Sub <member>" (or "in Property <member>") from "<Source>".
[[noreturn]] inline void raiseComponentFailure(int32_t number, const QString &source,
                                               const QString &className, const QString &kind,
                                               const QString &member)
{
    throw platform::vb::VbError(number, source,
                                className + QStringLiteral(" component failure in ") + kind +
                                    QLatin1Char(' ') + member);
}

// Runs a member; any error it meets is raised again as the member's component failure.
template <typename Body>
auto trapped(int32_t number, const QString &source, const QString &className, const QString &kind,
             const QString &member, Body &&body)
{
    try {
        return body();
    } catch (...) {
        raiseComponentFailure(number, source, className, kind, member);
    }
}

} // namespace tooltips

#endif
