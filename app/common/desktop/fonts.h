#ifndef APP_COMMON_DESKTOP_FONTS_H
#define APP_COMMON_DESKTOP_FONTS_H

#include <QString>
#include <QStringView>

namespace app::common::desktop {

// The family names the program's windows ask for. The LED font file holds a seven-segment face
// of another family name; loading it makes this name stand for that face.
inline constexpr QStringView LedFontFamily = u"VX-LED";
inline constexpr QStringView ButtonFontFamily = u"VXTKButtons";

// Adds "VX-LED.TTF" and "VXTKButtons.TTF" of the folder (the program folder unless given) to the
// program's fonts, once per run: a second call does nothing until UnloadFonts. A missing file
// is skipped; the result is not checked, as the windows fall back to other faces.
void LoadFonts();
void LoadFonts(const QString &folder);
// Removes whatever LoadFonts added; harmless without a LoadFonts before.
void UnloadFonts();
bool FontsLoaded();

} // namespace app::common::desktop

#endif
