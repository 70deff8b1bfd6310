#ifndef APP_ANALYSIS_CSVMODULE_H
#define APP_ANALYSIS_CSVMODULE_H

#include <cstdint>
#include <functional>

#include <QByteArray>
#include <QDateTime>
#include <QString>
#include <QStringView>

namespace app::analysis {

struct Snapshot;

// Data files: line 1 the start time "YYYYMMDDHHMMSS." and the microseconds, then one reading a
// line as "0.0000000", lines ended by CR LF. Readings are written and read in blocks of this
// many lines; a cancel takes effect between blocks.
constexpr int32_t CsvBlockLines = 10'000;
constexpr int32_t DefaultCsvReadingLimit = 10'000'000;

// Shows a running save or load to the user. Called on the thread that started the job.
class CsvProgress
{
public:
    virtual ~CsvProgress() = default;
    // The job starts; `cancel` stops it at the next block boundary.
    virtual void begin(const QString &title, const QString &text,
                       std::function<void()> cancel) = 0;
    virtual void advance(double percent) = 0;
    virtual void end() = 0;
};

// Saves the current snapshot, a copy taken at the start, atomically: the file is replaced only
// when every line was written, a read-only file is refused. Returns "" on success or when
// cancelled (then *cancelled is set), else the first error. The work runs on a worker thread
// while this thread keeps processing its events.
QString SaveCSV(const QString &fileName, CsvProgress *progress = nullptr,
                bool *cancelled = nullptr);
// Loads a data file into a new buffer that replaces the current snapshot, with its start time,
// only when the whole file was good and holds at least one reading. Returns "" on success or
// cancel, "File does not exist!" for a missing file, else the first error, naming the line.
QString LoadCSV(const QString &fileName, CsvProgress *progress = nullptr,
                bool *cancelled = nullptr);
// Stops a running save or load at its next block (the program closes).
void CancelCsvJob();
bool CsvJobRunning();

// The header's date and time, invalid unless its first 14 characters are digits of a real
// date and time.
QDateTime ParseCSVStartTime(QStringView header);
// The number after the header's first "." rounded to an integer, 0 without a ".". Values
// outside 0..999,999 come back as -1.
int32_t ParseCSVMicros(QStringView header);
QByteArray CsvHeader(const QDateTime &startTime, int32_t startMicros);

// The same work without a worker thread, for callers that are already off the user interface.
// `cancel` is polled between blocks, `progress` (0..100) called after every block; either may
// be empty. Write returns "" or the first error; Read fills `into` only on success.
struct CsvJobHooks
{
    std::function<bool()> cancel;
    std::function<void(double percent)> progress;
};
QString WriteCsvFile(const QString &fileName, const Snapshot &snapshot,
                     const CsvJobHooks &hooks = {});
QString ReadCsvFile(const QString &fileName, Snapshot &into, const CsvJobHooks &hooks = {});

// Test seams: the most readings a file may hold, a check before each block is written (false
// fails the write as a full disk would), and a call after each block is read (before the
// cancel is looked at). Each returns the previous setting.
int32_t SetCsvReadingLimit(int32_t limit);
using CsvBlockWriteCheck = std::function<bool(int32_t block)>;
CsvBlockWriteCheck SetCsvBlockWriteCheck(CsvBlockWriteCheck check);
using CsvBlockRead = std::function<void(int32_t block)>;
CsvBlockRead SetCsvBlockRead(CsvBlockRead read);

} // namespace app::analysis

#endif
