#ifndef APP_SHELL_PANEL_H
#define APP_SHELL_PANEL_H

#include <cstdint>

#include <QWidget>

namespace app::shell {

// A framing panel of the main window: a filled rectangle with rounded corners (an ellipse of
// `corner` pixels), drawn smooth over whatever lies behind it. A round panel is a disc (the
// recording and activity lamps).
class Panel : public QWidget
{
    Q_OBJECT

public:
    explicit Panel(QWidget *parent = nullptr, int corner = 0);

    uint32_t BackColor() const { return backColour_; }
    void setBackColor(uint32_t oleColour);
    void setBorderColor(uint32_t oleColour);
    void setCorner(int corner);
    void setRound(bool round);

protected:
    void paintEvent(QPaintEvent *event) override;

private:
    uint32_t backColour_ = 0x202020;
    uint32_t borderColour_ = 0;
    bool border_ = false;
    int corner_ = 0;
    bool round_ = false;
};

} // namespace app::shell

#endif
