#include "platform/com/classregistry.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>

#include "platform/win/profile.h"

namespace platform::com {

QString classesFileName()
{
    const QString configured = qEnvironmentVariable("HXR_COM_CLASSES");
    if (!configured.isEmpty())
        return configured;
    return QCoreApplication::applicationDirPath() + QStringLiteral("/classes.ini");
}

QString serverForClass(const QString &progId)
{
    if (progId.trimmed().isEmpty())
        return {};
    const QString file = classesFileName();
    QString server;
    platform::win::getPrivateProfileString(progId, QStringLiteral("Server"), QString(), server,
                                           1024, file);
    if (server.isEmpty())
        return {};
    return QDir::cleanPath(QFileInfo(file).absoluteDir().absoluteFilePath(server));
}

} // namespace platform::com
