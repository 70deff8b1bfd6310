#include "app/pages/child_gen_info.h"

#include <algorithm>
#include <array>
#include <cstdint>
#include <utility>

#include "app/common/desktop/messages.h"
#include "app/common/desktop/settingswarning.h"
#include "app/common/desktop/waitcursor.h"
#include "app/common/formatting.h"
#include "app/common/globals.h"
#include "app/common/inifilemodule.h"
#include "app/controls/binding/fieldbinding.h"
#include "app/controls/pagestyle/pagestyle.h"
#include "app/controls/textframe.h"
#include "app/controls/vxbtn.h"
#include "app/device/conversionmodule.h"
#include "app/device/drv_hxr.h"
#include "app/device/hxr.h"
#include "app/pages/changeguard.h"
#include "app/pages/streamscaling.h"
#include "app/shell/brandingmodule.h"
#include "app/shell/connection.h"
#include "app/shell/devicecontrol.h"
#include "app/shell/formtooltips.h"
#include "app/shell/handlertrap.h"
#include "platform/vb/convert.h"

namespace app::pages {

namespace style = app::controls::pagestyle;

namespace {

using app::controls::VXBtn;

constexpr int16_t LockDisplayUnits = 8;
constexpr uint8_t UnitsMvV = 0;
constexpr uint8_t NoUnits = 255;

const QString CrLf = QStringLiteral("\r\n");

// A unit ID as the module stores it; a value that is no byte counts as no units.
uint8_t unitId(double value)
{
    return platform::vb::TryCByte(value).value_or(NoUnits);
}

} // namespace

CHILD_GEN_INFO::CHILD_GEN_INFO(QWidget *parent) : ChildFormClass(FormName, parent)
{
    using app::controls::binding::SetupEditField;

    lcd1_ = style::makeLabel(this, QString(), style::PageStyle::Lcd);
    lcdUnits_ = style::makeLabel(this, QString(), style::PageStyle::LcdUnits);

    const QStringList labels = {QStringLiteral("Select display format"),
                                QStringLiteral("Module Serial Number"), QStringLiteral("Units"),
                                QStringLiteral("Firmware Version"),
                                QStringLiteral("Last Calibrated Date")};
    for (size_t i = 0; i < bodyText_.size(); ++i)
        bodyText_[i] =
            style::makeLabel(this, labels.at(static_cast<int>(i)), style::PageStyle::Body);

    btnFormat_ = style::makeField(this);
    SetupEditField(*btnFormat_,
                   {.List = FormatList,
                    .ToolTip = QStringLiteral("Select a format for the above displayed value. "
                                              "This format is a software only feature and does "
                                              "not make changes to the module settings")});
    connect(btnFormat_, &VXBtn::Changed, this, [this] { btnFormatChanged(); });

    // Read-only values: bound for loading, never edited.
    pbFirmware_ = style::makeLabel(this, QString(), style::PageStyle::Field);
    SetupEditField(*pbFirmware_,
                   {.Source = QStringLiteral("VERSION"),
                    .Format = QStringLiteral("00.00"),
                    .ToolTip = QStringLiteral("Shows the version of the module firmware")});
    pbSerialNumber_ = style::makeLabel(this, QString(), style::PageStyle::Field);
    SetupEditField(*pbSerialNumber_,
                   {.Source = QStringLiteral("SerialNumber"),
                    .Format = QStringLiteral("0000000000"),
                    .ToolTip = QStringLiteral("Shows the serial number of the module")});
    pbCalDate_ = style::makeLabel(this, QString(), style::PageStyle::Field);
    pbCalDate_->SetToolTip(QStringLiteral("Last Toolkit Calibration Date**Holds the last date "
                                          "that calibration was changed from the Toolkit."));
    for (VXBtn *display : {pbFirmware_, pbSerialNumber_, pbCalDate_})
        display->setEditable(0);

    dunits_ = style::makeField(this);
    SetupEditField(*dunits_,
                   {.Source = QStringLiteral("UNTD"),
                    .UseListIndex = true,
                    .ToolTip = QStringLiteral("Select the required engineering units used to "
                                              "display the output value. The choices available "
                                              "are dependent on the engineering units the module "
                                              "eas calibrated in.")});
    connect(dunits_, &VXBtn::Changed, this, [this] { dunitsChanged(); });

    shuntCalState_ = style::makeButton(this, QString());
    shuntCalState_->setTOGGLE(true);
    shuntCalState_->setCaptionOff(QStringLiteral("Shunt Calibration Off"));
    shuntCalState_->setCaptionOn(QStringLiteral("Shunt Calibration On"));
    shuntCalState_->SetToolTip(QStringLiteral("Shunt Calibration**Switches the module's shunt "
                                              "calibration resistor on and off."));
    connect(shuntCalState_, &VXBtn::Click, this, [this] { shuntCalChanged(); });

    errorMessage_ = new app::controls::TextFrame(this);
    errorMessage_->setBackColor(0xFFC0FF);
    const auto &branding = app::shell::CurrentBranding();
    const uint32_t back = branding.colour(app::shell::BrandColour::LiftoutBack);
    const uint32_t fore = branding.colour(app::shell::BrandColour::LiftoutFore);
    if (back != fore) { // a branding that was never loaded leaves both 0
        errorMessage_->setBackColor(back);
        errorMessage_->setForeColor(fore);
    }
    errorMessage_->setToolTip(
        QStringLiteral("Displays any reasons why the displayed value may be incorrect"));
    errorMessage_->hide();
    app::shell::LoadFormTooltips(*this);

    layOut();
}

QString CHILD_GEN_INFO::HelpText() const
{
    return QStringLiteral("Here you can view information about the module.*This shows the "
                          "reading and any errors relating to the input.**The format button "
                          "allows you to format the value displayed and does not affect the "
                          "module.");
}

void CHILD_GEN_INFO::Activated()
{
    const app::common::desktop::WaitCursor busy;
    try {
        app::device::HXR *hxr = app::device::HXRObject();
        if (!hxr)
            return;
        hxr->CommandMode();
        app::shell::ShowRecordBlanker(false);
        errorMessage_->hide();
        app::shell::SetPageRefreshInterval(RefreshIntervalMs);

        const uint8_t units = unitId(hxr->UNTE());
        const bool locked = (app::shell::CurrentConnection().LockMask & LockDisplayUnits) != 0;
        const bool choosable = units != UnitsMvV && units != NoUnits && !locked &&
                               !app::device::GetUnitCategory(units).isEmpty();
        dunits_->setVisible(choosable);
        bodyText_[2]->setVisible(choosable);
        lcdUnits_->setVisible(units != NoUnits);
        layOut(); // the rows below close up over a hidden units row
        rebuildUnitList(units);
        shuntCalState_->setState(hxr->SCALON() != 0);

        TimedRefresh();
    } catch (...) {
        // A failing step leaves the activation; the next refresh tries again.
        app::shell::LogSkippedHandler(objectName(), "Activated");
    }
}

void CHILD_GEN_INFO::rebuildUnitList(double calibrationUnits)
{
    QString descriptions;
    QString ids;
    const QString category = app::device::GetUnitCategory(calibrationUnits);
    if (!category.isEmpty())
        app::device::FillUnitList(descriptions, ids, category);
    dunits_->ListClear();
    app::controls::binding::SetupEditField(*dunits_, {.Source = QStringLiteral("UNTD"),
                                                      .Allowed = ids,
                                                      .List = descriptions,
                                                      .UseListIndex = true});
    // The field's balloon was made at loading: the new text goes to it.
    app::shell::SetFormTooltip(*dunits_,
                               QStringLiteral("Select the required display engineering units"));
}

void CHILD_GEN_INFO::TimedRefresh()
{
    try {
        app::device::HXR *hxr = app::device::HXRObject();
        if (!hxr)
            return;
        app::controls::binding::LoadButtonValue(*pbFirmware_);
        app::controls::binding::LoadButtonValue(*pbSerialNumber_);
        if (!dunits_->isListOpen())
            app::controls::binding::LoadButtonValue(*dunits_);
        if (!btnFormat_->isListOpen())
            btnFormat_->setCaption(app::common::DisplayFormat());
        pbCalDate_->setCaption(hxr->GetCalDate());

        const QString symbol = app::device::GetUnitSymbol(hxr->UNTD());
        lcdUnits_->setCaption(symbol);
        app::shell::CurrentConnection().DisplayUnitsText = symbol;

        lcd1_->setCaption(app::common::FormatDisplayValue(hxr->OVAL()));

        QString reasons;
        if (hxr->IntError())
            reasons += IntegrityText + CrLf + CrLf;
        if (!reasons.isEmpty()) {
            reasons.chop(4);
            errorMessage_->setCaption(reasons);
            errorMessage_->show();
        } else {
            errorMessage_->hide();
        }
    } catch (...) {
        // The next tick tries again.
        app::shell::LogSkippedHandler(objectName(), "TimedRefresh");
    }
}

void CHILD_GEN_INFO::btnFormatChanged()
{
    try {
        const QString format = btnFormat_->Caption();
        app::common::setDisplayFormat(format);
        const QString serial = app::shell::CurrentConnection().SerialText;
        // The format stays in use for this run; the user hears once that it will not last.
        const QString what = QStringLiteral("The display format");
        const QString section = QStringLiteral("Format");
        if (!serial.isEmpty())
            app::common::desktop::WriteIniSetting(section, serial, format, what);
        app::common::desktop::WriteIniSetting(section, QStringLiteral("Recent"), format, what);
    } catch (...) {
        app::shell::LogSkippedHandler(objectName(), "btnFormatChanged");
    }
}

void CHILD_GEN_INFO::dunitsChanged()
{
    const app::common::desktop::WaitCursor busy;
    try {
        app::device::HXR *hxr = app::device::HXRObject();
        if (!hxr)
            return;
        if (!ChangeAllowed(*hxr)) {
            app::controls::binding::LoadButtonValue(*dunits_); // back to the units in force
            return;
        }
        app::controls::binding::StoreButtonValue(*dunits_);
        const double factor =
            app::device::ConvertUnitFactor(unitId(hxr->UNTE()), unitId(hxr->UNTD()));
        hxr->DGAI(static_cast<float>(factor));
        hxr->DOFS(0.0f);
        ReloadStreamScaling(*hxr);
    } catch (...) {
        app::shell::LogSkippedHandler(objectName(), "dunitsChanged");
    }
}

void CHILD_GEN_INFO::shuntCalChanged()
{
    const app::common::desktop::WaitCursor busy;
    try {
        app::device::HXR *hxr = app::device::HXRObject();
        if (!hxr)
            return;
        if (!ChangeAllowed(*hxr)) {
            shuntCalState_->setState(!shuntCalState_->State());
            return;
        }
        if (shuntCalState_->State())
            hxr->SCON();
        else
            hxr->SCOF();
    } catch (...) {
        app::shell::LogSkippedHandler(objectName(), "shuntCalChanged");
    }
}

void CHILD_GEN_INFO::resizeEvent(QResizeEvent *event)
{
    ChildFormClass::resizeEvent(event);
    layOut();
}

void CHILD_GEN_INFO::layOut()
{
    const int margin = 28;
    const int w = std::max(width(), 560);
    const int inner = w - 2 * margin;

    // The live value across the top, its unit symbol beside it.
    const int unitsWidth = 130;
    lcd1_->setGeometry(margin, margin, inner - unitsWidth - 16, 88);
    lcdUnits_->setGeometry(margin + inner - unitsWidth, margin + 6, unitsWidth, 76);

    const int labelWidth = 190;
    const int fieldLeft = margin + labelWidth + 16;
    const int fieldWidth = std::min(320, inner - labelWidth - 16);
    const int rowHeight = 28;
    int y = margin + 88 + 28;
    // Rows in the order the page shows them: format, units, serial, firmware, date.
    const std::array<std::pair<int, VXBtn *>, 5> rows = {
        {{0, btnFormat_}, {2, dunits_}, {1, pbSerialNumber_}, {3, pbFirmware_}, {4, pbCalDate_}}};
    for (const auto &[label, field] : rows) {
        if (field->isHidden())
            continue;
        bodyText_[static_cast<size_t>(label)]->setGeometry(margin, y, labelWidth, rowHeight);
        field->setGeometry(fieldLeft, y, fieldWidth, rowHeight);
        y += rowHeight + 10;
    }
    shuntCalState_->setGeometry(fieldLeft, y + 4, fieldWidth, 32);
    y += 32 + 28;
    errorMessage_->setGeometry(margin, y, inner, errorMessage_->height());
}

} // namespace app::pages
