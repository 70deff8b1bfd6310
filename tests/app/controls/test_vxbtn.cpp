#include <memory>
#include <ostream>

#include <QApplication>
#include <QClipboard>
#include <QFontMetricsF>
#include <QImage>
#include <QInputMethodEvent>
#include <QLineEdit>
#include <QSignalSpy>
#include <QTest>

#include <gmock/gmock.h>

#include "app/common/globals.h"
#include "app/controls/listpopup.h"
#include "app/controls/vxbtn.h"
#include "platform/win/gui/qcolour.h"
#include "platform/win/propertybag.h"
#include "support/namedcase.h"

namespace app::controls {
namespace {

using platform::win::PropertyBag;

constexpr OleColour Red = 0x0000FF;
constexpr OleColour Green = 0x00FF00;
constexpr OleColour Blue = 0xFF0000;
constexpr OleColour Grey = 0x808080;
constexpr OleColour Black = 0x000000;
constexpr OleColour White = 0xFFFFFF;

QColor pixel(QWidget &widget, QPoint at)
{
    return widget.grab().toImage().pixelColor(at);
}

class VXBtnTest : public testing::Test
{
protected:
    void SetUp() override
    {
        // Fields take the program's separator when made: a point, whatever the test's locale.
        common::setDecimalSeparator(QStringLiteral("."));
        host_ = std::make_unique<QWidget>();
        host_->resize(300, 120);
        btn_ = new VXBtn(host_.get());
        btn_->setGeometry(10, 10, 120, 30);
        other_ = new VXBtn(host_.get());
        other_->setGeometry(10, 60, 120, 30);
        btn_->setBackColor(Grey);
        btn_->setBackColorHover(Green);
        btn_->setBackColorDown(Blue);
        btn_->setBackColorDisabled(Black);
        btn_->setForeColor(White);
        btn_->setBorderColor(Grey);
        host_->show();
        host_->activateWindow();
        ASSERT_TRUE(QTest::qWaitForWindowActive(host_.get()));
        previousBeep_ = UserControl::setBeepHook([this] { ++beeps_; });
    }
    void TearDown() override
    {
        UserControl::setBeepHook(previousBeep_);
        host_.reset();
    }

    // A numeric field of the kind the pages set up.
    void makeTextField(const QString &allowed, double min = 0, double max = 0, bool numeric = true)
    {
        btn_->setEditable(1);
        btn_->setAllowed(allowed);
        btn_->setMin(min);
        btn_->setMax(max);
        btn_->setIsNumeric(numeric);
    }
    QLineEdit &openEditor(const QString &caption)
    {
        btn_->setCaption(caption);
        btn_->setFocus();
        btn_->DoEdit();
        return *btn_->textEditor();
    }

