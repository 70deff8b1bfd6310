#ifndef APP_CONTROLS_LISTPOPUP_H
#define APP_CONTROLS_LISTPOPUP_H

#include <QColor>
#include <QFont>
#include <QListWidget>
#include <QStringList>

namespace app::controls {

// How the list is drawn: in its field's font and colours, its entries aligned as the field's
// caption is, the highlighted entry on the accent colour.
struct ListLook
{
    QFont font;
    QColor background;
    QColor text;
    QColor accent;
    Qt::Alignment alignment = Qt::AlignHCenter;
};

// The drop-down list of a list field: a popup under the field's caption, so the caption stays
// visible. A click or Enter chooses the highlighted entry; Escape or a click elsewhere closes
// it without a choice.
class ListPopup : public QListWidget
{
    Q_OBJECT

public:
    explicit ListPopup(QWidget *owner);

    // Shows the entries with the top-left corner at topLeft (global), width pixels wide,
    // current highlighted (-1: none). The list is a whole number of rows high, at most
    // MaxVisibleRows, and scrolls by whole rows.
    void open(const QPoint &topLeft, int width, const QStringList &entries, int current,
              const ListLook &look);

    static constexpr int MaxVisibleRows = 12;
    // The height of one row in the look's font.
    int rowHeight() const;

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
