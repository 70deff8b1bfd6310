#ifndef APP_COMMON_COMMONSTATE_H
#define APP_COMMON_COMMONSTATE_H

#include <cstdint>

#include <QString>

#include "app/common/xmlregistry.h"
#include "platform/vb/format.h"
#include "platform/win/programstate.h"

namespace app::common {

// The program-wide state of the common services: the values globals.h reads and sets, the
// XML store, and what the last INI call left behind.
struct CommonState : platform::win::ProgramState<CommonState>
{
    struct Globals
    {
        bool factoryAccess = false;
        bool messageCancelled = false;
        int16_t twipsPerPixel = 15;
        QString displayFormat;
        QString decimalSeparator = QString(platform::vb::NumberSeparators::user().decimal);
        QString thousandsSeparator = QString(platform::vb::NumberSeparators::user().thousands);
        bool shuttingDown = false;
        QString dataFolder;
        QString settingsFilePath;
    };

    Globals globals;
    cXMLRegistry xmlStore;
    QString lastIniKey;
    QString lastIniWriteError;
};

} // namespace app::common

#endif
