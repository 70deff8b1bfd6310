#include "updater/usersettings.h"

#include <utility>

#include <QDir>

#include "platform/win/registrystore.h"
#include "updater/updatemessages.h"

namespace updater {

namespace {

QString keyPath(const QString &section)
{
    return QStringLiteral("Software\\VXLiveUpdate\\") + section;
}

// Once a run: the utility writes one settings file.
void warnNotSaved(const platform::win::RegistryStore &store, long result)
{
    static bool told = false;
    if (std::exchange(told, true))
        return;
    const QString cause = result == platform::win::RegCorrupt
                              ? QStringLiteral("it holds something other than settings")
                              : platform::win::RegistryStore::failureCause();
    ShowUpdateMessage(QStringLiteral("The settings could not be saved to ") +
                          QDir::toNativeSeparators(store.fileName()) + QStringLiteral(": ") +
                          cause + QLatin1Char('.'),
                      QStringLiteral("Update"), MessageIcon::Exclamation);
}

} // namespace

QString GetSetting(const QString &section, const QString &key, const QString &defaultValue)
{
    using namespace platform::win;
    RegistryStore &store = RegistryStore::user();
    HKey handle = 0;
    if (store.openKey(HKeyCurrentUser, keyPath(section), KeyRead, handle) != RegSuccess)
        return defaultValue;
    uint32_t type = RegNone;
    QByteArray data;
    const long result = store.queryValue(handle, key, &type, &data);
    store.closeKey(handle);
    if (result != RegSuccess || (type != RegSz && type != RegExpandSz))
        return defaultValue;
    if (data.endsWith('\0'))
        data.chop(1);
    return QString::fromUtf8(data);
}

void SaveSetting(const QString &section, const QString &key, const QString &value)
{
    using namespace platform::win;
    RegistryStore &store = RegistryStore::user();
    HKey handle = 0;
    long result = store.createKey(HKeyCurrentUser, keyPath(section), KeyAllAccess, handle);
    if (result == RegSuccess) {
        result = store.setValue(handle, key, RegSz, RegistryStore::textData(value));
        store.closeKey(handle);
    }
    if (result != RegSuccess)
        warnNotSaved(store, result);
}

} // namespace updater
