#include "tooltips/mtipapi.h"

#include <memory>

#include <QComboBox>
#include <QLineEdit>
#include <QWidget>

#include <gtest/gtest.h>

namespace tooltips {
namespace {

TEST(MTipAPITest, TranslateColor)
{
    struct Case
    {
        uint32_t colour;
        int32_t rgb;
    };
    for (const Case &c : {Case{0x00123456u, 0x123456}, Case{0x02123456u, 0x123456},
                          Case{0x80000018u, 0xE1FFFF}, Case{0x80000008u, 0x000000},
                          Case{0x800000FFu, -1}, Case{0x01123456u, -1}, Case{0x40123456u, -1}})
        EXPECT_EQ(TranslateColor(c.colour), c.rgb) << std::hex << c.colour;
}

TEST(MTipAPITest, HandlesAreStableAndNeverReused)
{
    auto first = std::make_unique<QWidget>();
    const int32_t handle = WindowHandle(first.get());
    EXPECT_NE(handle, 0);
    EXPECT_EQ(WindowHandle(first.get()), handle);
    EXPECT_EQ(WindowFromHandle(handle), first.get());

    first.reset();
    EXPECT_EQ(WindowFromHandle(handle), nullptr);
    auto second = std::make_unique<QWidget>(); // may sit at the same address
    EXPECT_NE(WindowHandle(second.get()), handle);
    EXPECT_EQ(WindowHandle(nullptr), 0);
    EXPECT_EQ(WindowFromHandle(0), nullptr);
}

TEST(MTipAPITest, ComboBoxes)
{
    QComboBox editable;
    editable.setEditable(true);
    QComboBox list;
    QWidget plain;
    const int32_t combo = WindowHandle(&editable);
    EXPECT_TRUE(IsComboBox(combo));
    EXPECT_EQ(GetComboEditHwnd(combo), WindowHandle(editable.lineEdit()));
    EXPECT_TRUE(IsComboBox(WindowHandle(&list)));
    EXPECT_EQ(GetComboEditHwnd(WindowHandle(&list)), WindowHandle(&list));
    EXPECT_FALSE(IsComboBox(WindowHandle(&plain)));
}

} // namespace
} // namespace tooltips
