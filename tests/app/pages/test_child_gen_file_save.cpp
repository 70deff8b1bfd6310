// What a configuration save leaves behind when the module does not answer everything, or when
// the chosen place cannot be written: never less than was there.

#include <cerrno>
#include <cstring>

#include <QDir>
#include <QFile>
#include <QFileInfo>

#include <gmock/gmock.h>

#include "filepagefixture.h"
#include "support/ordinaryuser.h"

namespace pagetests {
namespace {

using app::common::desktop::MessageAnswer;
using testing::ElementsAre;
using testing::IsEmpty;

const QString SaveTitle = QStringLiteral("Save Configuration");
const QString Progress =
    QStringLiteral("Now retrieving configuration data from module and writing to file...");
const QString ReadErrors =
    QStringLiteral("Error(s) occurred while reading the configuration data from the module!");
const QString OldFile = QStringLiteral("[Calibration]\r\nEGAI=99\r\nOLD=1\r\n[Other]\r\nX=1\r\n");

class FileSaveTest : public FilePageTest
{
protected:
    QStringList entries() const
    {
        return QDir(files.path())
            .entryList(QDir::AllEntries | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot);
    }
};

// With some values unread, an old file is replaced only when the user says Yes to a question
// that says how many; No leaves it byte for byte. A new file gets what was read.
TEST_F(FileSaveTest, MissingValuesReplaceAnOldFileOnlyWhenTheUserSaysYes)
{
    struct Case
    {
        const char *name;
        bool exists;
        MessageAnswer answer;
        bool written;
    };
    const Case cases[] = {
        {"yes.hcf", true, MessageAnswer::Ok, true},
        {"no.hcf", true, MessageAnswer::Cancel, false},
        {"unanswered.hcf", true, MessageAnswer::None, false},
        {"new.hcf", false, MessageAnswer::Cancel, true},
    };
    QString unread;
    for (const char *key : {"EGAI", "EOFS", "UNTE", "YEAR", "MNTH", "DAY", "HOUR", "MINS"})
        unread +=
            QStringLiteral("Comms error while reading %1 from module!\r\n").arg(QLatin1String(key));
    for (const Case &c : cases) {
        CHILD_GEN_FILE *page = open();
        ASSERT_NE(page, nullptr);
        sim::Faults faults;
        faults.reject = {"EGAI?"}; // and the latch skips every later key
        sim::setFaults(0, faults);
        chosen = path(QString::fromLatin1(c.name));
        if (c.exists)
            writeText(chosen, OldFile);
        answers[SaveTitle] = c.answer;
        page->SaveHXR();

        std::vector<Shown> expected = {{SaveTitle, Progress}};
        if (c.exists)
            expected.push_back({SaveTitle, QStringLiteral("8 of the 33 values could not be read "
                                                          "from the module.\r\n\r\nDo you want "
                                                          "to replace ") +
                                               QDir::toNativeSeparators(chosen) +
                                               QStringLiteral(" with a file that lacks them?")});
        expected.push_back(
            {SaveTitle,
             unread + QStringLiteral("\r\n\r\n") + ReadErrors +
                 (c.written ? QString() : QStringLiteral(" The file was left as it was."))});
        EXPECT_EQ(ShownMessages(), expected) << c.name;
        const QString saved = readText(chosen);
        if (c.written) {
            EXPECT_TRUE(saved.contains(QStringLiteral("UNTD=45"))) << c.name;
            for (const char *stale : {"EGAI=", "OLD=", "[Other]", "EOFS=", "MINS="})
                EXPECT_FALSE(saved.contains(QLatin1String(stale))) << c.name << stale;
        } else {
            EXPECT_EQ(saved, OldFile) << c.name;
        }
        sim::setFaults(0, {});
    }
    EXPECT_EQ(entries().size(), 4) << "no scratch file left";
}

// A module that answers none of its parameters leaves an old file as it was and makes no new
// one: the program's own entries ([Data], the serial it knows) are not worth a file.
TEST_F(FileSaveTest, AModuleThatAnswersNothingWritesNothing)
{
    struct Case
    {
        const char *name;
        bool exists;
        bool latched; // else every command goes unanswered
    };
    const Case cases[] = {
        {"silent.hcf", true, false},
        {"latched.hcf", true, true},
        {"silent-new.hcf", false, false},
    };
    for (const Case &c : cases) {
        CHILD_GEN_FILE *page = open();
        ASSERT_NE(page, nullptr);
        chosen = path(QString::fromLatin1(c.name));
        if (c.exists)
            writeText(chosen, OldFile);
        const QStringList before = entries();
        if (c.latched) {
            hxr->ErrorState(-100);
        } else {
            sim::Faults faults;
            faults.silent = {"*"};
            sim::setFaults(0, faults);
        }
        page->SaveHXR();

        ASSERT_EQ(ShownMessages().size(), 2u) << c.name << ": no question";
        const QString &report = ShownMessages()[1].text;
        EXPECT_TRUE(report.startsWith(QStringLiteral("Comms error while reading "))) << c.name;
        EXPECT_TRUE(report.endsWith(QStringLiteral("\r\n\r\nNothing could be read from the "
                                                   "module. ") +
                                    (c.exists ? QStringLiteral("The file was left as it was.")
                                              : QStringLiteral("No file was written."))))
            << c.name << ": " << report.toStdString();
        EXPECT_EQ(readText(chosen), c.exists ? OldFile : QString()) << c.name;
        EXPECT_EQ(entries(), before) << c.name;
        sim::setFaults(0, {});
        hxr->ResetError();
    }
}

// Nothing of the save is in the chosen folder while the module is asked: a save that is killed
// then leaves nothing behind.
TEST_F(FileSaveTest, TheModuleIsAskedBeforeAnythingIsMadeInTheFolder)
{
    CHILD_GEN_FILE *page = open();
    ASSERT_NE(page, nullptr);
    chosen = path(QStringLiteral("asked.hcf"));
    writeText(chosen, OldFile);
    QStringList seen;
    int reads = 0;
    ReadObserver() = [&](std::string_view) {
        ++reads;
        seen += entries();
    };
    page->SaveHXR();
    ReadObserver() = {};
    EXPECT_GT(reads, 20);
    seen.removeDuplicates();
    EXPECT_EQ(seen, QStringList{QStringLiteral("asked.hcf")});
    EXPECT_TRUE(readText(chosen).contains(QStringLiteral("[Calibration]\r\nEGAI=")));
}

// A place that cannot be written is found out before the module is asked, and nothing is made
// there: a folder that is not there, and, as an ordinary user (root passes every permission
// bit), a read-only file and a read-only folder.
TEST_F(FileSaveTest, APlaceThatCannotBeWrittenIsRefusedBeforeTheModuleIsAsked)
{
    struct Case
    {
        const char *name;
        QFile::Permissions fileMode; // none: no file there
        QFile::Permissions folderMode;
        int error;
    };
    const QFile::Permissions folder = QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner;
    const QFile::Permissions readOnlyFolder = QFile::ReadOwner | QFile::ExeOwner;
    const Case cases[] = {
        {"missing/folder.hcf", {}, folder, ENOENT},
        {"read-only.hcf", QFile::ReadOwner, folder, EACCES},
        {"in-read-only-folder.hcf", QFile::ReadOwner | QFile::WriteOwner, readOnlyFolder, EACCES},
        {"new-in-read-only-folder.hcf", {}, readOnlyFolder, EACCES},
    };
    // The ordinary user keeps the program's settings as the user's own.
    ASSERT_TRUE(testsupport::OrdinaryFileUser::own(settingsDir.path()));
    ASSERT_TRUE(testsupport::OrdinaryFileUser::own(files.path()));
    for (const Case &c : cases) {
        CHILD_GEN_FILE *page = open();
        ASSERT_NE(page, nullptr);
        chosen = path(QString::fromLatin1(c.name));
        if (c.fileMode) {
            writeText(chosen, OldFile);
            ASSERT_TRUE(testsupport::OrdinaryFileUser::own(chosen));
            ASSERT_TRUE(QFile::setPermissions(chosen, c.fileMode));
        }
        if (QFile::exists(app::common::SettingsFilePath())) {
            ASSERT_TRUE(testsupport::OrdinaryFileUser::own(app::common::SettingsFilePath()));
        }
        ASSERT_TRUE(QFile::setPermissions(files.path(), c.folderMode));
        const QStringList before = entries();
        int reads = 0;
        ReadObserver() = [&reads](std::string_view) { ++reads; };
        {
            const testsupport::OrdinaryFileUser user;
            SKIP_UNLESS_ORDINARY(user);
            page->SaveHXR();
        }
        ReadObserver() = {};
        ASSERT_TRUE(QFile::setPermissions(files.path(), folder));

        EXPECT_EQ(reads, 0) << c.name;
        EXPECT_THAT(ShownMessages(),
                    ElementsAre(Shown{
                        SaveTitle, QStringLiteral("The configuration could not be written "
                                                  "to ") +
                                       QDir::toNativeSeparators(chosen) + QStringLiteral("!\r\n") +
                                       QString::fromLocal8Bit(std::strerror(c.error)) +
                                       QStringLiteral(".\r\nThe file was left as it was.")}))
            << c.name;
        EXPECT_EQ(readText(chosen), c.fileMode ? OldFile : QString()) << c.name;
        EXPECT_EQ(entries(), before) << c.name;
    }
}

} // namespace
} // namespace pagetests
