// Data file loading on arbitrary bytes: a file either loads whole or is refused with the
// snapshot unchanged, a loaded file saved and loaded again gives the same readings, and so does
// the saved file with its CR LF line ends turned into lone CRs or LFs.

#include <cstddef>
#include <cstdint>

#include <QByteArray>
#include <QDateTime>

#include "app/analysis/csvmodule.h"
#include "app/analysis/snapshotmodule.h"
#include "fuzz/fuzzcheck.h"

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
    static const bool limited = [] {
        SetCsvReadingLimit(10'000); // keeps each run small; the limit path is exercised too
        return true;
    }();
    (void)limited;
    const QString input = fuzzing::scratch().filePath(QStringLiteral("in.csv"));
    const QString output = fuzzing::scratch().filePath(QStringLiteral("out.csv"));
    fuzzing::writeAll(input, QByteArray(reinterpret_cast<const char *>(data),
                                        static_cast<qsizetype>(size)));

    Snapshot before;
    before.readings = {0.0f, 1.5f, -2.0f};
    before.startTime = QDateTime(QDate(2001, 2, 3), QTime(4, 5, 6));
    before.startMicros = 7;
    Snapshot loaded = before;
    if (!ReadCsvFile(input, loaded).isEmpty()) {
        fuzzing::check(same(loaded, before), "a refused file leaves the snapshot unchanged");
        return 0;
    }
    fuzzing::check(WriteCsvFile(output, loaded).isEmpty(), "a loaded file can be saved");
    // The file keeps seven decimals, so a reading written with more comes back rounded once;
    // from then on, save and load must give the same readings.
    Snapshot again;
    fuzzing::check(ReadCsvFile(output, again).isEmpty() &&
                       again.readings.size() == loaded.readings.size(),
                   "a saved file loads with every reading");
    fuzzing::check(WriteCsvFile(output, again).isEmpty(), "a loaded file can be saved");
    Snapshot third;
    fuzzing::check(ReadCsvFile(output, third).isEmpty() && same(third, again),
                   "load, save, load gives the same readings");
    const QByteArray saved = fuzzing::readAll(output);
    for (const char *end : {"\r", "\n"}) {
        fuzzing::writeAll(output, QByteArray(saved).replace("\r\n", end));
        Snapshot otherEnds;
        fuzzing::check(ReadCsvFile(output, otherEnds).isEmpty() && same(otherEnds, again),
                       "CR or LF line ends read as CR LF does");
    }
    return 0;
}
