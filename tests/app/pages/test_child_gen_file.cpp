#include "app/pages/child_gen_file.h"

#include <algorithm>
#include <atomic>
#include <cerrno>
#include <chrono>
#include <condition_variable>
#include <cstring>
#include <functional>
#include <mutex>
#include <optional>
#include <thread>

#include <QDir>
#include <QFile>
#include <QFileDialog>
#include <QFileInfo>
#include <QObject>
#include <QRegularExpression>

#include <sys/stat.h>

#include <gmock/gmock.h>

#include "app/common/desktop/filedialogs.h"
#include "app/pages/hcffile.h"
#include "filepagefixture.h"
#include "support/smallfilesystem.h"

namespace pagetests {
namespace {

using testing::ElementsAre;
using testing::IsEmpty;

// The saved file, its "Saved" date masked.
QString masked(const QString &text)
{
    QString copy = text;
    copy.replace(QRegularExpression(QStringLiteral("Saved=[^\r]*")), QStringLiteral("Saved=*"));
    return copy;
}

const char *const Golden =
    "[Data]\r\nType=HXR\r\nAppVersion=1.0\r\nSaved=*\r\n"
    "[Factory]\r\nVER=261\r\nVERSION=1.05\r\nMODL=1\r\nSERIAL=70000\r\n"
    "SERL=4464\r\nSERH=1\r\nFMVG=10\r\nFMVO=0\r\nGAIN=%GAIN%\r\nOFFS=%OFFS%\r\n"
    "[Protection]\r\nLock Mask=0\r\nPasscode Hash=246997\r\n"
    "[ReadOnly]\r\nMVV=1\r\nOVAL=%OVAL%\r\nSTAT=0\r\n"
    "[Zero]\r\nZERO=0\r\nZGAI=1\r\nZOFS=0\r\nUNTZ=45\r\n"
    "[Display]\r\nDGAI=1\r\nDOFS=-2.5\r\nUNTD=45\r\n"
    "[Calibration]\r\nEGAI=1.23E-05\r\nEOFS=0\r\nUNTE=45\r\n"
    "YEAR=24\r\nMNTH=3\r\nDAY=15\r\nHOUR=9\r\nMINS=30\r\n";

TEST_F(FilePageTest, SavesEveryEntryInOrderWithAPointWhateverTheSeparator)
{
    sim::setParameter(0, "PWD1", 123456);
    sim::setParameter(0, "EGAI", 0.0000123);
    sim::setParameter(0, "DOFS", -2.5);
    for (const char *separator : {".", ","}) {
        app::common::setDecimalSeparator(QString::fromLatin1(separator));
        CHILD_GEN_FILE *page = open();
        ASSERT_NE(page, nullptr);
        chosen = path(QStringLiteral("saved %1.hcf").arg(QLatin1String(separator)));
        page->SaveHXR();

        EXPECT_THAT(ShownMessages(),
                    ElementsAre(Shown{QStringLiteral("Save Configuration"),
                                      QStringLiteral("Now retrieving configuration data from "
                                                     "module and writing to file...")}));
        EXPECT_FALSE(app::common::desktop::MessageOpen());
        const QString saved = readText(chosen);
        QString golden = QString::fromLatin1(Golden);
        const auto wire = [](double value) {
            return app::pages::hcf::NumberText(static_cast<float>(value));
        };
        golden.replace(QStringLiteral("%GAIN%"), wire(*sim::parameter(0, "GAIN")));
        golden.replace(QStringLiteral("%OFFS%"), wire(*sim::parameter(0, "OFFS")));
        golden.replace(QStringLiteral("%OVAL%"), wire(*sim::parameter(0, "OVAL")));
        EXPECT_EQ(masked(saved), golden) << separator;
        EXPECT_TRUE(saved.contains(QRegularExpression(
            QStringLiteral("\r\nSaved=\\d\\d (January|February|March|April|May|June|July|August|"
                           "September|October|November|December) \\d{4}\r\n"))));
        EXPECT_THAT(writtenFrames(), IsEmpty()) << "a save only reads";
    }
    EXPECT_EQ(QDir(files.path()).entryList(QDir::Files | QDir::Hidden).size(), 2)
        << "no scratch file left";
}

TEST_F(FilePageTest, SaveOntoAFullDiskNamesTheCauseAndKeepsTheOldFile)
{
    testsupport::SmallFileSystem disk;
    SKIP_UNLESS_MOUNTED(disk);
    chosen = disk.filePath(QStringLiteral("full.hcf"));
    const QString old = QStringLiteral("[Data]\r\nType=HXR\r\n[Factory]\r\nMODL=1\r\n");
    writeText(chosen, old);
    ASSERT_TRUE(disk.fill());
    CHILD_GEN_FILE *page = open();
    ASSERT_NE(page, nullptr);
    page->SaveHXR();
    ASSERT_EQ(ShownMessages().size(), 2u);
    EXPECT_EQ(ShownMessages()[1].title, QStringLiteral("Save Configuration"));
    EXPECT_EQ(ShownMessages()[1].text,
              QStringLiteral("The configuration could not be written to ") +
                  QDir::toNativeSeparators(chosen) + QStringLiteral("!\r\n") +
                  QString::fromLocal8Bit(std::strerror(ENOSPC)) +
                  QStringLiteral(".\r\nThe file was left as it was."));
    EXPECT_EQ(readText(chosen), old);
    EXPECT_EQ(disk.entries(), QStringList{QStringLiteral("full.hcf")});
}

// Saved files are for others to read too: a new one gets the umask's mode, a replaced one keeps
// its own.
TEST_F(FilePageTest, SavedFilesGetTheUsersModeAndKeepTheirOwn)
{
    const mode_t previous = umask(022);
    CHILD_GEN_FILE *page = open();
    ASSERT_NE(page, nullptr);
    chosen = path(QStringLiteral("new.hcf"));
    page->SaveHXR();
    const auto mode = [](const QString &file) {
        return QFileInfo(file).permissions() &
               (QFile::ReadUser | QFile::WriteUser | QFile::ReadGroup | QFile::WriteGroup |
                QFile::ReadOther | QFile::WriteOther);
    };
    EXPECT_EQ(mode(chosen),
              QFile::ReadUser | QFile::WriteUser | QFile::ReadGroup | QFile::ReadOther);
    const QFile::Permissions shared = QFile::ReadUser | QFile::WriteUser | QFile::ReadGroup |
                                      QFile::WriteGroup | QFile::ReadOther;
    ASSERT_TRUE(QFile::setPermissions(chosen, shared));
    page->SaveHXR();
    EXPECT_EQ(mode(chosen), shared);
    EXPECT_TRUE(readText(chosen).contains(QStringLiteral("[Calibration]")));
    umask(previous);
}

// The settings file cannot be written: the user hears it once, and the save itself goes on.
TEST_F(FilePageTest, ASettingsFileThatCannotBeWrittenIsReportedOnce)
{
    ASSERT_TRUE(QDir().mkpath(app::common::SettingsFilePath()));
    CHILD_GEN_FILE *page = open();
    ASSERT_NE(page, nullptr);
    ShownMessages().clear();
    chosen = path(QStringLiteral("saved.hcf"));
    page->SaveHXR();
    page->SaveHXR();
    const QString warning = QStringLiteral("The settings could not be saved to ") +
                            QDir::toNativeSeparators(app::common::SettingsFilePath()) +
                            QStringLiteral(": ") + QString::fromLocal8Bit(std::strerror(EISDIR)) +
                            QLatin1Char('.');
    const auto warnings =
        std::count_if(ShownMessages().begin(), ShownMessages().end(),
                      [](const Shown &shown) { return shown.title == QStringLiteral("Warning"); });
    EXPECT_EQ(warnings, 1);
    ASSERT_FALSE(ShownMessages().empty());
    EXPECT_EQ(ShownMessages()[0].text, warning);
    EXPECT_TRUE(readText(chosen).contains(QStringLiteral("[Calibration]")));
}

TEST_F(FilePageTest, SaveProposesTheLastFileForTheSameModuleOnly)
{
    CHILD_GEN_FILE *page = open();
    ASSERT_NE(page, nullptr);
    const QString model = app::shell::CurrentConnection().ModelName;
    chosen = path(QStringLiteral("mine.hcf"));
    page->SaveHXR();
    page->SaveHXR();

    modules.devices[0].serial = 70001;
    configureModules();
    page = open();
    ASSERT_NE(page, nullptr);
    page->SaveHXR();
    EXPECT_THAT(proposed, ElementsAre(QStringLiteral("70000 ") + model + QStringLiteral(".hcf"),
                                      QStringLiteral("mine.hcf"),
                                      QStringLiteral("70001 ") + model + QStringLiteral(".hcf")));
}

// A file as a save of the default module writes it, with lines replaced or added.
QString moduleFile(const QString &calibration = QStringLiteral("EGAI=50\r\nEOFS=0\r\nUNTE=45\r\n"),
                   const QString &type = QStringLiteral("HXR"),
                   const QString &model = QStringLiteral("1"))
{
    return QStringLiteral("[Data]\r\nType=") + type + QStringLiteral("\r\n[Factory]\r\nMODL=") +
           model +
           QStringLiteral("\r\nSERIAL=70000\r\nFMVG=12.5\r\nFMVO=300\r\n[Zero]\r\nZERO=0\r\n"
                          "ZGAI=1\r\nZOFS=0\r\nUNTZ=45\r\n[Display]\r\nDGAI=1\r\nDOFS=0\r\n"
                          "UNTD=45\r\n[Calibration]\r\n") +
           calibration;
}

std::vector<std::string> writtenKeys()
{
    std::vector<std::string> keys;
    for (const std::string &write : writtenFrames())
        keys.push_back(write.substr(0, write.find('=')));
    return keys;
}

TEST_F(FilePageTest, RoundTripRestoresTheCalibrationInOrder)
{
    CHILD_GEN_FILE *page = open();
    ASSERT_NE(page, nullptr);
    chosen = path(QStringLiteral("round.hcf"));
    sim::setParameter(0, "DOFS", -2.5);
    page->SaveHXR();
    for (const char *key : {"EGAI", "EOFS", "DGAI", "DOFS", "ZERO", "ZGAI"})
        sim::setParameter(0, key, 7);
    sim::setParameter(0, "UNTE", 52);
    sim::setParameter(0, "UNTD", 52);
    sim::setParameter(0, "UNTZ", 52);
    sim::clearFrameLog();
    ShownMessages().clear();

    page->RestoreHXR();

    EXPECT_THAT(writtenKeys(), ElementsAre("EGAI", "EOFS", "UNTE", "YEAR", "MNTH", "DAY", "HOUR",
                                           "MINS", "DGAI", "DOFS", "UNTD", "ZERO", "UNTZ"));
    EXPECT_EQ(*sim::parameter(0, "EGAI"), 50.0);
    EXPECT_EQ(*sim::parameter(0, "EOFS"), 0.0);
    EXPECT_EQ(*sim::parameter(0, "DOFS"), -2.5);
    EXPECT_EQ(*sim::parameter(0, "UNTE"), 45.0);
    EXPECT_EQ(*sim::parameter(0, "ZGAI"), 7.0) << "never restored";
    ASSERT_EQ(ShownMessages().size(), 2u);
    EXPECT_EQ(ShownMessages()[0].title, QStringLiteral("Restore Advanced Calibration Settings"));
    EXPECT_EQ(ShownMessages()[1].text,
              QStringLiteral("Now restoring configuration data from file to module..."));
    EXPECT_FLOAT_EQ(hxr->driver().INTGAIN(), static_cast<float>(*sim::parameter(0, "GAIN")));
}

TEST_F(FilePageTest, ProgressAdvancesWithEveryKey)
{
    CHILD_GEN_FILE *page = open();
    ASSERT_NE(page, nullptr);
    chosen = path(QStringLiteral("progress.hcf"));
    page->SaveHXR();
    EXPECT_GE(progress.size(), 33u);
    EXPECT_TRUE(std::is_sorted(progress.begin(), progress.end()));
    EXPECT_EQ(progress.back(), 100.0);

    progress.clear();
    page->RestoreHXR();
    EXPECT_GE(progress.size(), 8u);
    EXPECT_TRUE(std::is_sorted(progress.begin(), progress.end()));
    EXPECT_EQ(progress.back(), 100.0);
}

TEST_F(FilePageTest, CalibrationDeclinedWritesNothing)
{
    CHILD_GEN_FILE *page = open();
    ASSERT_NE(page, nullptr);
    chosen = path(QStringLiteral("declined.hcf"));
    writeText(chosen, moduleFile());
    answers[QStringLiteral("Restore Advanced Calibration Settings")] =
        app::common::desktop::MessageAnswer::Cancel;
    page->RestoreHXR();
    EXPECT_THAT(writtenFrames(), IsEmpty());
}

TEST_F(FilePageTest, FactoryStageOnlyOntoTheSameSerial)
{
    app::common::setFactoryAccess(true);
    chosen = path(QStringLiteral("factory.hcf"));
    writeText(chosen, moduleFile());
    CHILD_GEN_FILE *page = open();
    ASSERT_NE(page, nullptr);
    page->RestoreHXR();
    EXPECT_EQ(ShownMessages()[0].title, QStringLiteral("Restore Factory Settings"));
    EXPECT_EQ(*sim::parameter(0, "FMVG"), 12.5);
    EXPECT_EQ(*sim::parameter(0, "FMVO"), 300.0);

    // A clone onto another module keeps that module's own factory stage.
    modules.devices[0].serial = 70001;
    configureModules();
    page = open();
    ASSERT_NE(page, nullptr);
    sim::setParameter(0, "EGAI", 7);
    page->RestoreHXR();
    EXPECT_EQ(ShownMessages()[0],
              (Shown{QStringLiteral("Restore Factory Settings"),
                     QStringLiteral("You have access to factory settings but they cannot be "
                                    "restored to this module as it has a different serial "
                                    "number!")}));
    EXPECT_EQ(*sim::parameter(0, "FMVG"), 10.0);
    EXPECT_EQ(*sim::parameter(0, "FMVO"), 0.0);
    EXPECT_EQ(*sim::parameter(0, "EGAI"), 50.0) << "the calibration is cloned";
}

struct RefusedFileCase
{
    const char *name;
    QString contents;
    QString title;
    QString text; // %1: the model's name
};

void PrintTo(const RefusedFileCase &c, std::ostream *os)
{
    *os << c.name;
}

class RefusedFileTest : public FilePageTest, public testing::WithParamInterface<RefusedFileCase>
{};

TEST_P(RefusedFileTest, NothingIsWritten)
{
    const RefusedFileCase &c = GetParam();
    chosen = path(QStringLiteral("refused.hcf"));
    writeText(chosen, c.contents);
    CHILD_GEN_FILE *page = open();
    ASSERT_NE(page, nullptr);
    page->RestoreHXR();
    EXPECT_THAT(writtenFrames(), IsEmpty());
    ASSERT_FALSE(ShownMessages().empty());
    EXPECT_EQ(ShownMessages().back(),
              (Shown{c.title, c.text.arg(app::shell::CurrentConnection().ModelName)}));
}

const QString InvalidFile = QStringLiteral("Invalid File");
const QString NotThisModel = QStringLiteral("The selected file is not a %1 configuration file!");

QString badValue(const char *key, const char *text)
{
    return QStringLiteral("The value \"%1\" of %2 in the selected file is not valid, so nothing "
                          "was restored.")
        .arg(QLatin1String(text), QLatin1String(key));
}

INSTANTIATE_TEST_SUITE_P(
    Files, RefusedFileTest,
    testing::Values(
        RefusedFileCase{"OtherType", moduleFile({}, QStringLiteral("HXS")), InvalidFile,
                        NotThisModel},
        RefusedFileCase{"OtherModel", moduleFile({}, QStringLiteral("HXR"), QStringLiteral("2")),
                        InvalidFile, NotThisModel},
        RefusedFileCase{"NoFile", QString(), InvalidFile, NotThisModel},
        RefusedFileCase{"NotANumber", moduleFile(QStringLiteral("EGAI=abc\r\n")), InvalidFile,
                        badValue("EGAI", "abc")},
        RefusedFileCase{"EmptyValue", moduleFile(QStringLiteral("EOFS=*NULL*\r\n")), InvalidFile,
                        badValue("EOFS", "")},
        RefusedFileCase{"TrailingText", moduleFile(QStringLiteral("EGAI=50kg\r\n")), InvalidFile,
                        badValue("EGAI", "50kg")},
        RefusedFileCase{"TooLargeForTheModule", moduleFile(QStringLiteral("EGAI=1e39\r\n")),
                        InvalidFile, badValue("EGAI", "1e39")},
        RefusedFileCase{"UnitOutOfRange", moduleFile(QStringLiteral("UNTE=300\r\n")), InvalidFile,
                        badValue("UNTE", "300")},
        RefusedFileCase{"UnitNotWhole",
                        moduleFile().replace(QStringLiteral("UNTZ=45"), QStringLiteral("UNTZ=4.5")),
                        InvalidFile, badValue("UNTZ", "4.5")}),
    [](const testing::TestParamInfo<RefusedFileCase> &info) {
        return std::string(info.param.name);
    });

TEST_F(FilePageTest, LockedCalibrationSaysNothingWasRestored)
{
    sim::setParameter(0, "PMSK", 1);
    chosen = path(QStringLiteral("locked.hcf"));
    writeText(chosen, moduleFile());
    CHILD_GEN_FILE *page = open();
    ASSERT_NE(page, nullptr);
    page->RestoreHXR();
    EXPECT_THAT(ShownMessages(),
                ElementsAre(Shown{QStringLiteral("Restore Configuration"),
                                  QStringLiteral("The calibration of this module is locked, so "
                                                 "nothing was restored.")}));
    EXPECT_THAT(writtenFrames(), IsEmpty());

    // Factory access still offers it.
    app::common::setFactoryAccess(true);
    ShownMessages().clear();
    page->RestoreHXR();
    EXPECT_EQ(ShownMessages()[1].title, QStringLiteral("Restore Advanced Calibration Settings"));
    EXPECT_FALSE(writtenFrames().empty());
}

TEST_F(FilePageTest, RejectedWriteListsItAndEveryLaterKey)
{
    chosen = path(QStringLiteral("reject.hcf"));
    writeText(chosen, moduleFile());
    CHILD_GEN_FILE *page = open();
    ASSERT_NE(page, nullptr);
    sim::Faults faults;
    faults.reject = {"DGAI="};
    sim::setFaults(0, faults);
    page->RestoreHXR();

    ASSERT_FALSE(ShownMessages().empty());
    EXPECT_EQ(ShownMessages().back(),
              (Shown{QStringLiteral("Restore Configuration"),
                     QStringLiteral("Comms error while writing DGAI with 1\r\n"
                                    "Comms error while writing DOFS with 0\r\n"
                                    "Comms error while writing UNTD with 45\r\n"
                                    "Comms error while writing ZERO with 0\r\n"
                                    "Comms error while writing UNTZ with 45\r\n"
                                    "\r\nCommunication errors occurred while restoring data!"
                                    "\r\n\r\nError(s) occurred while restoring the configuration "
                                    "data to the module!")}));
    EXPECT_EQ(hxr->ErrorState(), 0) << "the latch is cleared at the end";
}

TEST_F(FilePageTest, MissingKeysAreSkippedAndCommasRead)
{
    chosen = path(QStringLiteral("sparse.hcf"));
    writeText(chosen, QStringLiteral("[Data]\r\nType=HXR\r\n[Factory]\r\nMODL=1\r\n"
                                     "[Calibration]\r\nEGAI=50,5\r\n[Display]\r\nDOFS=-1,25\r\n"));
    CHILD_GEN_FILE *page = open();
    ASSERT_NE(page, nullptr);
    page->RestoreHXR();
    EXPECT_THAT(writtenKeys(), ElementsAre("EGAI", "YEAR", "MNTH", "DAY", "HOUR", "MINS", "DOFS"));
    EXPECT_EQ(*sim::parameter(0, "EGAI"), 50.5);
    EXPECT_EQ(*sim::parameter(0, "DOFS"), -1.25);
    EXPECT_EQ(ShownMessages().size(), 2u) << "the question and the progress, no errors";
}

// How long the user-interface thread takes to answer: a helper thread posts a call to it at
// short intervals, as a window manager pings a window, and keeps the longest wait for an answer.
// Made on the user-interface thread.
class AnswerProbe
{
public:
    AnswerProbe() : helper_([this] { run(); }) {}
    ~AnswerProbe() { stop(); }

