#include "app/common/desktop/fonts.h"

#include <vector>

#include <QCoreApplication>
#include <QDir>
#include <QFont>
#include <QFontDatabase>
#include <QStringList>

#include "app/common/desktop/desktopstate.h"

namespace app::common::desktop {

namespace {

DesktopState::Fonts &state()
{
    return DesktopState::current().fonts;
}

void addFont(const QString &path, QStringView family)
{
    const int id = QFontDatabase::addApplicationFont(path);
    if (id < 0)
        return;
    state().ids.push_back(id);
    const QStringList families = QFontDatabase::applicationFontFamilies(id);
    if (families.isEmpty() || families.contains(family.toString()))
        return;
    QFont::insertSubstitution(family.toString(), families.first());
    state().substituted.append(family.toString());
}

} // namespace

void LoadFonts()
{
    LoadFonts(QCoreApplication::applicationDirPath());
}

void LoadFonts(const QString &folder)
{
    if (state().loaded)
        return;
    const QDir dir(folder);
    addFont(dir.filePath(QStringLiteral("VX-LED.TTF")), LedFontFamily);
    addFont(dir.filePath(QStringLiteral("VXTKButtons.TTF")), ButtonFontFamily);
    state().loaded = true;
}

void UnloadFonts()
{
    for (const int id : state().ids)
        QFontDatabase::removeApplicationFont(id);
    for (const QString &family : state().substituted)
        QFont::removeSubstitutions(family);
    state().ids.clear();
    state().substituted.clear();
    state().loaded = false;
}

bool FontsLoaded()
{
    return state().loaded;
}

} // namespace app::common::desktop
