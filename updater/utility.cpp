#include "updater/utility.h"

#include <unistd.h>

#include <QApplication>

#include "platform/com/automationserver.h"
#include "updater/update.h"
#include "updater/upvelo.h"

namespace updater {

int runUtility(QApplication &application)
{
    // Message boxes come and go; the process ends only as the check decides.
    QApplication::setQuitOnLastWindowClosed(false);
    const QStringList arguments = QCoreApplication::arguments();
    if (!Main(arguments))
        return 1;

    Update update;
    bool installing = false;
    platform::com::AutomationServer server(
        *platform::com::AutomationServer::automationDescriptor(arguments),
        [&update](const QString &member, const QJsonArray &args, pid_t caller) {
            return update.invoke(member, args, caller);
        });
    QObject::connect(&server, &platform::com::AutomationServer::answered, &application,
                     [&](const QJsonValue &result, bool error) {
                         if (!error && result.toBool()) {
                             installing = true;
                             return;
                         }
                         server.flush();
                         QCoreApplication::exit(0);
                     });
    QObject::connect(&server, &platform::com::AutomationServer::callerGone, &application, [&] {
        if (installing)
            return;
        if (server.callRunning()) {
            // The check cannot return to anyone: its files go, and so does the process.
            AbandonCheck();
            _exit(0);
        }
        QCoreApplication::exit(0);
    });
    return application.exec();
}

} // namespace updater
