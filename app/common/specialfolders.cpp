#include "app/common/specialfolders.h"

#include <QDir>
#include <QStandardPaths>

namespace app::common {

namespace {

QString cleaned(const QString &path)
{
    QString clean = QDir::cleanPath(path);
    while (clean.size() > 1 && clean.endsWith(QLatin1Char('/'))) {
        clean.chop(1);
    }
    return clean;
}

QString homeFolder()
{
    const QString home = QDir::homePath();
    // Without a home the temporary folder is still better than the root.
    return home.isEmpty() || home == QDir::rootPath() ? cleaned(QDir::tempPath()) : cleaned(home);
}

} // namespace

QString GetSpecialFolderPath(int folderId)
{
    QString path;
    switch (folderId) {
    case FolderAppData:
        path = QStandardPaths::writableLocation(QStandardPaths::GenericConfigLocation);
        break;
    case FolderDocuments:
        path = QStandardPaths::writableLocation(QStandardPaths::DocumentsLocation);
        break;
    default:
        break;
    }
    if (path.isEmpty() || cleaned(path) == QDir::rootPath()) {
        return homeFolder();
    }
    return cleaned(path);
}

} // namespace app::common
