#include "app/controls/listpopup.h"

#include <algorithm>

#include <QKeyEvent>
#include <QScreen>

namespace app::controls {

namespace {
constexpr int MaxVisibleRows = 12;
}

ListPopup::ListPopup(QWidget *owner) : QListWidget(owner)
{
    setWindowFlags(Qt::Popup | Qt::FramelessWindowHint);
    setFrameShape(QFrame::Box);
    setLineWidth(1);
    setUniformItemSizes(true);
    setSelectionMode(QAbstractItemView::SingleSelection);
    setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    setMouseTracking(true);
    connect(this, &QListWidget::itemClicked, this,
            [this](QListWidgetItem *item) { choose(row(item)); });
    connect(this, &QListWidget::itemEntered, this,
            [this](QListWidgetItem *item) { setCurrentItem(item); });
}

void ListPopup::open(const QPoint &topLeft, int width, const QStringList &entries, int current,
                     const QFont &font, const QColor &background, const QColor &text)
{
    clear();
    addItems(entries);
    setFont(font);
    QPalette palette = this->palette();
    palette.setColor(QPalette::Base, background);
    palette.setColor(QPalette::Window, background);
    palette.setColor(QPalette::Text, text);
    palette.setColor(QPalette::Highlight, text);
    palette.setColor(QPalette::HighlightedText, background);
    setPalette(palette);
    if (current >= 0 && current < count())
        setCurrentRow(current);
    else
        setCurrentRow(-1);

    const int rowHeight = std::max(sizeHintForRow(0), fontMetrics().height() + 2);
    const int rows = std::clamp(static_cast<int>(count()), 1, MaxVisibleRows);
    setVerticalScrollBarPolicy(count() > MaxVisibleRows ? Qt::ScrollBarAsNeeded
                                                        : Qt::ScrollBarAlwaysOff);
    resize(std::max(width, 20), rows * rowHeight + 2 * frameWidth());
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
