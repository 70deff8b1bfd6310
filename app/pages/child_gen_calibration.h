#ifndef APP_PAGES_CHILD_GEN_CALIBRATION_H
#define APP_PAGES_CHILD_GEN_CALIBRATION_H

#include <array>

#include <QString>

#include "app/shell/childformclass.h"

namespace app::controls {
class VXBtn;
class VXTab;
} // namespace app::controls

namespace app::device {
class HXR;
}

namespace app::pages {

// The Calibration page: a system zero, a two-point calibration with known applied loads, one
// from certificate mV/V values, the choice of calibration units and the reset to the factory
// (mV/V) state. Each writes the module's output chain and then reloads the stream scaling.
class CHILD_GEN_CALIBRATION : public app::shell::ChildFormClass
{
    Q_OBJECT

public:
    static inline const QString FormName = QStringLiteral("CHILD_GEN_CALIBRATION");
    enum Tab { SystemZeroTab, AutomaticTab, TableTab, UnitsTab };
    // The settle time between removing the system zero and reading the input.
    static constexpr int SettleMs = 4000;

    explicit CHILD_GEN_CALIBRATION(QWidget *parent = nullptr);

    QString HelpText() const override;
    void TimedRefresh() override;
    void Activated() override;
    void DeActivated() override;
    int PageType() const override { return 0; }

    // The handlers of the page's buttons and fields.
    void acquire(int point); // 1 or 2
    void calibrateFromTable();
    void zeroNow();
    void systemZeroEntered();
    void unitsChosen();
    void resetToDefaults();

    app::controls::VXTab *XTab2() const { return tabs_; }
    app::controls::VXBtn *CALV() const { return calv_; }
    app::controls::VXBtn *PBMVV() const { return pbMvv_; }
    app::controls::VXBtn *pbSYSZERO() const { return pbSysZero_; }
    app::controls::VXBtn *ZERONOW() const { return zeroNow_; }
    app::controls::VXBtn *pbCALPOINT(int i) const { return pbCalPoint_.at(i - 1); }
    app::controls::VXBtn *ACQUIRE(int i) const { return acquire_.at(i - 1); }
    app::controls::VXBtn *pbCALMVVc(int i) const { return pbCalMvv_.at(i - 1); }
    app::controls::VXBtn *pbCALVALUE(int i) const { return pbCalValue_.at(i - 1); }
    app::controls::VXBtn *DoCalNow() const { return doCalNow_; }
    app::controls::VXBtn *BackDefaults() const { return backDefaults_; }
    app::controls::VXBtn *EUNITS() const { return eunits_; }
    app::controls::VXBtn *Zunits() const { return zUnits_; }
    app::controls::VXBtn *XUnitsC() const { return xUnitsC_; }
    // The calibration units' symbol beside each load of the automatic and the table tab.
    app::controls::VXBtn *pointUnits(int i) const { return pointUnits_.at(i - 1); }
    app::controls::VXBtn *loadUnits(int i) const { return loadUnits_.at(i - 1); }

protected:
    void resizeEvent(QResizeEvent *event) override;

private:
    void buildSystemZeroTab();
    void buildAutomaticTab();
    void buildTableTab();
    void buildUnitsTab();
    void applyBrandingColours();
    // The loads are taken in the calibration units: their symbol goes beside every load.
    void showCalibrationUnits(const QString &symbol);
    // The last steps of each calibration: resets the display stage, reloads the stream
    // scaling and reports, "with errors" when the latch was set by any write before.
    void finishCalibration(app::device::HXR &hxr);
    void layOut();

    app::controls::VXTab *tabs_ = nullptr;
    app::controls::VXBtn *calv_ = nullptr;
    app::controls::VXBtn *xUnitsC_ = nullptr;
    app::controls::VXBtn *pbMvv_ = nullptr;
    app::controls::VXBtn *calvLabel_ = nullptr;
    app::controls::VXBtn *mvvLabel_ = nullptr;
    app::controls::VXBtn *pbSysZero_ = nullptr;
    app::controls::VXBtn *zUnits_ = nullptr;
    app::controls::VXBtn *zeroNow_ = nullptr;
    std::array<app::controls::VXBtn *, 2> pbCalPoint_{};
    std::array<app::controls::VXBtn *, 2> acquire_{};
    std::array<app::controls::VXBtn *, 2> pbCalMvv_{};
    std::array<app::controls::VXBtn *, 2> pbCalValue_{};
    std::array<app::controls::VXBtn *, 2> pointUnits_{};
    std::array<app::controls::VXBtn *, 2> loadUnits_{};
    app::controls::VXBtn *doCalNow_ = nullptr;
    app::controls::VXBtn *backDefaults_ = nullptr;
    app::controls::VXBtn *eunits_ = nullptr;
    std::array<app::controls::VXBtn *, 5> tabTexts_{};
    // Column heads: the automatic tab's loads, the table's mV/V values and loads.
    std::array<app::controls::VXBtn *, 3> columnHeads_{};

    // What the first press of an automatic calibration found, for the second.
    float pointMvv1_ = 0.0f;
    float pointMvv2_ = 0.0f;
    float pointLoad1_ = 0.0f;
    float pointLoad2_ = 0.0f;
};

} // namespace app::pages

#endif
