// Data file loading on arbitrary bytes: a file either loads whole or is refused with the
// snapshot unchanged, and a loaded file saved and loaded again gives the same readings.

#include <cstddef>
#include <cstdint>
#include <cstdlib>

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include "app/analysis/csvmodule.h"
#include "app/analysis/snapshotmodule.h"

namespace {

bool same(const app::analysis::Snapshot &a, const app::analysis::Snapshot &b)
{
    return a.readings == b.readings && a.startTime == b.startTime &&
           a.startMicros == b.startMicros;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    using namespace app::analysis;
    static QTemporaryDir dir;
    static const bool limited = [] {
        SetCsvReadingLimit(10'000); // keeps each run small; the limit path is exercised too
        return true;
    }();
    (void)limited;
    const QString input = dir.filePath(QStringLiteral("in.csv"));
    const QString output = dir.filePath(QStringLiteral("out.csv"));
    {
        QFile file(input);
        if (!file.open(QIODevice::WriteOnly))
            std::abort();
        file.write(reinterpret_cast<const char *>(data), static_cast<qint64>(size));
    }

    Snapshot before;
    before.readings = {0.0f, 1.5f, -2.0f};
    before.startTime = QDateTime(QDate(2001, 2, 3), QTime(4, 5, 6));
    before.startMicros = 7;
    Snapshot loaded = before;
    if (!ReadCsvFile(input, loaded).isEmpty()) {
        if (!same(loaded, before))
            std::abort(); // a refused file changed the snapshot
        return 0;
    }
    if (!WriteCsvFile(output, loaded).isEmpty())
        std::abort();
    // The file keeps seven decimals, so a reading written with more comes back rounded once;
    // from then on, save and load must give the same readings.
    Snapshot again;
    if (!ReadCsvFile(output, again).isEmpty() || again.readings.size() != loaded.readings.size())
        std::abort();
    if (!WriteCsvFile(output, again).isEmpty())
        std::abort();
    Snapshot third;
    if (!ReadCsvFile(output, third).isEmpty() || !same(third, again))
        std::abort(); // load, save, load must give the same readings
    return 0;
}
