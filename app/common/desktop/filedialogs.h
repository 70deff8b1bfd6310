#ifndef APP_COMMON_DESKTOP_FILEDIALOGS_H
#define APP_COMMON_DESKTOP_FILEDIALOGS_H

#include <functional>

#include <QString>
#include <QStringList>

class QFileDialog;
class QWidget;

namespace app::common::desktop {

// The open and save dialogs. Filter is the system's filter list: pairs of a description and a
// pattern, each ended by a NUL ("Configuration Files (*.hcf)", "*.hcf", "All Files (*.*)",
// "*.*"); a pattern may list several globs separated by ";".

// What a dialog is shown with.
struct FileDialogSetup
{
    bool save = false;
    QString filter;
    QString defaultExt; // without a dot
    QString initDir;
    QString title;
    QString fileName;
    bool mustExist = false;       // open: the chosen file must exist
    bool overwritePrompt = false; // save: ask before replacing a file
};

// The dialog's name filters: each pair becomes "description (globs)", the description losing
// a parenthesised list of its own, "*.*" becoming "*" (any file, with or without a dot).
QStringList ConvertFilter(const QString &filter);

// Sets the dialog object up for the request without showing it.
void ConfigureFileDialog(QFileDialog &dialog, const FileDialogSetup &setup);

// Hands back the chosen path; initDir becomes its folder (without the last separator, so the
// root gives the empty text) and fileName its file name. An empty path (cancelled) changes
// nothing.
QString TakeDialogResult(const QString &chosenPath, QString &initDir, QString &fileName);

// Runs the configured dialog and returns the chosen path, or the empty text when cancelled. The
// default runs it modally; tests install their own (an empty one restores the default) and get
// the previous one back.
using FileDialogRunner = std::function<QString(QFileDialog &dialog)>;
FileDialogRunner setFileDialogRunner(FileDialogRunner runner);

QString ShowOpenDialog(QWidget *owner, const QString &filter, const QString &defaultExt,
                       QString &initDir, const QString &title, QString &fileName, bool mustExist);
QString ShowSaveDialog(QWidget *owner, const QString &filter, const QString &defaultExt,
                       QString &initDir, const QString &title, QString &fileName,
                       bool overwritePrompt);

} // namespace app::common::desktop

#endif
