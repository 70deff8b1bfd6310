#include "app/shell/brandingmodule.h"

#include <QDateTime>
#include <QDir>
#include <QFileInfo>

#include "app/common/desktop/xmlpicture.h"
#include "app/common/xmlmodule.h"
#include "app/shell/shellstate.h"

namespace app::shell {

namespace {

const QString AppName = QStringLiteral("KTWToolkit");
const QString Section = QStringLiteral("Data");

const std::array<const char *, BrandColourCount> ColourKeys = {
    "Back",         "DisplayBack",     "HelpBack",       "HelpFore",
    "Title",        "Headers",         "Text",           "Live",
    "LiftoutBack",  "MenuFore",        "MenuHover",      "MenuDown",
    "MenuDisabled", "Border",          "BorderFocus",    "BorderDisabled",
    "FieldBack",    "FieldBackHover",  "FieldBackDown",  "FieldBackDisabled",
    "FieldFore",    "FieldForeHover",  "FieldForeDown",  "FieldForeDisabled",
    "ButtonBack",   "ButtonBackHover", "ButtonBackDown", "ButtonBackDisabled",
    "ButtonFore",   "ButtonForeHover", "ButtonForeDown", "ButtonForeDisabled",
    "LiftoutFore"};

// A dark instrument look: charcoal panels, light entry fields, one cyan accent.
const BrandPalette Palette = {
    0x2D2723, // Back #23272D
    0x201B18, // DisplayBack #181B20
    0x31271E, // HelpBack #1E2731
    0xDCD0C4, // HelpFore #C4D0DC
    0xF7F3EE, // Title #EEF3F7
    0xF7C34F, // Headers #4FC3F7
    0xD2CAC3, // Text #C3CAD2
    0xA8E07F, // Live #7FE0A8
    0x45392C, // LiftoutBack #2C3945
    0xB5A38F, // MenuFore #8FA3B5
    0xF7C34F, // MenuHover #4FC3F7
    0xFFFFFF, // MenuDown #FFFFFF
    0x5A524A, // MenuDisabled #4A525A
    0x56493C, // Border #3C4956
    0xF7C34F, // BorderFocus #4FC3F7
    0x38322C, // BorderDisabled #2C3238
    0xECE3D9, // FieldBack #D9E3EC
    0xF7F1E9, // FieldBackHover #E9F1F7
    0xFFFFFF, // FieldBackDown #FFFFFF
    0x70665C, // FieldBackDisabled #5C6670
    0x1C1814, // FieldFore #14181C
    0x110E0B, // FieldForeHover #0B0E11
    0x855C0B, // FieldForeDown #0B5C85
    0xBAB2A9, // FieldForeDisabled #A9B2BA
    0x4C4034, // ButtonBack #34404C
    0x625242, // ButtonBackHover #425262
    0xA06F1B, // ButtonBackDown #1B6FA0
    0x36302A, // ButtonBackDisabled #2A3036
    0xF7F3EE, // ButtonFore #EEF3F7
    0xFFFFFF, // ButtonForeHover #FFFFFF
    0xFFFFFF, // ButtonForeDown #FFFFFF
    0x7C746B, // ButtonForeDisabled #6B747C
    0xF7F3EE, // LiftoutFore #EEF3F7
};

QString readText(const QString &key, const QString &fallback)
{
    return app::common::ReadXMLSetting(Section, key, fallback);
}

// A model name: an empty value also gives the default.
QString readModelName(const QString &key, const QString &fallback)
{
    const QString name = readText(key, fallback);
    return name.isEmpty() ? fallback : name;
}

// The current date and time as a count of days since 30 December 1899.
double oleDateNow()
{
    const QDateTime now = QDateTime::currentDateTime();
    const qint64 days = QDate(1899, 12, 30).daysTo(now.date());
    return static_cast<double>(days) + now.time().msecsSinceStartOfDay() / 86'400'000.0;
}

} // namespace

QString BrandColourKey(BrandColour colour)
{
    return QString::fromLatin1(ColourKeys[static_cast<size_t>(colour)]);
}

const BrandPalette &BuiltInPalette()
{
    return Palette;
}

Branding &CurrentBranding()
{
    return ShellState::current().branding;
}

QString BrandingFileName(const QString &programFolder)
{
    const QDir folder(programFolder);
    const QString brand = folder.filePath(QStringLiteral("brand.vxb"));
    if (QFileInfo(brand).isFile())
        return brand;
    return folder.filePath(QStringLiteral("default.vxb"));
}

std::optional<uint32_t> ParseBrandColour(QStringView text)
{
    text = text.trimmed();
    bool ok = false;
    if (text.startsWith(u"&H", Qt::CaseInsensitive)) {
        const qulonglong v = text.mid(2).toULongLong(&ok, 16);
        if (!ok || v > 0xFFFFFFFFull)
            return std::nullopt;
        return static_cast<uint32_t>(v);
    }
    const qlonglong v = text.toLongLong(&ok, 10);
    if (!ok || v < INT32_MIN || v > UINT32_MAX)
        return std::nullopt;
    return static_cast<uint32_t>(v);
}

bool LoadBranding(const QString &fileName)
{
    Branding &b = CurrentBranding();
    // A file that cannot be opened leaves every read at its default and fails the check.
    app::common::OpenXMLStore(fileName, AppName, false);

    b.Company = readText(QStringLiteral("Company"), QString());
    b.URL = readText(QStringLiteral("URL"), QString());
    b.LongName = readText(QStringLiteral("LongName"), QString());
    b.ShortName = readText(QStringLiteral("ShortName"), QString());
    b.Email = readText(QStringLiteral("Email"), QString());
    b.Phone = readText(QStringLiteral("Phone"), QString());
    b.KTW15 = readModelName(QStringLiteral("KTW15"), QStringLiteral("HXR-TRB"));
    b.KTW20 = readModelName(QStringLiteral("KTW20"), QStringLiteral("HXR-B"));
    b.KTV20 = readModelName(QStringLiteral("KTV20"), QStringLiteral("HXR-C"));
    bool numbersOk = true;
    const QString mode = readText(QStringLiteral("Mode"), QStringLiteral("0")).trimmed();
    b.Mode = mode.toInt(&numbersOk);
    b.SalesOrder = readText(QStringLiteral("SalesOrder"), QString());
    const QString date = readText(QStringLiteral("Date"), QString()).trimmed();
    if (date.isEmpty()) {
        b.Date = oleDateNow();
    } else {
        bool dateOk = false;
        b.Date = date.toDouble(&dateOk);
        numbersOk = numbersOk && dateOk;
    }

    if (!app::common::VerifyXMLHash(Section))
        return false;
    // A signed file whose numbers are no numbers is as unusable as a tampered one.
    if (!numbersOk)
        return false;

    // Every colour must be a number before any is taken: a signed file with a bad colour
    // counts as a failed branding, not as a half-applied palette.
    BrandPalette colours{};
    for (int i = 0; i < BrandColourCount; ++i) {
        const auto value = ParseBrandColour(readText(QString::fromLatin1(ColourKeys[i]), "0"));
        if (!value)
            return false;
        colours[static_cast<size_t>(i)] = *value;
    }
    b.Logo = app::common::desktop::ReadXMLPicture(Section, QStringLiteral("Logo"));
    b.LogoSmall = app::common::desktop::ReadXMLPicture(Section, QStringLiteral("LogoSmall"));
    b.colours = colours;
    return true;
}

} // namespace app::shell
