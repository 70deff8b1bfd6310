#ifndef PLATFORM_COM_AUTOMATIONOBJECT_H
#define PLATFORM_COM_AUTOMATIONOBJECT_H

#include <memory>

#include <QJsonArray>
#include <QJsonValue>
#include <QString>

namespace platform::com {

class AutomationChannel;

// An object served by another process, called late-bound by name. Releasing it (destroying it)
// closes the connection.
class AutomationObject
{
public:
    explicit AutomationObject(std::unique_ptr<AutomationChannel> channel);
    ~AutomationObject();
    AutomationObject(const AutomationObject &) = delete;
    AutomationObject &operator=(const AutomationObject &) = delete;

    // Calls the member and waits for its answer in a local event loop, so that timers, readings
    // and repaints go on. An error the server raised comes back as a VbError with its number,
    // source and description; a connection that closes first raises ObjectDisconnected.
    QJsonValue call(const QString &member, const QJsonArray &arguments);

private:
    std::unique_ptr<AutomationChannel> channel_;
};

// Starts the server registered for progId (classes.ini) and connects to it. Raises VbError
// CannotCreateObject naming the cause when the class is not registered, its server is missing,
// cannot be run (a folder, not executable, not a program) or does not greet within
// GreetingTimeout; ElevationRequired when the server could run but this user may not run it.
std::unique_ptr<AutomationObject> CreateObject(const QString &progId);

inline constexpr int GreetingTimeout = 10000;

} // namespace platform::com

#endif
