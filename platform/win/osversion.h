#ifndef PLATFORM_WIN_OSVERSION_H
#define PLATFORM_WIN_OSVERSION_H

#include <cstdint>
#include <functional>

#include <QString>

namespace platform::win {

// The system version record: the caller sets size to the form it asks for, the extended one of
// 156 bytes or the basic one of 148 bytes.
struct OsVersionInfo
{
    static constexpr uint32_t ExtendedSize = 156;
    static constexpr uint32_t BasicSize = 148;
    static constexpr uint32_t PlatformWindows = 1; // the 9x family
    static constexpr uint32_t PlatformNT = 2;

    uint32_t size = 0;
    uint32_t major = 0;
    uint32_t minor = 0;
    uint32_t build = 0;
    uint32_t platform = 0;
    QString servicePack;
};

// Fills the record for its size; false when that form is not answered. The toolkit runs on the
// NT family, version 10.0.
bool GetVersionEx(OsVersionInfo &info);

// Replaces the answer (tests); an empty query restores the default. Returns the previous one.
using VersionQuery = std::function<bool(OsVersionInfo &)>;
VersionQuery setVersionQuery(VersionQuery query);

} // namespace platform::win

#endif
