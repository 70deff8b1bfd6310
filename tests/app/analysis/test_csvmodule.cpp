#include "app/analysis/csvmodule.h"

#include <cerrno>
#include <cstdint>
#include <cstring>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include <QDir>
#include <QFile>
#include <QLocale>
#include <QTemporaryDir>

#include <gmock/gmock.h>

#include "app/analysis/snapshotmodule.h"
#include "app/common/globals.h"
#include "support/gate.h"
#include "support/ordinaryuser.h"
#include "support/smallfilesystem.h"

namespace app::analysis {
namespace {

using testing::ElementsAre;
using testing::HasSubstr;

const QDateTime June15(QDate(2019, 6, 15), QTime(10, 30, 0));
const QByteArray ThreeReadings = "20190615103000.0\r\n1.5000000\r\n-0.2500000\r\n12.0000000\r\n";

// Records what a job shows; can press Cancel as the job starts (it stops at its first block
// boundary) or as its window closes (the work is done by then).
class RecordingProgress : public CsvProgress
{
public:
    void begin(const QString &t, const QString &x, std::function<void()> c) override
    {
        title = t;
        text = x;
        cancel = std::move(c);
        if (cancelAtBegin)
            cancel();
    }
    void advance(double percent) override
    {
        percents.push_back(percent);
    }
    void end() override
    {
        ++ended;
        if (cancelAtEnd)
            cancel();
    }

    QString title;
    QString text;
    std::function<void()> cancel;
    std::vector<double> percents;
    bool cancelAtBegin = false;
    bool cancelAtEnd = false;
    int ended = 0;
};

class CsvTest : public testing::Test
{
protected:
    void SetUp() override
    {
        ASSERT_TRUE(dir.isValid());
        setSnapshot({1.5f, -0.25f, 12.0f}, June15, 0);
    }
    void TearDown() override
    {
        SetCsvReadingLimit(DefaultCsvReadingLimit);
        SetCsvBlockWriteCheck({});
        SetCsvBlockRead({});
        QLocale::setDefault(QLocale::c());
        common::setDecimalSeparator(QStringLiteral("."));
    }

    static void setSnapshot(const std::vector<float> &values, const QDateTime &start, int micros)
    {
        Snapshot &snap = CurrentSnapshot();
        snap.readings.assign(1, 0.0f);
        snap.readings.insert(snap.readings.end(), values.begin(), values.end());
        snap.startTime = start;
        snap.startMicros = micros;
    }
    static void setRamp(int32_t count)
    {
        std::vector<float> values(static_cast<size_t>(count));
        for (int32_t i = 0; i < count; ++i)
            values[static_cast<size_t>(i)] = static_cast<float>(i % 1000) / 8.0f;
        setSnapshot(values, June15, 0);
    }

    QString path(const char *name) const { return dir.filePath(QString::fromLatin1(name)); }
    QString write(const char *name, const QByteArray &bytes) const
    {
        QFile file(path(name));
        EXPECT_TRUE(file.open(QIODevice::WriteOnly));
        file.write(bytes);
        return file.fileName();
    }
    static QByteArray read(const QString &fileName)
    {
        QFile file(fileName);
        return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
    }
    QStringList entries() const { return QDir(dir.path()).entryList(QDir::Files | QDir::Hidden); }

