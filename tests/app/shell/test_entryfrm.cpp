#include <functional>
#include <memory>
#include <ostream>
#include <vector>

#include <QApplication>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QMouseEvent>
#include <QTimer>

#include <gmock/gmock.h>

#include "app/common/desktop/messages.h"
#include "app/common/globals.h"
#include "app/controls/vxbtn.h"
#include "app/shell/entryfrm.h"
#include "support/namedcase.h"

namespace app::shell {
namespace {

void sendKey(QWidget *widget, int key, const QString &text = QString())
{
    QKeyEvent press(QEvent::KeyPress, key, Qt::NoModifier, text);
    QApplication::sendEvent(widget, &press);
    QKeyEvent release(QEvent::KeyRelease, key, Qt::NoModifier, text);
    QApplication::sendEvent(widget, &release);
}

void type(QWidget *widget, const QString &text)
{
    for (const QChar c : text)
        sendKey(widget, c.toUpper().unicode(), QString(c));
}

void click(QWidget *widget)
{
    const QPointF at(4, 4);
    QMouseEvent press(QEvent::MouseButtonPress, at, widget->mapToGlobal(at), Qt::LeftButton,
                      Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(widget, &press);
    QMouseEvent release(QEvent::MouseButtonRelease, at, widget->mapToGlobal(at), Qt::LeftButton,
                        Qt::NoButton, Qt::NoModifier);
    QApplication::sendEvent(widget, &release);
}

// A message form that records what it was asked to show and answers at once.
class RecordedMessage final : public common::desktop::MessageDialog
{
public:
    explicit RecordedMessage(std::vector<QString> &log) : log_(log) {}
    void setTexts(const QString &text, const QString &title, platform::win::OleColour) override
    {
        log_.push_back(title + QLatin1Char('|') + text);
    }
    common::desktop::MessageFormDesign design() const override { return {}; }
    void applyLayout(const common::desktop::MessageLayout &) override {}
    common::desktop::MessageAnswer exec() override { return common::desktop::MessageAnswer::Ok; }
    void dismiss() override {}
    void showModeless() override {}
    void setProgress(double) override {}

private:
    std::vector<QString> &log_;
};

class EntryFrmTest : public testing::Test
{
protected:
    void SetUp() override
    {
        previous_ = common::desktop::setMessageDialogFactory(
            [this] { return std::make_unique<RecordedMessage>(messages_); });
    }
    void TearDown() override
    {
        common::desktop::setMessageDialogFactory(previous_);
        common::setDecimalSeparator(QStringLiteral("."));
    }

    // Runs the steps one after another once the dialog's editor is open, then exec()s.
    int run(EntryFrm &form, std::vector<std::function<void(EntryFrm &)>> steps)
    {
        // Steps still queued when the dialog has closed are dropped.
        const auto alive = std::make_shared<bool>(true);
        std::function<void(size_t)> next;
        next = [&form, &steps, &next, alive](size_t i) {
            if (i >= steps.size() || !form.isVisible())
                return;
            steps[i](form);
            QTimer::singleShot(0, [&next, i, alive] {
                if (*alive)
                    next(i + 1);
            });
        };
        // Deferred twice: the dialog opens its editor on the first turn of its loop.
        QTimer::singleShot(0, [&next, alive] {
            QTimer::singleShot(0, [&next, alive] {
                if (*alive)
                    next(0);
            });
        });
        const int result = form.exec();
        *alive = false;
        return result;
    }

    static QWidget *editor(EntryFrm &form) { return form.Manual()->textEditor(); }

    std::vector<QString> messages_;
    common::desktop::MessageDialogFactory previous_;
};

TEST_F(EntryFrmTest, PasscodeIsPaddedAndEnterAccepts)
{
    EntryFrm form;
    form.InitManual(QStringLiteral("Passcode"), QStringLiteral("Enter the passcode"),
                    QStringLiteral("0"), QStringLiteral("000000"), true,
                    QStringLiteral("0123456789"), 0, 999999, 7);
    EXPECT_EQ(form.Value(), QString());
    EXPECT_EQ(form.Manual()->Caption(), QStringLiteral("000000"));
    run(form, {[](EntryFrm &f) {
                   ASSERT_TRUE(f.Manual()->isEditing());
                   type(editor(f), QStringLiteral("4x2"));
               },
               [](EntryFrm &f) { sendKey(editor(f), Qt::Key_Return); }});
    EXPECT_FALSE(form.Cancelled());
    EXPECT_EQ(form.Value(), QStringLiteral("000042"));
}

TEST_F(EntryFrmTest, EscapeAndCancelGiveMinusOneApartFromAnEnteredMinusOne)
{
    EntryFrm escaped;
    escaped.InitManual(QStringLiteral("Load"), QStringLiteral("Known load"), QStringLiteral("5"),
                       QString(), true, QStringLiteral("0123456789.-"), 0, 0, 8);
    run(escaped, {[](EntryFrm &f) { sendKey(editor(f), Qt::Key_Escape); }});
    EXPECT_TRUE(escaped.Cancelled());
    EXPECT_EQ(escaped.Value(), QStringLiteral("-1"));

    EntryFrm clicked;
    clicked.InitManual(QStringLiteral("Load"), QStringLiteral("Known load"), QStringLiteral("5"),
                       QString(), true, QStringLiteral("0123456789.-"), 0, 0, 8);
    run(clicked, {[](EntryFrm &f) { click(f.btnCancel()); }});
    EXPECT_TRUE(clicked.Cancelled());

    EntryFrm entered;
    entered.InitManual(QStringLiteral("Offset"), QStringLiteral("Offset"), QStringLiteral("0"),
                       QString(), true, QStringLiteral("0123456789.-"), 0, 0, 8);
    run(entered, {[](EntryFrm &f) { type(editor(f), QStringLiteral("-1")); },
                  [](EntryFrm &f) { sendKey(editor(f), Qt::Key_Return); }});
    EXPECT_FALSE(entered.Cancelled());
    EXPECT_EQ(entered.Value(), QStringLiteral("-1"));
}

struct RangeCase
{
    const char *name;
    float min, max;
    const char *typed;
    bool accepted;
};

using testsupport::PrintTo;

class EntryFrmRangeTest : public EntryFrmTest, public testing::WithParamInterface<RangeCase>
{};

TEST_P(EntryFrmRangeTest, RangeCheck)
{
    const RangeCase &c = GetParam();
    EntryFrm form;
    form.InitManual(QStringLiteral("Value"), QStringLiteral("Enter a value"), QString(), QString(),
                    true, QStringLiteral("0123456789.-"), c.min, c.max, 8);
    bool stayedOpen = false;
    run(form, {[&c](EntryFrm &f) {
                   f.Manual()->textEditor()->clear();
                   type(editor(f), QString::fromLatin1(c.typed));
               },
               [](EntryFrm &f) { sendKey(editor(f), Qt::Key_Return); },
               [&stayedOpen](EntryFrm &f) {
                   stayedOpen = true;
                   click(f.btnCancel());
               }});
    EXPECT_EQ(stayedOpen, !c.accepted);
    if (c.accepted) {
        EXPECT_TRUE(messages_.empty());
        EXPECT_EQ(form.Value(), QString::fromLatin1(c.typed));
    } else {
        EXPECT_THAT(messages_,
                    testing::ElementsAre(QStringLiteral("Invalid Value|The value must "
                                                        "be between ") +
                                         QString::number(c.min) + QStringLiteral(" and ") +
                                         QString::number(c.max)));
    }
}

INSTANTIATE_TEST_SUITE_P(Cases, EntryFrmRangeTest,
                         testing::Values(RangeCase{"Inside", 0, 10, "5", true},
                                         RangeCase{"AtBothBounds", 0, 10, "10", true},
                                         RangeCase{"Above", 0, 10, "10.5", false},
                                         RangeCase{"NegativeIsNotZero", 0, 10, "-5", false},
                                         RangeCase{"EmptyCountsAsZero", 0, 10, "", true},
                                         RangeCase{"EmptyBelowMin", 1, 10, "", false},
                                         RangeCase{"MinusAloneIsNoNumber", -5, 5, "-", false},
                                         RangeCase{"NoRangeNoCheck", 0, 0, "-123", true}),
                         [](const testing::TestParamInfo<RangeCase> &info) {
                             return std::string(info.param.name);
                         });

TEST_F(EntryFrmTest, FormattedEntryMustStillBeANumber)
{
    EntryFrm form;
    form.InitManual(QStringLiteral("Load"), QStringLiteral("Known load"), QString(),
                    QStringLiteral("0.0"), true, QStringLiteral("0123456789.-"), -10, 10, 8);
    bool stayedOpen = false;
    run(form, {[](EntryFrm &f) {
                   f.Manual()->textEditor()->clear();
                   type(editor(f), QStringLiteral("-"));
               },
               [](EntryFrm &f) { click(f.btnOK()); },
               [&stayedOpen](EntryFrm &f) {
                   stayedOpen = true;
                   f.Manual()->textEditor()->clear();
                   type(editor(f), QStringLiteral("-2.25"));
               },
               [](EntryFrm &f) { click(f.btnOK()); }});
    EXPECT_TRUE(stayedOpen);
    EXPECT_EQ(messages_.size(), 1u);
    EXPECT_EQ(form.Value(), QStringLiteral("-2.3"));
    EXPECT_FALSE(form.Cancelled());
}

TEST_F(EntryFrmTest, CommaLocaleComesBackWithAPoint)
{
    common::setDecimalSeparator(QStringLiteral(","));
    for (const char *formatting : {"", "0.00"}) {
        EntryFrm form;
        form.InitManual(QStringLiteral("Gain"), QStringLiteral("Gain"), QString(),
                        QString::fromLatin1(formatting), true, QStringLiteral("0123456789.-"), 0,
                        100, 8);
        run(form, {[](EntryFrm &f) {
                       f.Manual()->textEditor()->clear();
                       type(editor(f), QStringLiteral("2,5"));
                   },
                   [](EntryFrm &f) { click(f.btnOK()); }});
        EXPECT_EQ(form.Value(), *formatting ? QStringLiteral("2.50") : QStringLiteral("2.5"))
            << formatting;
        EXPECT_TRUE(messages_.empty());
    }
}

TEST_F(EntryFrmTest, OkCancelQuestion)
{
    EntryFrm form;
    form.InitOKCancel(QStringLiteral("Zero"), QStringLiteral("Zero the module now?"));
    EXPECT_FALSE(form.Manual()->isVisible());
    EXPECT_GT(form.ControlContainer()->y(),
              form.lblDescription()->y() + form.lblDescription()->height());
    EXPECT_EQ(form.height(), form.ControlContainer()->y() + form.ControlContainer()->height());
    // Going on is a deliberate choice: the OK button, moved to.
    run(form, {[](EntryFrm &f) {
            f.btnOK()->setFocus();
            sendKey(&f, Qt::Key_Return);
        }});
    EXPECT_EQ(form.Value(), QStringLiteral("1"));
    EXPECT_FALSE(form.Cancelled());

    // The question opens on Cancel: Enter, Space or Escape as it opens go back.
    struct Key
    {
        const char *name;
        int key;
        bool onTheForm; // else on the focused control
    };
    for (const Key &k :
         {Key{"Escape", Qt::Key_Escape, true}, Key{"Enter", Qt::Key_Return, false},
          Key{"EnterOnTheForm", Qt::Key_Enter, true}, Key{"Space", Qt::Key_Space, false}}) {
        EntryFrm refused;
        refused.InitOKCancel(QStringLiteral("Zero"), QStringLiteral("Zero the module now?"));
        run(refused, {[&k](EntryFrm &f) {
                EXPECT_EQ(f.focusWidget(), f.btnCancel()) << k.name << ": starts on Cancel";
                QWidget *target = k.onTheForm || !f.focusWidget() ? &f : f.focusWidget();
                sendKey(target, k.key, k.key == Qt::Key_Space ? QStringLiteral(" ") : QString());
            }});
        EXPECT_EQ(refused.Value(), QStringLiteral("-1")) << k.name;
        EXPECT_TRUE(refused.Cancelled()) << k.name;
    }
}

TEST_F(EntryFrmTest, LongEntryShrinksTheFieldFontToAReadableFloor)
{
    EntryFrm form;
    form.InitManual(QStringLiteral("Name"), QStringLiteral("Name"), QString(), QString(), false,
                    QString(), 0, 0, 10);
    EXPECT_LE(form.Manual()->width(), form.width());
    const double normal = form.Manual()->Font().pointSizeF();

    EntryFrm wide;
    wide.InitManual(QStringLiteral("Name"), QStringLiteral("Name"), QString(), QString(), false,
                    QString(), 0, 0, 200);
    EXPECT_GE(wide.Manual()->Font().pointSizeF(), EntryFrm::MinimumFieldPoints);
    EXPECT_LT(wide.Manual()->Font().pointSizeF(), normal);
    EXPECT_LE(wide.Manual()->width(), wide.width());
    EXPECT_EQ(wide.Manual()->MaxLength(), 200);
}

} // namespace
} // namespace app::shell
