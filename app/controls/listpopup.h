#ifndef APP_CONTROLS_LISTPOPUP_H
#define APP_CONTROLS_LISTPOPUP_H

#include <QColor>
#include <QFont>
#include <QListWidget>
#include <QStringList>

namespace app::controls {

// The drop-down list of a list field: a popup under the field's caption, so the caption stays
// visible. A click or Enter chooses the highlighted entry; Escape or a click elsewhere closes
// it without a choice.
class ListPopup : public QListWidget
{
    Q_OBJECT

public:
    explicit ListPopup(QWidget *owner);

    // Shows the entries with the top-left corner at topLeft (global), width pixels wide,
    // current highlighted (-1: none).
    void open(const QPoint &topLeft, int width, const QStringList &entries, int current,
              const QFont &font, const QColor &background, const QColor &text);

signals:
    void chosen(int row);
    void dismissed();

protected:
    void keyPressEvent(QKeyEvent *event) override;
    void hideEvent(QHideEvent *event) override;

private:
    void choose(int row);

    bool choiceMade_ = false;
};

} // namespace app::controls

#endif
