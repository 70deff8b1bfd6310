#ifndef TOOLTIPS_CENVIRONMENT_H
#define TOOLTIPS_CENVIRONMENT_H

#include <QString>

#include "tooltips/r77tipexport.h"

namespace tooltips {

// The operating system's name as the tooltip classes ask for it.
class R77TIP_EXPORT CEnvironment
{
public:
    // "Win95", "Win98", or "WinNT" and the major version ("WinNT10").
    QString OsName() const;

    // True for the systems whose tooltip windows lack the newer features.
    static bool isOldShell(const QString &osName);
};

} // namespace tooltips

#endif
