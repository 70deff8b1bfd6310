#ifndef PLATFORM_COM_PROCESSSTART_H
#define PLATFORM_COM_PROCESSSTART_H

#include <sys/types.h>

#include <QString>
#include <QStringList>

namespace platform::com {

struct StartOptions
{
    // Started through an intermediate process that ends at once, so that the new process is
    // nobody's child and outlives its starter.
    bool detached = false;
    // A descriptor the new process inherits as descriptor 3; -1 for none. Apart from it only
    // standard input, output and error are inherited.
    int passedDescriptor = -1;
};

struct StartResult
{
    // The new process, when it was started and not detached; else 0.
    pid_t pid = 0;
    // 0 when the program runs; else the errno of the failed start (ENOENT, EACCES, ...).
    int error = 0;
};

// Starts program (argv[0] is the program's path) with the given arguments, no shell, in a
// session of its own, signals at their defaults. The result says whether exec succeeded.
StartResult startProcess(const QString &program, const QStringList &arguments,
                         const StartOptions &options = {});

} // namespace platform::com

#endif
