#include "tooltips/r77tipctl.h"

#include <stdexcept>

#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>

#include <gtest/gtest.h>

#include "platform/vb/vberror.h"
#include "platform/win/propertybag.h"
#include "support/errorof.h"
#include "tooltips/mtipapi.h"
#include "tooltips/tipwindow.h"

namespace tooltips {
namespace {

using platform::vb::VbError;
using testsupport::errorOf;

// A form with the controls the walk must tell apart.
class TipFormTest : public testing::Test
{
protected:
    void SetUp() override
    {
        blank = control(QStringLiteral("   "));
        twoLines = control(QStringLiteral("  A**B "));
        combo = new QComboBox(&form);
        combo->setEditable(true);
        combo->setToolTip(QStringLiteral("Pick one"));
        cancelled = control(QStringLiteral("Keep me"));
        silent = control(QString());
        titled = control(QStringLiteral("With a title"));
        inner = new QWidget(&form);
        innerControl = new QLabel(inner);
        innerControl->setToolTip(QStringLiteral("Inner form's"));
        innerTips = new R77TipCtl(inner);
        tips = new R77TipCtl(&form);

        QObject::connect(
            tips, &R77TipCtl::BeforeLoadTooltip, tips,
            [this](int32_t hWnd, bool &cancel) { cancel = hWnd == WindowHandle(cancelled); });
        QObject::connect(tips, &R77TipCtl::BeforeCreateTooltip, tips, [this](CTooltip &tip) {
            if (tip.hWndControl() == WindowHandle(titled))
                tip.setTitle(QStringLiteral("Set by the form"));
            if (failCreate)
                throw std::runtime_error("handler failed");
        });
    }

    QPushButton *control(const QString &tip)
    {
        auto *button = new QPushButton(&form);
        button->setToolTip(tip);
        return button;
    }

    std::shared_ptr<CTooltip> tipOf(QWidget *widget)
    {
        return tips->Tooltips().Item(QStringLiteral("hWnd") +
                                     QString::number(WindowHandle(widget)));
    }

