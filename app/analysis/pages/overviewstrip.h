#ifndef APP_ANALYSIS_PAGES_OVERVIEWSTRIP_H
#define APP_ANALYSIS_PAGES_OVERVIEWSTRIP_H

#include <QImage>
#include <QWidget>

namespace app::analysis::pages {

// A picture box in pixels: shows the picture it is given and reports the mouse (x in pixels)
// and wheel notches (positive away from the user) to its owner.
class OverviewStrip : public QWidget
{
    Q_OBJECT

public:
    explicit OverviewStrip(QWidget *parent = nullptr);

    const QImage &picture() const { return picture_; }
    void setPicture(const QImage &picture);

signals:
    void MouseDown(int x);
    void MouseMove(int x, bool buttonDown);
    void MouseUp(int x);
    void Wheel(int notches);

protected:
    void paintEvent(QPaintEvent *event) override;
    void mousePressEvent(QMouseEvent *event) override;
    void mouseMoveEvent(QMouseEvent *event) override;
    void mouseReleaseEvent(QMouseEvent *event) override;
    void wheelEvent(QWheelEvent *event) override;

private:
    QImage picture_;
    int wheelRest_ = 0; // eighths of a degree short of a whole notch
};

} // namespace app::analysis::pages

#endif
