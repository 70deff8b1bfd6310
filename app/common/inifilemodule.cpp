#include "app/common/inifilemodule.h"

#include <exception>
#include <optional>
#include <thread>

#include <QEventLoop>
#include <QObject>

#include "app/common/commonstate.h"
#include "platform/win/eventwait.h"

namespace app::common {

namespace {

QString &lastKey()
{
    return CommonState::current().lastIniKey;
}

QString &lastWriteError()
{
    return CommonState::current().lastIniWriteError;
}

// Room for 254 characters and the terminator.
constexpr int ValueBufferSize = 255;

// The value a read gives for what the profile call copied.
QString readValue(const QString &copied, int length, const QString &defaultValue)
{
    if (length == 0) {
        return defaultValue;
    }
    if (copied == NullMarker()) {
        return QString();
    }
    return copied;
}

} // namespace

QString NullMarker()
{
    return QStringLiteral("*NULL*");
}

QString LastIniKey()
{
    return lastKey();
}

bool WriteIniValue(const QString &fileName, const QString &section, const QString &key,
                   const QString &value)
{
    lastKey() = key;
    return platform::win::writePrivateProfileString(section, key, value, fileName,
                                                    &lastWriteError());
}

QString LastIniWriteError()
{
    return lastWriteError();
}

bool WriteIniValue(QByteArray &fileBytes, const QString &section, const QString &key,
                   const QString &value)
{
    lastKey() = key;
    return platform::win::writeProfileString(fileBytes, section, key, value);
}

QString ReadIniValue(const QString &fileName, const QString &section, const QString &key,
                     const QString &defaultValue)
{
    lastKey() = key;
    QString result;
    const int length = platform::win::getPrivateProfileString(section, key, defaultValue, result,
                                                              ValueBufferSize, fileName);
    return readValue(result, length, defaultValue);
}

platform::win::ParsedProfile ReadIniFile(const QString &fileName)
{
    if (!platform::win::threadRunsEvents()) {
        return platform::win::ParsedProfile(fileName);
    }
    std::optional<platform::win::ParsedProfile> parsed;
    std::exception_ptr failure;
    QEventLoop loop;
    QObject relay; // lives on this thread: the worker's call to end the wait runs here
    std::thread worker([&] {
        try {
            parsed.emplace(fileName);
        } catch (...) {
            failure = std::current_exception();
        }
        QMetaObject::invokeMethod(&relay, [&loop] { loop.quit(); }, Qt::QueuedConnection);
    });
    // Ends early only when the application quits; the reading is then waited for.
    loop.exec(QEventLoop::ExcludeUserInputEvents);
    worker.join();
    if (failure) {
        std::rethrow_exception(failure);
    }
    return std::move(*parsed);
}

QString ReadIniValue(const platform::win::ParsedProfile &file, const QString &section,
                     const QString &key, const QString &defaultValue)
{
    lastKey() = key;
    QString result;
    const int length = file.getString(section, key, defaultValue, result, ValueBufferSize);
    return readValue(result, length, defaultValue);
}

} // namespace app::common
