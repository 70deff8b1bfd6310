#ifndef APP_COMMON_SPECIALFOLDERS_H
#define APP_COMMON_SPECIALFOLDERS_H

#include <QString>

namespace app::common {

// Shell folder numbers the program asks for.
constexpr int FolderDocuments = 5; // the user's documents
constexpr int FolderAppData = 26;  // the user's application settings

// The folder's path without a trailing separator. An unknown number, or a folder the system
// cannot name, gives the user's home folder, so that callers never build paths on the root.
QString GetSpecialFolderPath(int folderId);

} // namespace app::common

#endif
