#ifndef PLATFORM_WIN_MESSAGEBOX_MESSAGEBOXPRESENTER_H
#define PLATFORM_WIN_MESSAGEBOX_MESSAGEBOXPRESENTER_H

#include <QObject>
#include <QString>

namespace platform::win::messagebox {

// Shows the messages of windowless code (platform::win::showPlainMessage) in a modal box with
// an OK button. While it exists it is the registered presenter.
class MessageBoxPresenter : public QObject
{
    Q_OBJECT

public:
    MessageBoxPresenter();
    ~MessageBoxPresenter() override;

    // Without widgets, or on the offscreen platform where nobody could click the box away, the
    // text goes to stderr.
    Q_INVOKABLE void present(const QString &text, const QString &caption);
};

} // namespace platform::win::messagebox

#endif
