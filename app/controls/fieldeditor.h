#ifndef APP_CONTROLS_FIELDEDITOR_H
#define APP_CONTROLS_FIELDEDITOR_H

#include <QColor>
#include <QFont>
#include <QObject>
#include <QString>
#include <QStringList>
#include <Qt>

class QPoint;
class QRect;
class QWidget;

namespace app::controls {

class EditBox;
class EntryHint;
class ListPopup;
struct ListLook;

// The in-place editors of an entry field: the text editor over its caption and the drop-down
// list under it. It owns both (children of the field's widget) and knows which one is open; the
// field decides what an edit means.
class FieldEditor : public QObject
{
    Q_OBJECT

public:
    // How an open editor looks.
    struct Look
    {
        QFont font;
        QColor fill;
        QColor text;
    };

    explicit FieldEditor(QWidget &field);

    EditBox *textBox() const { return textBox_; }
    ListPopup *list() const { return list_; }
    bool editing() const { return editing_; }
    bool listOpen() const { return listOpen_; }
    // While an editor opens, the focus changes it brings are not losses of focus.
    bool opening() const { return opening_; }
    void setOpening(bool opening) { opening_ = opening; }
    // A refused commit is on its way back into the text editor.
    bool refocusPending() const { return refocusPending_; }
    // The caption the open editor started from.
    const QString &openedWith() const { return openedWith_; }
    // Whether the focus in `widget` is still the field's own.
    bool ownsFocus(const QWidget *widget) const;

    // The text editor over `where`, showing `text` all selected, with the focus.
    void openText(const Look &look, Qt::Alignment alignment, const QString &text,
                  const QRect &where);
    void focusText(Qt::FocusReason reason);
    // Back into the text editor once the focus change that led to a refused commit is over.
    void returnToTextLater();
    // Why the open text was refused, shown by the field for a moment.
    void showRefusal(const QString &reason);
    // The refusal note while it shows, else nullptr.
    const EntryHint *refusal() const;
    // Hides the text editor (and any refusal note); the focus stays on the field when it was in
    // the editor.
    void closeText();
    void setTextFont(const QFont &font);
    void setTextGeometry(const QRect &where);
    void setTextAlignment(Qt::Alignment alignment);

    // The list with its top-left corner at `topLeft` (global), `current` highlighted.
    void openList(const QPoint &topLeft, int width, const QStringList &entries, int current,
                  const ListLook &look, const QString &caption, bool handPointer);

signals:
    void commitRequested();
    void cancelRequested();
    void textFocusLeft();
    void chosen(int row);
    void dismissed();

private:
    QWidget &field_;
    EditBox *textBox_ = nullptr;
    ListPopup *list_ = nullptr;
    EntryHint *hint_ = nullptr; // made on the first refusal
    bool editing_ = false;
    bool listOpen_ = false;
    bool opening_ = false;
    bool refocusPending_ = false;
    QString openedWith_;
};

} // namespace app::controls

#endif
