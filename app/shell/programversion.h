#ifndef APP_SHELL_PROGRAMVERSION_H
#define APP_SHELL_PROGRAMVERSION_H

namespace app::shell {

// The program's own version, as the build gives it.
int ProgramMajorVersion();
int ProgramMinorVersion();
int ProgramRevision();

} // namespace app::shell

#endif
