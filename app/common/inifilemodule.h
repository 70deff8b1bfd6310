#ifndef APP_COMMON_INIFILEMODULE_H
#define APP_COMMON_INIFILEMODULE_H

#include <QByteArray>
#include <QString>

#include "platform/win/profile.h"

namespace app::common {

// Settings values: at most 254 characters, read and written one key at a time. The exact text
// "*NULL*" stands for a value that is present but empty; writers substitute it themselves.

// The marker of an empty value.
QString NullMarker();

// The key of the most recent ReadIniValue or WriteIniValue, set before the file is touched so
// that it also names the key of a call that failed.
QString LastIniKey();

// Writes Value unchanged under Section and Key, creating the file and section when missing.
// False when the file could not be written: callers that save a whole file must check it.
bool WriteIniValue(const QString &fileName, const QString &section, const QString &key,
                   const QString &value);
// Why the most recent WriteIniValue to a file failed ("No space left on device"); empty after
// one that succeeded, or that refused a name or value the file cannot hold.
QString LastIniWriteError();
// The same write into a file's bytes held in memory (empty: a new file), for a file that is
// written whole once it is complete.
bool WriteIniValue(QByteArray &fileBytes, const QString &section, const QString &key,
                   const QString &value);

// The stored value cut to 254 characters; "*NULL*" reads as the empty text; a key that is
// missing or holds an empty value reads as defaultValue (so a default of "*NULL*" gives the
// empty text too).
QString ReadIniValue(const QString &fileName, const QString &section, const QString &key,
                     const QString &defaultValue);

// A file read once for many ReadIniValue lookups, which answer as reads of the file itself
// did when it was read. On the user-interface thread the reading runs on a worker while the
// thread keeps running its events, user input held back, so that a large file leaves the
// window answering.
platform::win::ParsedProfile ReadIniFile(const QString &fileName);
QString ReadIniValue(const platform::win::ParsedProfile &file, const QString &section,
                     const QString &key, const QString &defaultValue);

} // namespace app::common

#endif
