// Data files of 8,640,000 readings (a full ring): our writer and reader against a QTextStream
// writing QString::number(v, 'f', 7) and reading with readLine and toDouble, in the same run.
// Both writers make a new file each time: replacing one costs both the same extra time, that of
// freeing the old file's pages. Both saves are durable inside the timed span: ours syncs the
// file before it takes the target's name, so the reference syncs its file before it closes it.

#include <cmath>
#include <cstdio>
#include <string>
#include <unistd.h>

#include <QFile>
#include <QString>
#include <QTemporaryDir>
#include <QTextStream>

#include <benchmark/benchmark.h>

#include "app/analysis/csvmodule.h"
#include "app/analysis/snapshotmodule.h"
#include "bench/benchtiming.h"

namespace {

constexpr int32_t Readings = 8'640'000;

struct Fixture
{
    Fixture()
    {
        snapshot.readings.resize(Readings + 1);
        for (int32_t i = 1; i <= Readings; ++i)
            snapshot.readings[static_cast<size_t>(i)] =
                static_cast<float>(12.5 * std::sin(i * 0.0013) + (i % 7) * 0.001);
        snapshot.startTime = QDateTime(QDate(2019, 6, 15), QTime(10, 30, 0));
        ours = dir.filePath(QStringLiteral("ours.csv"));
        reference = dir.filePath(QStringLiteral("reference.csv"));
    }
    QTemporaryDir dir;
    app::analysis::Snapshot snapshot;
    QString ours;
    QString reference;
};

Fixture &fixture()
{
    static Fixture instance;
    return instance;
}

void saveOurs(benchmark::State &state)
{
    bench::timedAfter(state, "save", [] { QFile::remove(fixture().ours); }, [] {
        const QString error = app::analysis::WriteCsvFile(fixture().ours, fixture().snapshot);
        if (!error.isEmpty())
            std::fprintf(stderr, "%s\n", qPrintable(error));
    });
}

void saveReference(benchmark::State &state)
{
    bench::timedAfter(state, "save reference", [] { QFile::remove(fixture().reference); }, [] {
        QFile file(fixture().reference);
        if (!file.open(QIODevice::WriteOnly)) {
            std::fprintf(stderr, "save reference: %s\n", qPrintable(file.errorString()));
            return;
        }
        QTextStream out(&file);
        out << "20190615103000.0\r\n";
        const auto &readings = fixture().snapshot.readings;
        for (size_t i = 1; i < readings.size(); ++i)
            out << QString::number(readings[i], 'f', 7) << "\r\n";
        out.flush();
        if (out.status() != QTextStream::Ok || !file.flush() || ::fsync(file.handle()) != 0)
            std::fprintf(stderr, "save reference: the file was not written to the disk\n");
    });
}

void loadOurs(benchmark::State &state)
{
    bench::timed(state, "load", [] {
        app::analysis::Snapshot loaded;
        const QString error = app::analysis::ReadCsvFile(fixture().ours, loaded);
        if (!error.isEmpty() || loaded.upperBound() != Readings)
            std::fprintf(stderr, "load: %s\n", qPrintable(error));
        benchmark::DoNotOptimize(loaded.readings.data());
    });
}

void loadReference(benchmark::State &state)
{
    bench::timed(state, "load reference", [] {
        QFile file(fixture().ours);
        file.open(QIODevice::ReadOnly);
        QTextStream in(&file);
        std::vector<float> values;
        values.reserve(Readings + 1);
        in.readLine();
        QString line;
        while (in.readLineInto(&line))
            values.push_back(static_cast<float>(line.toDouble()));
        benchmark::DoNotOptimize(values.data());
    });
}

BENCHMARK(saveOurs)->Unit(benchmark::kMillisecond)->Iterations(3);
BENCHMARK(saveReference)->Unit(benchmark::kMillisecond)->Iterations(3);
BENCHMARK(loadOurs)->Unit(benchmark::kMillisecond)->Iterations(3);
BENCHMARK(loadReference)->Unit(benchmark::kMillisecond)->Iterations(1);

} // namespace

int main(int argc, char **argv)
{
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    auto &t = bench::seconds();
    if (t.size() == 4) {
        std::printf("save %d readings, synced to disk: %.3f s, %.1fx the QTextStream writer "
                    "synced alike (%.3f s)\n",
                    Readings, t["save"], t["save reference"] / t["save"], t["save reference"]);
        std::printf("load %d readings: %.3f s, %.1fx the QTextStream reader (%.3f s)\n", Readings,
                    t["load"], t["load reference"] / t["load"], t["load reference"]);
    }
    return 0;
}
