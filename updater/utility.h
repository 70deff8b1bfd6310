#ifndef UPDATER_UTILITY_H
#define UPDATER_UTILITY_H

class QApplication;

namespace updater {

// The utility's run: the start-up check, then the one object served to the caller until the
// check ends. Ends after a False result, after an error, and when the caller goes away during a
// check; after True the install step ends it. Returns the exit code.
int runUtility(QApplication &application);

} // namespace updater

#endif
