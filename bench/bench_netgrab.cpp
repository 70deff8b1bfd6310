// The download control against a bare network read of the same 64 MiB from a loopback server,
// all in one run: the control with SaveAs, and DownloadToFile with the status window showing
// progress. Each is measured by its fastest run, which a busy machine disturbs least. Then the
// processor time of waiting for a live process for 3 s.
#include <benchmark/benchmark.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <ctime>
#include <sys/syscall.h>
#include <unistd.h>

#include <QApplication>
#include <QEventLoop>
#include <QFile>
#include <QNetworkAccessManager>
#include <QNetworkReply>
#include <QProcess>
#include <QTemporaryDir>

#include "httpfixture.h"
#include "updater/mainfrm.h"
#include "updater/netgrab.h"
#include "updater/upvelo.h"

namespace {

constexpr qsizetype Size = 64LL * 1024 * 1024;

struct Figures
{
    double reference = 0;
    double netGrab = 0;
    double downloadToFile = 0;
    double waitCpuShare = -1;
} figures;

testsupport::HttpFixture &server()
{
    static testsupport::HttpFixture fixture;
    static const bool served = [] {
        fixture.serve(QStringLiteral("/liveupdate/big/big.exe"), QByteArray(Size, 'x'));
        return true;
    }();
    (void)served;
    return fixture;
}

QString address()
{
    return server().url(QStringLiteral("/liveupdate/big/big.exe")).toString();
}

QString target()
{
    static QTemporaryDir dir;
    return dir.filePath(QStringLiteral("TMPbench"));
}

double seconds(std::chrono::steady_clock::duration d)
{
    return std::chrono::duration<double>(d).count();
}

void reference(benchmark::State &state)
{
    QNetworkAccessManager manager;
    double best = 1e9;
    for (auto _ : state) {
        const auto start = std::chrono::steady_clock::now();
        QNetworkReply *reply = manager.get(QNetworkRequest(QUrl(address())));
        QEventLoop loop;
        QObject::connect(reply, &QNetworkReply::finished, &loop, &QEventLoop::quit);
        loop.exec();
        const QByteArray body = reply->readAll();
        QFile file(target());
        file.open(QIODevice::WriteOnly);
        file.write(body);
        file.close();
        reply->deleteLater();
        best = std::min(best, seconds(std::chrono::steady_clock::now() - start));
        if (body.size() != Size)
            state.SkipWithError("short body");
    }
    figures.reference = best;
}

void netGrabSaveAs(benchmark::State &state)
{
    updater::NetGrab grab;
    grab.allowLoopbackHttp(true);
    double best = 1e9;
    for (auto _ : state) {
        const auto start = std::chrono::steady_clock::now();
        QEventLoop loop;
        QObject::connect(&grab, &updater::NetGrab::DownloadComplete, &loop, &QEventLoop::quit);
        QObject::connect(&grab, &updater::NetGrab::DownloadFailed, &loop, &QEventLoop::quit);
        grab.DownloadStart(address());
        loop.exec();
        const bool saved = grab.SaveAs(target());
        best = std::min(best, seconds(std::chrono::steady_clock::now() - start));
        if (!saved)
            state.SkipWithError("not saved");
    }
    figures.netGrab = best;
}

void downloadToFileWithStatus(benchmark::State &state)
{
    updater::SetStatus(QStringLiteral("Downloading installer..."));
    updater::StatusWindow()->show();
    double best = 1e9;
    for (auto _ : state) {
        const auto start = std::chrono::steady_clock::now();
        const bool done = updater::DownloadToFile(address(), target());
        best = std::min(best, seconds(std::chrono::steady_clock::now() - start));
        if (!done)
            state.SkipWithError("download failed");
    }
    figures.downloadToFile = best;
    updater::StatusWindow()->hide();
}

double processSeconds()
{
    timespec now{};
    clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &now);
    return static_cast<double>(now.tv_sec) + static_cast<double>(now.tv_nsec) / 1e9;
}

void waitWindowClosed(benchmark::State &state)
{
    for (auto _ : state) {
        QProcess child;
        child.start(QStringLiteral("/bin/sleep"), {QStringLiteral("3")});
        child.waitForStarted();
        const int handle = static_cast<int>(syscall(SYS_pidfd_open, child.processId(), 0));
        const double cpuStart = processSeconds();
        const auto start = std::chrono::steady_clock::now();
        updater::WaitWindowClosed(handle);
        const double wall = seconds(std::chrono::steady_clock::now() - start);
        figures.waitCpuShare = (processSeconds() - cpuStart) / wall;
        close(handle);
        child.waitForFinished();
    }
}

} // namespace

BENCHMARK(reference)->Iterations(8)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(netGrabSaveAs)->Iterations(8)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(downloadToFileWithStatus)->Iterations(8)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(waitWindowClosed)->Iterations(1)->Unit(benchmark::kMillisecond)->UseRealTime();

int main(int argc, char **argv)
{
    setenv("QT_QPA_PLATFORM", "offscreen", 0);
    QApplication app(argc, argv);
    server();
    qputenv("HXR_UPDATE_BASE", (server().base() + QStringLiteral("/liveupdate/")).toLocal8Bit());
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    if (figures.reference > 0) {
        std::printf("netgrab: NetGrab + SaveAs %.2f x the bare read and write (goal: at most 1.25)\n",
                    figures.netGrab / figures.reference);
        std::printf("netgrab: DownloadToFile with the status window %.2f x (goal: at most 1.5)\n",
                    figures.downloadToFile / figures.reference);
    }
    if (figures.waitCpuShare >= 0)
        std::printf("netgrab: WaitWindowClosed used %.3f %% of its wall time in CPU (goal: at most 1 %%)\n",
                    figures.waitCpuShare * 100.0);
    return 0;
}
