// The control as an entry field: its text editor, its drop-down list and the value they hold.

#include "app/controls/vxbtn.h"

#include <algorithm>

#include <QLineEdit>
#include <QPointer>

#include "app/controls/editbox.h"
#include "app/controls/entryhint.h"
#include "app/controls/fieldeditor.h"
#include "app/controls/fieldrules.h"
#include "app/controls/listpopup.h"
#include "platform/vb/val.h"

namespace app::controls {

int VXBtn::ValidateNumeric(QLineEdit &TextBox, int KeyAscii) const
{
    KeyContext at;
    at.text = TextBox.text();
    if (TextBox.hasSelectedText()) {
        at.selectionStart = TextBox.selectionStart();
        at.selectionLength = static_cast<int>(TextBox.selectedText().size());
    }
    at.caret = TextBox.cursorPosition();
    return FilterFieldKey({Allowed_, MaxLength_, UpperCase_, decimalSeparator()}, at, KeyAscii);
}

bool VXBtn::isEditing() const
{
    return editors_->editing();
}

bool VXBtn::isListOpen() const
{
    return editors_->listOpen();
}

QLineEdit *VXBtn::textEditor() const
{
    return editors_->textBox();
}

ListPopup *VXBtn::listPopup() const
{
    return editors_->list();
}

QString VXBtn::refusalShown() const
{
    const EntryHint *hint = editors_->refusal();
    return hint ? hint->text() : QString();
}

void VXBtn::DoEdit()
{
    const FieldEditor::Look look{editorFont(), colour(fill_), colour(fore_)};
    if (Editable_ == 1) {
        if (editors_->editing()) {
            editors_->focusText(Qt::OtherFocusReason);
            return;
        }
        editors_->openText(look, textAlignment(Alignment_), Caption_, captionRect());
        update();
    } else if (Editable_ == 2) {
        if (editors_->listOpen())
            return;
        editors_->setOpening(true);
        QPointer<VXBtn> self(this);
        emit BeforeDropdown();
        if (!self)
            return;
        fillingList_ = true;
        const qsizetype match = list_.entries().indexOf(displayText_);
        if (match >= 0)
            listPosition_ = static_cast<int>(match);
        fillingList_ = false;
        // The field's own colours, not the pressed look it has while the list opens.
        ListLook list;
        list.font = editorFont();
        list.background = colour(BackColor_);
        list.text = colour(ForeColor_);
        list.accent = colour(BorderColorFocus_);
        list.alignment = textAlignment(Alignment_);
        editors_->openList(mapToGlobal(QPoint(Padding_ + 1, height())),
                           std::max(20, static_cast<int>(captionSize_.width()) - 2),
                           list_.entries(), listPosition_, list, Caption_, ShowHandPointer_);
        editors_->setOpening(false);
    }
}

QFont VXBtn::editorFont() const
{
    QFont font = font_;
    font.setUnderline(false);
    return font;
}

void VXBtn::EndEdit()
{
    commitEdit();
}

void VXBtn::commitEdit()
{
    if (!editors_->editing())
        return;
    const QString text = editors_->textBox()->text();
    const QString refusal = EntryRefusal(text, IsNumeric_, Min_, Max_, separators());
    if (!refusal.isEmpty()) {
        beep();
        editors_->showRefusal(refusal);
        editors_->returnToTextLater();
        return;
    }

    const bool changed = text != editors_->openedWith();
    editors_->closeText();
    if (changed) {
        Caption_ = formatCaption(text);
        updateAccessKey();
    }
    DrawMe();
    QPointer<VXBtn> self(this);
    if (changed)
        emit Changed();
    if (self && !hasFocus())
        focusLossHandling();
}

void VXBtn::cancelEdit()
{
    if (!editors_->editing())
        return;
    editors_->textBox()->setText(Caption_);
    editors_->closeText();
    DrawMe();
}

void VXBtn::listChosen(int row)
{
    if (fillingList_)
        return;
    if (!list_.holds(row))
        return;
    const QString &entry = list_.entries().at(row);
    const bool changed = entry != Caption_ || row != listPosition_;
    Caption_ = entry;
    listPosition_ = row;
    updateAccessKey();
    DrawMe();
    if (changed)
        emit Changed();
}

void VXBtn::listDismissed()
{
    DrawMe();
}

void VXBtn::setList(const QString &value)
{
    List_ = value;
    fillList();
}

void VXBtn::fillList()
{
    list_.fill(List_, Allowed_);
}

void VXBtn::ListClear()
{
    list_.clear();
    List_.clear();
    setCaption(QString());
}

void VXBtn::ListAddItem(const QString &Item)
{
    list_.append(Item, !Allowed_.isEmpty());
    if (!List_.isEmpty())
        List_ += QLatin1Char('|');
    List_ += Item;
}

int16_t VXBtn::ListIndex() const
{
    if (!Allowed_.isEmpty())
        return static_cast<int16_t>(list_.numberAt(listPosition_));
    return static_cast<int16_t>(listPosition_);
}

void VXBtn::setListIndex(int16_t value)
{
    if (!Allowed_.isEmpty()) {
        const int position = list_.positionOf(value);
        if (position >= 0)
            listPosition_ = position;
    } else if (value == -1 || list_.holds(value)) {
        listPosition_ = value;
    }
    if (list_.holds(listPosition_))
        setCaption(list_.entries().at(listPosition_));
}

double VXBtn::Value() const
{
    if (UseListIndex_)
        return ListIndex();
    QString text = Caption_;
    text.replace(decimalSeparator(), QLatin1Char('.'));
    return platform::vb::Val(text);
}

} // namespace app::controls
