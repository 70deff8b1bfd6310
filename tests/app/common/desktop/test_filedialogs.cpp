#include "app/common/desktop/filedialogs.h"
#include "support/namedcase.h"

#include <QDir>
#include <QFileDialog>
#include <QTemporaryDir>

#include <gtest/gtest.h>

namespace {

using app::common::desktop::ConfigureFileDialog;
using app::common::desktop::ConvertFilter;
using app::common::desktop::FileDialogSetup;
using app::common::desktop::setFileDialogRunner;
using app::common::desktop::ShowOpenDialog;
using app::common::desktop::ShowSaveDialog;
using app::common::desktop::TakeDialogResult;

QString pairs(std::initializer_list<const char *> texts)
{
    QString filter;
    for (const char *text : texts) {
        filter += QString::fromUtf8(text) + QChar(0);
    }
    return filter + QChar(0);
}

struct FilterCase
{
    const char *name;
    QString filter;
    QStringList expected;
};

using testsupport::PrintTo;

class FilterConversion : public testing::TestWithParam<FilterCase>
{};

TEST_P(FilterConversion, GivesNameFilters)
{
    EXPECT_EQ(ConvertFilter(GetParam().filter), GetParam().expected);
}

INSTANTIATE_TEST_SUITE_P(Pairs, FilterConversion,
                         testing::Values(FilterCase{"configuration and all",
                                                    pairs({"Configuration Files (*.hcf)", "*.hcf",
                                                           "All Files (*.*)", "*.*"}),
                                                    {QStringLiteral("Configuration Files (*.hcf)"),
                                                     QStringLiteral("All Files (*)")}},
                                         FilterCase{"several globs",
                                                    pairs({"Data", "*.csv; *.txt"}),
                                                    {QStringLiteral("Data (*.csv *.txt)")}},
                                         FilterCase{"description globs follow the pattern",
                                                    pairs({"Logs (*.log)", "*.csv"}),
                                                    {QStringLiteral("Logs (*.csv)")}},
                                         FilterCase{"empty pattern",
                                                    pairs({"Anything", ""}),
                                                    {QStringLiteral("Anything (*)")}},
                                         FilterCase{"no list", QString(), {}}));

TEST(FileDialogs, SetsTheDialogUpWithoutShowingIt)
{
    QTemporaryDir dir;
    FileDialogSetup open;
    open.filter = pairs({"Configuration Files (*.hcf)", "*.hcf", "All Files (*.*)", "*.*"});
    open.defaultExt = QStringLiteral(".hcf");
    open.initDir = dir.path();
    open.title = QStringLiteral("Restore Configuration");
    open.mustExist = true;
    QFileDialog dialog;
    ConfigureFileDialog(dialog, open);
    EXPECT_EQ(dialog.windowTitle(), QStringLiteral("Restore Configuration"));
    EXPECT_EQ(dialog.acceptMode(), QFileDialog::AcceptOpen);
    EXPECT_EQ(dialog.fileMode(), QFileDialog::ExistingFile);
    EXPECT_EQ(dialog.defaultSuffix(), QStringLiteral("hcf"));
    EXPECT_EQ(dialog.selectedNameFilter(), QStringLiteral("Configuration Files (*.hcf)"));
    EXPECT_EQ(dialog.directory().absolutePath(), QDir(dir.path()).absolutePath());
    EXPECT_FALSE(dialog.isVisible());

    FileDialogSetup save = open;
    save.save = true;
    save.overwritePrompt = false;
    QFileDialog saveDialog;
    ConfigureFileDialog(saveDialog, save);
    EXPECT_EQ(saveDialog.acceptMode(), QFileDialog::AcceptSave);
    EXPECT_EQ(saveDialog.fileMode(), QFileDialog::AnyFile);
    EXPECT_TRUE(saveDialog.testOption(QFileDialog::DontConfirmOverwrite));
    save.overwritePrompt = true;
    ConfigureFileDialog(saveDialog, save);
    EXPECT_FALSE(saveDialog.testOption(QFileDialog::DontConfirmOverwrite));
}

TEST(FileDialogs, RemembersFolderAndNameOfTheChoice)
{
    QString dir = QStringLiteral("/old");
    QString name = QStringLiteral("old.hcf");
    EXPECT_EQ(TakeDialogResult(QString(), dir, name), QString());
    EXPECT_EQ(dir, QStringLiteral("/old"));
    EXPECT_EQ(name, QStringLiteral("old.hcf"));

    EXPECT_EQ(TakeDialogResult(QStringLiteral("/data/a.hcf"), dir, name),
              QStringLiteral("/data/a.hcf"));
    EXPECT_EQ(dir, QStringLiteral("/data"));
    EXPECT_EQ(name, QStringLiteral("a.hcf"));

    // A file in the root: the folder joined with "/" and the name gives the path back.
    TakeDialogResult(QStringLiteral("/a.hcf"), dir, name);
    EXPECT_EQ(dir, QString());
    EXPECT_EQ(name, QStringLiteral("a.hcf"));
}

TEST(FileDialogs, ShowRunsTheConfiguredDialogAndTakesItsAnswer)
{
    QString seenTitle;
    QFileDialog::AcceptMode seenMode = QFileDialog::AcceptOpen;
    QString answer = QStringLiteral("/logs/run 1.csv");
    auto previous = setFileDialogRunner([&](QFileDialog &dialog) {
        seenTitle = dialog.windowTitle();
        seenMode = dialog.acceptMode();
        return answer;
    });
    QString dir = QStringLiteral("/tmp");
    QString name = QStringLiteral("x.csv");
    EXPECT_EQ(ShowSaveDialog(nullptr, pairs({"CSV (*.csv)", "*.csv"}), QStringLiteral("csv"), dir,
                             QStringLiteral("Save Data"), name, true),
              answer);
    EXPECT_EQ(seenTitle, QStringLiteral("Save Data"));
    EXPECT_EQ(seenMode, QFileDialog::AcceptSave);
    EXPECT_EQ(dir, QStringLiteral("/logs"));
    EXPECT_EQ(name, QStringLiteral("run 1.csv"));

    answer.clear(); // cancelled
    EXPECT_EQ(ShowOpenDialog(nullptr, QString(), QString(), dir, QString(), name, true), QString());
    EXPECT_EQ(dir, QStringLiteral("/logs"));
    EXPECT_EQ(name, QStringLiteral("run 1.csv"));
    setFileDialogRunner(previous);
}

} // namespace
