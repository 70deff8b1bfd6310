#include "updater/versionfile.h"

#include <QLocale>
#include <QRegularExpression>
#include <QVariant>

#include "platform/vb/convert.h"
#include "updater/upvelo.h"

namespace updater {

namespace {

const QString Zero = QStringLiteral("0");
const QString CrLf = QStringLiteral("\r\n");

int16_t toNumber(const QString &text)
{
    return platform::vb::CInt(platform::vb::CDbl(QVariant(text), QLocale::c()));
}

int16_t number(const QString &file, const QString &section, const QString &key)
{
    return toNumber(ReadIniValue(file, section, key, Zero));
}

} // namespace

VersionAssessment assessVersionFile(const QString &file, int16_t major, int16_t minor,
                                    int16_t revision)
{
    const QString version = QStringLiteral("Version");
    const QString minimum = QStringLiteral("Minimum");
    VersionAssessment result;
    // Any page a server sends with 200 would otherwise read as version 0.0.0.
    if (ReadIniValue(file, version, QStringLiteral("Maj"), QString()).isEmpty())
        return result;

    result.major = number(file, version, QStringLiteral("Maj"));
    result.minor = number(file, version, QStringLiteral("Min"));
    result.revision = number(file, version, QStringLiteral("Rev"));
    const int16_t oldestMajor = number(file, minimum, QStringLiteral("Maj"));
    const int16_t oldestMinor = number(file, minimum, QStringLiteral("Min"));
    const int16_t oldestRevision = number(file, minimum, QStringLiteral("Rev"));
    QString info = ReadIniValue(file, version, QStringLiteral("Info"), QString());
    info.replace(QLatin1Char('*'), CrLf);
    if (!info.isEmpty())
        result.info = CrLf + info + CrLf;

    const int32_t current = VersionNumber(major, minor, revision);
    const int32_t newest = VersionNumber(result.major, result.minor, result.revision);
    const int32_t oldest = VersionNumber(oldestMajor, oldestMinor, oldestRevision);
    if (current < newest)
        result.outcome = current < oldest ? VersionOutcome::Refused : VersionOutcome::Offer;
    else
        result.outcome = VersionOutcome::UpToDate;
    return result;
}

InstallerOffer installerOffer(const QString &file)
{
    const QString version = QStringLiteral("Version");
    InstallerOffer offer;
    static const QRegularExpression hexDigest(QStringLiteral("^[0-9A-Fa-f]{64}$"));
    static const QRegularExpression digits(QStringLiteral("^[0-9]{1,10}$"));
    const QString digest = ReadIniValue(file, version, QStringLiteral("SHA256"), QString());
    if (hexDigest.match(digest).hasMatch())
        offer.sha256 = QByteArray::fromHex(digest.toLatin1());
    const QString size = ReadIniValue(file, version, QStringLiteral("Size"), QString());
    if (digits.match(size).hasMatch())
        offer.size = size.toLongLong();
    return offer;
}

std::optional<int16_t> newsId(const QString &file)
{
    const QString id = ReadIniValue(file, QStringLiteral("News"), QStringLiteral("ID"), QString());
    if (id.isEmpty())
        return std::nullopt;
    return toNumber(id);
}

QString newsDocument(const QString &file, int16_t id)
{
    return ReadIniValue(file, QStringLiteral("News"), QString::number(id), QString());
}

} // namespace updater
