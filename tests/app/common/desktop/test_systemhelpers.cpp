#include "app/common/desktop/systemhelpers.h"

#include <QApplication>
#include <QClipboard>
#include <QFile>
#include <QLabel>
#include <QLineEdit>
#include <QTemporaryDir>
#include <QVBoxLayout>
#include <QWidget>

#include <gtest/gtest.h>

#include "app/common/globals.h"

namespace {

using namespace app::common;
using namespace app::common::desktop;

struct FactoryCase
{
    Qt::KeyboardModifiers held;
    const char *variable;
    bool on;
};

void PrintTo(const FactoryCase &c, std::ostream *os)
{
    *os << "keys " << int(c.held) << " HXR_FACTORY=" << c.variable;
}

class FactoryMode : public testing::TestWithParam<FactoryCase>
{
protected:
    void TearDown() override { setFactoryAccess(false); }
};

TEST_P(FactoryMode, NeedsCtrlAndShiftOrTheVariable)
{
    setFactoryAccess(false);
    DetectFactoryMode(GetParam().held, QString::fromLatin1(GetParam().variable));
    EXPECT_EQ(FactoryAccess(), GetParam().on);
}

INSTANTIATE_TEST_SUITE_P(
    Keys, FactoryMode,
    testing::Values(FactoryCase{Qt::NoModifier, "", false},
                    FactoryCase{Qt::ControlModifier, "", false},
                    FactoryCase{Qt::ShiftModifier, "", false},
                    FactoryCase{Qt::ControlModifier | Qt::ShiftModifier, "", true},
                    FactoryCase{Qt::ControlModifier | Qt::ShiftModifier | Qt::AltModifier, "",
                                true},
                    FactoryCase{Qt::NoModifier, "1", true}, FactoryCase{Qt::NoModifier, "0", false},
                    FactoryCase{Qt::ShiftModifier, "yes", false}));

TEST(FactoryModeOnce, IsNeverTurnedOffAgain)
{
    setFactoryAccess(false);
    DetectFactoryMode(Qt::ControlModifier | Qt::ShiftModifier, QString());
    DetectFactoryMode(Qt::NoModifier, QString());
    EXPECT_TRUE(FactoryAccess());
    setFactoryAccess(false);
}

TEST(TwipsPerPixel, IsFifteen)
{
    setTwipsPerPixel(0);
    InitTwipsPerPixel();
    EXPECT_EQ(TwipsPerPixel(), 15);
}

TEST(FileExists, KnowsFilesAndFolders)
{
    QTemporaryDir dir;
    const QString file = dir.filePath(QStringLiteral("data.csv"));
    EXPECT_FALSE(FileExists(file));
    QFile out(file);
    ASSERT_TRUE(out.open(QIODevice::WriteOnly));
    out.close();
    EXPECT_TRUE(FileExists(file));
    EXPECT_TRUE(FileExists(dir.path()));
    EXPECT_FALSE(FileExists(QString()));
    EXPECT_FALSE(FileExists(dir.filePath(QStringLiteral("missing/data.csv"))));
}

struct BlendCase
{
    int startX, endX;
    const char *columns; // per column: 'b' background, 's' blended source
};

void PrintTo(const BlendCase &c, std::ostream *os)
{
    *os << c.startX << " to " << c.endX;
}

class Blend : public testing::TestWithParam<BlendCase>
{};

TEST_P(Blend, ShadesOutsideTheRange)
{
    QImage source(8, 2, QImage::Format_RGB32);
    source.fill(QColor(200, 200, 200));
    QImage dest(8, 2, QImage::Format_RGB32);
    dest.fill(Qt::red);
    BlendOutsideRange(source, dest, QColor(0, 0, 0), GetParam().startX, GetParam().endX, 90);
    const QRgb blended = qRgb(71, 71, 71); // 200 x 90 / 255 over black
    for (int x = 0; x < 8; ++x) {
        for (int y = 0; y < 2; ++y) {
            const QRgb pixel = dest.pixel(x, y);
            if (GetParam().columns[x] == 'b') {
                EXPECT_EQ(pixel, qRgb(0, 0, 0)) << "column " << x;
            } else {
                EXPECT_NEAR(qRed(pixel), qRed(blended), 1) << "column " << x;
                EXPECT_EQ(qRed(pixel), qBlue(pixel));
            }
        }
    }
}

INSTANTIATE_TEST_SUITE_P(Ranges, Blend,
                         testing::Values(BlendCase{2, 5, "ssbbbsss"}, BlendCase{5, 2, "ssbbbsss"},
                                         BlendCase{0, 8, "bbbbbbbb"}, BlendCase{-3, 20, "bbbbbbbb"},
                                         BlendCase{4, 4, "ssssssss"},
                                         BlendCase{-5, -1, "ssssssss"}));

TEST(TabColours, SetsNinePropertiesByRole)
{
    QWidget tab;
    TabColours colours;
    colours.displayBack = 0x112233;
    colours.text = 0xFFFFFF;
    colours.fieldBack = 0x0000FF;
    colours.helpBack = 0x8000000F; // a system colour is translated
    ApplyTabColours(&tab, colours);
    const QColor displayBack(0x33, 0x22, 0x11);
    EXPECT_EQ(tab.property("BackColor").value<QColor>(), displayBack);
    EXPECT_EQ(tab.property("TabBackColor").value<QColor>(), displayBack);
    EXPECT_EQ(tab.property("PageBackColor").value<QColor>(), displayBack);
    EXPECT_EQ(tab.property("BorderColor").value<QColor>(), displayBack);
    EXPECT_EQ(tab.property("TabForeColor").value<QColor>(), QColor(Qt::white));
    EXPECT_EQ(tab.property("ActiveTabBackColor").value<QColor>(), QColor(Qt::red));
    EXPECT_EQ(tab.property("HoverTabBackColor").value<QColor>(), QColor(Qt::red));
    EXPECT_EQ(tab.property("ActiveTabForeColor").value<QColor>(), QColor(240, 240, 240));
    EXPECT_EQ(tab.property("HighlightColor").value<QColor>(), QColor(240, 240, 240));
    ApplyTabColours(nullptr, colours);
}

TEST(CommsStatus, ShowsFailuresInBoldRedAndRecoveryInWhite)
{
    QLabel label;
    int recovered = 0;
    setCommsStatusLabel(&label);
    setCommsRecoveredAction([&recovered] { ++recovered; });

    ReportCommsFailure(QStringLiteral("-100"), true);
    EXPECT_EQ(label.text(), QStringLiteral("Communications Failure: -100"));
    EXPECT_TRUE(label.font().bold());
    EXPECT_EQ(label.palette().color(QPalette::WindowText), QColor(Qt::red));
    EXPECT_EQ(recovered, 0);

    ReportCommsFailure(QStringLiteral("Connected"), false);
    EXPECT_EQ(label.text(), QStringLiteral("Connected"));
    EXPECT_FALSE(label.font().bold());
    EXPECT_EQ(label.palette().color(QPalette::WindowText), QColor(Qt::white));
    EXPECT_EQ(recovered, 1);

    // An unchanged status touches nothing.
    ReportCommsFailure(QStringLiteral("Connected"), false);
    EXPECT_EQ(recovered, 1);

    setCommsStatusLabel(nullptr);
    setCommsRecoveredAction({});
    ReportCommsFailure(QStringLiteral("-200"), true); // no status line: nothing happens
}

TEST(CommsStatus, ALabelThatIsGoneIsNotTouched)
{
    auto label = std::make_unique<QLabel>();
    setCommsStatusLabel(label.get());
    label.reset();
    EXPECT_NO_FATAL_FAILURE(ReportCommsFailure(QStringLiteral("-200"), true));
}

TEST(Clipboard, HoldsAPictureOfTheWindow)
{
    QWidget window;
    window.resize(40, 30);
    window.setAutoFillBackground(true);
    QPalette palette = window.palette();
    palette.setColor(QPalette::Window, QColor(10, 20, 30));
    window.setPalette(palette);
    ASSERT_TRUE(CopyWindowToClipboard(&window));
    const QImage image = QGuiApplication::clipboard()->image();
    ASSERT_FALSE(image.isNull());
    EXPECT_EQ(image.size(), QSize(40, 30));
    EXPECT_EQ(QColor(image.pixel(20, 15)), QColor(10, 20, 30));
    EXPECT_FALSE(CopyWindowToClipboard(nullptr));
}

TEST(PageFocus, ReturnsToTheControlThatHadIt)
{
    QWidget page;
    auto *layout = new QVBoxLayout(&page);
    auto *first = new QLineEdit(&page);
    auto *second = new QLineEdit(&page);
    layout->addWidget(first);
    layout->addWidget(second);
    page.show();
    second->setFocus();
    QWidget dialog;
    dialog.show();
    dialog.activateWindow();
    dialog.setFocus();
    dialog.close();
    RestorePageFocus(&page);
    EXPECT_EQ(page.focusWidget(), second);
    RestorePageFocus(nullptr);
}

} // namespace
