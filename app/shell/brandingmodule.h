#ifndef APP_SHELL_BRANDINGMODULE_H
#define APP_SHELL_BRANDINGMODULE_H

#include <array>
#include <cstdint>
#include <optional>

#include <QImage>
#include <QString>
#include <QStringView>

namespace app::shell {

// The 33 branding colours, in the order the branding file lists them.
enum class BrandColour : uint8_t {
    Back,
    DisplayBack,
    HelpBack,
    HelpFore,
    Title,
    Headers,
    Text,
    Live,
    LiftoutBack,
    MenuFore,
    MenuHover,
    MenuDown,
    MenuDisabled,
    Border,
    BorderFocus,
    BorderDisabled,
    FieldBack,
    FieldBackHover,
    FieldBackDown,
    FieldBackDisabled,
    FieldFore,
    FieldForeHover,
    FieldForeDown,
    FieldForeDisabled,
    ButtonBack,
    ButtonBackHover,
    ButtonBackDown,
    ButtonBackDisabled,
    ButtonFore,
    ButtonForeHover,
    ButtonForeDown,
    ButtonForeDisabled,
    LiftoutFore,
    Count
};
constexpr int BrandColourCount = static_cast<int>(BrandColour::Count);
using BrandPalette = std::array<uint32_t, BrandColourCount>; // OLE colours 0x00BBGGRR

// The key of a colour in the branding file ("Back", ...).
QString BrandColourKey(BrandColour colour);
// The program's own complete palette: the look of the design and of a failed branding.
const BrandPalette &BuiltInPalette();

// The values of the branding file, program-wide for the run.
struct Branding
{
    QString Company;
    QString URL;
    QString LongName;
    QString ShortName;
    QString Email;
    QString Phone;
    QString KTW15 = QStringLiteral("HXR-TRB");
    QString KTW20 = QStringLiteral("HXR-B");
    QString KTV20 = QStringLiteral("HXR-C");
    int32_t Mode = 0;
    QString SalesOrder;
    double Date = 0.0;
    QImage Logo;
    QImage LogoSmall;
    BrandPalette colours{}; // all 0 until a file passes

    uint32_t colour(BrandColour which) const { return colours[static_cast<size_t>(which)]; }
};

Branding &CurrentBranding();

// "brand.vxb" in the folder when it exists, else "default.vxb".
QString BrandingFileName(const QString &programFolder);

// Reads the file into CurrentBranding(). False when the digest check fails (the pictures and
// colours are then left as they were) or when a colour is not a number (the palette then
// stays as it was).
bool LoadBranding(const QString &fileName);

// A colour text of the file: a decimal 32-bit integer, or "&H" and hexadecimal digits.
std::optional<uint32_t> ParseBrandColour(QStringView text);

} // namespace app::shell

#endif
