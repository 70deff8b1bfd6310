#include "app/common/specialfolders.h"

#include <QDir>
#include <QStandardPaths>

#include <gtest/gtest.h>

namespace {

using app::common::FolderAppData;
using app::common::FolderDocuments;
using app::common::GetSpecialFolderPath;

TEST(SpecialFolders, NamesTheStandardLocations)
{
    EXPECT_EQ(GetSpecialFolderPath(FolderAppData), QDir::cleanPath(QStandardPaths::writableLocation(
                                                       QStandardPaths::GenericConfigLocation)));
    EXPECT_EQ(GetSpecialFolderPath(FolderDocuments),
              QDir::cleanPath(QStandardPaths::writableLocation(QStandardPaths::DocumentsLocation)));
    EXPECT_FALSE(GetSpecialFolderPath(FolderAppData).endsWith(QLatin1Char('/')));
}

TEST(SpecialFolders, UnknownFolderFallsBackToHomeNotTheRoot)
{
    EXPECT_EQ(GetSpecialFolderPath(0x7777), QDir::cleanPath(QDir::homePath()));
    EXPECT_NE(GetSpecialFolderPath(-1), QDir::rootPath());
}

} // namespace
