#include "tooltips/ctooltip.h"

#include <memory>
#include <stdexcept>

#include <QComboBox>
#include <QEnterEvent>
#include <QLineEdit>
#include <QPointer>
#include <QSignalSpy>
#include <QWidget>

#include <gtest/gtest.h>

#include "platform/vb/vberror.h"
#include "platform/win/osversion.h"
#include "support/errorof.h"
#include "tooltips/cinfotip.h"
#include "tooltips/cinfotips.h"
#include "tooltips/ctimer.h"
#include "tooltips/ctooltips.h"
#include "tooltips/mtimer.h"
#include "tooltips/mtipapi.h"
#include "tooltips/tipwindow.h"

namespace tooltips {
namespace {

using platform::vb::VbError;
using testsupport::errorOf;

class TipTest : public testing::Test
{
protected:
    void SetUp() override
    {
        form.resize(300, 200);
        control = new QWidget(&form);
        control->setGeometry(10, 10, 101, 31);
        form.show();
    }

    void TearDown() override
    {
        platform::win::setVersionQuery({});
        TipWindow::setFactory({});
        TipWindow::setMessageHook({});
    }

    template <typename Tip>
    std::shared_ptr<Tip> tipOn(QWidget *widget, const QString &text)
    {
        auto tip = std::make_shared<Tip>();
        tip->Init(WindowHandle(widget), text, QStringLiteral("Title"), TI_IconInfo);
        return tip;
    }

