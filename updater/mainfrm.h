#ifndef UPDATER_MAINFRM_H
#define UPDATER_MAINFRM_H

#include <cstdint>

#include <QTimer>
#include <QWidget>

class QLabel;

namespace updater {

class NetGrab;

// The utility's small status window: a title, the status text and the download control. Its
// timer runs the install step once, Timer1's interval after it is enabled.
class MainFrm : public QWidget
{
    Q_OBJECT

public:
    explicit MainFrm(QWidget *parent = nullptr);

    QLabel *Label1() const { return label1_; }
    QLabel *InfoLabel() const { return infoLabel_; }
    NetGrab *NetGrab1() const { return netGrab1_; }
    QTimer *Timer1() { return &timer1_; }

    // Enables Timer1; its tick runs the install step, and only once.
    void enableTimer1();

    // The status text for a download's progress: 12,345 bytes show as "... 12kb".
    static QString progressText(int32_t nBytes);

protected:
    void showEvent(QShowEvent *event) override;

private:
    void onTimer1();

    QLabel *label1_ = nullptr;
    QLabel *infoLabel_ = nullptr;
    NetGrab *netGrab1_ = nullptr;
    QTimer timer1_;
    bool installerRan_ = false;
};

} // namespace updater

#endif
