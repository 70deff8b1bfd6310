#include "tooltips/cenvironment.h"

#include "platform/vb/vberror.h"
#include "platform/win/osversion.h"
#include "tooltips/tiperrors.h"

namespace tooltips {

namespace {

[[noreturn]] void raiseEnvironmentError(int32_t number, const QString &description)
{
    throw platform::vb::VbError(number, LibraryName + QStringLiteral(".CEnvironment"), description);
}

} // namespace

QString CEnvironment::OsName() const
{
    using platform::win::OsVersionInfo;
    OsVersionInfo info;
    info.size = OsVersionInfo::ExtendedSize;
    if (!platform::win::GetVersionEx(info)) {
        info = {};
        info.size = OsVersionInfo::BasicSize;
        if (!platform::win::GetVersionEx(info))
            raiseEnvironmentError(eErrEnvironment_CannotGetOsName,
                                  QStringLiteral("Cannot get operating system name"));
    }
    switch (info.platform) {
    case OsVersionInfo::PlatformWindows:
        return info.major > 4 || (info.major == 4 && info.minor > 0) ? QStringLiteral("Win98")
                                                                     : QStringLiteral("Win95");
    case OsVersionInfo::PlatformNT:
        return QStringLiteral("WinNT") + QString::number(info.major);
    default:
        raiseEnvironmentError(eErrEnvironment_UnknownOperatingSystem,
                              QStringLiteral("Unknown operating system"));
    }
}

bool CEnvironment::isOldShell(const QString &osName)
{
    return osName == QLatin1String("Win95") || osName == QLatin1String("Win98") ||
           osName == QLatin1String("WinNT4");
}

} // namespace tooltips
