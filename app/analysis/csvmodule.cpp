#include "app/analysis/csvmodule.h"

#include <algorithm>
#include <atomic>
#include <cmath>
#include <cstring>
#include <memory>
#include <string>
#include <string_view>
#include <thread>
#include <utility>
#include <vector>

#include <QCoreApplication>
#include <QEventLoop>
#include <QFile>
#include <QFileInfo>

#ifdef __linux__
#include <fcntl.h>
#endif

#include "app/analysis/analysisstate.h"
#include "app/analysis/csvblocks.h"
#include "app/analysis/csvline.h"
#include "app/analysis/snapshotmodule.h"
#include "app/common/formatting.h"
#include "platform/vb/val.h"
#include "platform/win/wholefilewriter.h"

namespace app::analysis {

namespace {

constexpr qsizetype MaxLineChars = 1000;
constexpr qint64 ReadChunkBytes = 1 << 20;
const QByteArray ByteOrderMark = QByteArrayLiteral("\xEF\xBB\xBF");

AnalysisState::CsvSettings &settings()
{
    return AnalysisState::current().csv;
}

bool cancelRequested(const CsvJobHooks &hooks)
{
    return hooks.cancel && hooks.cancel();
}

void report(const CsvJobHooks &hooks, double percent)
{
    if (hooks.progress)
        hooks.progress(percent);
}

QString lineError(int64_t line, const QString &what)
{
    return QStringLiteral("Line %1 %2").arg(line).arg(what);
}

// A line as it may appear in a message: trimmed and cut short.
QString quoted(std::string_view line)
{
    QString text = QString::fromLatin1(line.data(), static_cast<qsizetype>(line.size())).trimmed();
    if (text.size() > 40)
        text = text.left(40) + QStringLiteral("...");
    return QLatin1Char('"') + text + QLatin1Char('"');
}

// Starts the disk writes of what a long save wrote so far, so that they run while the rest is
// formatted, and the wait for them at the commit is short.
class EarlyWriteBack
{
public:
    void written(const platform::win::WholeFileWriter &file)
    {
#ifdef __linux__
        const qint64 end = file.size();
        if (end - started_ < Stretch)
            return;
        // Only a hint: where it is refused, the commit still waits for every byte.
        (void)::sync_file_range(file.handle(), started_, end - started_, SYNC_FILE_RANGE_WRITE);
        started_ = end;
#else
        (void)file;
#endif
    }

private:
    static constexpr qint64 Stretch = 4 << 20;
    qint64 started_ = 0;
};

// Whether every CR of the chunk is the first half of a CR LF inside it, so that LF alone ends
// its lines. A search for CR on every line of a CR LF file would cost as much as the search for
// its LF; this looks at 16 bytes a step, in any build.
bool onlyCrLf(std::string_view data)
{
    using Block = unsigned char __attribute__((vector_size(16)));
    const char *bytes = data.data();
    const size_t size = data.size();
    bool lone = size > 0 && bytes[size - 1] == '\r';
    size_t i = 0;
    Block found{};
    for (; i + sizeof(Block) < size; i += sizeof(Block)) {
        Block here;
        Block next;
        std::memcpy(&here, bytes + i, sizeof here);
        std::memcpy(&next, bytes + i + 1, sizeof next);
        found |= (here == '\r') & (next != '\n');
    }
    for (size_t k = 0; k < sizeof(Block); ++k)
        lone |= found[k] != 0;
    for (; i + 1 < size; ++i)
        lone |= bytes[i] == '\r' && bytes[i + 1] != '\n';
    return !lone;
}

// Where the line that starts at `from` ends (npos: it goes on past the chunk), and where the
// next line starts.
struct LineEnd
{
    size_t end;
    size_t next;
};

LineEnd lineEndAfterLf(std::string_view data, size_t from)
{
    const size_t lf = data.find('\n', from);
    if (lf == std::string_view::npos)
        return {lf, lf};
    return {lf > from && data[lf - 1] == '\r' ? lf - 1 : lf, lf + 1};
}

LineEnd lineEndAfterAny(std::string_view data, size_t from)
{
    size_t end = from;
    while (end < data.size() && data[end] != '\n' && data[end] != '\r')
        ++end;
    if (end == data.size())
        return {std::string_view::npos, std::string_view::npos};
    const bool crLf = data[end] == '\r' && end + 1 < data.size() && data[end + 1] == '\n';
    return {end, end + (crLf ? 2 : 1)};
}

// Splits the file into lines (ended by CR LF, LF or a lone CR), reading it in chunks. `handle`
// gets each line without its end and returns "" to go on, else the error that stops the reading.
class LineReader
{
public:
    explicit LineReader(QFile &file) : file_(file) {}

