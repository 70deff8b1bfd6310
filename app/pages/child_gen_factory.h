#ifndef APP_PAGES_CHILD_GEN_FACTORY_H
#define APP_PAGES_CHILD_GEN_FACTORY_H

#include <array>

#include <QString>

#include "app/shell/childformclass.h"

namespace app::controls {
class VXBtn;
}

namespace app::pages {

// The Factory page, in factory mode only: the module's serial and model numbers, and the
// factory calibration that maps its A/D counts to mV/V (FMVG, FMVO), after which the user's
// calibration stages start afresh.
class CHILD_GEN_FACTORY : public app::shell::ChildFormClass
{
    Q_OBJECT

public:
    static inline const QString FormName = QStringLiteral("CHILD_GEN_FACTORY");
    static constexpr int RefreshIntervalMs = 333;
    static constexpr int SettleMs = 4000;
    static constexpr double LargestSerial = 4294967295.0;

    explicit CHILD_GEN_FACTORY(QWidget *parent = nullptr);

    QString HelpText() const override;
    void TimedRefresh() override;
    void Activated() override;
    void DeActivated() override {}
    int PageType() const override { return 0; }

    // A press of ACQUIRE(point), point 1 or 2.
    void acquire(int point);

    app::controls::VXBtn *SERIALNUMBER() const { return serialNumber_; }
    app::controls::VXBtn *MODEL() const { return model_; }
    app::controls::VXBtn *pbADC() const { return pbAdc_; }
    app::controls::VXBtn *PBMVV() const { return pbMvv_; }
    app::controls::VXBtn *CALV() const { return calv_; }
    app::controls::VXBtn *pbCALPOINT(int i) const { return pbCalPoint_.at(i - 1); }
    app::controls::VXBtn *ACQUIRE(int i) const { return acquire_.at(i - 1); }

protected:
    void resizeEvent(QResizeEvent *event) override;

private:
    void storeField(app::controls::VXBtn *field);
    void layOut();

    app::controls::VXBtn *serialNumber_ = nullptr;
    app::controls::VXBtn *model_ = nullptr;
    app::controls::VXBtn *pbAdc_ = nullptr;
    app::controls::VXBtn *pbMvv_ = nullptr;
    app::controls::VXBtn *calv_ = nullptr;
    std::array<app::controls::VXBtn *, 2> pbCalPoint_{};
    std::array<app::controls::VXBtn *, 2> acquire_{};
    // Labels: serial, its note, model, ADC, mV/V, calibrated value, the calibration points.
    std::array<app::controls::VXBtn *, 7> labels_{};

    // The A/D counts the first press found, for the second.
    float counts1_ = 0.0f;
    float counts2_ = 0.0f;
};

} // namespace app::pages

#endif
