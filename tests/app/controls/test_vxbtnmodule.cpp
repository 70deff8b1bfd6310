#include <memory>

#include <QWidget>

#include <gmock/gmock.h>

#include "app/controls/vxbtn.h"
#include "app/controls/vxbtnmodule.h"
#include "platform/win/propertybag.h"

namespace app::controls {
namespace {

using platform::win::PropertyBag;

class StyleTest : public testing::Test
{
protected:
    void SetUp() override { host_ = std::make_unique<QWidget>(); }

    VXBtn *button(const QString &style)
    {
        auto *btn = new VXBtn(host_.get());
        btn->resize(80, 24);
        if (!style.isEmpty())
            btn->setStyle(style);
        return btn;
    }

    static void paint(VXBtn &btn, OleColour base)
    {
        btn.setBackColor(base);
        btn.setBackColorHover(base + 1);
        btn.setBackColorDown(base + 2);
        btn.setBackColorDisabled(base + 3);
        btn.setBorderColor(base + 4);
        btn.setBorderColorFocus(base + 5);
        btn.setBorderColorDisabled(base + 6);
        btn.setForeColor(base + 7);
        btn.setForeColorHover(base + 8);
        btn.setBorderStyle(2);
        btn.setClickOffset(1);
        btn.setPadding(3);
        btn.setStretch(false);
        QFont font(QStringLiteral("DejaVu Serif"));
        font.setPointSize(14);
        btn.setFont(font);
    }

    std::unique_ptr<QWidget> host_;
};

TEST_F(StyleTest, LaterControlCopiesTheFirstOnRegistration)
{
    VXBtn *model = button(QStringLiteral("ToolbarButton"));
    paint(*model, 0x100000);
    model->setStyle(QStringLiteral("ToolbarButton")); // registered again, still the first

    VXBtn *later = new VXBtn(host_.get());
    later->setBorderColorDisabled(0x42);
    QFont own = later->Font();
    own.setPointSize(9);
    later->setStretch(true);
    later->setFont(own);
    later->setStretch(true);
    later->setStyle(QStringLiteral("ToolbarButton"));

    EXPECT_EQ(later->BackColor(), 0x100000u);
    EXPECT_EQ(later->BackColorHover(), 0x100001u);
    EXPECT_EQ(later->BorderColorFocus(), 0x100005u);
    EXPECT_EQ(later->ForeColorHover(), 0x100008u);
    EXPECT_EQ(later->BorderStyle(), 2);
    EXPECT_EQ(later->ClickOffset(), 1);
    EXPECT_EQ(later->Padding(), 3);
    EXPECT_FALSE(later->Stretch());
    EXPECT_EQ(later->Font().family(), model->Font().family());
    EXPECT_EQ(later->BorderColorDisabled(), 0x42u) << "not copied at registration";
    EXPECT_NE(later->Font().pointSize(), 14) << "only the font name is copied";
}

TEST_F(StyleTest, StoredStyleRegistersWhenFirstShown)
{
    VXBtn *model = button(QStringLiteral("Shown"));
    paint(*model, 0x200000);
    VXBtn loaded(host_.get());
    PropertyBag bag;
    bag.write(QStringLiteral("Style"), QStringLiteral("Shown"), QString());
    loaded.ReadProperties(bag);
    EXPECT_EQ(loaded.instanceNumber(), 0);
    host_->show();
    EXPECT_NE(loaded.instanceNumber(), 0);
    EXPECT_EQ(loaded.BackColor(), 0x200000u);
}

TEST_F(StyleTest, PublishingRecoloursEveryControlOfTheStyle)
{
    VXBtn *a = button(QStringLiteral("Field"));
    VXBtn *b = button(QStringLiteral("Field"));
    VXBtn *c = button(QStringLiteral("Other"));
    paint(*b, 0x300000);
    b->setUseMyStyle(QString());
    EXPECT_EQ(a->BackColor(), 0x300000u);
    EXPECT_EQ(a->BorderColorDisabled(), 0x300006u) << "publishing includes it";
    EXPECT_EQ(b->BackColor(), 0x300000u);
    EXPECT_NE(c->BackColor(), 0x300000u);
    EXPECT_EQ(b->UseMyStyle(), QStringLiteral("Write to set master style"));

    VXBtn *plain = button(QString());
    paint(*plain, 0x400000);
    plain->setUseMyStyle(QStringLiteral("x")); // no style: nothing
    EXPECT_EQ(a->BackColor(), 0x300000u);
}

TEST_F(StyleTest, NewStyleNameKeepsTheLookAndBecomesItsModel)
{
    VXBtn *a = button(QStringLiteral("Old"));
    paint(*a, 0x500000);
    a->setStyle(QStringLiteral("FreshName"));
    EXPECT_EQ(a->BackColor(), 0x500000u);
    VXBtn *b = button(QStringLiteral("FreshName"));
    EXPECT_EQ(b->BackColor(), 0x500000u);
}

TEST_F(StyleTest, DestroyedControlsLeaveTheRegistry)
{
    const int before = RegisteredButtonCount();
    {
        VXBtn temporary(host_.get());
        temporary.setStyle(QStringLiteral("Gone"));
        EXPECT_EQ(RegisteredButtonCount(), before + 1);
    }
    EXPECT_EQ(RegisteredButtonCount(), before);
    VXBtn *after = button(QStringLiteral("Gone"));
    EXPECT_EQ(after->BackColor(), VXBtn::WindowBackground) << "no model left behind";
}

} // namespace
} // namespace app::controls
