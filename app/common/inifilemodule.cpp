#include "app/common/inifilemodule.h"

#include "platform/win/profile.h"

namespace app::common {

namespace {

QString &lastKey()
{
    static QString key;
    return key;
}

QString &lastWriteError()
{
    static QString error;
    return error;
}

// Room for 254 characters and the terminator.
constexpr int ValueBufferSize = 255;

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
    if (length == 0) {
        return defaultValue;
    }
    if (result == NullMarker()) {
        return QString();
    }
    return result;
}

} // namespace app::common
