#include "app/controls/editbox.h"

#include <QApplication>
#include <QClipboard>
#include <QFocusEvent>
#include <QInputMethodEvent>
#include <QKeyEvent>
#include <QKeySequence>
#include <QMouseEvent>

namespace app::controls {

EditBox::EditBox(QWidget *parent) : QLineEdit(parent)
{
    setFrame(false);
    setContextMenuPolicy(Qt::NoContextMenu); // its paste would pass round the filter
    setAcceptDrops(false);
    setDragEnabled(false);
}

void EditBox::typeText(const QString &text)
{
    for (const QChar c : text) {
        if (c == QLatin1Char('\r') || c == QLatin1Char('\n'))
            continue;
        const int code = filter_ ? filter_(*this, c.unicode()) : c.unicode();
        if (code != 0)
            insert(QString(QChar(static_cast<char16_t>(code))));
    }
}

void EditBox::keyPressEvent(QKeyEvent *event)
{
    switch (event->key()) {
    case Qt::Key_Return:
    case Qt::Key_Enter:
        event->accept();
        emit commitRequested();
        return;
    case Qt::Key_Escape:
        event->accept();
        emit cancelRequested();
        return;
    default:
        break;
    }
    if (event->matches(QKeySequence::Paste)) {
        event->accept();
        typeText(QApplication::clipboard()->text());
        return;
    }
    const QString text = event->text();
    const bool printable = !text.isEmpty() && text.at(0).isPrint() &&
                           !(event->modifiers() & (Qt::ControlModifier | Qt::MetaModifier));
    if (printable) {
        event->accept();
        typeText(text);
        return;
    }
    QLineEdit::keyPressEvent(event);
}

void EditBox::mouseReleaseEvent(QMouseEvent *event)
{
    // The middle button pastes the desktop's selection where it has one: through the filter
    // too, at the place clicked.
    if (event->button() == Qt::MiddleButton) {
        event->accept();
        QClipboard *clipboard = QApplication::clipboard();
        if (clipboard->supportsSelection()) {
            deselect();
            setCursorPosition(cursorPositionAt(event->position().toPoint()));
            typeText(clipboard->text(QClipboard::Selection));
        }
        return;
    }
    QLineEdit::mouseReleaseEvent(event);
}

void EditBox::inputMethodEvent(QInputMethodEvent *event)
{
    // Text an input method commits is typed through the filter; its composing text is shown as
    // the input method draws it.
    const QString committed = event->commitString();
    if (committed.isEmpty()) {
        QLineEdit::inputMethodEvent(event);
        return;
    }
    QInputMethodEvent composing(event->preeditString(), event->attributes());
    QLineEdit::inputMethodEvent(&composing);
    typeText(committed);
    event->accept();
}

void EditBox::focusOutEvent(QFocusEvent *event)
{
    QLineEdit::focusOutEvent(event);
    // A popup (such as a menu) taking the focus for a moment is not leaving the editor.
    if (event->reason() != Qt::PopupFocusReason)
        emit focusLeft();
}

} // namespace app::controls
