#include "app/common/desktop/settingswarning.h"

#include <QDir>
#include <QFileInfo>

#include "app/common/desktop/desktopstate.h"
#include "app/common/desktop/messages.h"
#include "app/common/globals.h"
#include "app/common/inifilemodule.h"

namespace app::common::desktop {

void WarnSettingNotSaved(const QString &what, const QString &fileName, const QString &cause)
{
    if (!DesktopState::current().settingsWarned.insert(QFileInfo(fileName).absoluteFilePath()).second)
        return;
    const QString why = cause.isEmpty() ? QString() : QStringLiteral(": ") + cause;
    ShowMessage(what + QStringLiteral(" could not be saved to ") +
                    QDir::toNativeSeparators(fileName) + why + QLatin1Char('.'),
                QStringLiteral("Warning"), true, MessageOk);
}

bool WriteIniSetting(const QString &section, const QString &key, const QString &value,
                     const QString &what)
{
    const QString file = SettingsFilePath();
    if (WriteIniValue(file, section, key, value))
        return true;
    WarnSettingNotSaved(what, file, LastIniWriteError());
    return false;
}

} // namespace app::common::desktop
