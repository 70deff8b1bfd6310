// The questions whose "Yes" writes to the module or drops the recording, on the program's own
// forms: each opens on "No", and Enter, Space or Escape pressed as it opens answer No.

#include <functional>
#include <vector>

#include <QApplication>
#include <QFile>
#include <QFileDialog>
#include <QLabel>
#include <QTemporaryDir>
#include <QTimer>

#include <gmock/gmock.h>

#include "app/common/desktop/filedialogs.h"
#include "app/pages/child_gen_calibration.h"
#include "app/pages/child_gen_file.h"
#include "app/shell/entryfrm.h"
#include "app/shell/messagefrm.h"
#include "app/shell/pageswitchcheck.h"
#include "pagefixture.h"

namespace pagetests {
namespace {

using app::pages::CHILD_GEN_CALIBRATION;
using app::pages::CHILD_GEN_FILE;
using testing::ElementsAre;
using testing::IsEmpty;

constexpr int CalibrationButton = 8;

// Answers the program's forms while they are up: a question with `key` on the control it opens
// on, a message with Enter. Every question's title and where it opened are kept.
class KeyAnswerer
{
public:
    explicit KeyAnswerer(Qt::Key key) : key_(key)
    {
        QObject::connect(&poll_, &QTimer::timeout, [this] { answerOpenForms(); });
        poll_.start(5);
    }

    QStringList questions;
    std::vector<bool> openedOnNo;

private:
    void answerOpenForms()
    {
        for (QWidget *top : QApplication::topLevelWidgets()) {
            if (!top->isVisible())
                continue;
            if (auto *message = qobject_cast<app::shell::MessageFrm *>(top))
                answerMessage(*message);
            else if (auto *entry = qobject_cast<app::shell::EntryFrm *>(top))
                answerQuestion(*entry, entry->lblTitle()->text(), entry->btnCancel());
        }
    }

    void answerMessage(app::shell::MessageFrm &form)
    {
        if (form.isQuestion())
            answerQuestion(form, form.Title()->text(), form.btnCancel());
        else if (!form.btnOK()->isHidden())
            press(form, Qt::Key_Return);
    }

    void answerQuestion(QWidget &form, const QString &title, const QWidget *no)
    {
        questions << title;
        openedOnNo.push_back(form.focusWidget() == no);
        press(form, key_);
    }

    static void press(QWidget &form, Qt::Key key)
    {
        QWidget *target = form.focusWidget() ? form.focusWidget() : &form;
        QTest::keyClick(target, key);
    }

    Qt::Key key_;
    QTimer poll_;
};

class QuestionsTest : public PageFixture, public testing::WithParamInterface<Qt::Key>
{
protected:
    void SetUp() override
    {
        PageFixture::SetUp();
        app::shell::InstallMessageFrm(&mainWindow);
        ASSERT_TRUE(files.isValid());
        app::common::setDataFolder(files.path());
        previousRunner = app::common::desktop::setFileDialogRunner(
            [this](QFileDialog &) { return files.filePath(QStringLiteral("module.hcf")); });
    }

    void TearDown() override
    {
        app::common::desktop::setFileDialogRunner(previousRunner);
        app::common::desktop::setMessageDialogFactory({});
        PageFixture::TearDown();
    }

    // A configuration file of this module, as the File page saves it.
    void writeModuleFile()
    {
        QFile file(files.filePath(QStringLiteral("module.hcf")));
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
        file.write("[Data]\r\nType=HXR\r\n[Factory]\r\nMODL=1\r\nSERIAL=70000\r\nFMVG=12.5\r\n"
                   "FMVO=300\r\n[Zero]\r\nZERO=0\r\nZGAI=1\r\nZOFS=0\r\nUNTZ=45\r\n[Display]\r\n"
                   "DGAI=1\r\nDOFS=0\r\nUNTD=45\r\n[Calibration]\r\nEGAI=50\r\nEOFS=0\r\n"
                   "UNTE=45\r\n");
    }

    QTemporaryDir files;
    app::common::desktop::FileDialogRunner previousRunner;
};

TEST_P(QuestionsTest, AKeyAsTheQuestionOpensNeverWritesToTheModule)
{
    const Qt::Key key = GetParam();
    {
        CHILD_GEN_CALIBRATION *page = openModulePageAfresh<CHILD_GEN_CALIBRATION>();
        ASSERT_NE(page, nullptr);
        const KeyAnswerer answerer(key);
        page->resetToDefaults();
        EXPECT_THAT(answerer.questions,
                    ElementsAre(QStringLiteral("Reset Calibration To Defaults")));
        EXPECT_THAT(answerer.openedOnNo, ElementsAre(true));
        EXPECT_THAT(writtenFrames(), IsEmpty());
    }
    {
        app::common::setFactoryAccess(true);
        ASSERT_NO_FATAL_FAILURE(writeModuleFile());
        CHILD_GEN_FILE *page = openModulePageAfresh<CHILD_GEN_FILE>();
        ASSERT_NE(page, nullptr);
        const KeyAnswerer answerer(key);
        page->RestoreHXR();
        EXPECT_THAT(answerer.questions,
                    ElementsAre(QStringLiteral("Restore Factory Settings"),
                                QStringLiteral("Restore Advanced Calibration Settings")));
        EXPECT_THAT(answerer.openedOnNo, ElementsAre(true, true));
        EXPECT_THAT(writtenFrames(), IsEmpty());
        app::common::setFactoryAccess(false);
    }
    {
        // Going to a page that configures the module would stop the recording.
        ASSERT_NE(openModulePageAfresh<CHILD_GEN_FILE>(), nullptr);
        app::device::setStreamRunning(true);
        const KeyAnswerer answerer(key);
        const app::shell::EntryPrompt entryForm = [this](const app::shell::EntryRequest &request) {
            app::shell::EntryFrm form(&mainWindow);
            form.InitOKCancel(request.title, request.description);
            form.exec();
            return app::shell::EntryAnswer{form.Cancelled(), form.Value()};
        };
        EXPECT_TRUE(app::shell::RefusePageSwitch(CalibrationButton, entryForm, hxr.get(), [] {}));
        EXPECT_THAT(answerer.questions, ElementsAre(QStringLiteral("Recording In Progress")));
        EXPECT_THAT(answerer.openedOnNo, ElementsAre(true));
        EXPECT_TRUE(app::device::StreamRunning());
    }
}

INSTANTIATE_TEST_SUITE_P(Keys, QuestionsTest,
                         testing::Values(Qt::Key_Return, Qt::Key_Space, Qt::Key_Escape),
                         [](const testing::TestParamInfo<Qt::Key> &info) {
                             return info.param == Qt::Key_Return  ? std::string("Enter")
                                    : info.param == Qt::Key_Space ? std::string("Space")
                                                                  : std::string("Escape");
                         });

} // namespace
} // namespace pagetests
