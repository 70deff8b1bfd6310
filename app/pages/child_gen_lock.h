#ifndef APP_PAGES_CHILD_GEN_LOCK_H
#define APP_PAGES_CHILD_GEN_LOCK_H

#include <array>
#include <functional>

#include <QString>

#include "app/shell/childformclass.h"

namespace app::controls {
class VXBtn;
}

namespace app::device {
class HXR;
}

namespace app::pages {

// The Lock page: which functions the module hides from an end user (its lock mask PMSK) and
// the passcode (PWD1) that opens this page again. The module applies both once its jumper link
// is removed and it is connected again.
class CHILD_GEN_LOCK : public app::shell::ChildFormClass
{
    Q_OBJECT

public:
    static inline const QString FormName = QStringLiteral("CHILD_GEN_LOCK");
    static inline const QString PageText = QStringLiteral(
        "If you choose to hide any of the available functions then you will need the passcode "
        "to access this page again. Be sure to remember the passcode.");

    explicit CHILD_GEN_LOCK(QWidget *parent = nullptr);

    QString HelpText() const override;
    void TimedRefresh() override;
    void Activated() override;
    void DeActivated() override;
    int PageType() const override { return 0; }

    // The reminder of the passcode shown when a lock is first set.
    void ShowLockMessage();

    app::controls::VXBtn *iCAL() const { return iCal_; }
    app::controls::VXBtn *iSYSZERO() const { return iSysZero_; }
    app::controls::VXBtn *iDisplayUnits() const { return iDisplayUnits_; }
    app::controls::VXBtn *iSHUNTCAL() const { return iShuntCal_; }
    app::controls::VXBtn *PASSWORD() const { return password_; }
    // The labels, in the order of the fields above, then the page text.
    app::controls::VXBtn *Label(int index) const { return labels_.at(index); }

protected:
    void resizeEvent(QResizeEvent *event) override;

private:
    void lockChanged(app::controls::VXBtn *field,
                     const std::function<void(app::device::HXR &)> &keepDependencies);
    void passwordChanged();
    void layOut();

    app::controls::VXBtn *iCal_ = nullptr;
    app::controls::VXBtn *iSysZero_ = nullptr;
    app::controls::VXBtn *iDisplayUnits_ = nullptr;
    app::controls::VXBtn *iShuntCal_ = nullptr;
    app::controls::VXBtn *password_ = nullptr;
    std::array<app::controls::VXBtn *, 6> labels_{};
};

} // namespace app::pages

#endif
