// The demo program against the simulated module, through the shared library.

#include <QProcess>
#include <QProcessEnvironment>
#include <QString>

#include <gmock/gmock.h>

namespace {

struct DemoRun
{
    int exitCode = -1;
    std::string out, err;
};

DemoRun runDemo(const QString &simConfig)
{
    QProcess demo;
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert(QStringLiteral("HXR_FTDI"), QStringLiteral("sim"));
    environment.insert(QStringLiteral("HXR_SIM"), simConfig);
    environment.remove(QStringLiteral("HXR_SIM_LOG"));
    demo.setProcessEnvironment(environment);
    demo.start(QStringLiteral(HXR_PROGRAM_DIR "/hxr-demo"), {});
    DemoRun run;
    if (!demo.waitForFinished(60000))
        return run;
    run.exitCode = demo.exitStatus() == QProcess::NormalExit ? demo.exitCode() : -1;
    run.out = demo.readAllStandardOutput().toStdString();
    run.err = demo.readAllStandardError().toStdString();
    return run;
}

TEST(DriverHxrDemo, ReadsTheModuleAndOneSecondOfReadings)
{
    const DemoRun run = runDemo(QStringLiteral("serial=70000,signal=constant:2"));
    ASSERT_EQ(run.exitCode, 0) << run.out << run.err;
    EXPECT_THAT(run.out, testing::HasSubstr("MODL = 1"));
    EXPECT_THAT(run.out, testing::HasSubstr("serial number 70000"));
    EXPECT_THAT(run.out, testing::ContainsRegex("Readings: [1-9][0-9]+ in"));
    EXPECT_THAT(run.out, testing::HasSubstr("Minimum "));
}

TEST(DriverHxrDemo, SaysSoAndFailsWithoutAModule)
{
    const DemoRun run = runDemo(QStringLiteral("devices=0"));
    EXPECT_EQ(run.exitCode, 1);
    EXPECT_THAT(run.err, testing::HasSubstr("no HXR module found"));
}

} // namespace
