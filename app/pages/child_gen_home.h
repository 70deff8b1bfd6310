#ifndef APP_PAGES_CHILD_GEN_HOME_H
#define APP_PAGES_CHILD_GEN_HOME_H

#include <QString>

#include "app/shell/childformclass.h"

class QLabel;

namespace app::controls {
class VXBtn;
}

namespace app::pages {

// The Home page: detects the one module attached, connects it and switches the button bar to
// the module's page set. Its first activation after start-up detects by itself.
class CHILD_GEN_HOME : public app::shell::ChildFormClass
{
    Q_OBJECT

public:
    static inline const QString FormName = QStringLiteral("CHILD_GEN_HOME");

    explicit CHILD_GEN_HOME(QWidget *parent = nullptr);

    QString HelpText() const override;
    void TimedRefresh() override {}
    void Activated() override;
    void DeActivated() override {}
    int PageType() const override { return 0; }

    // The detect and connect sequence (the click of "Detect"). True when a module was connected.
    bool Detect();
    // The update check (the click of "Check For Update"): the program closes when the utility
    // has an installer ready.
    void CheckForUpdates();

    app::controls::VXBtn *HyperlinkDetect() const { return hyperlinkDetect_; }
    app::controls::VXBtn *btnCheckUpdates() const { return btnCheckUpdates_; }

protected:
    void resizeEvent(QResizeEvent *event) override;

private:
    void layOut();

    app::controls::VXBtn *title_ = nullptr;
    app::controls::VXBtn *instructions_ = nullptr;
    app::controls::VXBtn *moduleList_ = nullptr;
    app::controls::VXBtn *unplugNote_ = nullptr;
    app::controls::VXBtn *hyperlinkDetect_ = nullptr;
    app::controls::VXBtn *manualConnect_ = nullptr;
    app::controls::VXBtn *btnCheckUpdates_ = nullptr;
};

} // namespace app::pages

#endif