    QWidget form;
    QWidget *control = nullptr;
};

TEST_F(TipTest, WindowStyleAndToolFlags)
{
    struct Case
    {
        enTipStyle style;
        bool centered;
        bool oldShell;
        uint32_t tooltipFlags;
        uint32_t infotipFlags;
        uint32_t windowStyle;
    };
    for (const Case &c : {Case{TS_Balloon, false, false, 16, 289, 0x80800043u},
                          Case{TS_Standard, false, false, 16, 289, 0x80800003u},
                          Case{TS_Balloon, true, false, 18, 35, 0x80800043u},
                          Case{TS_Balloon, false, true, 17, 289, 0x80800043u}}) {
        if (c.oldShell)
            platform::win::setVersionQuery([](platform::win::OsVersionInfo &info) {
                info.platform = 2;
                info.major = 4;
                return true;
            });
        auto tooltip = tipOn<CTooltip>(control, QStringLiteral("text"));
        auto infotip = tipOn<CInfotip>(control, QStringLiteral("text"));
        EXPECT_EQ(tooltip->OldShell(), c.oldShell);
        for (TipBase *tip :
             {static_cast<TipBase *>(tooltip.get()), static_cast<TipBase *>(infotip.get())}) {
            tip->setStyle(c.style);
            tip->setCentered(c.centered);
            tip->Create();
            ASSERT_NE(tip->window(), nullptr);
            EXPECT_EQ(tip->window()->windowStyle(), c.windowStyle);
            EXPECT_EQ(tip->toolInfo().cbSize, 44u);
            EXPECT_EQ(tip->toolInfo().uId, WindowHandle(control));
        }
        EXPECT_EQ(tooltip->toolInfo().uFlags, c.tooltipFlags);
        EXPECT_EQ(infotip->toolInfo().uFlags, c.infotipFlags);
        EXPECT_EQ(tooltip->toolInfo().rect, c.oldShell ? QRect() : control->rect());
        platform::win::setVersionQuery({});
    }
}

TEST_F(TipTest, CreationSendsTheLook)
{
    auto tip = tipOn<CTooltip>(control, QStringLiteral("A\r\nB & C"));
    tip->setMaxWidth(20);
    EXPECT_EQ(tip->MaxWidth(), 50);
    tip->setBackColor(0x0000FFu);
    tip->setDelay(700);
    tip->setDuration(0);
    tip->Create();
    TipWindow &w = *tip->window();
    EXPECT_EQ(w.maxTipWidth(), 50);
    EXPECT_EQ(w.title(), QStringLiteral("Title"));
    EXPECT_EQ(w.icon(), TI_IconInfo);
    EXPECT_EQ(w.text(), QStringLiteral("A\r\nB & C"));
    EXPECT_EQ(w.backColour(), QColor(255, 0, 0));
    EXPECT_EQ(w.textColour(), QColor(0, 0, 0));
    EXPECT_EQ(w.initialDelay(), 700);
    // Without a duration the window keeps its own auto-pop time.
    EXPECT_EQ(w.autoPopDelay(), TipWindow::DefaultAutoPopMs);
    EXPECT_EQ(tip->hWnd(), WindowHandle(&w));
}

TEST_F(TipTest, LiveSettersAndThoseThatWaitForANewWindow)
{
    auto tip = tipOn<CTooltip>(control, QStringLiteral("text"));
    tip->Create();
    TipWindow &w = *tip->window();
    w.show();
    tip->setBackColor(0x8000000Du); // highlight, at once
    EXPECT_EQ(w.backColour(), QColor(0, 120, 215));
    EXPECT_EQ(w.grab().toImage().pixelColor(w.width() / 2, w.height() - 12), QColor(0, 120, 215));
    tip->setTitle(QStringLiteral("New"));
    tip->setTipText(QStringLiteral("changed"));
    EXPECT_EQ(w.title(), QStringLiteral("New"));
    EXPECT_EQ(w.text(), QStringLiteral("changed"));

    tip->setDelay(1500);
    EXPECT_EQ(w.initialDelay(), CTooltip::DefaultDelay);
    tip->Create();
    EXPECT_EQ(tip->window()->initialDelay(), 1500);
}

TEST_F(TipTest, AComboTipSitsOnItsEditField)
{
    auto *combo = new QComboBox(&form);
    combo->setEditable(true);
    auto tip = tipOn<CTooltip>(combo, QStringLiteral("combo"));
    CToolTips tips;
    tips.Add(tip, QStringLiteral("hWnd1"));
    EXPECT_EQ(tip->toolInfo().uId, WindowHandle(combo->lineEdit()));
    EXPECT_EQ(tip->window()->toolWidget(), combo->lineEdit());
    EXPECT_EQ(tip->hWndControl(), WindowHandle(combo));
    EXPECT_EQ(tips.ItemByControlhWnd(WindowHandle(combo)), tip);
}

TEST_F(TipTest, HoverShowsAfterTheDelayAndHidesAfterTheDuration)
{
    auto tip = tipOn<CTooltip>(control, QStringLiteral("hover"));
    tip->setDelay(20);
    tip->setDuration(60);
    tip->Create();
    TipWindow &w = *tip->window();
    QSignalSpy shown(&w, &TipWindow::shown);
    QSignalSpy hidden(&w, &TipWindow::hidden);

    QEnterEvent enter(QPointF(5, 5), control->mapToGlobal(QPointF(5, 5)),
                      control->mapToGlobal(QPointF(5, 5)));
    QCoreApplication::sendEvent(control, &enter);
    EXPECT_FALSE(w.isShowing());
    ASSERT_TRUE(shown.wait(5000));
    EXPECT_TRUE(hidden.wait(5000));

    QCoreApplication::sendEvent(control, &enter);
    ASSERT_TRUE(shown.wait(5000));
    QEvent leave(QEvent::Leave);
    QCoreApplication::sendEvent(control, &leave);
    EXPECT_FALSE(w.isShowing());

    // A negative delay is the default again.
    w.setDelayTime(TipDelay::Initial, -1);
    EXPECT_EQ(w.initialDelay(), TipWindow::DefaultInitialMs);
}

TEST_F(TipTest, TheToolAreaFollowsTheControlsSize)
{
    auto tip = tipOn<CTooltip>(control, QStringLiteral("area"));
    tip->Create();
    control->resize(150, 40);
    EXPECT_EQ(tip->window()->tool().rect, QRect(0, 0, 150, 40));
}

TEST_F(TipTest, AnInfotipShowsAtTheCentreAndEndsAfterItsDuration)
{
    auto tip = tipOn<CInfotip>(control, QStringLiteral("info"));
    tip->setDuration(30);
    tip->Create();
    QPointer<TipWindow> w = tip->window();
    tip->Show();
    ASSERT_TRUE(w->isShowing());
    EXPECT_EQ(w->anchor(), control->mapToGlobal(QPoint(50, 16)));
    QSignalSpy pulses(tip->timer(), &CTimer::Timer);
    ASSERT_TRUE(pulses.wait(5000));
    EXPECT_TRUE(w.isNull());
    EXPECT_EQ(tip->timer()->Interval(), 0);
}

TEST_F(TipTest, AnInfotipEndingWhileShownFreesItsTimer)
{
    const int before = TimerTableUsed();
    CInfotips tips;
    for (int i = 0; i < 3; ++i) {
        auto tip = tipOn<CInfotip>(control, QStringLiteral("info"));
        tip->setDuration(60000);
        QPointer<TipWindow> first = i > 0 ? tips.Item(QStringLiteral("k"))->window() : nullptr;
        tips.Add(tip, QStringLiteral("k"));
        tip->Show();
        // Under a used key the first item goes with its window.
        if (i > 0) {
            EXPECT_TRUE(first.isNull());
        }
    }
    EXPECT_EQ(tips.Count(), 1);
    EXPECT_EQ(TimerTableUsed(), before + 1);
    tips.Clear();
    EXPECT_EQ(TimerTableUsed(), before);
}

TEST_F(TipTest, ToolTipCollection)
{
    CToolTips tips;
    auto a = tipOn<CTooltip>(control, QStringLiteral("a"));
    auto b = tipOn<CTooltip>(&form, QStringLiteral("b"));
    tips.Add(a, QStringLiteral("First"));
    tips.Add(b);
    EXPECT_EQ(tips.Count(), 2);
    EXPECT_EQ(tips.Item(1), a);
    EXPECT_EQ(tips.Item(QStringLiteral("first")), a);
    EXPECT_EQ(tips.Item(3), nullptr);
    EXPECT_FALSE(tips.Exists(QStringLiteral("none")));
    EXPECT_EQ(errorOf([&] { tips.Add(b, QStringLiteral("FIRST")); }).number(), 457);
    int seen = 0;
    for (const auto &tip : tips)
        seen += tip ? 1 : 0;
    EXPECT_EQ(seen, 2);
    tips.Remove(QStringLiteral("First"));
    EXPECT_EQ(tips.Item(1), b);
    EXPECT_EQ(tips.ItemByControlhWnd(WindowHandle(control)), nullptr);
}

TEST_F(TipTest, Failures)
{
    TipWindow::setFactory([](uint32_t, int32_t) { return nullptr; });
    auto tooltip = tipOn<CTooltip>(control, QStringLiteral("a"));
    VbError created = errorOf([&] { tooltip->Create(); });
    EXPECT_EQ(created.number(), static_cast<int>(0x8004261Fu));
    EXPECT_EQ(created.source(), QStringLiteral("CTooltip.pCreate"));
    EXPECT_EQ(created.description(), QStringLiteral("CTooltip component failure in Sub pCreate"));
    EXPECT_EQ(tooltip->hWnd(), 0);
    TipWindow::setFactory({});

    // A failing window message: the infotip's setters speak of CTooltip with their own number.
    auto infotip = tipOn<CInfotip>(control, QStringLiteral("b"));
    infotip->Create();
    TipWindow::setMessageHook([](uint32_t message) {
        if (message == TipMessage::SetTipBkColor || message == TipMessage::SetTitle)
            throw std::runtime_error("refused");
    });
    VbError back = errorOf([&] { infotip->setBackColor(0); });
    EXPECT_EQ(back.number(), static_cast<int>(0x80042620u));
    EXPECT_EQ(back.source(), QStringLiteral("CTooltip.BackColor"));
    EXPECT_EQ(back.description(),
              QStringLiteral("CTooltip component failure in Property BackColor"));
    EXPECT_EQ(errorOf([&] { infotip->setTitle({}); }).source(), QStringLiteral("CTooltip.Title"));
    EXPECT_EQ(errorOf([&] { tooltip->setTitle({}); }).number(), 0); // no window: only stored
}

} // namespace
} // namespace tooltips
