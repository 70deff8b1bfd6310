#ifndef PLATFORM_WIN_ATOMICFILE_H
#define PLATFORM_WIN_ATOMICFILE_H

#include <QByteArray>
#include <QString>

namespace platform::win {

// Replaces the file's content with bytes in one step: readers see the old file or the new one,
// never a part. The bytes go to a temporary file beside it ("NAME.XXXXXX") that is renamed over
// it. Temporary files of earlier writes to the same file that a crash left behind, and that no
// write can still be using (a minute old), are removed first.
bool writeFileAtomically(const QString &fileName, const QByteArray &bytes);

// Removes the file's stale temporary files, as writeFileAtomically does before it writes.
void removeStaleTemporaries(const QString &fileName);

} // namespace platform::win

#endif
