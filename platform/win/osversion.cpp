#include "platform/win/osversion.h"

#include <utility>

#include "platform/win/winstate.h"

namespace platform::win {

namespace {

VersionQuery &versionQuery()
{
    return WinState::current().versionQuery;
}

bool answerNT10(OsVersionInfo &info)
{
    if (info.size != OsVersionInfo::ExtendedSize && info.size != OsVersionInfo::BasicSize)
        return false;
    info.major = 10;
    info.minor = 0;
    info.build = 19045;
    info.platform = OsVersionInfo::PlatformNT;
    info.servicePack.clear();
    return true;
}

} // namespace

bool GetVersionEx(OsVersionInfo &info)
{
    return versionQuery() ? versionQuery()(info) : answerNT10(info);
}

VersionQuery setVersionQuery(VersionQuery query)
{
    return std::exchange(versionQuery(), std::move(query));
}

} // namespace platform::win