    QTemporaryDir dir;
};

TEST_F(CsvTest, SavesTheHeaderAndOneReadingALine)
{
    RecordingProgress progress;
    const QString file = path("three.csv");
    EXPECT_EQ(SaveCSV(file, &progress), QString());
    EXPECT_EQ(read(file), ThreeReadings);
    EXPECT_EQ(read(file).size(), 53);
    EXPECT_EQ(progress.title, QStringLiteral("Save Data"));
    EXPECT_EQ(progress.text,
              QStringLiteral("Writing 3 data points (00:00:00).\r\nWriting data to file..."));
    EXPECT_EQ(progress.percents.back(), 100.0);
    EXPECT_EQ(progress.ended, 1);
}

TEST_F(CsvTest, WritesMicrosWithoutLeadingZerosAndPointsInAnyLocale)
{
    QLocale::setDefault(QLocale(QLocale::German));
    common::setDecimalSeparator(QStringLiteral(","));
    setSnapshot({0.5f}, June15, 208);
    const QString file = path("micros.csv");
    ASSERT_EQ(SaveCSV(file), QString());
    EXPECT_EQ(read(file), "20190615103000.208\r\n0.5000000\r\n");
}

struct GoodFile
{
    const char *what;
    QByteArray bytes;
    std::vector<float> readings;
    int micros;
};

TEST_F(CsvTest, LoadsWhatTheToolkitAndOtherProgramsWrite)
{
    const GoodFile files[] = {
        {"own file", ThreeReadings, {1.5f, -0.25f, 12.0f}, 0},
        {"no point in the header", "20190615103000\r\n2\r\n", {2.0f}, 0},
        {"micros", "20190615103000.208\r\n2\r\n", {2.0f}, 208},
        {"empty lines and text", "20190615103000.0\r\n\r\n1\r\nabc\r\n\r\n3\r\n", {1.0f, 0.0f, 3.0f}, 0},
        {"line feeds, no last end", "20190615103000.0\n1.25\n-2", {1.25f, -2.0f}, 0},
        {"byte-order mark", "\xEF\xBB\xBF" "20190615103000.0\r\n7\r\n", {7.0f}, 0},
        {"CR line ends", "20190615103000.0\r1.5\r-0.25\r12\r", {1.5f, -0.25f, 12.0f}, 0},
        {"CR line ends, no last end", "20190615103000.208\r1\r2", {1.0f, 2.0f}, 208},
        {"CR, LF and CR LF mixed", "20190615103000.0\n1\r2\r\n3\n\r4\r\r5", {1, 2, 3, 4, 5}, 0},
        {"commas that are no decimal comma", "20190615103000.0\r\n1,\r\n2,x\r\n3 ,5\r\n,5\r\n",
         {1.0f, 2.0f, 3.0f, 0.0f}, 0},
    };
    for (const GoodFile &f : files) {
        setSnapshot({9.0f, 9.0f, 9.0f, 9.0f}, June15.addDays(3), 5);
        ASSERT_EQ(LoadCSV(write("good.csv", f.bytes)), QString()) << f.what;
        const Snapshot &snap = CurrentSnapshot();
        std::vector<float> expected{0.0f};
        expected.insert(expected.end(), f.readings.begin(), f.readings.end());
        EXPECT_EQ(snap.readings, expected) << f.what;
        EXPECT_EQ(snap.startTime, June15) << f.what;
        EXPECT_EQ(snap.startMicros, f.micros) << f.what;
    }
}

TEST_F(CsvTest, LoadThenSaveGivesTheSameBytes)
{
    const QByteArray original = "20191231235959.999999\r\n1.5000000\r\n-0.0039063\r\n12345.6700000\r\n"
                                "-340282349999999991754788743781432688640.0000000\r\n";
    ASSERT_EQ(LoadCSV(write("in.csv", original)), QString());
    ASSERT_EQ(SaveCSV(path("out.csv")), QString());
    EXPECT_EQ(read(path("out.csv")), original);
}

struct BadFile
{
    const char *what;
    QByteArray bytes;
    const char *error;
};

TEST_F(CsvTest, RefusesABadFileAndKeepsTheSnapshot)
{
    SetCsvReadingLimit(10);
    const QByteArray eleven = "20190615103000.0\r\n" + QByteArray("1\r\n").repeated(11);
    const BadFile files[] = {
        {"month 13", "20191315103000.0\r\n1\r\n", "Line 1 "},
        {"hour 24", "20190615243000.0\r\n1\r\n", "Line 1 "},
        {"short header", "2019061510\r\n1\r\n", "Line 1 "},
        {"empty file", "", "Line 1 "},
        {"header only", "20190615103000.0\r\n", "The file holds no readings."},
        {"header and empty lines", "20190615103000.0\r\n\r\n\r\n", "The file holds no readings."},
        {"a million micros", "20190615103000.1000000\r\n1\r\n", "Line 1 "},
        {"negative micros", "20190615103000.-5\r\n1\r\n", "Line 1 "},
        {"beyond a single", "20190615103000.0\r\n1\r\n1e39\r\n2\r\n", "Line 3 \"1e39\""},
        {"beyond a single, CR ends", "20190615103000.0\r1\r\r1e39\r", "Line 4 \"1e39\""},
        {"decimal comma", "20190615103000.0\r\n1\r\n1,5\r\n", "Line 3 \"1,5\" has a decimal comma"},
        {"decimal comma, CR ends", "20190615103000.0\r-0,25\r", "Line 2 \"-0,25\" has a"},
        {"thousands comma", "20190615103000.0\r\n1,000.5\r\n", "Line 2 \"1,000.5\" has a decimal"},
        {"comma after the exponent", "20190615103000.0\r\n1e3,5\r\n", "Line 2 \"1e3,5\" has a"},
        {"comma after the point", "20190615103000.0\r\n 2.,5\r\n", "Line 2 \"2.,5\" has a"},
        {"a long line", "20190615103000.0\r\n1\r\n" + QByteArray(1001, '5') + "\r\n", "Line 3 "},
        {"a long last line", "20190615103000.0\r\n" + QByteArray(5000, '5'), "Line 2 "},
        {"more than the limit", eleven, "Line 12 "},
    };
    for (const BadFile &f : files) {
        setSnapshot({1.5f, -0.25f, 12.0f}, June15, 17);
        const QString error = LoadCSV(write("bad.csv", f.bytes));
        EXPECT_THAT(error.toStdString(), testing::StartsWith(f.error)) << f.what;
        const Snapshot &snap = CurrentSnapshot();
        EXPECT_THAT(snap.readings, ElementsAre(0.0f, 1.5f, -0.25f, 12.0f)) << f.what;
        EXPECT_EQ(snap.startTime, June15) << f.what;
        EXPECT_EQ(snap.startMicros, 17) << f.what;
    }
    // Exactly the limit is fine.
    EXPECT_EQ(LoadCSV(write("ten.csv", "20190615103000.0\r\n" + QByteArray("1\r\n").repeated(10))),
              QString());
    EXPECT_EQ(CurrentSnapshot().upperBound(), 10);
}

// The file is read in chunks of 1 MiB: a line end on the boundary, CR LF split by it or a CR
// that ends the chunk, counts once.
TEST_F(CsvTest, LineEndsOnTheReadBoundaryCountOnce)
{
    constexpr qsizetype Boundary = 1 << 20;
    for (const QByteArray &end : {QByteArray("\r\n"), QByteArray("\r"), QByteArray("\n")}) {
        const QByteArray header = "20190615103000.0" + end;
        const QByteArray line = "1" + end;
        // Blanks before the first reading put the first byte of some line end on the
        // boundary's last byte.
        const qsizetype pad = ((Boundary - 1) - header.size() - 1) % line.size();
        QByteArray bytes = header + QByteArray(pad, ' ') + line;
        while (bytes.size() < Boundary + 100)
            bytes += line;
        ASSERT_EQ(bytes.mid(Boundary - 1, 1), end.left(1));
        const int readings = static_cast<int>((bytes.size() - header.size() - pad) / line.size());

        EXPECT_EQ(LoadCSV(write("boundary.csv", bytes)), QString()) << end.size();
        EXPECT_EQ(CurrentSnapshot().upperBound(), readings) << end.size();
        EXPECT_EQ(LoadCSV(write("boundary.csv", bytes + "1e39" + end)).toStdString(),
                  QStringLiteral("Line %1 \"1e39\" is beyond the range of a reading.")
                      .arg(readings + 2)
                      .toStdString())
            << end.size();
    }
}

TEST_F(CsvTest, MissingFileIsReportedAsSuch)
{
    EXPECT_EQ(LoadCSV(path("none.csv")), QStringLiteral("File does not exist!"));
    EXPECT_EQ(CurrentSnapshot().upperBound(), 3);
}

TEST_F(CsvTest, LoadShowsTheEstimateFromTheFileLength)
{
    RecordingProgress progress;
    ASSERT_EQ(LoadCSV(write("three.csv", ThreeReadings), &progress), QString());
    EXPECT_EQ(progress.title, QStringLiteral("Load Data"));
    // 53 bytes / 11 = 4.8
    EXPECT_EQ(progress.text, QStringLiteral("Reading 5 data points.\r\nReading data data file..."));
}

// The old file keeps its bytes and no temporary file is left behind.
TEST_F(CsvTest, FailedOrCancelledSaveKeepsTheOldFile)
{
    setRamp(35'000); // four blocks
    const QByteArray old = "old bytes";
    struct Case
    {
        const char *what;
        std::function<void(const QString &file)> arrange;
        bool cancels;
        bool expectError;
    };
    const Case cases[] = {
        {"write fails after two blocks",
         [](const QString &) { SetCsvBlockWriteCheck([](int32_t block) { return block <= 2; }); },
         false, true},
        {"cancel after the first block",
         [](const QString &) {
             SetCsvBlockWriteCheck([](int32_t block) {
                 if (block == 1)
                     CancelCsvJob();
                 return true;
             });
         },
         true, false},
    };
    for (const Case &c : cases) {
        const QString file = write("target.csv", old);
        c.arrange(file);
        RecordingProgress progress;
        bool cancelled = false;
        const QString error = SaveCSV(file, &progress, &cancelled);
        EXPECT_EQ(!error.isEmpty(), c.expectError) << c.what << ": " << error.toStdString();
        EXPECT_EQ(cancelled, c.cancels) << c.what;
        EXPECT_EQ(read(file), old) << c.what;
        EXPECT_EQ(entries(), QStringList{QStringLiteral("target.csv")}) << c.what;
        SetCsvBlockWriteCheck({});
        QFile::setPermissions(file, QFileDevice::ReadOwner | QFileDevice::WriteOwner);
    }
    EXPECT_THAT(SaveCSV(dir.filePath(QStringLiteral("missing/target.csv"))).toStdString(),
                testing::Not(testing::IsEmpty()));
    EXPECT_FALSE(QDir(dir.filePath(QStringLiteral("missing"))).exists());
}

// As an ordinary user (root passes every permission bit): a read-only file is refused with the
// system's cause, as every other file the program writes.
TEST_F(CsvTest, AReadOnlyFileIsRefusedWithTheSystemsCause)
{
    const QByteArray old = "old bytes";
    const QString file = write("target.csv", old);
    ASSERT_TRUE(QFile::setPermissions(file, QFileDevice::ReadOwner | QFileDevice::ReadGroup));
    ASSERT_TRUE(testsupport::OrdinaryFileUser::own(dir.path()));
    ASSERT_TRUE(testsupport::OrdinaryFileUser::own(file));
    QString error;
    {
        const testsupport::OrdinaryFileUser user;
        SKIP_UNLESS_ORDINARY(user);
        // On this thread: the save's worker thread keeps the test's own identity.
        error = WriteCsvFile(file, CurrentSnapshot());
    }
    EXPECT_EQ(error, QString::fromLocal8Bit(std::strerror(EACCES)));
    EXPECT_EQ(read(file), old);
    EXPECT_EQ(entries(), QStringList{QStringLiteral("target.csv")});
}

// On a real disk that fills up, the save's result is the system's own cause.
TEST_F(CsvTest, ASaveOntoAFullDiskGivesTheCauseAndKeepsTheOldFile)
{
    testsupport::SmallFileSystem disk;
    SKIP_UNLESS_MOUNTED(disk);
    setRamp(35'000); // four blocks, far more than the disk holds
    const QString file = disk.filePath(QStringLiteral("target.csv"));
    {
        QFile old(file);
        ASSERT_TRUE(old.open(QIODevice::WriteOnly));
        old.write(ThreeReadings);
    }
    for (const qint64 room : {qint64(0), qint64(16384)}) {
        ASSERT_TRUE(disk.fill(room));
        bool cancelled = true;
        EXPECT_EQ(SaveCSV(file, nullptr, &cancelled), QString::fromLocal8Bit(std::strerror(ENOSPC)))
            << room;
        EXPECT_FALSE(cancelled);
        EXPECT_EQ(read(file), ThreeReadings) << room;
        EXPECT_EQ(disk.entries(), QStringList{QStringLiteral("target.csv")}) << room;
    }
}

TEST_F(CsvTest, CancelledLoadKeepsTheSnapshot)
{
    setRamp(25'000);
    ASSERT_EQ(SaveCSV(path("ramp.csv")), QString());
    setSnapshot({1.0f}, June15, 3);
    RecordingProgress progress;
    progress.cancelAtBegin = true;
    bool cancelled = false;
    EXPECT_EQ(LoadCSV(path("ramp.csv"), &progress, &cancelled), QString());
    EXPECT_TRUE(cancelled);
    EXPECT_THAT(CurrentSnapshot().readings, ElementsAre(0.0f, 1.0f));
    EXPECT_EQ(CurrentSnapshot().startMicros, 3);
}

// A Cancel that comes once the work is done changes nothing: the file was replaced, the
// snapshot swapped, and neither is reported as cancelled.
TEST_F(CsvTest, CancelAfterTheWorkIsDoneIsNoCancel)
{
    const QString file = write("target.csv", "old bytes");
    RecordingProgress saving;
    saving.cancelAtEnd = true;
    bool cancelled = true;
    EXPECT_EQ(SaveCSV(file, &saving, &cancelled), QString());
    EXPECT_FALSE(cancelled);
    EXPECT_EQ(read(file), ThreeReadings);

    setSnapshot({7.0f}, June15, 3);
    RecordingProgress loading;
    loading.cancelAtEnd = true;
    cancelled = true;
    EXPECT_EQ(LoadCSV(file, &loading, &cancelled), QString());
    EXPECT_FALSE(cancelled);
    EXPECT_THAT(CurrentSnapshot().readings, ElementsAre(0.0f, 1.5f, -0.25f, 12.0f));
}

// The caller's event loop keeps running while a file is written and read: the worker, held
// in its second block, goes on only once the caller's thread has run an event posted to it.
TEST_F(CsvTest, EventsKeepFlowingDuringALongJob)
{
    setRamp(35'000); // four blocks
    QObject receiver;
    const auto heldUntilAnEventRuns = [&receiver] {
        // Shared, so that an event that runs after a failed wait finds its gate.
        auto ran = std::make_shared<testsupport::Gate>();
        QMetaObject::invokeMethod(
            &receiver, [ran] { ran->open(); }, Qt::QueuedConnection);
        return ran->waitOpen();
    };
    bool ranDuringSave = false;
    SetCsvBlockWriteCheck([&](int32_t block) {
        if (block == 2)
            ranDuringSave = heldUntilAnEventRuns();
        return true;
    });
    ASSERT_EQ(SaveCSV(path("big.csv")), QString());
    EXPECT_TRUE(ranDuringSave);

    bool ranDuringLoad = false;
    SetCsvBlockRead([&](int32_t block) {
        if (block == 2)
            ranDuringLoad = heldUntilAnEventRuns();
    });
    ASSERT_EQ(LoadCSV(path("big.csv")), QString());
    EXPECT_TRUE(ranDuringLoad);
    EXPECT_EQ(CurrentSnapshot().upperBound(), 35'000);
    EXPECT_EQ(CurrentSnapshot().readings[1999], 998.0f / 8.0f);
}

} // namespace
} // namespace app::analysis
