#include "updater/usersettings.h"

#include "platform/win/registrystore.h"

namespace updater {

namespace {

QString keyPath(const QString &section)
{
    return QStringLiteral("Software\\VXLiveUpdate\\") + section;
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
    if (store.createKey(HKeyCurrentUser, keyPath(section), KeyAllAccess, handle) != RegSuccess)
        return;
    store.setValue(handle, key, RegSz, RegistryStore::textData(value));
    store.closeKey(handle);
}

} // namespace updater
