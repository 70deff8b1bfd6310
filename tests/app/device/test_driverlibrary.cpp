#include "app/device/driverlibrary.h"

#include <QFile>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include "app/device/hxr.h"

namespace {

using app::device::DriverLibrary;

TEST(DriverLibrary, MissingLibrary)
{
    QTemporaryDir empty;
    DriverLibrary library;
    EXPECT_EQ(library.load(empty.path()), DriverLibrary::Status::Missing);
    EXPECT_FALSE(library.isLoaded());
    EXPECT_TRUE(library.errorText().contains(QStringLiteral("libHXRDrv.so")));
    float value = 1.0f;
    EXPECT_EQ(library.api().READCOMMAND("STAT", &value), HXR_NODEVICE);
}

TEST(DriverLibrary, BrokenLibrary)
{
    QTemporaryDir folder;
    QFile file(folder.filePath(QStringLiteral("libHXRDrv.so")));
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write("not a library");
    file.close();
    DriverLibrary library;
    EXPECT_EQ(library.load(folder.path()), DriverLibrary::Status::CannotLoad);
    EXPECT_FALSE(library.errorText().isEmpty());
    EXPECT_EQ(library.api().VERSION(), 0.0f);
}

TEST(DriverLibrary, LibraryWithoutEveryExport)
{
    DriverLibrary library;
    EXPECT_EQ(library.load(QStringLiteral(HXR_PARTIAL_DRIVER_DIR)),
              DriverLibrary::Status::MissingExport);
    EXPECT_EQ(library.missingExport(), QStringLiteral("FINDMINMAX"));
    // Nothing of a half-bound library is used.
    EXPECT_EQ(library.api().VERSION(), 0.0f);
}

// The library is built before these tests (their target depends on it): not finding it is a
// failure, not a reason to skip.
TEST(DriverLibrary, ProgramFolderLibrary)
{
    DriverLibrary library;
    ASSERT_EQ(library.load(QStringLiteral(HXR_PROGRAM_DIR)), DriverLibrary::Status::Loaded)
        << library.errorText().toStdString();
    EXPECT_TRUE(library.api().complete());
    EXPECT_EQ(library.api().VERSION(), 1.0f);
}

TEST(DriverLibrary, DeviceObjectOverTheLoadedLibrary)
{
    // The library chooses its back-end at first use.
    qputenv("HXR_FTDI", "sim");
    DriverLibrary library;
    ASSERT_EQ(library.load(QStringLiteral(HXR_PROGRAM_DIR)), DriverLibrary::Status::Loaded)
        << library.errorText().toStdString();
    app::device::HXR hxr(library.api());
    hxr.ClosePort();
    hxr.OpenPort();
    ASSERT_EQ(hxr.DeviceCount(), 1);
    hxr.CommandMode();
    EXPECT_EQ(hxr.MODL(), 1.0f);
    hxr.LetByName(QStringLiteral("USR4"), QVariant(QStringLiteral("-7.5")));
    EXPECT_EQ(hxr.GetByName(QStringLiteral("USR4")), QVariant(-7.5f));
    EXPECT_TRUE(hxr.ConfigureCal());
    EXPECT_EQ(hxr.ErrorState(), 0);
    hxr.ClosePort();
}

} // namespace
