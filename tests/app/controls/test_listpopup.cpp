#include "app/controls/listpopup.h"

#include <memory>

#include <QApplication>
#include <QImage>
#include <QScrollBar>
#include <QWidget>

#include <gtest/gtest.h>

namespace app::controls {
namespace {

class ListPopupTest : public testing::Test
{
protected:
    void SetUp() override
    {
        owner_ = std::make_unique<QWidget>();
        owner_->resize(300, 100);
        owner_->show();
        popup_ = new ListPopup(owner_.get());
        look_.font = QApplication::font();
        look_.background = QColor(0xD9, 0xE3, 0xEC);
        look_.text = QColor(0x14, 0x18, 0x1C);
        look_.accent = QColor(0x4F, 0xC3, 0xF7);
    }

    static QStringList entries(int count)
    {
        QStringList list;
        for (int i = 0; i < count; ++i)
            list << QStringLiteral("tons metric (T) %1").arg(i);
        return list;
    }

    std::unique_ptr<QWidget> owner_;
    ListPopup *popup_ = nullptr;
    ListLook look_;
};

TEST_F(ListPopupTest, ShowsWholeRowsWhateverTheCountAndScrollPosition)
{
    for (const int count : {1, 3, 11, 12, 13, 40}) {
        popup_->open(owner_->mapToGlobal(QPoint(0, 0)), 200, entries(count), 0, look_);
        const int row = popup_->rowHeight();
        const int rows = std::min(count, ListPopup::MaxVisibleRows);
        EXPECT_EQ(popup_->viewport()->height(), rows * row) << count << " entries";
        EXPECT_EQ(popup_->visualItemRect(popup_->item(rows - 1)).bottom(),
                  popup_->viewport()->height() - 1)
            << count << " entries: the last row shown is whole and nothing is left below it";
        EXPECT_EQ(popup_->verticalScrollBar()->isVisible(), count > ListPopup::MaxVisibleRows);
        popup_->scrollToBottom();
        EXPECT_EQ(popup_->visualItemRect(popup_->item(count - 1)).bottom(),
                  popup_->viewport()->height() - 1)
            << count << " entries, scrolled to the end";
        popup_->hide();
    }
}

TEST_F(ListPopupTest, DrawsInTheFieldsLookWithTheCurrentEntryOnTheAccent)
{
    popup_->open(owner_->mapToGlobal(QPoint(0, 0)), 200, entries(4), 2, look_);
    ASSERT_TRUE(popup_->isVisible());
    for (int i = 0; i < popup_->count(); ++i)
        EXPECT_TRUE(popup_->item(i)->textAlignment() & Qt::AlignHCenter) << i;
    const QImage image = popup_->viewport()->grab().toImage();
    const auto leftOf = [this](int row) {
        const QRect r = popup_->visualItemRect(popup_->item(row));
        return QPoint(r.left() + 2, r.center().y());
    };
    // The style may shade the highlight a little; it stays the accent to the eye.
    const QColor current = image.pixelColor(leftOf(2));
    EXPECT_NEAR(current.red(), look_.accent.red(), 16);
    EXPECT_NEAR(current.green(), look_.accent.green(), 16);
    EXPECT_NEAR(current.blue(), look_.accent.blue(), 16);
    EXPECT_EQ(image.pixelColor(leftOf(0)), look_.background);
}

} // namespace
} // namespace app::controls
