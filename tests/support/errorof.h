#ifndef TESTS_SUPPORT_ERROROF_H
#define TESTS_SUPPORT_ERROROF_H

#include <QString>

#include "platform/vb/vberror.h"

namespace testsupport {

// The error a call raises; number 0 when it raises none, so that a test can expect either.
template <typename Call>
platform::vb::VbError errorOf(Call &&call)
{
    try {
        call();
    } catch (const platform::vb::VbError &error) {
        return error;
    }
    return platform::vb::VbError(0, QString(), QString());
}

} // namespace testsupport

#endif