    // Stops asking; a question still unanswered then does not count.
    void stop()
    {
        {
            std::lock_guard lock(mutex_);
            stopping_ = true;
        }
        changed_.notify_all();
        if (helper_.joinable())
            helper_.join();
    }
    std::chrono::milliseconds longestWait() const { return longest_; }
    int answers() const { return answers_; }

private:
    void run()
    {
        using Clock = std::chrono::steady_clock;
        std::unique_lock lock(mutex_);
        while (!stopping_) {
            answered_ = false;
            const Clock::time_point asked = Clock::now();
            QMetaObject::invokeMethod(
                &target_,
                [this] {
                    std::lock_guard answering(mutex_);
                    answered_ = true;
                    changed_.notify_all();
                },
                Qt::QueuedConnection);
            changed_.wait(lock, [this] { return answered_ || stopping_; });
            if (!answered_)
                break;
            ++answers_;
            longest_ = std::max(longest_,
                                std::chrono::ceil<std::chrono::milliseconds>(Clock::now() - asked));
            changed_.wait_for(lock, std::chrono::milliseconds(10), [this] { return stopping_; });
        }
    }

    QObject target_; // lives on the user-interface thread: the posted calls run there
    std::mutex mutex_;
    std::condition_variable changed_;
    bool answered_ = false;
    bool stopping_ = false;
    int answers_ = 0;
    std::chrono::milliseconds longest_{0};
    std::thread helper_; // last: it starts once everything above is made
};

// The module's writes with the calibration date's values left out (the clock moves on).
std::vector<std::string> undatedWrites()
{
    std::vector<std::string> writes = writtenFrames();
    for (std::string &write : writes) {
        const std::string key = write.substr(0, write.find('='));
        if (key == "YEAR" || key == "MNTH" || key == "DAY" || key == "HOUR" || key == "MINS")
            write = key;
    }
    return writes;
}

// A file far larger than any saved one (another program's notes in a section of its own, ahead
// of the sections a restore reads) restores as the plain file does, and the window keeps
// answering while it is read.
TEST_F(FilePageTest, LargeFileRestoresAsTheSmallOneWithTheWindowAnswering)
{
    app::common::setFactoryAccess(true);
    CHILD_GEN_FILE *page = open();
    ASSERT_NE(page, nullptr);
    chosen = path(QStringLiteral("small.hcf"));
    writeText(chosen, moduleFile());
    page->RestoreHXR();
    const std::vector<std::string> smallWrites = undatedWrites();
    const std::vector<double> smallProgress = progress;
    const std::vector<Shown> smallShown = ShownMessages();
    ASSERT_EQ(smallWrites.size(), 15u);

    QString notes = QStringLiteral("[Notes]\r\n");
    const QString line = QStringLiteral("Note%1=") + QString(90, QLatin1Char('n')) +
                         QStringLiteral("\r\nfree text without a key ") +
                         QString(60, QLatin1Char('t')) + QStringLiteral("\r\n");
    for (int i = 0; notes.size() < 10 * 1024 * 1024; ++i)
        notes += line.arg(i);
    QString large = moduleFile();
    large.replace(QStringLiteral("[Zero]"), notes + QStringLiteral("[Zero]"));
    chosen = path(QStringLiteral("large.hcf"));
    writeText(chosen, large);
    sim::clearFrameLog();
    progress.clear();
    ShownMessages().clear();

    // The settings the file dialog stores are written to memory: a write that waits for a busy
    // disk is not what this test is about.
    QTemporaryDir memory(QFile::exists(QStringLiteral("/dev/shm"))
                             ? QStringLiteral("/dev/shm/hxr-settings-XXXXXX")
                             : QString());
    ASSERT_TRUE(memory.isValid());
    app::common::setSettingsFilePath(memory.filePath(QStringLiteral("Config.ini")));

    // From the moment the file is chosen.
    std::optional<AnswerProbe> probe;
    whileChoosing = [&probe] { probe.emplace(); };
    page->RestoreHXR();
    ASSERT_TRUE(probe);
    probe->stop();

    EXPECT_EQ(undatedWrites(), smallWrites);
    EXPECT_EQ(progress, smallProgress);
    EXPECT_EQ(ShownMessages(), smallShown);
    printf("TMP longest %d answers %d\n", int(probe->longestWait().count()), probe->answers());
    EXPECT_GT(probe->answers(), 0);
    EXPECT_LT(probe->longestWait().count(), 250) << "ms without an answer";
}

// A file far larger than any configuration (one chosen by mistake) is refused before it is
// read, naming it and its size.
TEST_F(FilePageTest, RestoreRefusesAFileFarLargerThanAnyConfiguration)
{
    CHILD_GEN_FILE *page = open();
    ASSERT_NE(page, nullptr);
    chosen = path(QStringLiteral("film.hcf"));
    writeText(chosen, moduleFile());
    QFile file(chosen);
    ASSERT_TRUE(file.resize(17 * 1024 * 1024 + 52 * 1024)); // sparse: no room taken
    page->RestoreHXR();
    EXPECT_THAT(
        ShownMessages(),
        ElementsAre(Shown{QStringLiteral("Invalid File"),
                          QStringLiteral("The selected file ") + QDir::toNativeSeparators(chosen) +
                              QStringLiteral(" is 17.1 MB, far larger than any "
                                             "configuration file, so nothing was "
                                             "restored.")}));
    EXPECT_THAT(writtenFrames(), IsEmpty());
}

TEST_F(FilePageTest, CancelledDialogsDoNothing)
{
    CHILD_GEN_FILE *page = open();
    ASSERT_NE(page, nullptr);
    chosen.clear();
    page->SaveHXR();
    page->RestoreHXR();
    EXPECT_THAT(ShownMessages(), IsEmpty());
    EXPECT_THAT(writtenFrames(), IsEmpty());
    EXPECT_EQ(QDir(files.path()).entryList(QDir::Files | QDir::Hidden).size(), 0);
}

} // namespace
} // namespace pagetests
