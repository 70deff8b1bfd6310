#include "app/controls/vxtab.h"

#include <algorithm>

#include <QApplication>
#include <QMouseEvent>
#include <QPainter>
#include <QTabBar>

#include "app/controls/focuschain.h"

namespace app::controls {

// The strip itself: QTabBar keeps the tabs, their enabled states and the keyboard and mouse
// handling; the painting follows the owner's colours.
class VXTabBar final : public QTabBar
{
public:
    VXTabBar(VXTab *owner) : QTabBar(owner), owner_(owner)
    {
        setDrawBase(false);
        setExpanding(false);
        setMouseTracking(true);
        setAttribute(Qt::WA_Hover);
    }

protected:
    void paintEvent(QPaintEvent *) override
    {
        QPainter painter(this);
        painter.fillRect(rect(), owner_->back_);
        const int hovered = underMouse() ? tabAt(mapFromGlobal(QCursor::pos())) : -1;
        for (int i = 0; i < count(); ++i) {
            const QRect r = tabRect(i).adjusted(0, 2, -2, 0);
            const bool current = i == currentIndex();
            QColor back = owner_->tabBack_;
            if (current)
                back = owner_->activeTabBack_;
            else if (i == hovered && isTabEnabled(i))
                back = owner_->hoverTabBack_;
            painter.fillRect(r, back);
            painter.setPen(owner_->border_);
            painter.drawRect(r.adjusted(0, 0, -1, 0));
            if (current)
                painter.fillRect(QRect(r.left(), r.top(), r.width(), 3), owner_->highlight_);
            QColor fore = current ? owner_->activeTabFore_ : owner_->tabFore_;
            if (!isTabEnabled(i))
                fore.setAlpha(110);
            painter.setPen(fore);
            painter.drawText(r, Qt::AlignCenter, tabText(i));
        }
    }

    void mouseMoveEvent(QMouseEvent *event) override
    {
        QTabBar::mouseMoveEvent(event);
        update();
    }

    void leaveEvent(QEvent *event) override
    {
        QTabBar::leaveEvent(event);
        update();
    }

private:
    VXTab *owner_;
};

VXTab::VXTab(QWidget *parent) : QWidget(parent), bar_(new VXTabBar(this))
{
    connect(bar_, &QTabBar::currentChanged, this, [this](int index) {
        showCurrentFrame();
        emit currentChanged(index);
    });
}

int VXTab::addTab(const QString &caption)
{
    const int index = bar_->addTab(caption);
    auto *page = new QWidget(this);
    page->setAutoFillBackground(true);
    frames_.push_back(page);
    recolour();
    layOutFrames();
    showCurrentFrame();
    return index;
}

QString VXTab::tabCaption(int index) const
{
    return bar_->tabText(index);
}

QWidget *VXTab::frame(int index) const
{
    if (index < 0 || index >= tabCount())
        return nullptr;
    return frames_[static_cast<size_t>(index)];
}

bool VXTab::isTabEnabled(int index) const
{
    return bar_->isTabEnabled(index);
}

void VXTab::setTabEnabled(int index, bool enabled)
{
    bar_->setTabEnabled(index, enabled);
    bar_->update();
}

int VXTab::currentTab() const
{
    return bar_->currentIndex();
}

void VXTab::setCurrentTab(int index)
{
    bar_->setCurrentIndex(index);
    showCurrentFrame();
}

int VXTab::stripHeight() const
{
    return bar_->sizeHint().height() + 4;
}

QRect VXTab::tabRect(int index) const
{
    return bar_->tabRect(index).translated(bar_->pos());
}

void VXTab::showCurrentFrame()
{
    const int current = bar_->currentIndex();
    QWidget *shown = frame(current);
    // The new frame shows first and takes the focus from the frame that goes: a focused
    // control that hides would hand the focus to whatever comes next in the window.
    const bool focusLeaves = focusInHiddenFrame(current);
    if (shown)
        shown->setVisible(true);
    if (focusLeaves)
        focusFirstControlOf(shown);
    for (int i = 0; i < tabCount(); ++i)
        if (i != current)
            frames_[static_cast<size_t>(i)]->setVisible(false);
}

bool VXTab::focusInHiddenFrame(int current) const
{
    const QWidget *focus = QApplication::focusWidget();
    for (int i = 0; i < tabCount(); ++i)
        if (i != current && frames_[static_cast<size_t>(i)]->isAncestorOf(focus))
            return true;
    return false;
}

void VXTab::focusFirstControlOf(QWidget *shown)
{
    if (QWidget *first = FirstControl(shown, false)) {
        first->setFocus(Qt::OtherFocusReason);
        return;
    }
    // A frame without a control to take it: the strip keeps the focus in the tabs.
    bar_->setFocus(Qt::OtherFocusReason);
}

void VXTab::resizeEvent(QResizeEvent *event)
{
    QWidget::resizeEvent(event);
    layOutFrames();
}

void VXTab::layOutFrames()
{
    const int strip = stripHeight();
    bar_->setGeometry(0, 0, width(), strip);
    for (QWidget *page : frames_)
        page->setGeometry(1, strip, std::max(0, width() - 2), std::max(0, height() - strip - 1));
}

void VXTab::paintEvent(QPaintEvent *)
{
    QPainter painter(this);
    painter.fillRect(rect(), back_);
    const QRect page(0, stripHeight() - 1, width() - 1, height() - stripHeight());
    painter.fillRect(page, pageBack_);
    painter.setPen(border_);
    painter.drawRect(page);
}

void VXTab::recolour()
{
    for (QWidget *page : frames_) {
        QPalette palette = page->palette();
        palette.setColor(QPalette::Window, pageBack_);
        page->setPalette(palette);
    }
    bar_->update();
    update();
}

void VXTab::setBackColor(const QColor &colour)
{
    back_ = colour;
    recolour();
}

void VXTab::setTabBackColor(const QColor &colour)
{
    tabBack_ = colour;
    recolour();
}

void VXTab::setPageBackColor(const QColor &colour)
{
    pageBack_ = colour;
    recolour();
}

void VXTab::setTabForeColor(const QColor &colour)
{
    tabFore_ = colour;
    recolour();
}

void VXTab::setActiveTabBackColor(const QColor &colour)
{
    activeTabBack_ = colour;
    recolour();
}

void VXTab::setHoverTabBackColor(const QColor &colour)
{
    hoverTabBack_ = colour;
    recolour();
}

void VXTab::setBorderColor(const QColor &colour)
{
    border_ = colour;
    recolour();
}

void VXTab::setActiveTabForeColor(const QColor &colour)
{
    activeTabFore_ = colour;
    recolour();
}

void VXTab::setHighlightColor(const QColor &colour)
{
    highlight_ = colour;
    recolour();
}

} // namespace app::controls
