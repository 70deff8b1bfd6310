// Calls the update check as the toolkit does:
//   hxr-comcall PRODUCT MAJOR MINOR REVISION SILENT(0|1) [DELAY_MS]
// prints "result true", "result false" or "error <number>", then ends DELAY_MS later. With
// HXR_COMCALL_PIDFILE set it first writes its pid there; HXR_COMCALL_HWND passes another process
// in place of its own.
#include <cstdio>
#include <unistd.h>

#include <QCoreApplication>
#include <QFile>
#include <QTimer>

#include "platform/com/automationobject.h"
#include "platform/vb/vberror.h"

int main(int argc, char **argv)
{
    QCoreApplication application(argc, argv);
    const QStringList arguments = QCoreApplication::arguments();
    if (arguments.size() < 6) {
        std::fprintf(stderr, "usage: hxr-comcall PRODUCT MAJOR MINOR REVISION SILENT [DELAY_MS]\n");
        return 2;
    }
    const QString pidFile = qEnvironmentVariable("HXR_COMCALL_PIDFILE");
    if (!pidFile.isEmpty()) {
        QFile file(pidFile);
        if (file.open(QIODevice::WriteOnly))
            file.write(QByteArray::number(getpid()));
    }
    try {
        bool other = false;
        const int hwnd = qEnvironmentVariableIntValue("HXR_COMCALL_HWND", &other);
        auto object = platform::com::CreateObject(QStringLiteral("VXLiveUpdate.Update"));
        const QJsonValue result = object->call(
            QStringLiteral("CheckUpdate"),
            {arguments.at(1), arguments.at(2).toInt(), arguments.at(3).toInt(),
             arguments.at(4).toInt(), other ? hwnd : static_cast<int>(getpid()),
             arguments.at(5) == QLatin1String("1")});
        std::printf("result %s\n", result.toBool() ? "true" : "false");
    } catch (const platform::vb::VbError &error) {
        std::printf("error %d\n", error.number());
    }
    std::fflush(stdout);
    QTimer::singleShot(arguments.value(6).toInt(), &application, &QCoreApplication::quit);
    return application.exec();
}
