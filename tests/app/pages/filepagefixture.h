#ifndef TESTS_APP_PAGES_FILEPAGEFIXTURE_H
#define TESTS_APP_PAGES_FILEPAGEFIXTURE_H

#include <functional>
#include <vector>

#include <QFile>
#include <QFileDialog>
#include <QFileInfo>
#include <QRegularExpression>
#include <QTemporaryDir>

#include "app/common/desktop/filedialogs.h"
#include "app/pages/child_gen_file.h"
#include "pagefixture.h"

namespace pagetests {

using app::pages::CHILD_GEN_FILE;

// The Save and Restore page with the module connected; the file dialogs answer `chosen`.
class FilePageTest : public PageFixture
{
protected:
    void SetUp() override
    {
        PageFixture::SetUp();
        ASSERT_TRUE(files.isValid());
        app::common::setDataFolder(files.path());
        previousRunner = app::common::desktop::setFileDialogRunner([this](QFileDialog &dialog) {
            proposed.push_back(QFileInfo(dialog.selectedFiles().value(0)).fileName());
            if (whileChoosing)
                whileChoosing();
            return chosen;
        });
    }

    void TearDown() override
    {
        app::common::desktop::setFileDialogRunner(previousRunner);
        PageFixture::TearDown();
    }

    CHILD_GEN_FILE *open() { return openModulePageAfresh<CHILD_GEN_FILE>(); }

    QString path(const QString &name) const { return files.filePath(name); }

    static QString readText(const QString &fileName)
    {
        QFile file(fileName);
        if (!file.open(QIODevice::ReadOnly))
            return {};
        return QString::fromUtf8(file.readAll());
    }

    static void writeText(const QString &fileName, const QString &text)
    {
        QFile file(fileName);
        ASSERT_TRUE(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
        file.write(text.toUtf8());
    }

    QTemporaryDir files;
    QString chosen;                      // what the dialog answers
    std::function<void()> whileChoosing; // runs while a file dialog is up
    std::vector<QString> proposed;       // the file names the dialogs proposed
    app::common::desktop::FileDialogRunner previousRunner;
};

} // namespace pagetests

#endif
