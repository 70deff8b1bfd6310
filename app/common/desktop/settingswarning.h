#ifndef APP_COMMON_DESKTOP_SETTINGSWARNING_H
#define APP_COMMON_DESKTOP_SETTINGSWARNING_H

#include <QString>

namespace app::common::desktop {

// Tells the user that a setting could not be saved to its file, and why: once per file and run,
// however many writes to it fail. The setting stays in use for the run. `what` names the setting
// as the message begins ("The display format").
void WarnSettingNotSaved(const QString &what, const QString &fileName, const QString &cause);

// WriteIniValue into the settings file, warning as above when it fails.
bool WriteIniSetting(const QString &section, const QString &key, const QString &value,
                     const QString &what = QStringLiteral("The settings"));

} // namespace app::common::desktop

#endif
