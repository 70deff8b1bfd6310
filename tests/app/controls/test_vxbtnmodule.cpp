#include <memory>

#include <QWidget>

#include <gmock/gmock.h>

#include "platform/win/propertybag.h"
#include "app/controls/vxbtn.h"
#include "app/controls/vxbtnmodule.h"

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

struct SetupCase
{
    const char *name;
    const char *source, *allowed, *list;
    int maxLength;
    double min, max;
    int editable;
};

void PrintTo(const SetupCase &c, std::ostream *os)
{
    *os << c.name;
}

class SetupEditFieldTest : public testing::TestWithParam<SetupCase>
{};

TEST_P(SetupEditFieldTest, Editable)
{
    const SetupCase &c = GetParam();
    VXBtn btn;
    btn.setEditable(0);
    SetupEditField(btn, QString::fromLatin1(c.source), QStringLiteral("0.00"), true,
                   QString::fromLatin1(c.allowed), static_cast<int16_t>(c.maxLength), c.min, c.max,
                   QString::fromLatin1(c.list), false, true, QStringLiteral("Title**Body"));
    EXPECT_EQ(btn.Editable(), c.editable);
    EXPECT_EQ(btn.toolTip(), QStringLiteral("Title**Body"));
    EXPECT_TRUE(btn.DeferSave());
}

INSTANTIATE_TEST_SUITE_P(Cases, SetupEditFieldTest,
                         testing::Values(SetupCase{"TooltipOnly", "", "", "", 0, 0, 0, 0},
                                         SetupCase{"AllowedOnly", "", "0123456789", "", 0, 0, 0, 1},
                                         SetupCase{"SourceOnly", "DGAI", "", "", 0, 0, 0, 1},
                                         SetupCase{"MaxLengthOnly", "", "", "", 4, 0, 0, 1},
                                         SetupCase{"RangeOnly", "", "", "", 0, 0, 10, 1},
                                         SetupCase{"List", "UNTD", "1|2", "a|b", 0, 0, 0, 2}),
                         [](const testing::TestParamInfo<SetupCase> &info) {
                             return std::string(info.param.name);
                         });

TEST(SetupEditFieldNumbering, ListEntriesTakeNumbersFromAllowed)
{
    VXBtn btn;
    SetupEditField(btn, QStringLiteral("UNTD"), QString(), false, QStringLiteral("3|7"), 0, 0, 0,
                   QStringLiteral("kg|N"), true, false, QString());
    btn.setListIndex(7);
    EXPECT_EQ(btn.Caption(), QStringLiteral("N"));
}

} // namespace
} // namespace app::controls