    QWidget form;
    QPushButton *blank = nullptr;
    QPushButton *twoLines = nullptr;
    QComboBox *combo = nullptr;
    QPushButton *cancelled = nullptr;
    QPushButton *silent = nullptr;
    QPushButton *titled = nullptr;
    QWidget *inner = nullptr;
    QLabel *innerControl = nullptr;
    R77TipCtl *innerTips = nullptr;
    R77TipCtl *tips = nullptr;
    bool failCreate = false;
};

TEST_F(TipFormTest, LoadTooltipsMakesOneTipPerControlWithText)
{
    tips->LoadTooltips();
    EXPECT_EQ(tips->Tooltips().Count(), 3);

    ASSERT_TRUE(tipOf(twoLines));
    EXPECT_EQ(tipOf(twoLines)->TipText(), QStringLiteral("A\r\nB"));
    EXPECT_TRUE(tipOf(twoLines)->AutoCreated());
    EXPECT_TRUE(tipOf(twoLines)->window()->toolWidget() == twoLines);
    EXPECT_EQ(twoLines->toolTip(), QString());

    ASSERT_TRUE(tipOf(combo));
    EXPECT_EQ(tipOf(combo)->window()->toolWidget(), combo->lineEdit());
    EXPECT_EQ(tipOf(titled)->Title(), QStringLiteral("Set by the form"));
    EXPECT_EQ(tipOf(titled)->window()->title(), QStringLiteral("Set by the form"));

    // Blank, cancelled and silent controls keep what they had; another form is left alone.
    EXPECT_EQ(blank->toolTip(), QStringLiteral("   "));
    EXPECT_EQ(cancelled->toolTip(), QStringLiteral("Keep me"));
    EXPECT_FALSE(tipOf(blank) || tipOf(cancelled) || tipOf(silent) || tipOf(innerControl));
    EXPECT_EQ(innerControl->toolTip(), QStringLiteral("Inner form's"));
    EXPECT_TRUE(R77TipCtl::of(&form) == tips);
    EXPECT_TRUE(tips->isHidden());
}

TEST_F(TipFormTest, UnloadGivesTheTextsBackAndLoadingTwiceKeepsOneTipEach)
{
    tips->LoadTooltips(QStringLiteral("Title"));
    tips->LoadTooltips();
    EXPECT_EQ(tips->Tooltips().Count(), 3);
    EXPECT_EQ(tipOf(twoLines)->TipText(), QStringLiteral("A\r\nB"));
    EXPECT_EQ(tipOf(twoLines)->Title(), QString());

    tips->UnloadTooltips();
    EXPECT_EQ(tips->Tooltips().Count(), 0);
    EXPECT_EQ(twoLines->toolTip(), QStringLiteral("A\r\nB"));
    EXPECT_EQ(combo->toolTip(), QStringLiteral("Pick one"));
}

TEST_F(TipFormTest, AddTooltipReplacesTheLoadedTips)
{
    tips->LoadTooltips();
    tips->AddTooltip(WindowHandle(silent), QStringLiteral("Added**now"));
    EXPECT_EQ(tips->Tooltips().Count(), 1);
    EXPECT_EQ(tipOf(silent)->TipText(), QStringLiteral("Added\r\nnow"));
    EXPECT_EQ(silent->toolTip(), QString());
    EXPECT_EQ(twoLines->toolTip(), QStringLiteral("A\r\nB"));

    tips->AddTooltip(WindowHandle(silent), QStringLiteral("  "));
    tips->AddTooltip(0, QStringLiteral("no window"));
    EXPECT_EQ(tips->Tooltips().Count(), 0);
}

TEST_F(TipFormTest, AddTooltipPassesOnlyTheErrorsOfItsUnloading)
{
    // Failures from the text on are ignored.
    failCreate = true;
    EXPECT_NO_THROW(tips->AddTooltip(WindowHandle(silent), QStringLiteral("text")));
    EXPECT_EQ(tips->Tooltips().Count(), 0);
    failCreate = false;

    // A self-made tip the program moved to a key of its own cannot be removed by its key.
    tips->LoadTooltips();
    auto moved = tipOf(twoLines);
    tips->Tooltips().Remove(QStringLiteral("hWnd") + QString::number(WindowHandle(twoLines)));
    tips->Tooltips().Add(moved, QStringLiteral("mine"));
    const VbError error =
        errorOf([&] { tips->AddTooltip(WindowHandle(silent), QStringLiteral("text")); });
    EXPECT_EQ(error.number(), static_cast<int>(0x8004261Fu));
    EXPECT_EQ(error.source(), QStringLiteral("R77Tip.UnloadTooltips"));
    EXPECT_EQ(error.description(),
              QStringLiteral("R77Tip component failure in Sub UnloadTooltips"));
}

TEST_F(TipFormTest, AFailingTipLeavesTheControlItsOwnText)
{
    failCreate = true;
    const VbError error = errorOf([&] { tips->LoadTooltips(); });
    EXPECT_EQ(error.number(), static_cast<int>(0x8004261Fu));
    EXPECT_EQ(error.source(), QStringLiteral("R77Tip.LoadTooltips"));
    EXPECT_EQ(twoLines->toolTip(), QStringLiteral("  A**B "));
    failCreate = false;

    TipWindow::setFactory([](uint32_t, int32_t) { return nullptr; });
    EXPECT_THROW(tips->LoadTooltips(), VbError);
    TipWindow::setFactory({});
    EXPECT_EQ(twoLines->toolTip(), QStringLiteral("  A**B "));
    tips->LoadTooltips();
    EXPECT_EQ(tips->Tooltips().Count(), 3);
}

TEST_F(TipFormTest, SingleTips)
{
    tips->LoadTooltips();
    tips->SetToolTipText(WindowHandle(twoLines), QStringLiteral("New**text"));
    EXPECT_EQ(tipOf(twoLines)->window()->text(), QStringLiteral("New**text")); // used unchanged
    EXPECT_EQ(
        errorOf([&] { tips->SetToolTipText(WindowHandle(silent), QStringLiteral("x")); }).number(),
        91);

    tips->RemoveTooltip(WindowHandle(combo));
    EXPECT_FALSE(tipOf(combo));
    tips->RemoveTooltip(0);
    EXPECT_EQ(tips->Tooltips().Count(), 2);
    tips->RemoveAllTooltips(0);
    EXPECT_EQ(tips->Tooltips().Count(), 0);
}

TEST_F(TipFormTest, DefaultsGoToTheTips)
{
    tips->setMaxWidth(50);
    EXPECT_EQ(tips->MaxWidth(), 100);
    tips->setMaxWidth(1000);
    EXPECT_EQ(tips->MaxWidth(), 800);
    tips->setDelay(250);
    tips->setIcon(TI_IconWarning);
    tips->setStyle(TS_Standard);
    tips->setUseFont(true);
    QFont font(QStringLiteral("Serif"), 12);
    tips->setFont(font);
    EXPECT_TRUE(tips->propertiesChanged());
    tips->LoadTooltips();
    const auto tip = tipOf(twoLines);
    EXPECT_EQ(tip->MaxWidth(), 800);
    EXPECT_EQ(tip->Delay(), 250);
    EXPECT_EQ(tip->Icon(), TI_IconWarning);
    EXPECT_FALSE(tip->window()->isBalloon());
    EXPECT_EQ(tip->window()->tipFont().pixelSize(), 16);

    CInfotip infotip;
    tips->LoadDefaultInfotipProperties(infotip);
    EXPECT_EQ(infotip.Icon(), TI_NoIcon); // no icon for infotips
    EXPECT_EQ(infotip.MaxWidth(), 800);
}

TEST_F(TipFormTest, PropertyBag)
{
    platform::win::PropertyBag bag;
    tips->WriteProperties(bag);
    EXPECT_TRUE(bag.isEmpty());

    bag.write(QStringLiteral("MaxWidth"), 1000, 300);
    bag.write(QStringLiteral("Style"), 0, 1);
    bag.writeColour(QStringLiteral("BackColor"), 0xFF, 0x80000018u);
    tips->ReadProperties(bag);
    EXPECT_EQ(tips->MaxWidth(), 1000); // stored values are not clamped
    EXPECT_EQ(tips->Style(), TS_Standard);
    EXPECT_EQ(tips->BackColor(), 0xFFu);
    EXPECT_EQ(tips->Delay(), 500);

    platform::win::PropertyBag again;
    tips->WriteProperties(again);
    EXPECT_EQ(again.keys(), bag.keys());
}

} // namespace
} // namespace tooltips
