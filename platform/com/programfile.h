#ifndef PLATFORM_COM_PROGRAMFILE_H
#define PLATFORM_COM_PROGRAMFILE_H

#include <QString>

namespace platform::com {

// Why a file cannot be run as a program.
enum class RunRefusal {
    None,
    // There is no such file.
    Missing,
    // Nobody can run it: a folder, not a regular file, no execute permission, a file system that
    // runs no programs, or not a program at all.
    NotRunnable,
    // It could be run, but not by this user: a permission refusal that the administrator can lift.
    NotPermitted,
};

struct RunCheck
{
    RunRefusal refusal = RunRefusal::None;
    // The cause in the user's words, as a clause: "it is a folder, not a program".
    QString cause;
};

// Looks at the file before it is started.
RunCheck checkProgramFile(const QString &path);

// Explains a start of the file that failed with the errno of exec.
RunCheck explainStartFailure(const QString &path, int error);

} // namespace platform::com

#endif
