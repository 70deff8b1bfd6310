// hxr-demo: finds the module, reads a few parameters, starts the stream and prints one second of
// readings, all through the driver library as the toolkit uses it.

#include <cstdio>
#include <vector>

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QString>
#include <QTextStream>
#include <QTimer>

#include "hxrdrv.h"

namespace {

struct Received
{
    std::vector<float> readings;
    int events = 0;
};

Received received;

void onReading(int32_t channel, float value)
{
    if (channel == 0)
        ++received.events;
    else
        received.readings.push_back(value);
}

QTextStream &out()
{
    static QTextStream stream(stdout);
    return stream;
}

int fail(const QString &text)
{
    QTextStream(stderr) << "hxr-demo: " << text << Qt::endl;
    CLOSEPORT();
    return 1;
}

QString resultText(int16_t result)
{
    switch (result) {
    case HXR_TIMEOUT:
        return QStringLiteral("no reply in time");
    case HXR_NODEVICE:
        return QStringLiteral("no device or transfer error");
    case HXR_REJECTED:
        return QStringLiteral("rejected by the module");
    default:
        return QStringLiteral("result %1").arg(result);
    }
}

// Reads and prints one parameter; false when the read fails.
bool showParameter(const char *mnemonic, float &value)
{
    const int16_t result = READCOMMAND(mnemonic, &value);
    if (result != HXR_OK) {
        out() << QStringLiteral("  %1: %2").arg(QLatin1String(mnemonic), resultText(result))
              << Qt::endl;
        return false;
    }
    out() << QStringLiteral("  %1 = %2").arg(QLatin1String(mnemonic)).arg(value, 0, 'g', 9)
          << Qt::endl;
    return true;
}

void showReadings(qint64 elapsedMs)
{
    const auto count = static_cast<int32_t>(received.readings.size());
    const double seconds = elapsedMs > 0 ? elapsedMs / 1000.0 : 1.0;
    out() << QStringLiteral("Readings: %1 in %2 s (%3 a second), %4 stream events")
                 .arg(count)
                 .arg(seconds, 0, 'f', 3)
                 .arg(count / seconds, 0, 'f', 0)
                 .arg(received.events)
          << Qt::endl;
    if (count == 0)
        return;
    QStringList first;
    for (int32_t i = 0; i < std::min<int32_t>(count, 5); ++i)
        first << QString::number(received.readings[static_cast<size_t>(i)], 'g', 9);
    out() << "First: " << first.join(QStringLiteral(", ")) << Qt::endl;
    const int32_t from = 1;
    float minimum = 0, maximum = 0;
    FINDMINMAX(received.readings.data(), &from, &count, &minimum, &maximum);
    out()
        << QStringLiteral("Minimum %1, maximum %2").arg(minimum, 0, 'g', 9).arg(maximum, 0, 'g', 9)
        << Qt::endl;
}

} // namespace

int main(int argc, char **argv)
{
    QCoreApplication app(argc, argv);
    out() << QStringLiteral("HXR driver version %1").arg(VERSION(), 0, 'f', 1) << Qt::endl;

    HXRReadingProc procedure = &onReading;
    CLOSEPORT();
    INITIALISE(&procedure);
    OPENPORT();
    const int16_t devices = DEVICECOUNT();
    if (devices == 0)
        return fail(QStringLiteral("no HXR module found (is it plugged in? HXR_FTDI=sim "
                                   "runs the simulated module)"));
    out() << QStringLiteral("Modules found: %1").arg(devices) << Qt::endl;
    if (devices > 1)
        out() << "Using the first module." << Qt::endl;

    COMMANDMODE();
    float model = 0;
    if (!showParameter("MODL", model))
        return fail(QStringLiteral("the module does not answer; check the connection"));
    if (model != 1.0f)
        return fail(QStringLiteral("unsupported module type %1").arg(model));
    float serialLow = 0, serialHigh = 0, value = 0;
    if (showParameter("SERL", serialLow) && showParameter("SERH", serialHigh))
        out() << QStringLiteral("  serial number %1")
                     .arg(static_cast<qint64>(serialHigh) * 65536 + static_cast<qint64>(serialLow))
              << Qt::endl;
    for (const char *mnemonic : {"GAIN", "OFFS", "USR1"})
        showParameter(mnemonic, value);
    if (CONFIGCAL() != 0)
        return fail(QStringLiteral("could not read the stream calibration"));
    out() << QStringLiteral("Stream gain %1, offset %2")
                 .arg(INTGAIN(), 0, 'g', 9)
                 .arg(INTOFFS(), 0, 'g', 9)
          << Qt::endl;

    const int16_t reset = EXECUTECOMMAND("RST");
    if (reset != HXR_OK)
        return fail(QStringLiteral("RST failed: %1").arg(resultText(reset)));
    QElapsedTimer clock;
    clock.start();
    QTimer::singleShot(1000, &app, &QCoreApplication::quit);
    app.exec();
    CLOSEPORT();
    showReadings(clock.elapsed());
    return 0;
}