    std::unique_ptr<QWidget> host_;
    VXBtn *btn_ = nullptr;
    VXBtn *other_ = nullptr;
    int beeps_ = 0;
    UserControl::BeepHook previousBeep_;
};

TEST_F(VXBtnTest, OnePhysicalClickGivesOneClick)
{
    QSignalSpy clicks(btn_, &VXBtn::Click);
    QSignalSpy doubles(btn_, &VXBtn::DblClick);
    QTest::mouseClick(btn_, Qt::LeftButton, {}, QPoint(20, 10));
    EXPECT_EQ(clicks.count(), 1);

    QTest::mouseDClick(btn_, Qt::LeftButton, {}, QPoint(20, 10));
    EXPECT_EQ(doubles.count(), 1);
    EXPECT_EQ(clicks.count(), 1) << "the second press of a double click is no click";

    QSignalSpy right(btn_, &VXBtn::RightClick);
    QTest::mouseClick(btn_, Qt::RightButton, {}, QPoint(20, 10));
    EXPECT_EQ(right.count(), 1);
    EXPECT_EQ(clicks.count(), 1);
}

TEST_F(VXBtnTest, ReleaseOutsideIsNoClickAndRestoresTheLook)
{
    QSignalSpy clicks(btn_, &VXBtn::Click);
    QTest::mousePress(btn_, Qt::LeftButton, {}, QPoint(20, 10));
    EXPECT_EQ(pixel(*btn_, QPoint(4, 4)), UserControl::colour(Blue));
    QTest::mouseRelease(btn_, Qt::LeftButton, {}, QPoint(200, 100));
    EXPECT_EQ(clicks.count(), 0);
    EXPECT_EQ(pixel(*btn_, QPoint(4, 4)), UserControl::colour(Grey));
}

TEST_F(VXBtnTest, ToggleFlipsBeforeClick)
{
    btn_->setTOGGLE(true);
    std::vector<bool> seen;
    QObject::connect(btn_, &VXBtn::Click, [&] { seen.push_back(btn_->State()); });
    QTest::mouseClick(btn_, Qt::LeftButton, {}, QPoint(20, 10));
    QTest::keyClick(btn_, Qt::Key_Space);
    EXPECT_THAT(seen, testing::ElementsAre(true, false));
}

TEST_F(VXBtnTest, SpaceAndEnterClickOnceOnRelease)
{
    QSignalSpy clicks(btn_, &VXBtn::Click);
    btn_->setFocus();
    QTest::keyPress(btn_, Qt::Key_Space);
    EXPECT_EQ(clicks.count(), 0);
    EXPECT_EQ(pixel(*btn_, QPoint(4, 4)), UserControl::colour(Blue)) << "pressed look";
    QTest::keyRelease(btn_, Qt::Key_Space);
    EXPECT_EQ(clicks.count(), 1);
    QTest::keyClick(btn_, Qt::Key_Return);
    QTest::keyClick(btn_, Qt::Key_Enter);
    EXPECT_EQ(clicks.count(), 3);
    QTest::keyClick(btn_, Qt::Key_A);
    EXPECT_EQ(clicks.count(), 3);
}

TEST_F(VXBtnTest, HoverLookAndEvents)
{
    QSignalSpy in(btn_, &VXBtn::MouseIn);
    QSignalSpy out(btn_, &VXBtn::MouseOut);
    btn_->setHoverOffset(2);
    QTest::mouseMove(btn_, QPoint(30, 15));
    EXPECT_EQ(in.count(), 1);
    EXPECT_EQ(pixel(*btn_, QPoint(4, 4)), UserControl::colour(Green));
    EXPECT_EQ(btn_->captionRect().topLeft(), QPoint(2, 2));
    EXPECT_EQ(btn_->cursor().shape(), Qt::PointingHandCursor);

    QTest::mouseMove(host_.get(), QPoint(250, 110));
    EXPECT_EQ(out.count(), 1);
    EXPECT_EQ(pixel(*btn_, QPoint(4, 4)), UserControl::colour(Grey));
    EXPECT_EQ(btn_->captionRect().topLeft(), QPoint(0, 0));
}

TEST_F(VXBtnTest, SelectedButtonShowsPressedLookIgnoresHoverAndStillClicks)
{
    btn_->setState(true);
    QSignalSpy in(btn_, &VXBtn::MouseIn);
    QSignalSpy clicks(btn_, &VXBtn::Click);
    QTest::mouseMove(btn_, QPoint(30, 15));
    EXPECT_EQ(in.count(), 0);
    EXPECT_EQ(pixel(*btn_, QPoint(4, 4)), UserControl::colour(Blue));
    QTest::mouseClick(btn_, Qt::LeftButton, {}, QPoint(20, 10));
    EXPECT_EQ(clicks.count(), 1);
    EXPECT_EQ(pixel(*btn_, QPoint(4, 4)), UserControl::colour(Blue));
}

TEST_F(VXBtnTest, DisabledLookAndEnablingRestoresBorder)
{
    btn_->setBorderStyle(1);
    btn_->setBorderWidth(2);
    btn_->setBorderColorDisabled(Red);
    btn_->setForeColorDisabled(Green);
    btn_->setEnabled(false);
    EXPECT_EQ(btn_->currentBackColor(), Black);
    EXPECT_EQ(btn_->currentForeColor(), Green);
    EXPECT_EQ(pixel(*btn_, QPoint(0, 15)), UserControl::colour(Red));
    EXPECT_EQ(pixel(*btn_, QPoint(60, 3)), UserControl::colour(Black));
    btn_->setEnabled(true);
    EXPECT_EQ(pixel(*btn_, QPoint(0, 15)), UserControl::colour(Grey));
}

TEST_F(VXBtnTest, FocusBorderAndFocusBroadcast)
{
    btn_->setBorderStyle(1);
    btn_->setBorderColorFocus(Red);
    btn_->setStyle(QStringLiteral("FocusTest"));
    other_->setStyle(QStringLiteral("FocusOther"));
    btn_->setFocus();
    EXPECT_EQ(btn_->currentBorderColor(), Red);
    EXPECT_EQ(pixel(*btn_, QPoint(0, 15)), UserControl::colour(Red));
    other_->setFocus();
    EXPECT_EQ(btn_->currentBorderColor(), Grey);
}

// Loaded disabled or display-only: no clicks, no keys, no focus, no pressed look.
TEST_F(VXBtnTest, LoadedDisabledOrInactiveIgnoresInput)
{
    struct Stored
    {
        const char *key;
        bool value;
        bool defaultValue;
    };
    for (const Stored stored : {Stored{"Enabled", false, true}, Stored{"Inactive", true, false}}) {
        PropertyBag bag;
        bag.write(QString::fromLatin1(stored.key), stored.value, stored.defaultValue);
        bag.write(QStringLiteral("BackColorDown"), qulonglong{Blue}, qulonglong{0x80000005});
        VXBtn loaded(host_.get());
        loaded.setGeometry(150, 10, 100, 30);
        loaded.ReadProperties(bag);
        loaded.show();
        QSignalSpy clicks(&loaded, &VXBtn::Click);
        QTest::mousePress(&loaded, Qt::LeftButton, {}, QPoint(10, 10));
        EXPECT_NE(loaded.currentBackColor(), Blue) << stored.key << ": no pressed look";
        QTest::mouseRelease(&loaded, Qt::LeftButton, {}, QPoint(10, 10));
        loaded.setFocus();
        QTest::keyClick(&loaded, Qt::Key_Space);
        EXPECT_EQ(clicks.count(), 0) << stored.key;
        EXPECT_FALSE(loaded.hasFocus()) << stored.key;
    }
}

TEST_F(VXBtnTest, TabSkipsDisabledAndInactiveControls)
{
    auto *inactive = new VXBtn(host_.get());
    auto *disabled = new VXBtn(host_.get());
    auto *last = new VXBtn(host_.get());
    QWidget::setTabOrder(btn_, inactive);
    QWidget::setTabOrder(inactive, disabled);
    QWidget::setTabOrder(disabled, last);
    for (VXBtn *b : {inactive, disabled, last})
        b->show();
    inactive->setInactive(true);
    disabled->setEnabled(false);
    btn_->setFocus();
    QTest::keyClick(btn_, Qt::Key_Tab);
    EXPECT_TRUE(last->hasFocus());
    inactive->setInactive(false);
    btn_->setFocus();
    QTest::keyClick(btn_, Qt::Key_Tab);
    EXPECT_TRUE(inactive->hasFocus()) << "active again, it takes the focus";
}

TEST_F(VXBtnTest, InactiveShowsNoHover)
{
    btn_->setInactive(true);
    QSignalSpy in(btn_, &VXBtn::MouseIn);
    QTest::mouseMove(btn_, QPoint(30, 15));
    EXPECT_EQ(in.count(), 0);
    EXPECT_EQ(btn_->currentBackColor(), Grey);
}

TEST_F(VXBtnTest, CaptionTextRules)
{
    btn_->setCaption(QStringLiteral("&Save"));
    EXPECT_EQ(btn_->accessKey(), QLatin1Char('s'));
    btn_->setCaption(QStringLiteral("R&&D &Go"));
    EXPECT_TRUE(btn_->accessKey().isNull()) << "only the first & counts";
    btn_->setCaption(QStringLiteral("Zero**Now"));
    EXPECT_EQ(btn_->displayText(), QStringLiteral("Zero\r\nNow"));

    btn_->setCaption(QStringLiteral("Plain"));
    btn_->setTOGGLE(true);
    EXPECT_EQ(btn_->displayText(), QStringLiteral("Plain"));
    btn_->setCaptionOn(QStringLiteral("On"));
    EXPECT_EQ(btn_->displayText(), QString());
    btn_->setState(true);
    EXPECT_EQ(btn_->displayText(), QStringLiteral("On"));
}

TEST_F(VXBtnTest, AccessKeyClicks)
{
    btn_->setCaption(QStringLiteral("&Save"));
    QSignalSpy clicks(btn_, &VXBtn::Click);
    QTest::keyClick(host_.get(), Qt::Key_S, Qt::AltModifier);
    EXPECT_EQ(clicks.count(), 1);
}

TEST_F(VXBtnTest, StretchFitsFontToCaptionHeight)
{
    for (int offset : {0, 1}) {
        btn_->setClickOffset(static_cast<uint8_t>(offset));
        btn_->resize(120 + offset, 30); // a new layout fits the font again
        const double limit = 30 * (offset ? 0.9 : 1.0);
        QFont font = btn_->Font();
        EXPECT_LE(QFontMetricsF(font).height(), limit);
        font.setPointSizeF(font.pointSizeF() + 0.5);
        EXPECT_GT(QFontMetricsF(font).height(), limit) << "the largest size that fits";
    }
    btn_->resize(120, 4);
    EXPECT_DOUBLE_EQ(btn_->Font().pointSizeF(), 5.5);
}

TEST_F(VXBtnTest, RoundedBorderClipsCorners)
{
    btn_->resize(100, 20);
    btn_->setBorderStyle(2);
    const QRegion mask = btn_->mask();
    for (QPoint corner : {QPoint(0, 0), QPoint(99, 0), QPoint(0, 19), QPoint(99, 19)})
        EXPECT_FALSE(mask.contains(corner)) << corner.x() << "," << corner.y();
    for (QPoint inside : {QPoint(2, 0), QPoint(0, 2), QPoint(97, 19), QPoint(50, 10)})
        EXPECT_TRUE(mask.contains(inside)) << inside.x() << "," << inside.y();
    EXPECT_FALSE(mask.contains(QPoint(100, 10))) << "right edge excluded";
    btn_->setBorderStyle(1);
    EXPECT_TRUE(btn_->mask().isEmpty());
}

TEST_F(VXBtnTest, PropertyBagRoundTripWritesNoDefaults)
{
    PropertyBag defaults;
    VXBtn fresh;
    fresh.WriteProperties(defaults);
    EXPECT_THAT(defaults.keys(), testing::UnorderedElementsAre(QStringLiteral("Font")));

    btn_->setCaption(QStringLiteral("Go"));
    btn_->setTOGGLE(true);
    btn_->setAllowed(QStringLiteral("1|20"));
    btn_->setList(QStringLiteral("One|Twenty"));
    btn_->setStyle(QStringLiteral("BagStyle"));
    PropertyBag bag;
    btn_->WriteProperties(bag);
    VXBtn copy;
    copy.ReadProperties(bag);
    EXPECT_EQ(copy.Caption(), QStringLiteral("Go"));
    EXPECT_TRUE(copy.TOGGLE());
    EXPECT_EQ(copy.BackColor(), Grey);
    EXPECT_EQ(copy.Style(), QStringLiteral("BagStyle"));
    EXPECT_EQ(copy.ListIndex(), 1) << "position 0 and its number, numbered after Allowed is read";
}

// ---- entry field ---------------------------------------------------------------------------

struct FilterCase
{
    const char *name;
    QChar decimal;
    const char *allowed;
    int maxLength;
    const char *typed;
    const char *expected;
};

using testsupport::PrintTo;

class VXBtnFilterTest : public VXBtnTest, public testing::WithParamInterface<FilterCase>
{};

TEST_P(VXBtnFilterTest, TypedText)
{
    const FilterCase &c = GetParam();
    common::setDecimalSeparator(QString(c.decimal));
    VXBtn field(host_.get());
    field.setGeometry(150, 10, 100, 30);
    field.show();
    field.setEditable(1);
    field.setAllowed(QString::fromLatin1(c.allowed));
    field.setMaxLength(static_cast<int16_t>(c.maxLength));
    field.setCaption(QString());
    field.setFocus();
    field.DoEdit();
    QTest::keyClicks(field.textEditor(), QString::fromLatin1(c.typed));
    EXPECT_EQ(field.textEditor()->text(), QString::fromLatin1(c.expected));
    common::setDecimalSeparator(QStringLiteral("."));
}

INSTANTIATE_TEST_SUITE_P(
    Cases, VXBtnFilterTest,
    testing::Values(FilterCase{"DotLocaleOneDot", '.', "0123456789.-", 0, "1.2.3", "1.23"},
                    FilterCase{"DotLocaleDropsComma", '.', "0123456789.-", 0, "1,2", "12"},
                    FilterCase{"CommaLocaleOneComma", ',', "0123456789.-", 0, "1,2,3", "1,23"},
                    FilterCase{"CommaLocaleDropsDot", ',', "0123456789.-", 0, "1.5", "15"},
                    FilterCase{"MinusOnlyAtStart", '.', "0123456789.-", 0, "5-", "5"},
                    FilterCase{"CharacterSet", '.', "0123456789", 0, "a1b2", "12"},
                    FilterCase{"AnyCharacter", '.', "", 0, "a-b.c", "a-b.c"},
                    FilterCase{"MaxLength", '.', "", 4, "12345", "1234"}),
    [](const testing::TestParamInfo<FilterCase> &info) { return std::string(info.param.name); });

TEST_F(VXBtnTest, FilterMinusCaretSelectionAndUpperCase)
{
    makeTextField(QStringLiteral("0123456789.-"));
    QLineEdit &editor = openEditor(QStringLiteral("5"));
    editor.setCursorPosition(0);
    QTest::keyClicks(&editor, QStringLiteral("-"));
    QTest::keyClicks(&editor, QStringLiteral("-"));
    EXPECT_EQ(editor.text(), QStringLiteral("-5")) << "a minus after the start is dropped";
    editor.setCursorPosition(0);
    QTest::keyClicks(&editor, QStringLiteral("-"));
    EXPECT_EQ(editor.text(), QStringLiteral("--5")) << "a second minus at the start is typed";

    btn_->setMaxLength(4);
    editor.setText(QStringLiteral("1234"));
    QTest::keyClick(&editor, Qt::Key_Backspace);
    EXPECT_EQ(editor.text(), QStringLiteral("123"));
    editor.setText(QStringLiteral("1234"));
    editor.setSelection(1, 2);
    QTest::keyClicks(&editor, QStringLiteral("9"));
    EXPECT_EQ(editor.text(), QStringLiteral("194")) << "typing over a selection";
    editor.setText(QStringLiteral("1.5"));
    editor.selectAll();
    QTest::keyClicks(&editor, QStringLiteral("2.5"));
    EXPECT_EQ(editor.text(), QStringLiteral("2.5"))
        << "the selected separator goes with the selection";

    btn_->setAllowed(QString());
    btn_->setMaxLength(0);
    btn_->setUpperCase(true);
    editor.clear();
    QTest::keyClicks(&editor, QStringLiteral("ab1"));
    EXPECT_EQ(editor.text(), QStringLiteral("AB1"));
}

TEST_F(VXBtnTest, PastedTextPassesTheFilter)
{
    makeTextField(QStringLiteral("0123456789.-"));
    QLineEdit &editor = openEditor(QString());
    editor.clear();
    QApplication::clipboard()->setText(QStringLiteral("12abc.5.6"));
    QTest::keyClick(&editor, Qt::Key_V, Qt::ControlModifier);
    EXPECT_EQ(editor.text(), QStringLiteral("12.56"));

    // Text an input method commits is filtered the same way.
    QInputMethodEvent composed;
    composed.setCommitString(QStringLiteral("x7-"));
    QApplication::sendEvent(&editor, &composed);
    EXPECT_EQ(editor.text(), QStringLiteral("12.567"));
}

struct CommitCase
{
    const char *name;
    QChar decimal;
    double min, max;
    bool numeric;
    const char *format;
    const char *typed;
    bool accepted;
    const char *caption; // the caption after an accepted commit, else the note that says why
};

class VXBtnCommitTest : public VXBtnTest, public testing::WithParamInterface<CommitCase>
{};

TEST_P(VXBtnCommitTest, EnterCommits)
{
    const CommitCase &c = GetParam();
    common::setDecimalSeparator(QString(c.decimal));
    VXBtn field(host_.get());
    field.setGeometry(150, 10, 100, 30);
    field.show();
    field.setEditable(1);
    field.setMin(c.min);
    field.setMax(c.max);
    field.setIsNumeric(c.numeric);
    field.setFormat(QString::fromLatin1(c.format));
    field.setCaption(QStringLiteral("old"));
    QSignalSpy changed(&field, &VXBtn::Changed);
    field.setFocus();
    field.DoEdit();
    field.textEditor()->setText(QString::fromLatin1(c.typed));
    QTest::keyClick(field.textEditor(), Qt::Key_Return);
    QCoreApplication::processEvents();
    if (c.accepted) {
        EXPECT_FALSE(field.isEditing());
        EXPECT_EQ(changed.count(), 1);
        EXPECT_EQ(beeps_, 0);
        EXPECT_EQ(field.Caption(), QString::fromLatin1(c.caption));
        EXPECT_EQ(field.refusalShown(), QString());
    } else {
        EXPECT_TRUE(field.isEditing()) << "the editor stays open";
        EXPECT_TRUE(field.textEditor()->hasFocus());
        EXPECT_EQ(changed.count(), 0);
        EXPECT_EQ(beeps_, 1);
        EXPECT_EQ(field.Caption(), QStringLiteral("old"));
        // The beep may not sound: the field says why, under itself.
        EXPECT_EQ(field.refusalShown(), QString::fromLatin1(c.caption));
    }
    common::setDecimalSeparator(QStringLiteral("."));
}

INSTANTIATE_TEST_SUITE_P(
    Cases, VXBtnCommitTest,
    testing::Values(
        CommitCase{"AboveMax", '.', 0, 100, false, "", "150", false,
                   "Out of range: enter a number from 0 to 100"},
        CommitCase{"AtMax", '.', 0, 100, false, "", "100", true, "100"},
        CommitCase{"BelowMin", '.', 10, 100, false, "", "9.5", false,
                   "Out of range: enter a number from 10 to 100"},
        CommitCase{"NoRangeAnyText", '.', 0, 0, false, "", "abc", true, "abc"},
        CommitCase{"NumericEmpty", '.', 0, 0, true, "", "", false, "Not a number"},
        CommitCase{"NumericMinusOnly", '.', 0, 0, true, "", "-", false, "Not a number"},
        CommitCase{"NumericDoubleMinus", '.', 0, 0, true, "", "--5", false, "Not a number"},
        CommitCase{"RangeEmpty", '.', 0, 100, false, "", "", false,
                   "Not a number: enter a number from 0 to 100"},
        CommitCase{"NumericNegative", '.', 0, 0, true, "", "-2.5", true, "-2.5"},
        CommitCase{"CommaLocaleNumber", ',', 0, 10, true, "", "2,5", true, "2,5"},
        CommitCase{"CommaLocaleDotIsNoNumber", ',', -0.5, 2.5, true, "", "2.5", false,
                   "Not a number: enter a number from -0,5 to 2,5"},
        CommitCase{"CommaLocaleFormatted", ',', 0, 0, true, "0.00", "2,5", true, "2,50"},
        CommitCase{"FormatPattern", '.', 0, 0, true, "0.000", "1.23456", true, "1.235"},
        CommitCase{"SevenDigitRule", '.', 0, 0, true, "*", "1234.56789", true, "1234.567"}),
    [](const testing::TestParamInfo<CommitCase> &info) { return std::string(info.param.name); });

TEST_F(VXBtnTest, ChangedOnlyForAnEditThatChangesTheText)
{
    makeTextField(QStringLiteral("0123456789.-"));
    btn_->setFormat(QStringLiteral("0.00"));
    QSignalSpy changed(btn_, &VXBtn::Changed);

    // The module's value shown rounded: leaving without a change keeps the full value.
    QLineEdit &editor = openEditor(QStringLiteral("2.0123456"));
    EXPECT_EQ(btn_->displayText(), QStringLiteral("2.01"));
    QTest::keyClick(&editor, Qt::Key_Return);
    EXPECT_EQ(changed.count(), 0);
    EXPECT_EQ(btn_->Caption(), QStringLiteral("2.0123456"));
    EXPECT_DOUBLE_EQ(btn_->Value(), 2.0123456);

    // Escape cancels; the focus leaving afterwards commits nothing.
    btn_->DoEdit();
    editor.setText(QStringLiteral("7"));
    QTest::keyClick(&editor, Qt::Key_Escape);
    other_->setFocus();
    EXPECT_EQ(changed.count(), 0);
    EXPECT_FALSE(btn_->isEditing());
    EXPECT_EQ(btn_->Caption(), QStringLiteral("2.0123456"));

    // Enter commits once, although the focus leaves the editor afterwards.
    btn_->setFocus();
    btn_->DoEdit();
    editor.setText(QStringLiteral("3.456"));
    QTest::keyClick(&editor, Qt::Key_Return);
    other_->setFocus();
    EXPECT_EQ(changed.count(), 1);
    EXPECT_EQ(btn_->Caption(), QStringLiteral("3.46"));

    // The focus leaving commits a changed text.
    btn_->setFocus();
    btn_->DoEdit();
    editor.setText(QStringLiteral("4"));
    other_->setFocus();
    EXPECT_EQ(changed.count(), 2);
    EXPECT_EQ(btn_->Caption(), QStringLiteral("4.00"));
    EXPECT_FALSE(btn_->isEditing());
    btn_->setFocus();
    btn_->DoEdit();
    editor.setText(QStringLiteral("5"));
    btn_->EndEdit();
    EXPECT_EQ(changed.count(), 3);
}

TEST_F(VXBtnTest, RefusedCommitOnFocusLossKeepsTheEditorOpen)
{
    makeTextField(QStringLiteral("0123456789.-"));
    other_->setStyle(QStringLiteral("RefusalOther")); // its focus broadcast reaches the field
    btn_->setStyle(QStringLiteral("RefusalField"));
    QSignalSpy changed(btn_, &VXBtn::Changed);
    QLineEdit &editor = openEditor(QStringLiteral("1"));
    editor.setText(QStringLiteral("--5"));
    other_->setFocus();
    QCoreApplication::processEvents();
    EXPECT_TRUE(btn_->isEditing());
    EXPECT_TRUE(editor.hasFocus());
    EXPECT_EQ(beeps_, 1);
    EXPECT_EQ(changed.count(), 0);
    EXPECT_EQ(btn_->Caption(), QStringLiteral("1"));
}

TEST_F(VXBtnTest, ClickOpensTheEditorOverTheCaptionAndKeepsTyping)
{
    makeTextField(QStringLiteral("0123456789"));
    btn_->setCaption(QStringLiteral("12"));
    QTest::mouseClick(btn_, Qt::LeftButton, {}, QPoint(5, 5));
    ASSERT_TRUE(btn_->isEditing());
    QLineEdit *editor = btn_->textEditor();
    EXPECT_EQ(editor->geometry(), btn_->captionRect());
    EXPECT_EQ(editor->selectedText(), QStringLiteral("12"));
    QTest::keyClicks(editor, QStringLiteral("34"));
    // A further click on the field goes back to the editor and does not reopen it.
    QTest::mouseClick(btn_, Qt::LeftButton, {}, QPoint(2, 2));
    EXPECT_EQ(editor->text(), QStringLiteral("34"));
}

struct SevenCase
{
    double value;
    const char *expected;
};

void PrintTo(const SevenCase &c, std::ostream *os)
{
    *os << c.value << " -> " << c.expected;
}

class SevenDigitTest : public testing::TestWithParam<SevenCase>
{};

TEST_P(SevenDigitTest, Rule)
{
    EXPECT_EQ(VXBtn::sevenDigits(GetParam().value, platform::vb::NumberSeparators::invariant()),
              QString::fromLatin1(GetParam().expected));
}

INSTANTIATE_TEST_SUITE_P(
    Cases, SevenDigitTest,
    testing::Values(SevenCase{1234.56789, "1234.567"}, SevenCase{12.3456789, "12.34567"},
                    SevenCase{0.1234567, "0.123457"}, SevenCase{-0.5, "-0.500000"},
                    SevenCase{-1234.56789, "-1234.567"}, SevenCase{123456789, "123456789"},
                    SevenCase{1234567.8, "1234567"}, SevenCase{0, "0.000000"}));

// ---- list field ----------------------------------------------------------------------------

TEST_F(VXBtnTest, NumberedListIndexAndValue)
{
    btn_->setEditable(2);
    btn_->setAllowed(QStringLiteral("1|20"));
    btn_->setList(QStringLiteral("One|Twenty"));
    btn_->setUseListIndex(true);
    btn_->setListIndex(20);
    EXPECT_EQ(btn_->Caption(), QStringLiteral("Twenty"));
    EXPECT_EQ(btn_->ListIndex(), 20);
    btn_->setListIndex(5);
    EXPECT_EQ(btn_->ListIndex(), 20) << "no entry numbered 5";
    EXPECT_DOUBLE_EQ(btn_->Value(), 20.0);

    btn_->setAllowed(QString());
    btn_->setList(QStringLiteral("A|B|C"));
    btn_->setListIndex(2);
    EXPECT_EQ(btn_->Caption(), QStringLiteral("C"));
    EXPECT_DOUBLE_EQ(btn_->Value(), 2.0);

    btn_->ListClear();
    EXPECT_EQ(btn_->Caption(), QString());
    btn_->ListAddItem(QStringLiteral("X"));
    btn_->ListAddItem(QStringLiteral("Y"));
    EXPECT_EQ(btn_->List(), QStringLiteral("X|Y"));
}

TEST_F(VXBtnTest, ListOpensUnderTheCaptionAndChoosing)
{
    btn_->setEditable(2);
    btn_->setList(QStringLiteral("mV/V|kg|N"));
    btn_->setCaption(QStringLiteral("kg"));
    QSignalSpy changed(btn_, &VXBtn::Changed);
    QSignalSpy before(btn_, &VXBtn::BeforeDropdown);
    QTest::mouseClick(btn_, Qt::LeftButton, {}, QPoint(5, 5));
    ListPopup *popup = btn_->listPopup();
    ASSERT_TRUE(popup->isVisible());
    EXPECT_EQ(before.count(), 1);
    EXPECT_EQ(popup->currentRow(), 1) << "the caption's entry is current";
    EXPECT_GE(popup->geometry().top(), btn_->mapToGlobal(QPoint(0, btn_->height())).y());

    QTest::keyClick(popup, Qt::Key_Escape);
    EXPECT_FALSE(popup->isVisible());
    EXPECT_EQ(changed.count(), 0);

    btn_->DoEdit();
    QTest::keyClick(popup, Qt::Key_Down);
    QTest::keyClick(popup, Qt::Key_Return);
    EXPECT_EQ(btn_->Caption(), QStringLiteral("N"));
    EXPECT_EQ(btn_->ListIndex(), 2);
    EXPECT_EQ(changed.count(), 1);

    btn_->DoEdit();
    const QRect first = popup->visualItemRect(popup->item(0));
    QTest::mouseClick(popup->viewport(), Qt::LeftButton, {}, first.center());
    EXPECT_EQ(btn_->Caption(), QStringLiteral("mV/V"));
    EXPECT_EQ(changed.count(), 2);

    btn_->DoEdit();
    QTest::keyClick(popup, Qt::Key_Return);
    EXPECT_EQ(changed.count(), 2) << "choosing the current entry changes nothing";
}

TEST_F(VXBtnTest, ListTakesTheFieldsOwnColoursNotItsPressedLook)
{
    btn_->setEditable(2);
    btn_->setBorderColorFocus(Red);
    btn_->setList(QStringLiteral("mV/V|kg|N"));
    btn_->setCaption(QStringLiteral("kg"));
    QTest::mouseClick(btn_, Qt::LeftButton, {}, QPoint(5, 5));
    ListPopup *popup = btn_->listPopup();
    ASSERT_TRUE(popup->isVisible());
    const QPalette palette = popup->palette();
    EXPECT_EQ(palette.color(QPalette::Base), platform::win::gui::toQColor(Grey));
    EXPECT_EQ(palette.color(QPalette::Text), platform::win::gui::toQColor(White));
    EXPECT_EQ(palette.color(QPalette::Highlight), platform::win::gui::toQColor(Red));
    EXPECT_TRUE(popup->item(0)->textAlignment() & Qt::AlignHCenter);
    QTest::keyClick(popup, Qt::Key_Escape);
}

TEST_F(VXBtnTest, ListWithUnmatchedCaptionKeepsPosition)
{
    btn_->setEditable(2);
    btn_->setList(QStringLiteral("A|B"));
    btn_->setListIndex(1);
    btn_->setCaption(QStringLiteral("none"));
    btn_->DoEdit();
    EXPECT_EQ(btn_->listPosition(), 1);
    EXPECT_EQ(btn_->listPopup()->currentRow(), 1);
}

} // namespace
} // namespace app::controls
