// Where the keyboard focus goes on the real window and pages: never onto a page button that the
// user did not move to, so that Enter or Space meant for a page cannot switch or drop the pages.

#include <memory>

#include <QApplication>
#include <QLineEdit>
#include <QTabBar>
#include <QTest>

#include <gmock/gmock.h>

#include "app/common/desktop/messages.h"
#include "app/controls/buttonbar.h"
#include "app/controls/vxbtn.h"
#include "app/controls/vxtab.h"
#include "app/pages/child_gen_calibration.h"
#include "app/pages/child_gen_info.h"
#include "app/registerpages.h"
#include "app/shell/childcontrol.h"
#include "app/shell/mainfrm.h"
#include "app/shell/programcontext.h"
#include "platform/ftd2xx/sim/simmodule.h"
#include "platform/win/messagehook.h"
#include "support/focuscheck.h"
#include "support/recordingmessagedialog.h"
#include "support/simenvironment.h"

namespace {

namespace sim = platform::ftd2xx::sim;
using app::pages::CHILD_GEN_CALIBRATION;
using app::pages::CHILD_GEN_INFO;

constexpr int CalibrationButton = 8;

QString currentPage()
{
    return app::shell::CurrentPage() ? app::shell::CurrentPage()->objectName() : QString();
}

class PageFocusTest : public testing::Test
{
protected:
    void SetUp() override
    {
        testsupport::UseSimulatedModule();
        sim::DeviceConfig device;
        device.serial = 70000;
        sim::SimConfig config;
        config.devices = {device};
        sim::configure(config);
        app::shell::ProgramContextOptions program;
        program.registerPages = &app::RegisterPages;
        context = std::make_unique<app::shell::ProgramContext>(program);
        platform::win::setMessageRecorder(
            [this](const QString &text, const QString &) { messages << text; });
        app::common::desktop::setMessageDialogFactory(
            [this] { return std::make_unique<testsupport::RecordingMessageDialog>(&messages); });

        app::shell::MainFrmOptions options;
        options.programFolder = QStringLiteral(HXR_PROGRAM_DIR);
        options.entry = [](const app::shell::EntryRequest &) {
            app::shell::EntryAnswer go;
            go.cancelled = false;
            return go;
        };
        options.endProgram = [](int) {};
        window = std::make_unique<app::shell::MainFrm>(options);
        ASSERT_TRUE(window->Load());
        ASSERT_TRUE(testsupport::activate(*window));
        ASSERT_TRUE(QTest::qWaitFor([] { return currentPage() == CHILD_GEN_INFO::FormName; }));
    }

    void TearDown() override
    {
        window.reset();
        context.reset();
        sim::reset();
    }

    QWidget *pageButton(int number) const
    {
        return window->ButtonBar1()->ButtonArray().at(static_cast<size_t>(number - 1));
    }

    bool onAPageButton() const
    {
        return window->ButtonBar1()->isAncestorOf(QApplication::focusWidget());
    }

    CHILD_GEN_CALIBRATION *openCalibration()
    {
        QTest::mouseClick(pageButton(CalibrationButton), Qt::LeftButton);
        if (!QTest::qWaitFor([] { return currentPage() == CHILD_GEN_CALIBRATION::FormName; }))
            return nullptr;
        return static_cast<CHILD_GEN_CALIBRATION *>(app::shell::CurrentPage());
    }

    // Enter and Space where the focus is, as the user presses them; the page must stay.
    void pressEnterAndSpace(const char *after)
    {
        for (const Qt::Key key : {Qt::Key_Return, Qt::Key_Space}) {
            QWidget *focus = QApplication::focusWidget();
            ASSERT_NE(focus, nullptr) << after;
            EXPECT_FALSE(onAPageButton()) << after << ": the focus is on a page button";
            QTest::keyClick(focus, key);
            QCoreApplication::processEvents();
            EXPECT_EQ(currentPage(), CHILD_GEN_CALIBRATION::FormName) << after;
            // An editor the key opened is left as the user would leave it.
            if (auto *field = qobject_cast<app::controls::VXBtn *>(focus);
                field && field->isEditing())
                QTest::keyClick(field->textEditor(), Qt::Key_Escape);
        }
    }

    std::unique_ptr<app::shell::ProgramContext> context;
    std::unique_ptr<app::shell::MainFrm> window;
    QStringList messages;
};

TEST_F(PageFocusTest, EscapeFromAFieldThenAnotherTabKeepsTheFocusInThePage)
{
    CHILD_GEN_CALIBRATION *page = openCalibration();
    ASSERT_NE(page, nullptr);
    app::controls::VXBtn *zero = page->pbSYSZERO();
    QTest::mouseClick(zero, Qt::LeftButton);
    ASSERT_TRUE(zero->isEditing());
    QTest::keyClick(zero->textEditor(), Qt::Key_Escape);
    EXPECT_FALSE(zero->isEditing());
    EXPECT_EQ(QApplication::focusWidget(), zero) << "the field just edited keeps the focus";

    auto *strip = page->XTab2()->findChild<QTabBar *>();
    ASSERT_NE(strip, nullptr);
    QTest::mouseClick(strip, Qt::LeftButton, {},
                      strip->tabRect(CHILD_GEN_CALIBRATION::TableTab).center());
    ASSERT_EQ(page->XTab2()->currentTab(), CHILD_GEN_CALIBRATION::TableTab);
    QWidget *focus = QApplication::focusWidget();
    EXPECT_TRUE(page->XTab2()->frame(CHILD_GEN_CALIBRATION::TableTab)->isAncestorOf(focus))
        << "the focus goes to the tab's first control, not to "
        << (focus ? focus->objectName().toStdString() : "nothing");
    pressEnterAndSpace("another tab");
}

TEST_F(PageFocusTest, ADisabledControlHandsTheFocusOnInsideThePage)
{
    CHILD_GEN_CALIBRATION *page = openCalibration();
    ASSERT_NE(page, nullptr);
    // The last control the tab shows: Qt would hand its focus to the next one in the window's
    // order that shows, past the page's hidden tabs.
    app::controls::VXBtn *zeroNow = page->ZERONOW();
    zeroNow->setFocus(Qt::TabFocusReason);
    ASSERT_TRUE(zeroNow->hasFocus());
    zeroNow->setEnabled(false);
    EXPECT_TRUE(page->isAncestorOf(QApplication::focusWidget()));
    pressEnterAndSpace("a disabled control");
}

TEST_F(PageFocusTest, PageButtonsAnswerKeysOnlyWhenTheUserTabbedToThem)
{
    CHILD_GEN_CALIBRATION *page = openCalibration();
    ASSERT_NE(page, nullptr);
    // A page opened with the mouse has the focus in it.
    EXPECT_TRUE(page->isAncestorOf(QApplication::focusWidget()));
    pressEnterAndSpace("a page switch");

    // Tabbing along reaches the page buttons, and there Enter switches pages.
    auto onAnotherPageButton = [this] {
        return onAPageButton() && QApplication::focusWidget() != pageButton(CalibrationButton);
    };
    for (int i = 0; i < 80 && !onAnotherPageButton(); ++i)
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
    ASSERT_TRUE(onAnotherPageButton());
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Return);
    EXPECT_TRUE(QTest::qWaitFor([] { return currentPage() != CHILD_GEN_CALIBRATION::FormName; }));
}

} // namespace
