// The installed program: `cmake --install` of this build tree into a fresh prefix gives a
// program folder that holds what the build tree's program folder holds, a command on the PATH
// and the udev rule, and the program started from the prefix detects the simulated module with
// nothing of the build tree loaded.

#include <QDir>
#include <QDirIterator>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QProcessEnvironment>
#include <QSet>
#include <QString>
#include <QStringList>
#include <QTemporaryDir>
#include <QTest>

#include <gmock/gmock.h>

#include <fcntl.h>
#include <sys/file.h>
#include <unistd.h>

namespace {

// What the build tree's program folder holds beside the deliverables: the driver's demo and the
// USB emulator, developers' aids that a user does not run.
const QStringList NotInstalled = {QStringLiteral("hxr-demo"), QStringLiteral("hxr-usb-emulator")};
// Our own libraries: each must be the prefix's copy once the program runs.
const QStringList OwnLibraries = {QStringLiteral("libHXRDrv.so"), QStringLiteral("libR77Tip.so"),
                                  QStringLiteral("libhxrusb.so")};
// Installing copies a few tens of megabytes; the sanitizer build starts slowly.
constexpr int InstallMs = 60'000;
constexpr int DetectMs = 60'000;

QString readAll(const QString &path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? QString::fromUtf8(file.readAll()) : QString();
}

class InstalledProgramTest : public testing::Test
{
protected:
    void SetUp() override
    {
        ASSERT_TRUE(work_.isValid());
        prefix_ = work_.filePath(QStringLiteral("prefix"));
        programFolder_ = prefix_ + QStringLiteral("/lib/hxr-toolkit");
        // Every install of the build tree writes its manifest there: one install at a time.
        const int buildTree = ::open(HXR_BINARY_DIR, O_RDONLY | O_DIRECTORY | O_CLOEXEC);
        ASSERT_GE(buildTree, 0);
        ASSERT_EQ(flock(buildTree, LOCK_EX), 0);
        QProcess install;
        install.setProcessChannelMode(QProcess::MergedChannels);
        install.start(QStringLiteral(HXR_CMAKE_COMMAND),
                      {QStringLiteral("--install"), QStringLiteral(HXR_BINARY_DIR),
                       QStringLiteral("--prefix"), prefix_});
        const bool installed = install.waitForFinished(InstallMs);
        manifest_ = readAll(QStringLiteral(HXR_BINARY_DIR "/install_manifest.txt"))
                        .split(QLatin1Char('\n'), Qt::SkipEmptyParts);
        ::close(buildTree);
        ASSERT_TRUE(installed);
        ASSERT_EQ(install.exitStatus(), QProcess::NormalExit);
        ASSERT_EQ(install.exitCode(), 0) << install.readAll().toStdString();
        // Every file the install made, links among them, as the manifest names them.
        QDirIterator made(prefix_, QDir::Files | QDir::System | QDir::Hidden,
                          QDirIterator::Subdirectories);
        while (made.hasNext())
            installedFiles_.append(made.next());
        // As the kernel names the files it maps.
        prefix_ = QFileInfo(prefix_).canonicalFilePath();
        programFolder_ = QFileInfo(programFolder_).canonicalFilePath();
        ASSERT_FALSE(programFolder_.isEmpty());
    }

    // The environment of a user's start on the simulated module, with a home of its own so that
    // the program's settings and documents folders stay inside the test's folder.
    QProcessEnvironment userEnvironment(const QString &simLog) const
    {
        QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
        for (const char *name :
             {"HXR_SIM_CONTROL", "HXR_COM_CLASSES", "HXR_UPDATE_BASE", "HXR_FACTORY",
              "XDG_CONFIG_HOME", "XDG_DATA_HOME", "XDG_CACHE_HOME", "LD_LIBRARY_PATH"})
            environment.remove(QString::fromLatin1(name));
        const QString home = work_.filePath(QStringLiteral("home"));
        QDir().mkpath(home);
        environment.insert(QStringLiteral("HOME"), home);
        environment.insert(QStringLiteral("HXR_FTDI"), QStringLiteral("sim"));
        environment.insert(QStringLiteral("HXR_SIM"), QStringLiteral("devices=1"));
        environment.insert(QStringLiteral("HXR_SIM_LOG"), simLog);
        environment.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("offscreen"));
        return environment;
    }

