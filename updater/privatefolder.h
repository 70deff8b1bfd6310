#ifndef UPDATER_PRIVATEFOLDER_H
#define UPDATER_PRIVATEFOLDER_H

#include <QString>

namespace updater {

// The utility's own temporary folders: one per check, made with mkdtemp (0700) as
// "hxr-upvelo-XXXXXX" in the temporary location, or in the cache location when the temporary one
// is mounted noexec (the installer must run from it). Files in it are made exclusively, 0600,
// with the prefix "TMP".

// The folder the private folders are made in.
QString privateFolderBase();
// A new private folder; empty when none can be made.
QString makePrivateFolder();
// A new empty file in folder; empty when none can be made.
QString makePrivateFile(const QString &folder);
// Removes a private folder with its files. Any other path is left alone.
void removePrivateFolder(const QString &folder);
// True for a "TMP" file, not a link, owned by the user, directly inside one of our private folders.
bool isPrivateFile(const QString &path);
// Deletes path when it is a private file, then its folder when that is left empty.
void removePrivateFile(const QString &path);

} // namespace updater

#endif
