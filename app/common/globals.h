#ifndef APP_COMMON_GLOBALS_H
#define APP_COMMON_GLOBALS_H

#include <cstdint>

#include <QString>

#include "platform/vb/format.h"

namespace app::common {

// Program-wide values of the shell and the common services. They belong to the user-interface
// thread; nothing here is synchronised.

// Factory mode for this run; fixed at start-up by DetectFactoryMode.
bool FactoryAccess();
void setFactoryAccess(bool on);

// Answer of the last modal message: after a Yes/No question, false means "Yes".
bool MessageCancelled();
void setMessageCancelled(bool cancelled);

// Twips in one screen pixel (15 until InitTwipsPerPixel measures it).
int16_t TwipsPerPixel();
void setTwipsPerPixel(int16_t twips);

// The user's display number format of the connected module (for example "0.00000").
QString DisplayFormat();
void setDisplayFormat(const QString &format);

// The separators numbers are shown with: the user's locale until the main window sets them.
QString DecimalSeparator();
void setDecimalSeparator(const QString &separator);
QString ThousandsSeparator();
void setThousandsSeparator(const QString &separator);
// Both separators in the form the number formatter takes.
platform::vb::NumberSeparators ProgramSeparators();

bool ShuttingDown();
void setShuttingDown(bool shuttingDown);

// The program's data folder and its settings file "Config.ini".
QString DataFolder();
void setDataFolder(const QString &folder);
QString SettingsFilePath();
void setSettingsFilePath(const QString &path);

} // namespace app::common

#endif
