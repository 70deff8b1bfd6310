#include "app/controls/fieldeditor.h"

#include <QPalette>
#include <QPoint>
#include <QRect>
#include <QTimer>
#include <QWidget>

#include "app/controls/editbox.h"
#include "app/controls/entryhint.h"
#include "app/controls/listpopup.h"

namespace app::controls {

FieldEditor::FieldEditor(QWidget &field) : QObject(&field), field_(field)
{
    textBox_ = new EditBox(&field);
    textBox_->hide();
    connect(textBox_, &EditBox::commitRequested, this, &FieldEditor::commitRequested);
    connect(textBox_, &EditBox::cancelRequested, this, &FieldEditor::cancelRequested);
    connect(textBox_, &EditBox::focusLeft, this, [this] {
        if (editing_ && !opening_)
            emit textFocusLeft();
    });

    list_ = new ListPopup(&field);
    list_->hide();
    connect(list_, &ListPopup::chosen, this, [this](int row) {
        listOpen_ = false;
        emit chosen(row);
    });
    connect(list_, &ListPopup::dismissed, this, [this] {
        listOpen_ = false;
        emit dismissed();
    });
}

bool FieldEditor::ownsFocus(const QWidget *widget) const
{
    return widget && (widget == textBox_ || widget == list_);
}

void FieldEditor::openText(const Look &look, Qt::Alignment alignment, const QString &text,
                           const QRect &where)
{
    opening_ = true;
    QPalette palette = textBox_->palette();
    palette.setColor(QPalette::Base, look.fill);
    palette.setColor(QPalette::Window, look.fill);
    palette.setColor(QPalette::Text, look.text);
    palette.setColor(QPalette::Highlight, look.text);
    palette.setColor(QPalette::HighlightedText, look.fill);
    textBox_->setPalette(palette);
    textBox_->setAutoFillBackground(true);
    textBox_->setFont(look.font);
    textBox_->setAlignment(alignment | Qt::AlignVCenter);
    textBox_->setText(text);
    openedWith_ = text;
    textBox_->setGeometry(where);
    editing_ = true;
    field_.setFocusProxy(textBox_);
    textBox_->show();
    textBox_->selectAll();
    textBox_->setFocus(Qt::OtherFocusReason);
    opening_ = false;
}

void FieldEditor::focusText(Qt::FocusReason reason)
{
    textBox_->setFocus(reason);
}

void FieldEditor::returnToTextLater()
{
    refocusPending_ = true;
    QTimer::singleShot(0, this, [this] {
        refocusPending_ = false;
        if (editing_)
            textBox_->setFocus(Qt::OtherFocusReason);
    });
}

void FieldEditor::showRefusal(const QString &reason)
{
    if (!hint_)
        hint_ = new EntryHint(field_);
    hint_->showText(reason);
}

const EntryHint *FieldEditor::refusal() const
{
    return hint_ && hint_->isVisible() ? hint_ : nullptr;
}

void FieldEditor::closeText()
{
    editing_ = false;
    if (hint_)
        hint_->hide();
    const bool hadFocus = textBox_->hasFocus();
    field_.setFocusProxy(nullptr);
    if (hadFocus)
        field_.setFocus(Qt::OtherFocusReason);
    textBox_->hide();
}

void FieldEditor::setTextFont(const QFont &font)
{
    textBox_->setFont(font);
}

void FieldEditor::setTextGeometry(const QRect &where)
{
    textBox_->setGeometry(where);
}

void FieldEditor::setTextAlignment(Qt::Alignment alignment)
{
    textBox_->setAlignment(alignment | Qt::AlignVCenter);
}

void FieldEditor::openList(const QPoint &topLeft, int width, const QStringList &entries,
                           int current, const ListLook &look, const QString &caption,
                           bool handPointer)
{
    openedWith_ = caption;
    listOpen_ = true;
    list_->open(topLeft, width, entries, current, look);
    if (handPointer)
        list_->setCursor(Qt::PointingHandCursor);
}

} // namespace app::controls
