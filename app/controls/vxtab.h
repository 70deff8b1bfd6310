#ifndef APP_CONTROLS_VXTAB_H
#define APP_CONTROLS_VXTAB_H

#include <vector>

#include <QColor>
#include <QString>
#include <QWidget>

class QTabBar;

namespace app::controls {

// A tab strip over one frame per tab: only the current tab's frame shows. A disabled tab cannot
// be chosen by the user, but the owner may still make it current (its frame then shows). The
// nine colours are properties by name, as the branding sets them, and the strip paints with
// them.
class VXTab : public QWidget
{
    Q_OBJECT
    Q_PROPERTY(QColor BackColor READ BackColor WRITE setBackColor)
    Q_PROPERTY(QColor TabBackColor READ TabBackColor WRITE setTabBackColor)
    Q_PROPERTY(QColor PageBackColor READ PageBackColor WRITE setPageBackColor)
    Q_PROPERTY(QColor TabForeColor READ TabForeColor WRITE setTabForeColor)
    Q_PROPERTY(QColor ActiveTabBackColor READ ActiveTabBackColor WRITE setActiveTabBackColor)
    Q_PROPERTY(QColor HoverTabBackColor READ HoverTabBackColor WRITE setHoverTabBackColor)
    Q_PROPERTY(QColor BorderColor READ BorderColor WRITE setBorderColor)
    Q_PROPERTY(QColor ActiveTabForeColor READ ActiveTabForeColor WRITE setActiveTabForeColor)
    Q_PROPERTY(QColor HighlightColor READ HighlightColor WRITE setHighlightColor)

public:
    explicit VXTab(QWidget *parent = nullptr);

    // Adds a tab with its frame; returns the tab's index (from 0).
    int addTab(const QString &caption);
    int tabCount() const { return static_cast<int>(frames_.size()); }
    QString tabCaption(int index) const;
    // The frame that holds the tab's controls; nullptr for an index out of range.
    QWidget *frame(int index) const;

    bool isTabEnabled(int index) const;
    void setTabEnabled(int index, bool enabled);
    int currentTab() const;
    void setCurrentTab(int index);

    // The strip's height in pixels; the frames fill the rest.
    int stripHeight() const;
    // Where the tab's caption is drawn, in the control's coordinates (for clicks in tests).
    QRect tabRect(int index) const;

    QColor BackColor() const { return back_; }
    void setBackColor(const QColor &colour);
    QColor TabBackColor() const { return tabBack_; }
    void setTabBackColor(const QColor &colour);
    QColor PageBackColor() const { return pageBack_; }
    void setPageBackColor(const QColor &colour);
    QColor TabForeColor() const { return tabFore_; }
    void setTabForeColor(const QColor &colour);
    QColor ActiveTabBackColor() const { return activeTabBack_; }
    void setActiveTabBackColor(const QColor &colour);
    QColor HoverTabBackColor() const { return hoverTabBack_; }
    void setHoverTabBackColor(const QColor &colour);
    QColor BorderColor() const { return border_; }
    void setBorderColor(const QColor &colour);
    QColor ActiveTabForeColor() const { return activeTabFore_; }
    void setActiveTabForeColor(const QColor &colour);
    QColor HighlightColor() const { return highlight_; }
    void setHighlightColor(const QColor &colour);

signals:
    // The current tab changed, by the user or by the owner.
    void currentChanged(int index);

protected:
    void paintEvent(QPaintEvent *event) override;
    void resizeEvent(QResizeEvent *event) override;

private:
    friend class VXTabBar;
    void showCurrentFrame();
    // Whether the focus is in a frame other than the current tab's.
    bool focusInHiddenFrame(int current) const;
    void focusFirstControlOf(QWidget *shown);
    void layOutFrames();
    void recolour();

    QTabBar *bar_ = nullptr;
    std::vector<QWidget *> frames_;

    QColor back_{0xF0, 0xF0, 0xF0};
    QColor tabBack_{0xE0, 0xE0, 0xE0};
    QColor pageBack_{0xF0, 0xF0, 0xF0};
    QColor tabFore_{Qt::black};
    QColor activeTabBack_{Qt::white};
    QColor hoverTabBack_{0xE8, 0xE8, 0xF8};
    QColor border_{0xA0, 0xA0, 0xA0};
    QColor activeTabFore_{Qt::black};
    QColor highlight_{0x33, 0x66, 0xCC};
};

} // namespace app::controls

#endif