    template <typename Handle>
    QString run(Handle &&handle)
    {
        if (file_.peek(ByteOrderMark.size()) == ByteOrderMark)
            file_.skip(ByteOrderMark.size());
        std::string pending;
        // Sized to the file, and not zeroed: small files are read often (tests, fuzzing).
        const qint64 room = std::clamp<qint64>(file_.size() - file_.pos() + 1, 1, ReadChunkBytes);
        const auto chunk = std::make_unique_for_overwrite<char[]>(static_cast<size_t>(room));
        for (;;) {
            const qint64 got = file_.read(chunk.get(), room);
            if (got < 0)
                return file_.errorString();
            if (got == 0)
                break;
            const std::string_view data(chunk.get(), static_cast<size_t>(got));
            if (QString error = feed(data, pending, handle); !error.isEmpty())
                return error;
        }
        if (!pending.empty())
            return finish(pending, handle);
        return {};
    }

private:
    template <typename Handle>
    QString feed(std::string_view data, std::string &pending, Handle &handle)
    {
        size_t at = 0;
        // The LF of a CR LF that the chunk boundary split.
        if (std::exchange(afterCr_, false) && !data.empty() && data.front() == '\n')
            at = 1;
        afterCr_ = !data.empty() && data.back() == '\r';
        if (onlyCrLf(data.substr(at)))
            return feedLines<lineEndAfterLf>(data, at, pending, handle);
        return feedLines<lineEndAfterAny>(data, at, pending, handle);
    }

    template <LineEnd (*lineEnd)(std::string_view, size_t), typename Handle>
    QString feedLines(std::string_view data, size_t at, std::string &pending, Handle &handle)
    {
        while (at < data.size()) {
            const LineEnd end = lineEnd(data, at);
            if (end.end == std::string_view::npos) {
                pending.append(data.substr(at));
                if (static_cast<qsizetype>(pending.size()) > MaxLineChars)
                    return tooLong(line_ + 1);
                return {};
            }
            const std::string_view line = data.substr(at, end.end - at);
            at = end.next;
            if (!pending.empty()) {
                pending.append(line);
                const std::string whole = std::exchange(pending, {});
                if (QString error = finish(whole, handle); !error.isEmpty())
                    return error;
                continue;
            }
            if (QString error = finish(line, handle); !error.isEmpty())
                return error;
        }
        return {};
    }

    template <typename Handle>
    QString finish(std::string_view line, Handle &handle)
    {
        ++line_;
        if (static_cast<qsizetype>(line.size()) > MaxLineChars)
            return tooLong(line_);
        return handle(line, line_);
    }

    static QString tooLong(int64_t line)
    {
        return lineError(line, QStringLiteral("is longer than %1 characters.").arg(MaxLineChars));
    }

