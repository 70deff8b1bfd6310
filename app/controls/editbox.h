#ifndef APP_CONTROLS_EDITBOX_H
#define APP_CONTROLS_EDITBOX_H

#include <functional>

#include <QLineEdit>

namespace app::controls {

// The in-place text editor of an entry field. Every character that reaches the text, typed
// or pasted, passes the owner's filter first; Enter and Escape are handed to the owner.
class EditBox : public QLineEdit
{
    Q_OBJECT

public:
    // Returns the character code to insert for a key code, or 0 to drop it.
    using Filter = std::function<int(QLineEdit &box, int keyAscii)>;

    explicit EditBox(QWidget *parent = nullptr);

    void setFilter(Filter filter) { filter_ = std::move(filter); }

    // Puts text in at the caret as if typed, character by character through the filter.
    void typeText(const QString &text);

signals:
    void commitRequested();
    void cancelRequested();
    void focusLeft();

protected:
    void keyPressEvent(QKeyEvent *event) override;
    void mouseReleaseEvent(QMouseEvent *event) override;
    void inputMethodEvent(QInputMethodEvent *event) override;
    void focusOutEvent(QFocusEvent *event) override;

private:
    Filter filter_;
};

} // namespace app::controls

#endif
