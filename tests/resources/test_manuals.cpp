#include <QFile>
#include <QString>

#include <gtest/gtest.h>

namespace {

// The help menu opens these from the program folder.
class ManualTest : public ::testing::TestWithParam<const char *>
{};

TEST_P(ManualTest, IsATypesetPdfInTheProgramFolder)
{
    QFile manual(QStringLiteral(HXR_PROGRAM_DIR "/") + QString::fromUtf8(GetParam()));
    ASSERT_TRUE(manual.open(QIODevice::ReadOnly)) << qPrintable(manual.fileName());
    const QByteArray pdf = manual.readAll();
    EXPECT_TRUE(pdf.startsWith("%PDF-"));
    EXPECT_TRUE(pdf.contains("/Type /Page")); // at least one page
    EXPECT_TRUE(pdf.trimmed().endsWith("%%EOF"));
}

INSTANTIATE_TEST_SUITE_P(Manuals, ManualTest,
                         ::testing::Values("PLMUSB Standard Manual.pdf",
                                           "PLMUSB Advanced Manual.pdf"));

} // namespace