    QFile &file_;
    int64_t line_ = 0;
    bool afterCr_ = false; // the last chunk ended with a CR
};

// Runs the work on a worker thread while this thread keeps processing its events, so that
// readings keep arriving and windows repaint. Quitting the application ends the wait: the job
// is then cancelled and joined before this returns.
QString runJob(const std::function<QString(const CsvJobHooks &)> &work, CsvProgress *progress,
               const QString &title, const QString &text, bool *cancelled)
{
    if (cancelled)
        *cancelled = false;
    if (settings().runningCancel)
        return QStringLiteral("A data file is being saved or loaded already.");
    std::atomic<bool> cancel{false};
    settings().runningCancel = &cancel;
    if (progress)
        progress->begin(title, text, [&cancel] { cancel = true; });

    QString result;
    CsvJobHooks hooks;
    // A cancel counts once the work has seen it: one that comes after a save was committed
    // leaves a replaced file, which is no cancelled save.
    std::atomic<bool> stopped{false};
    hooks.cancel = [&cancel, &stopped] {
        if (!cancel.load())
            return false;
        stopped = true;
        return true;
    };
    if (!QCoreApplication::instance()) {
        result = work(hooks);
    } else {
        QEventLoop loop;
        QObject relay; // lives on this thread: what the worker posts runs here
        hooks.progress = [&relay, progress](double percent) {
            if (progress)
                QMetaObject::invokeMethod(
                    &relay, [progress, percent] { progress->advance(percent); },
                    Qt::QueuedConnection);
        };
        std::atomic<bool> done{false};
        std::thread worker([&] {
            result = work(hooks);
            done = true;
            QMetaObject::invokeMethod(&relay, [&loop] { loop.quit(); }, Qt::QueuedConnection);
        });
        if (!done)
            loop.exec();
        if (!done)
            cancel = true;
        worker.join();
    }
    settings().runningCancel = nullptr;
    if (progress) {
        progress->advance(100.0);
        progress->end();
    }
    if (stopped) {
        if (cancelled)
            *cancelled = true;
        return {};
    }
    return result;
}

} // namespace

QDateTime ParseCSVStartTime(QStringView header)
{
    if (header.size() < 14)
        return {};
    for (qsizetype i = 0; i < 14; ++i) {
        if (!header[i].isDigit() || header[i].unicode() > '9')
            return {};
    }
    auto field = [header](qsizetype from, qsizetype length) {
        return header.mid(from, length).toInt();
    };
    const QDate date(field(0, 4), field(4, 2), field(6, 2));
    const QTime time(field(8, 2), field(10, 2), field(12, 2));
    if (!date.isValid() || !time.isValid())
        return {};
    return QDateTime(date, time);
}

int32_t ParseCSVMicros(QStringView header)
{
    const qsizetype point = header.indexOf(QLatin1Char('.'));
    if (point < 0)
        return 0;
    const double micros = std::nearbyint(platform::vb::Val(header.mid(point + 1)));
    if (!(micros >= 0.0 && micros <= 999'999.0))
        return -1;
    return static_cast<int32_t>(micros);
}

QByteArray CsvHeader(const QDateTime &startTime, int32_t startMicros)
{
    return startTime.toString(QStringLiteral("yyyyMMddHHmmss")).toLatin1() + '.' +
           QByteArray::number(startMicros);
}

QString WriteCsvFile(const QString &fileName, const Snapshot &snapshot, const CsvJobHooks &hooks)
{
    if (!snapshot.startTime.isValid() || snapshot.startMicros < 0 ||
        snapshot.startMicros > 999'999)
        return QStringLiteral("The data has no valid start time.");
    const QFileInfo target(fileName);
    if (target.isDir())
        return QStringLiteral("The name is that of a folder.");
    // A file the user may not write is refused by the writer, with the system's cause.
    platform::win::WholeFileWriter file(fileName);
    const QByteArray header = CsvHeader(snapshot.startTime, snapshot.startMicros) + "\r\n";
    if (!file.open() || !file.write(header))
        return file.errorString();

    const int32_t n = snapshot.upperBound();
    CsvBlocks blocks(snapshot.readings.data(), 1, n, CsvBlockLines);
    EarlyWriteBack writeBack;
    for (int32_t index = 0; index < blocks.count(); ++index) {
        if (cancelRequested(hooks)) {
            file.cancel();
            return {};
        }
        const std::string_view block = blocks.block(index);
        const CsvBlockWriteCheck &check = settings().writeCheck;
        if (check && !check(index + 1)) {
            file.cancel();
            return QStringLiteral("No space left on device");
        }
        if (!file.write(QByteArrayView(block.data(), static_cast<qsizetype>(block.size()))))
            return file.errorString();
        writeBack.written(file);
        report(hooks, std::min(1.0, double(index + 1) * CsvBlockLines / n) * 100.0);
    }
    if (cancelRequested(hooks)) {
        file.cancel();
        return {};
    }
    if (!file.commit())
        return file.errorString();
    return {};
}

QString ReadCsvFile(const QString &fileName, Snapshot &into, const CsvJobHooks &hooks)
{
    QFile file(fileName);
    if (!file.exists())
        return QStringLiteral("File does not exist!");
    if (!file.open(QIODevice::ReadOnly))
        return file.errorString();
    const qint64 size = file.size();
    const int32_t limit = settings().readingLimit;

    Snapshot loaded;
    loaded.readings.reserve(static_cast<size_t>(std::min<qint64>(size / 2, limit)) + 1);
    bool header = true;
    bool stopped = false;
    LineReader reader(file);
    const QString error = reader.run([&](std::string_view line, int64_t number) -> QString {
        if (header) {
            const QString text = QString::fromLatin1(line.data(), qsizetype(line.size()));
            loaded.startTime = ParseCSVStartTime(text);
            if (!loaded.startTime.isValid())
                return lineError(number, QStringLiteral("does not hold a valid start date and time."));
            loaded.startMicros = ParseCSVMicros(text);
            if (loaded.startMicros < 0)
                return lineError(number, QStringLiteral("holds microseconds outside 0 to 999999."));
            header = false;
            return {};
        }
        if (line.empty())
            return {};
        if (loaded.upperBound() >= limit)
            return lineError(number, QStringLiteral("is one reading more than the %1 a file may hold.")
                                         .arg(limit));
        float value = 0.0f;
        bool decimalComma = false;
        const bool inRange = ParseReading(line, value, &decimalComma);
        if (decimalComma)
            return lineError(number, quoted(line) + QStringLiteral(" has a decimal comma where a "
                                                                   "point is expected."));
        if (!inRange)
            return lineError(number, quoted(line) + QStringLiteral(" is beyond the range of a reading."));
        loaded.readings.push_back(value);
        if (loaded.upperBound() % CsvBlockLines == 0) {
            if (const CsvBlockRead &read = settings().blockRead)
                read(loaded.upperBound() / CsvBlockLines);
            if (cancelRequested(hooks)) {
                stopped = true;
                return QStringLiteral("cancelled");
            }
            report(hooks, size > 0 ? double(file.pos()) / size * 100.0 : 100.0);
        }
        return {};
    });
    if (stopped)
        return {};
    if (!error.isEmpty())
        return error;
    if (header)
        return lineError(1, QStringLiteral("does not hold a valid start date and time."));
    // Nothing to review: the snapshot the user had is worth more than an empty one.
    if (loaded.upperBound() == 0)
        return QStringLiteral("The file holds no readings.");
    into = std::move(loaded);
    return {};
}

QString SaveCSV(const QString &fileName, CsvProgress *progress, bool *cancelled)
{
    const Snapshot copy = CurrentSnapshot();
    const int32_t n = copy.upperBound();
    const QString text = QStringLiteral("Writing %1 data points (%2).\r\nWriting data to file...")
                             .arg(n)
                             .arg(common::FormatHMS(n / 4800.0));
    return runJob([&](const CsvJobHooks &hooks) { return WriteCsvFile(fileName, copy, hooks); },
                  progress, QStringLiteral("Save Data"), text, cancelled);
}

QString LoadCSV(const QString &fileName, CsvProgress *progress, bool *cancelled)
{
    if (cancelled)
        *cancelled = false;
    const QFileInfo info(fileName);
    if (!info.exists())
        return QStringLiteral("File does not exist!");
    const auto estimate = static_cast<int64_t>(std::nearbyint(double(info.size()) / 11.0));
    const QString text =
        QStringLiteral("Reading %1 data points.\r\nReading data data file...").arg(estimate);
    Snapshot loaded;
    bool read = false;
    bool stopped = false;
    const QString error = runJob(
        [&](const CsvJobHooks &hooks) {
            QString result = ReadCsvFile(fileName, loaded, hooks);
            read = result.isEmpty() && !cancelRequested(hooks);
            return result;
        },
        progress, QStringLiteral("Load Data"), text, &stopped);
    if (cancelled)
        *cancelled = stopped;
    if (error.isEmpty() && read && !stopped)
        CurrentSnapshot() = std::move(loaded);
    return error;
}

void CancelCsvJob()
{
    if (std::atomic<bool> *cancel = settings().runningCancel)
        *cancel = true;
}

bool CsvJobRunning()
{
    return settings().runningCancel != nullptr;
}

int32_t SetCsvReadingLimit(int32_t limit)
{
    return std::exchange(settings().readingLimit, limit);
}

CsvBlockWriteCheck SetCsvBlockWriteCheck(CsvBlockWriteCheck check)
{
    return std::exchange(settings().writeCheck, std::move(check));
}

CsvBlockRead SetCsvBlockRead(CsvBlockRead read)
{
    return std::exchange(settings().blockRead, std::move(read));
}

} // namespace app::analysis
