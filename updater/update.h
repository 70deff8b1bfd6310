#ifndef UPDATER_UPDATE_H
#define UPDATER_UPDATE_H

#include <cstdint>
#include <sys/types.h>

#include <QJsonArray>
#include <QJsonValue>
#include <QString>

namespace updater {

// The class the toolkit creates by the name "VXLiveUpdate.Update".
class Update
{
public:
    // The arguments are taken by reference and left as they are.
    bool CheckUpdate(QString &Product, int16_t &Major, int16_t &Minor, int16_t &Revision,
                     int32_t &hwnd, bool &Silent);

    // A call as it arrives from the caller: the member's name, its arguments and the caller's
    // process. A CheckUpdate whose hwnd is not the calling process is refused.
    QJsonValue invoke(const QString &member, const QJsonArray &arguments, pid_t callerPid);
};

} // namespace updater

#endif
