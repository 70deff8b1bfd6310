#ifndef UPDATER_UPVELO_H
#define UPDATER_UPVELO_H

#include <cstdint>

#include <QList>
#include <QSslCertificate>
#include <QString>
#include <QStringList>

namespace updater {

class MainFrm;

// The update check and the install step of the utility (one set of state per process).

// The update server's base address: HXR_UPDATE_BASE, else the built-in one. It must end in
// "/liveupdate/"; any other makes every download fail.
QString UpdateBase();
inline const QString BuiltInUpdateBase = QStringLiteral("https://updates.hxr.example/liveupdate/");

// The whole check; True when the user agreed and the installer is downloaded and checked, after
// which the install step runs on its own and ends the process. hwnd is the caller's process id.
// Raises VbError 5 for a product code that is not 1 to 32 letters, digits, "-" or "_"; the
// errors of the version file's numbers reach the caller after the clean-up.
bool CheckUpdateBody(const QString &Product, int16_t Major, int16_t Minor, int16_t Revision,
                     int32_t hwnd, bool Silent);

// Major x 10000 + Minor x 100 + Revision; Minor x 100 in 16 bits (VbError 6 beyond).
int32_t VersionNumber(int16_t Major, int16_t Minor, int16_t Revision);
// One value of an INI file; an empty value gives defaultValue, "*NULL*" gives "".
QString ReadIniValue(const QString &file, const QString &section, const QString &key,
                     const QString &defaultValue);
// A new empty file in the check's private folder (made on first use); empty on failure.
QString MakeTempFileName();
// Downloads url and saves it to file; true only when both succeeded. Waits in a local event loop.
bool DownloadToFile(const QString &url, const QString &file);
void SetStatus(const QString &text);
// Opens a news document: only http and https addresses are handed to the desktop, whose launcher
// is started and left running. Failures are ignored.
void OpenDocument(const QString &document);
// Nothing to act on: the caller's window belongs to another process.
void SetWindowAlpha(int window, int alpha);
// Waits, without spinning, until the caller's process has ended.
void WaitWindowClosed(int window);
// Starts the program (argv: its path alone, no shell) and waits for it at most timeout ms.
// True when it started.
bool RunAndWait(const QString &commandLine, bool hidden, int timeout);
// The install step.
void RunInstaller();
// False, after the message, when the utility was started without "--automation <fd>".
bool Main(const QStringList &arguments);

// The caller went away in the middle of a check: the check's files and window go.
void AbandonCheck();

// The status window while a check runs (else null).
MainFrm *StatusWindow();

// Download limits; tests shorten them.
struct DownloadLimits
{
    int stallTimeout = 30 * 1000;
    int versionDeadline = 60 * 1000;
    int installerDeadline = 30 * 60 * 1000;
    qint64 versionMaxBytes = 64 * 1024;
};
void setDownloadLimits(const DownloadLimits &limits);
// For tests only: authorities trusted besides the system's.
void addTestAuthorities(const QList<QSslCertificate> &certificates);

} // namespace updater

#endif
