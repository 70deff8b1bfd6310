#include "platform/win/atomicfile.h"

#include <QDateTime>
#include <QDir>
#include <QFileInfo>
#include <QSaveFile>

namespace platform::win {

namespace {

// A write that is still running finishes in well under this; an older file is left by a crash.
constexpr qint64 StaleAfterSeconds = 60;

// The temporary names of the file's writes: its name, a dot and six letters or digits.
bool isTemporaryOf(const QString &candidate, const QString &target)
{
    if (candidate.size() != target.size() + 7 || !candidate.startsWith(target) ||
        candidate[target.size()] != QLatin1Char('.')) {
        return false;
    }
    for (qsizetype i = target.size() + 1; i < candidate.size(); ++i) {
        const char16_t c = candidate[i].unicode();
        if (!((c >= u'0' && c <= u'9') || (c >= u'a' && c <= u'z') || (c >= u'A' && c <= u'Z'))) {
            return false;
        }
    }
    return true;
}

} // namespace

void removeStaleTemporaries(const QString &fileName)
{
    const QFileInfo target(fileName);
    QDir folder = target.absoluteDir();
    const QString name = target.fileName();
    const QDateTime staleBefore = QDateTime::currentDateTimeUtc().addSecs(-StaleAfterSeconds);
    const QFileInfoList candidates =
        folder.entryInfoList({name + QStringLiteral(".??????")}, QDir::Files | QDir::Hidden);
    for (const QFileInfo &candidate : candidates) {
        if (isTemporaryOf(candidate.fileName(), name) && !candidate.isSymLink() &&
            candidate.lastModified().toUTC() < staleBefore) {
            folder.remove(candidate.fileName());
        }
    }
}

bool writeFileAtomically(const QString &fileName, const QByteArray &bytes)
{
    removeStaleTemporaries(fileName);
    QSaveFile file(fileName);
    if (!file.open(QIODevice::WriteOnly)) {
        return false;
    }
    if (file.write(bytes) != bytes.size()) {
        file.cancelWriting();
        return false;
    }
    return file.commit();
}

} // namespace platform::win
