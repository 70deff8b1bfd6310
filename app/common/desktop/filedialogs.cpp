#include "app/common/desktop/filedialogs.h"

#include <QDialog>
#include <QFileDialog>
#include <QRegularExpression>

#include "app/common/desktop/desktopstate.h"

namespace app::common::desktop {

namespace {

FileDialogRunner &installedRunner()
{
    return DesktopState::current().fileDialogRunner;
}

QString runModal(QFileDialog &dialog)
{
    if (dialog.exec() != QDialog::Accepted) {
        return QString();
    }
    return dialog.selectedFiles().value(0);
}

QString showDialog(QWidget *owner, const FileDialogSetup &setup, QString &initDir,
                   QString &fileName)
{
    QFileDialog dialog(owner);
    ConfigureFileDialog(dialog, setup);
    const FileDialogRunner &runner = installedRunner();
    const QString chosen = runner ? runner(dialog) : runModal(dialog);
    return TakeDialogResult(chosen, initDir, fileName);
}

// What both dialogs take from their caller as it stands.
FileDialogSetup callerSetup(const QString &filter, const QString &defaultExt,
                            const QString &initDir, const QString &title, const QString &fileName)
{
    FileDialogSetup setup;
    setup.filter = filter;
    setup.defaultExt = defaultExt;
    setup.initDir = initDir;
    setup.title = title;
    setup.fileName = fileName;
    return setup;
}

QString globs(const QString &pattern)
{
    QStringList list;
    for (const QString &part : pattern.split(QLatin1Char(';'))) {
        const QString glob = part.trimmed();
        if (glob.isEmpty()) {
            continue;
        }
        list.append(glob == QLatin1String("*.*") ? QStringLiteral("*") : glob);
    }
    return list.isEmpty() ? QStringLiteral("*") : list.join(QLatin1Char(' '));
}

} // namespace

QStringList ConvertFilter(const QString &filter)
{
    // The list ends at the first empty description.
    const QStringList parts = filter.split(QChar(0));
    static const QRegularExpression ownGlobs(QStringLiteral("\\s*\\([^()]*\\)\\s*$"));
    QStringList filters;
    for (qsizetype i = 0; i < parts.size() && !parts[i].isEmpty(); i += 2) {
        QString description = parts[i];
        if (i + 1 >= parts.size()) {
            filters.append(description); // a description without a pattern, as it stands
            break;
        }
        description.remove(ownGlobs);
        filters.append(description.trimmed() + QStringLiteral(" (") + globs(parts[i + 1]) +
                       QLatin1Char(')'));
    }
    return filters;
}

void ConfigureFileDialog(QFileDialog &dialog, const FileDialogSetup &setup)
{
    if (!setup.title.isEmpty()) {
        dialog.setWindowTitle(setup.title);
    }
    dialog.setAcceptMode(setup.save ? QFileDialog::AcceptSave : QFileDialog::AcceptOpen);
    dialog.setFileMode(!setup.save && setup.mustExist ? QFileDialog::ExistingFile
                                                      : QFileDialog::AnyFile);
    dialog.setOption(QFileDialog::DontConfirmOverwrite, setup.save && !setup.overwritePrompt);
    const QStringList filters = ConvertFilter(setup.filter);
    if (!filters.isEmpty()) {
        dialog.setNameFilters(filters);
        dialog.selectNameFilter(filters.first());
    }
    QString ext = setup.defaultExt.trimmed();
    while (ext.startsWith(QLatin1Char('.'))) {
        ext.remove(0, 1);
    }
    dialog.setDefaultSuffix(ext);
    if (!setup.initDir.isEmpty()) {
        dialog.setDirectory(setup.initDir);
    }
    if (!setup.fileName.isEmpty()) {
        dialog.selectFile(setup.fileName);
    }
}

QString TakeDialogResult(const QString &chosenPath, QString &initDir, QString &fileName)
{
    if (chosenPath.isEmpty()) {
        return QString();
    }
    const qsizetype slash = chosenPath.lastIndexOf(QLatin1Char('/'));
    initDir = slash < 0 ? QString() : chosenPath.left(slash);
    fileName = chosenPath.mid(slash + 1);
    return chosenPath;
}

FileDialogRunner setFileDialogRunner(FileDialogRunner runner)
{
    FileDialogRunner previous = std::move(installedRunner());
    installedRunner() = std::move(runner);
    return previous;
}

QString ShowOpenDialog(QWidget *owner, const QString &filter, const QString &defaultExt,
                       QString &initDir, const QString &title, QString &fileName, bool mustExist)
{
    FileDialogSetup setup = callerSetup(filter, defaultExt, initDir, title, fileName);
    setup.mustExist = mustExist;
    return showDialog(owner, setup, initDir, fileName);
}

QString ShowSaveDialog(QWidget *owner, const QString &filter, const QString &defaultExt,
                       QString &initDir, const QString &title, QString &fileName,
                       bool overwritePrompt)
{
    FileDialogSetup setup = callerSetup(filter, defaultExt, initDir, title, fileName);
    setup.save = true;
    setup.overwritePrompt = overwritePrompt;
    return showDialog(owner, setup, initDir, fileName);
}

} // namespace app::common::desktop
