#include "app/controls/editbox.h"

#include <QApplication>
#include <QClipboard>
#include <QFocusEvent>
#include <QKeyEvent>
#include <QKeySequence>

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

void EditBox::focusOutEvent(QFocusEvent *event)
{
    QLineEdit::focusOutEvent(event);
    // A popup (such as a menu) taking the focus for a moment is not leaving the editor.
    if (event->reason() != Qt::PopupFocusReason)
        emit focusLeft();
}

} // namespace app::controls
