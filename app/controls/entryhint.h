#ifndef APP_CONTROLS_ENTRYHINT_H
#define APP_CONTROLS_ENTRYHINT_H

#include <QLabel>

class QTimer;

namespace app::controls {

// A small note just below an entry field, up for a few seconds: why the field refused what was
// typed. The refusal's beep is silent on many desktops, so the note is what the user sees. It
// takes no focus and no input, and goes when its time is up or when the field hides it.
class EntryHint : public QLabel
{
    Q_OBJECT

public:
    static constexpr int ShowMs = 4000;

    explicit EntryHint(QWidget &field);

    // Shows the text under the field (over it when the screen ends below), for ShowMs.
    void showText(const QString &text);

private:
    void placeBelowField();

    QWidget &field_;
    QTimer *timer_ = nullptr;
};

} // namespace app::controls

#endif
