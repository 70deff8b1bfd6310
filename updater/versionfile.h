#ifndef UPDATER_VERSIONFILE_H
#define UPDATER_VERSIONFILE_H

#include <cstdint>
#include <optional>

#include <QByteArray>
#include <QString>

namespace updater {

// What a downloaded version file says about the caller's version.
enum class VersionOutcome
{
    // No version in it ([Version] Maj reads empty): not a version file at all.
    Missing,
    // The caller is older than [Minimum]: it cannot update.
    Refused,
    // A newer version may be installed.
    Offer,
    UpToDate,
};

struct VersionAssessment
{
    VersionOutcome outcome = VersionOutcome::Missing;
    int16_t major = 0;
    int16_t minor = 0;
    int16_t revision = 0;
    // [Version] Info, "*" turned into CR LF, wrapped in CR LF when not empty.
    QString info;
};

// The installer the file offers: [Version] SHA256 (64 hex digits) and Size (bytes).
struct InstallerOffer
{
    static constexpr qint64 MaxSize = 256LL * 1024 * 1024;

    QByteArray sha256;
    qint64 size = -1;

    bool valid() const { return sha256.size() == 32 && size > 0 && size <= MaxSize; }
};

// Reads the version numbers and compares them with the caller's. Raises VbError 13 for a number
// that is no number, 6 for one out of range.
VersionAssessment assessVersionFile(const QString &file, int16_t major, int16_t minor,
                                    int16_t revision);
InstallerOffer installerOffer(const QString &file);
// [News] ID; empty when missing or empty. Raises as above for one that is no 16-bit number.
std::optional<int16_t> newsId(const QString &file);
// The document of the news item id ("" when none).
QString newsDocument(const QString &file, int16_t id);

} // namespace updater

#endif
