#ifndef UPDATER_USERSETTINGS_H
#define UPDATER_USERSETTINGS_H

#include <QString>

namespace updater {

// The utility's per-user settings: text values under
// HKEY_CURRENT_USER\Software\VXLiveUpdate\<section> in the user's registry store. A save that
// fails is told to the user once a run, with the file and the cause.
QString GetSetting(const QString &section, const QString &key, const QString &defaultValue);
void SaveSetting(const QString &section, const QString &key, const QString &value);

} // namespace updater

#endif
