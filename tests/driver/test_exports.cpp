// The shared library as the program loads it: exactly the fourteen exports, callable by name.

#include <set>
#include <string>

#include <QProcess>
#include <QString>
#include <QStringList>

#include <dlfcn.h>
#include <gmock/gmock.h>

#include "driver/include/hxrdrv.h"
#include "support/recordingpresenter.h"

namespace {

const std::string LibraryPath = std::string(HXR_PROGRAM_DIR) + "/libHXRDrv.so";

const std::set<std::string> Exports = {
    "INITIALISE",  "OPENPORT",     "CLOSEPORT",      "DEVICECOUNT",         "VERSION",
    "READCOMMAND", "WRITECOMMAND", "EXECUTECOMMAND", "COMMANDMODE",         "CONFIGCAL",
    "INTGAIN",     "INTOFFS",      "FINDMINMAX",     "CREATECALLBACKWINDOW"};

TEST(DriverExports, TheDynamicSymbolTableHoldsExactlyTheExports)
{
    QProcess nm;
    nm.start(QStringLiteral("nm"), {QStringLiteral("-D"), QStringLiteral("--defined-only"),
                                    QString::fromStdString(LibraryPath)});
    ASSERT_TRUE(nm.waitForFinished(30000));
    ASSERT_EQ(nm.exitCode(), 0) << nm.readAllStandardError().toStdString();
    std::set<std::string> defined;
    const QStringList lines = QString::fromLocal8Bit(nm.readAllStandardOutput())
                                  .split(QLatin1Char('\n'), Qt::SkipEmptyParts);
    for (const QString &line : lines) {
        const QStringList fields = line.split(QLatin1Char(' '), Qt::SkipEmptyParts);
        ASSERT_GE(fields.size(), 2) << line.toStdString();
        defined.insert(fields.back().toStdString());
        if (Exports.count(fields.back().toStdString())) {
            EXPECT_EQ(fields[fields.size() - 2], QStringLiteral("T")) << line.toStdString();
        }
    }
    EXPECT_EQ(defined, Exports);
}

TEST(DriverExports, LoadByNameAndCall)
{
    void *library = dlopen(LibraryPath.c_str(), RTLD_NOW | RTLD_LOCAL);
    ASSERT_NE(library, nullptr) << dlerror();
    for (const std::string &name : Exports)
        EXPECT_NE(dlsym(library, name.c_str()), nullptr) << name;

    const auto version = reinterpret_cast<float (*)()>(dlsym(library, "VERSION"));
    EXPECT_EQ(version(), 1.0f);
    const auto findMinMax = reinterpret_cast<decltype(&FINDMINMAX)>(dlsym(library, "FINDMINMAX"));
    const float values[] = {4, -2, 9, 9, 0};
    const int32_t first = 1, last = 5;
    float minimum = 0, maximum = 0;
    findMinMax(values, &first, &last, &minimum, &maximum);
    EXPECT_EQ(minimum, -2);
    EXPECT_EQ(maximum, 9);
    // Without a device a command is refused, as a result code.
    const auto closePort = reinterpret_cast<decltype(&CLOSEPORT)>(dlsym(library, "CLOSEPORT"));
    const auto count = reinterpret_cast<decltype(&DEVICECOUNT)>(dlsym(library, "DEVICECOUNT"));
    EXPECT_EQ(closePort(), 0);
    EXPECT_EQ(count(), 0);
    dlclose(library);
}

// The library has its own copy of the message hook: its messages still reach the presenter that
// the program registered.
TEST(DriverExports, MessagesReachTheProgramsPresenter)
{
    testsupport::RecordingPresenter presenter;
    void *library = dlopen(LibraryPath.c_str(), RTLD_NOW | RTLD_LOCAL);
    ASSERT_NE(library, nullptr) << dlerror();
    const auto read = reinterpret_cast<decltype(&READCOMMAND)>(dlsym(library, "READCOMMAND"));
    float value = 0;
    EXPECT_EQ(read("SERL", &value), HXR_NODEVICE);
    dlclose(library);
    EXPECT_THAT(presenter.shown, testing::ElementsAre(QStringLiteral("HXRDrv: No handle")));
}

} // namespace
