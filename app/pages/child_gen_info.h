#ifndef APP_PAGES_CHILD_GEN_INFO_H
#define APP_PAGES_CHILD_GEN_INFO_H

#include <array>

#include <QString>

#include "app/shell/childformclass.h"

namespace app::controls {
class TextFrame;
class VXBtn;
} // namespace app::controls

namespace app::pages {

// The Information page: the live reading in the user's display format and units, the
// firmware, serial number and calibration date, the display units, shunt calibration and any
// reason why the reading may be wrong. Refreshed every 333 ms.
class CHILD_GEN_INFO : public app::shell::ChildFormClass
{
    Q_OBJECT

public:
    static inline const QString FormName = QStringLiteral("CHILD_GEN_INFO");
    static constexpr int RefreshIntervalMs = 333;
    // The display formats offered by btnFormat.
    static inline const QString FormatList =
        QStringLiteral("0|0.00000|00.0000|000.000|0000.00|00000.0|0.0|0.00|0.000|0.0000|"
                       "0.00000|0.000000");
    static inline const QString IntegrityText = QStringLiteral(
        "Integrity - There may be a problem with the integrity of the strain gauge input. This "
        "may indicate a short or open circuit.");

    explicit CHILD_GEN_INFO(QWidget *parent = nullptr);

    QString HelpText() const override;
    void TimedRefresh() override;
    void Activated() override;
    void DeActivated() override {}
    int PageType() const override { return 0; }

    // The controls, for the shell's focus handling and for tests.
    app::controls::VXBtn *LCD1() const { return lcd1_; }
    app::controls::VXBtn *LCDUnits() const { return lcdUnits_; }
    app::controls::VXBtn *btnFormat() const { return btnFormat_; }
    app::controls::VXBtn *pbFirmware() const { return pbFirmware_; }
    app::controls::VXBtn *pbSerialNumber() const { return pbSerialNumber_; }
    app::controls::VXBtn *pbCalDate() const { return pbCalDate_; }
    app::controls::VXBtn *DUNITS() const { return dunits_; }
    app::controls::VXBtn *SHUNTCALSTATE() const { return shuntCalState_; }
    app::controls::TextFrame *ErrorMessage() const { return errorMessage_; }
    // 0 "Select display format", 1 "Module Serial Number", 2 "Units", 3 "Firmware Version",
    // 4 "Last Calibrated Date".
    app::controls::VXBtn *BodyText(int index) const { return bodyText_.at(index); }

protected:
    void resizeEvent(QResizeEvent *event) override;

private:
    void btnFormatChanged();
    void dunitsChanged();
    void shuntCalChanged();
    void rebuildUnitList(double calibrationUnits);
    void layOut();

    app::controls::VXBtn *lcd1_ = nullptr;
    app::controls::VXBtn *lcdUnits_ = nullptr;
    app::controls::VXBtn *btnFormat_ = nullptr;
    app::controls::VXBtn *pbFirmware_ = nullptr;
    app::controls::VXBtn *pbSerialNumber_ = nullptr;
    app::controls::VXBtn *pbCalDate_ = nullptr;
    app::controls::VXBtn *dunits_ = nullptr;
    app::controls::VXBtn *shuntCalState_ = nullptr;
    app::controls::TextFrame *errorMessage_ = nullptr;
    std::array<app::controls::VXBtn *, 5> bodyText_{};
};

} // namespace app::pages

#endif
