#include "updater/upvelo.h"

#include <cerrno>
#include <memory>
#include <poll.h>
#include <sys/syscall.h>
#include <sys/wait.h>
#include <unistd.h>

#include <QApplication>
#include <QCryptographicHash>
#include <QEventLoop>
#include <QFile>
#include <QLabel>
#include <QPointer>
#include <QRegularExpression>
#include <QSocketNotifier>

#include "app/common/desktop/shellhook.h"
#include "platform/com/automationserver.h"
#include "platform/com/processstart.h"
#include "platform/vb/vberror.h"
#include "platform/win/profile.h"
#include "updater/mainfrm.h"
#include "updater/netgrab.h"
#include "updater/privatefolder.h"
#include "updater/updatemessages.h"
#include "updater/usersettings.h"
#include "updater/versionfile.h"

namespace updater {

namespace {

const QString CrLf = QStringLiteral("\r\n");
const QString UpdateTitle = QStringLiteral("Update");
const QString Source = QStringLiteral("Upvelo");

struct ModuleState
{
    int CallerHwnd = -1;
    QString VersionTempFile;
    QString InstallerTempFile;
    QString folder;
    QPointer<MainFrm> form;
    bool hourglass = false;
    DownloadLimits limits;
    QList<QSslCertificate> authorities;
};

ModuleState &state()
{
    static ModuleState instance;
    return instance;
}

// The override cursor, set and restored in balance whatever path a check takes.
void setHourglass(bool on)
{
    ModuleState &s = state();
    if (on == s.hourglass || !qobject_cast<QApplication *>(QCoreApplication::instance()))
        return;
    s.hourglass = on;
    if (on)
        QApplication::setOverrideCursor(Qt::WaitCursor);
    else
        QApplication::restoreOverrideCursor();
}

MainFrm &loadForm()
{
    ModuleState &s = state();
    if (!s.form) {
        s.form = new MainFrm;
        s.form->setAttribute(Qt::WA_DeleteOnClose);
        NetGrab *grab = s.form->NetGrab1();
        grab->setStallTimeout(s.limits.stallTimeout);
        grab->allowLoopbackHttp(UpdateBase().startsWith(QLatin1String("http:")) &&
                                NetGrab::isLoopback(QUrl(UpdateBase())));
        if (!s.authorities.isEmpty())
            grab->addCaCertificates(s.authorities);
    }
    return *s.form;
}

void unloadForm()
{
    ModuleState &s = state();
    if (s.form) {
        s.form->NetGrab1()->DownloadCancel();
        s.form->close();
        delete s.form.data();
    }
}

void message(const QString &text)
{
    ShowUpdateMessage(text, UpdateTitle, MessageIcon::Exclamation);
}

QString versionText(int16_t major, int16_t minor, int16_t revision)
{
    return QString::number(major) + QLatin1Char('.') + QString::number(minor) + QLatin1Char('.') +
           QString::number(revision);
}

void checkProduct(const QString &product)
{
    static const QRegularExpression code(QStringLiteral("^[A-Za-z0-9_-]{1,32}$"));
    if (!code.match(product).hasMatch())
        throw platform::vb::VbError(platform::vb::VbError::InvalidCall, Source,
                                    QStringLiteral("Invalid product code"));
}

QString serverFile(const QString &product, const QString &extension)
{
    return product + QLatin1Char('/') + product + extension;
}

void closeCaller()
{
    ModuleState &s = state();
    if (s.CallerHwnd >= 0)
        close(s.CallerHwnd);
    s.CallerHwnd = -1;
}

// Step 9: every path but True ends here.
void cleanUp()
{
    ModuleState &s = state();
    try {
        setHourglass(false);
        QFile::remove(s.VersionTempFile);
        QFile::remove(s.InstallerTempFile);
        removePrivateFolder(s.folder);
        s.VersionTempFile.clear();
        s.InstallerTempFile.clear();
        s.folder.clear();
        unloadForm();
        SetWindowAlpha(s.CallerHwnd, 255);
        closeCaller();
    } catch (...) {
        // The clean-up ignores every error.
    }
}

// The installer as offered: its size, its digest, and a program's first bytes.
bool installerMatches(const QString &file, const InstallerOffer &offer)
{
    QFile installer(file);
    if (!installer.open(QIODevice::ReadOnly) || installer.size() != offer.size)
        return false;
    const QByteArray start = installer.peek(4);
    if (!start.startsWith("\x7f" "ELF") && !start.startsWith("#!"))
        return false;
    QCryptographicHash hash(QCryptographicHash::Sha256);
    return hash.addData(&installer) && hash.result() == offer.sha256;
}

bool fetchInstaller(const QString &product, const InstallerOffer &offer)
{
    ModuleState &s = state();
    if (!offer.valid())
        return false;
    NetGrab *grab = loadForm().NetGrab1();
    grab->setMaxBytes(offer.size);
    grab->setDeadline(s.limits.installerDeadline);
    if (!DownloadToFile(UpdateBase() + serverFile(product, QStringLiteral(".exe")),
                        s.InstallerTempFile) ||
        !installerMatches(s.InstallerTempFile, offer))
        return false;
    return QFile::setPermissions(s.InstallerTempFile,
                                 QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
}

void showNews(const QString &product, const QString &file)
{
    const std::optional<int16_t> id = newsId(file);
    if (!id)
        return;
    bool numeric = false;
    const int last = GetSetting(product, QStringLiteral("ID"), QStringLiteral("-1")).toInt(&numeric);
    if (numeric && last == *id)
        return;
    const QString document = newsDocument(file, *id);
    if (document.isEmpty())
        return;
    // Handed to the desktop and counted as seen, whether or not it could be opened: the same
    // item is not tried again at every check.
    OpenDocument(document);
    SaveSetting(product, QStringLiteral("ID"), QString::number(*id));
}

bool runCheck(const QString &Product, int16_t Major, int16_t Minor, int16_t Revision, bool Silent)
{
    ModuleState &s = state();
    const QString installed = versionText(Major, Minor, Revision);
    s.VersionTempFile = MakeTempFileName();
    s.InstallerTempFile = MakeTempFileName();

    NetGrab *grab = loadForm().NetGrab1();
    grab->setMaxBytes(s.limits.versionMaxBytes);
    grab->setDeadline(s.limits.versionDeadline);
    const bool downloaded =
        DownloadToFile(UpdateBase() + serverFile(Product, QStringLiteral(".txt")), s.VersionTempFile);
    const VersionAssessment version =
        downloaded ? assessVersionFile(s.VersionTempFile, Major, Minor, Revision)
                   : VersionAssessment{};
    const QString newest = versionText(version.major, version.minor, version.revision);

    switch (version.outcome) {
    case VersionOutcome::Missing:
        setHourglass(false);
        if (!Silent)
            message(QStringLiteral("Cannot find version information online!"));
        return false;
    case VersionOutcome::Refused:
        setHourglass(false);
        if (!Silent)
            message(QStringLiteral("The current version ") + installed +
                    QStringLiteral(" cannot be updated to version ") + newest);
        return false;
    case VersionOutcome::Offer: {
        const bool yes = AskUpdateQuestion(
            QStringLiteral("There is a new version ") + newest + QStringLiteral(" available.") +
                CrLf + version.info + CrLf +
                QStringLiteral("Do you want to close this program and download and install the "
                               "update?"),
            QStringLiteral("Update Available For Version ") + installed);
        if (!yes)
            return false;
        SetStatus(QStringLiteral("Downloading installer..."));
        MainFrm &form = loadForm();
        form.show();
        if (fetchInstaller(Product, installerOffer(s.VersionTempFile))) {
            form.enableTimer1();
            return true;
        }
        setHourglass(false);
        message(QStringLiteral("Cannot download installer."));
        return false;
    }
    case VersionOutcome::UpToDate:
        setHourglass(false);
        if (!Silent)
            message(QStringLiteral("The current version is up to date."));
        showNews(Product, s.VersionTempFile);
        return false;
    }
    return false;
}

int openProcessHandle(int32_t pid)
{
    if (pid <= 0)
        return -1;
    return static_cast<int>(syscall(SYS_pidfd_open, static_cast<pid_t>(pid), 0));
}

bool processEnded(int handle, int timeout)
{
    pollfd watch{handle, POLLIN, 0};
    int ready;
    do {
        ready = poll(&watch, 1, timeout);
    } while (ready < 0 && errno == EINTR);
    return ready != 0;
}

} // namespace

QString UpdateBase()
{
    const QString configured = qEnvironmentVariable("HXR_UPDATE_BASE");
    const QString base = configured.isEmpty() ? BuiltInUpdateBase : configured;
    return base.endsWith(QLatin1String("/liveupdate/")) ? base : QString();
}

bool CheckUpdateBody(const QString &Product, int16_t Major, int16_t Minor, int16_t Revision,
                     int32_t hwnd, bool Silent)
{
    checkProduct(Product);
    ModuleState &s = state();
    closeCaller();
    s.CallerHwnd = openProcessHandle(hwnd);
    loadForm();
    setHourglass(true);
    try {
        if (runCheck(Product, Major, Minor, Revision, Silent))
            return true;
    } catch (...) {
        cleanUp();
        throw;
    }
    cleanUp();
    return false;
}

int32_t VersionNumber(int16_t Major, int16_t Minor, int16_t Revision)
{
    const int32_t minorPlace = Minor * 100;
    if (minorPlace < INT16_MIN || minorPlace > INT16_MAX)
        throw platform::vb::VbError(platform::vb::VbError::Overflow, Source,
                                    QStringLiteral("Overflow"));
    return Major * 10000 + minorPlace + Revision;
}

QString ReadIniValue(const QString &file, const QString &section, const QString &key,
                     const QString &defaultValue)
{
    QString value;
    if (platform::win::getPrivateProfileString(section, key, QString(), value, 1024, file) == 0)
        return defaultValue;
    return value == QLatin1String("*NULL*") ? QString() : value;
}

QString MakeTempFileName()
{
    ModuleState &s = state();
    if (s.folder.isEmpty())
        s.folder = makePrivateFolder();
    return makePrivateFile(s.folder);
}

bool DownloadToFile(const QString &url, const QString &file)
{
    NetGrab *grab = loadForm().NetGrab1();
    if (UpdateBase().isEmpty() || file.isEmpty()) {
        grab->setSuccess(false);
        return false;
    }
    QEventLoop loop;
    QObject::connect(grab, &NetGrab::DownloadComplete, &loop, &QEventLoop::quit);
    QObject::connect(grab, &NetGrab::DownloadFailed, &loop, &QEventLoop::quit);
    grab->DownloadStart(url);
    if (grab->Busy())
        loop.exec();
    return grab->Success() && grab->SaveAs(file);
}

void SetStatus(const QString &text)
{
    QLabel *label = loadForm().InfoLabel();
    label->setText(text);
    label->repaint();
}

void OpenDocument(const QString &document)
{
    try {
        // The launcher runs on by itself, outliving this utility; how it ends is not waited for,
        // and a news item that cannot be opened is passed over without a word.
        app::common::desktop::OpenWebPage(document, [](const QString &) {});
    } catch (...) {
    }
}

void SetWindowAlpha(int, int) {}

void WaitWindowClosed(int window)
{
    if (window < 0 || processEnded(window, 0))
        return;
    QEventLoop loop;
    QSocketNotifier notifier(window, QSocketNotifier::Read);
    QObject::connect(&notifier, &QSocketNotifier::activated, &loop, &QEventLoop::quit);
    loop.exec();
}

bool RunAndWait(const QString &commandLine, bool, int timeout)
{
    const platform::com::StartResult started = platform::com::startProcess(commandLine, {});
    if (started.error != 0 || started.pid <= 0)
        return false;
    const int handle = openProcessHandle(started.pid);
    if (handle >= 0) {
        if (processEnded(handle, timeout < 1 ? -1 : timeout))
            waitpid(started.pid, nullptr, WNOHANG);
        close(handle);
    }
    return true;
}

void RunInstaller()
{
    ModuleState &s = state();
    try {
        removePrivateFile(GetSetting(QStringLiteral("TEMP"), QStringLiteral("TEMP"), QString()));
        setHourglass(false);
        SetStatus(QStringLiteral("Waiting for program to close..."));
        WaitWindowClosed(s.CallerHwnd);
        closeCaller();
        setHourglass(true);
        SetStatus(QStringLiteral("Launching update installer!"));
        const bool started = RunAndWait(s.InstallerTempFile, false, 1000);
        SetStatus(QStringLiteral("Update complete."));
        QCoreApplication::processEvents();
        QFile::remove(s.VersionTempFile);
        QCoreApplication::processEvents();
        if (started)
            SaveSetting(QStringLiteral("TEMP"), QStringLiteral("TEMP"), s.InstallerTempFile);
        else
            removePrivateFolder(s.folder);
    } catch (...) {
        // The install step goes to its end whatever fails.
    }
    setHourglass(false);
    unloadForm();
    QCoreApplication::exit(0);
}

bool Main(const QStringList &arguments)
{
    if (platform::com::AutomationServer::automationDescriptor(arguments))
        return true;
    ShowUpdateMessage(QStringLiteral("This program cannot be launched from the executable!"),
                      QStringLiteral("Error"), MessageIcon::Critical);
    return false;
}

void AbandonCheck()
{
    cleanUp();
}

MainFrm *StatusWindow()
{
    return state().form.data();
}

void setDownloadLimits(const DownloadLimits &limits)
{
    state().limits = limits;
}

void addTestAuthorities(const QList<QSslCertificate> &certificates)
{
    state().authorities.append(certificates);
}

} // namespace updater
