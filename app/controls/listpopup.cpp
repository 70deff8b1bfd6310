#include "app/controls/listpopup.h"

#include <algorithm>

#include <QKeyEvent>
#include <QScreen>

namespace app::controls {

ListPopup::ListPopup(QWidget *owner) : QListWidget(owner)
{
    setWindowFlags(Qt::Popup | Qt::FramelessWindowHint);
    setFrameShape(QFrame::Box);
    setLineWidth(1);
    setUniformItemSizes(true);
    setSelectionMode(QAbstractItemView::SingleSelection);
    setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    setVerticalScrollMode(QAbstractItemView::ScrollPerItem);
    setSpacing(0);
    setMouseTracking(true);
    connect(this, &QListWidget::itemClicked, this,
            [this](QListWidgetItem *item) { choose(row(item)); });
    connect(this, &QListWidget::itemEntered, this,
            [this](QListWidgetItem *item) { setCurrentItem(item); });
}

int ListPopup::rowHeight() const
{
    return fontMetrics().height() + 4;
}

void ListPopup::open(const QPoint &topLeft, int width, const QStringList &entries, int current,
                     const ListLook &look)
{
    clear();
    setFont(look.font);
    // Every row the same given height, so that the list shows whole rows and no empty band.
    const int row = rowHeight();
    for (const QString &entry : entries) {
        auto *item = new QListWidgetItem(entry, this);
        item->setTextAlignment(look.alignment | Qt::AlignVCenter);
        item->setSizeHint(QSize(0, row));
    }
    QPalette palette = this->palette();
    for (QPalette::ColorGroup group : {QPalette::Active, QPalette::Inactive}) {
        palette.setColor(group, QPalette::Base, look.background);
        palette.setColor(group, QPalette::Window, look.background);
        palette.setColor(group, QPalette::Text, look.text);
        palette.setColor(group, QPalette::WindowText, look.text);
        palette.setColor(group, QPalette::Highlight, look.accent);
        palette.setColor(group, QPalette::HighlightedText, look.text);
    }
    setPalette(palette);
    if (current >= 0 && current < count())
        setCurrentRow(current);
    else
        setCurrentRow(-1);

    const int rows = std::clamp(static_cast<int>(count()), 1, MaxVisibleRows);
    setVerticalScrollBarPolicy(count() > MaxVisibleRows ? Qt::ScrollBarAlwaysOn
                                                        : Qt::ScrollBarAlwaysOff);
    resize(std::max(width, 20), rows * row + 2 * frameWidth());
    move(topLeft);
    choiceMade_ = false;
    show();
    if (currentItem())
        scrollToItem(currentItem());
    setFocus(Qt::PopupFocusReason);
}

void ListPopup::choose(int row)
{
    if (row < 0 || row >= count() || !isVisible())
        return;
    choiceMade_ = true;
    hide();
    emit chosen(row);
}

void ListPopup::keyPressEvent(QKeyEvent *event)
{
    switch (event->key()) {
    case Qt::Key_Return:
    case Qt::Key_Enter:
        event->accept();
        if (currentRow() >= 0)
            choose(currentRow());
        else
            hide();
        return;
    case Qt::Key_Escape:
        event->accept();
        hide();
        return;
    default:
        QListWidget::keyPressEvent(event);
    }
}

void ListPopup::hideEvent(QHideEvent *event)
{
    QListWidget::hideEvent(event);
    if (!choiceMade_)
        emit dismissed();
    choiceMade_ = false;
}

} // namespace app::controls
