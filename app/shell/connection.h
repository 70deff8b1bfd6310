#ifndef APP_SHELL_CONNECTION_H
#define APP_SHELL_CONNECTION_H

#include <cstdint>

#include <QString>

namespace app::shell {

// What the Home page's detect learns about the connected module, program-wide for the shell
// and the pages. Empty texts and 0 until a module is connected.
struct Connection
{
    QString ConnectionStatusText; // model name & " serial number " & serial; empty: none
    QString ModelNumberText;
    QString ModelName;
    QString SerialText;
    int16_t LockMask = 0;
    QString DisplayUnitsText;
    bool AutoDetectPending = false; // a detect has not run yet since start-up
};

Connection &CurrentConnection();

} // namespace app::shell

#endif