    QTemporaryDir work_;
    QStringList manifest_;       // the install's manifest, one file a line
    QStringList installedFiles_; // what the install left under the prefix
    QString prefix_;
    QString programFolder_;
};

TEST_F(InstalledProgramTest, HoldsTheProgramFolderTheCommandAndTheUdevRule)
{
    const auto names = [](const QString &folder) {
        const QStringList entries = QDir(folder).entryList(QDir::Files | QDir::NoDotAndDotDot);
        return QSet<QString>(entries.begin(), entries.end());
    };
    QSet<QString> built = names(QStringLiteral(HXR_PROGRAM_DIR));
    for (const QString &name : NotInstalled)
        built.remove(name);
    EXPECT_EQ(names(programFolder_), built);

    const QFileInfo command(prefix_ + QStringLiteral("/bin/hxr-toolkit"));
    EXPECT_TRUE(command.isSymLink());
    EXPECT_EQ(command.canonicalFilePath(),
              QFileInfo(programFolder_ + QStringLiteral("/hxr-toolkit")).canonicalFilePath());

    // The manifest lists every file of the install, the command's link among them, so that
    // whatever reads it (an uninstall, a package) takes all of it.
    EXPECT_THAT(manifest_, testing::UnorderedElementsAreArray(installedFiles_));
    EXPECT_TRUE(installedFiles_.contains(work_.filePath(QStringLiteral("prefix/bin/hxr-toolkit"))));

    const QString rule = prefix_ + QStringLiteral("/lib/udev/rules.d/70-hxr-module.rules");
    EXPECT_EQ(readAll(rule),
              readAll(QStringLiteral(HXR_SOURCE_DIR "/resources/70-hxr-module.rules")));
    EXPECT_EQ(QFileInfo(rule).permissions() & (QFileDevice::WriteGroup | QFileDevice::WriteOther),
              QFileDevice::Permissions());
}

TEST_F(InstalledProgramTest, StartsFromThePrefixAloneAndDetectsTheModule)
{
    const QString simLog = work_.filePath(QStringLiteral("frames.log"));
    QProcess program;
    program.setProcessEnvironment(userEnvironment(simLog));
    program.setWorkingDirectory(work_.path());
    program.start(prefix_ + QStringLiteral("/bin/hxr-toolkit"), {});
    ASSERT_TRUE(program.waitForStarted());

    // The Information page reads the live value only once the detection has found the module.
    const bool detected = QTest::qWaitFor(
        [&] {
            return readAll(simLog).contains(QStringLiteral("!001:OVAL?")) ||
                   program.state() == QProcess::NotRunning;
        },
        DetectMs);
    const QString maps = readAll(QStringLiteral("/proc/%1/maps").arg(program.processId()));
    const bool running = program.state() == QProcess::Running;
    program.kill();
    program.waitForFinished();
    ASSERT_TRUE(detected && running)
        << readAll(simLog).toStdString() << program.readAllStandardError().toStdString();

    // Every library of ours came from the prefix, and nothing at all from the build tree.
    for (const QString &line : maps.split(QLatin1Char('\n'))) {
        EXPECT_FALSE(line.contains(QStringLiteral(HXR_BINARY_DIR "/"))) << line.toStdString();
        for (const QString &library : OwnLibraries) {
            if (line.endsWith(QLatin1Char('/') + library)) {
                EXPECT_TRUE(line.endsWith(programFolder_ + QLatin1Char('/') + library))
                    << line.toStdString();
            }
        }
    }
    for (const QString &library : OwnLibraries)
        EXPECT_TRUE(maps.contains(programFolder_ + QLatin1Char('/') + library))
            << library.toStdString();
}

} // namespace
