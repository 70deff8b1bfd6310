#include "app/pages/child_gen_calibration.h"

#include <algorithm>
#include <cstdint>

#include <QCoreApplication>

#include "app/common/desktop/messages.h"
#include "app/common/desktop/systemhelpers.h"
#include "app/common/globals.h"
#include "app/controls/binding/fieldbinding.h"
#include "app/controls/pagestyle/pagestyle.h"
#include "app/controls/vxbtn.h"
#include "app/controls/vxtab.h"
#include "app/device/conversionmodule.h"
#include "app/device/drv_hxr.h"
#include "app/device/hxr.h"
#include "app/pages/calibrationreport.h"
#include "app/pages/changeguard.h"
#include "app/pages/streamscaling.h"
#include "app/shell/brandingmodule.h"
#include "app/shell/connection.h"
#include "app/shell/devicecontrol.h"
#include "app/shell/formtooltips.h"
#include "app/shell/handlertrap.h"
#include "app/shell/inputhold.h"
#include "platform/vb/cstr.h"
#include "platform/win/gui/qcolour.h"

namespace app::pages {

namespace style = app::controls::pagestyle;

namespace {

using app::controls::VXBtn;
using app::controls::binding::SetupEditField;
using app::device::HXR;

constexpr int16_t LockCal = 1;
constexpr int16_t LockSysZero = 2;

const QString CrLf = QStringLiteral("\r\n");

// The field's number as the user entered it, in single precision.
float entered(const VXBtn *field)
{
    return static_cast<float>(field->Value());
}

// Takes the system zero out of the chain, so that a calibration sees the bare input.
void RemoveSystemZero(HXR &hxr)
{
    hxr.ZERO(0.0f);
    hxr.ZGAI(1.0f);
    hxr.ZOFS(0.0f);
    hxr.UNTZ(hxr.UNTE());
}

VXBtn *makeNumberField(QWidget *parent, const QString &toolTip)
{
    VXBtn *field = style::makeField(parent);
    SetupEditField(*field, {.IsNumeric = true, .MaxLength = 9, .ToolTip = toolTip});
    return field;
}

VXBtn *makePlainButton(QWidget *parent, const QString &caption, const QString &toolTip)
{
    VXBtn *button = style::makeButton(parent, caption);
    button->SetToolTip(toolTip);
    return button;
}

} // namespace

CHILD_GEN_CALIBRATION::CHILD_GEN_CALIBRATION(QWidget *parent) : ChildFormClass(FormName, parent)
{
    // The live values above the tabs.
    calvLabel_ = style::makeLabel(this, QStringLiteral("Calibrated Value"), style::PageStyle::Body);
    calv_ = style::makeLabel(this, QString(), style::PageStyle::Field);
    SetupEditField(*calv_,
                   {.Source = QStringLiteral("OVAL"),
                    .Format = QStringLiteral("*"),
                    .IsNumeric = true,
                    .Allowed = QStringLiteral("112345678990-."),
                    .MaxLength = 9,
                    .ToolTip = QStringLiteral("Calibrated Value**Displays the calibrated value")});
    xUnitsC_ = style::makeLabel(this, QString(), style::PageStyle::Body);
    mvvLabel_ = style::makeLabel(this, QStringLiteral("mV/V"), style::PageStyle::Body);
    pbMvv_ = style::makeLabel(this, QString(), style::PageStyle::Field);
    SetupEditField(*pbMvv_, {.Source = QStringLiteral("MVV"),
                             .Format = QStringLiteral("00.0000"),
                             .IsNumeric = true,
                             .MaxLength = 9,
                             .ToolTip = QStringLiteral("mV/V uncalibrated value")});
    // Shown, never edited.
    calv_->setEditable(0);
    pbMvv_->setEditable(0);

    tabs_ = new app::controls::VXTab(this);
    tabs_->setObjectName(QStringLiteral("XTab2"));
    for (const char *caption :
         {"System Zero", "Automatic Calibration", "Table Calibration", "Engineering Units"})
        tabs_->addTab(QString::fromLatin1(caption));
    buildSystemZeroTab();
    buildAutomaticTab();
    buildTableTab();
    buildUnitsTab();
    applyBrandingColours();
    layOut();
    app::shell::LoadFormTooltips(*this);
}

void CHILD_GEN_CALIBRATION::buildSystemZeroTab()
{
    QWidget *frame = tabs_->frame(SystemZeroTab);
    frame->setObjectName(QStringLiteral("FrameBack1"));
    tabTexts_[2] =
        style::makeLabel(frame,
                         QStringLiteral("System zero is the value removed from the measured "
                                        "value before being displayed. It is always shown "
                                        "in the selected display units."),
                         style::PageStyle::Body);
    pbSysZero_ = makeNumberField(frame, QStringLiteral("System Zero**Displays the system zero "
                                                       "value"));
    connect(pbSysZero_, &VXBtn::Changed, this, [this] { systemZeroEntered(); });
    zUnits_ = style::makeLabel(frame, QString(), style::PageStyle::Body);
    zeroNow_ = style::makeButton(frame, QStringLiteral("Zero Now"));
    SetupEditField(*zeroNow_,
                   {.IsNumeric = true,
                    .ToolTip = QStringLiteral("Click to zero the calibrated output value now")});
    connect(zeroNow_, &VXBtn::Click, this, [this] { zeroNow(); });
}

void CHILD_GEN_CALIBRATION::buildAutomaticTab()
{
    QWidget *frame = tabs_->frame(AutomaticTab);
    frame->setObjectName(QStringLiteral("FrameBack2"));
    tabTexts_[0] =
        style::makeLabel(frame,
                         QStringLiteral("Automatic calibration allows calibration by the "
                                        "application of known inputs"),
                         style::PageStyle::Body);
    columnHeads_[0] =
        style::makeLabel(frame, QStringLiteral("Applied load"), style::PageStyle::Body);
    for (int i = 0; i < 2; ++i) {
        pbCalPoint_[static_cast<size_t>(i)] =
            makeNumberField(frame, QStringLiteral("Enter the required engineering unit value for "
                                                  "this calibrated point"));
        pointUnits_[static_cast<size_t>(i)] =
            style::makeLabel(frame, QString(), style::PageStyle::Body);
        VXBtn *button = style::makeButton(frame, QStringLiteral("Acquire"));
        button->SetToolTip(QStringLiteral("Apply the weight and click this button to 'acquire' "
                                          "the point"));
        connect(button, &VXBtn::Click, this, [this, i] { acquire(i + 1); });
        acquire_[static_cast<size_t>(i)] = button;
    }
    // The two presses come in order: point 1, then point 2.
    acquire_[1]->setEnabled(false);
}

void CHILD_GEN_CALIBRATION::buildTableTab()
{
    QWidget *frame = tabs_->frame(TableTab);
    frame->setObjectName(QStringLiteral("FrameBack3"));
    tabTexts_[1] =
        style::makeLabel(frame,
                         QStringLiteral("Table calibration allows calibration by specifying "
                                        "mV/V output values for known inputs in engineering "
                                        "units"),
                         style::PageStyle::Body);
    columnHeads_[1] = style::makeLabel(frame, QStringLiteral("mV/V"), style::PageStyle::Body);
    columnHeads_[2] = style::makeLabel(frame, QStringLiteral("Load"), style::PageStyle::Body);
    for (size_t i = 0; i < 2; ++i) {
        pbCalMvv_[i] = makeNumberField(frame, QStringLiteral("Enter the mV/V output value for the "
                                                             "known weight at this calibration "
                                                             "point"));
        pbCalValue_[i] = makeNumberField(frame, QStringLiteral("Enter the weight applied to give "
                                                               "the specified mV/V output at "
                                                               "this calibration point"));
        loadUnits_[i] = style::makeLabel(frame, QString(), style::PageStyle::Body);
    }
    doCalNow_ = makePlainButton(frame, QStringLiteral("Calibrate"), {});
    connect(doCalNow_, &VXBtn::Click, this, [this] { calibrateFromTable(); });
}

void CHILD_GEN_CALIBRATION::buildUnitsTab()
{
    QWidget *frame = tabs_->frame(UnitsTab);
    frame->setObjectName(QStringLiteral("FrameBack4"));
    tabTexts_[3] =
        style::makeLabel(frame,
                         QStringLiteral("Choose the engineering units of the current "
                                        "calibration. Changing units will not change the "
                                        "current calibration but just acts as the reference "
                                        "for any future conversions using the display "
                                        "units."),
                         style::PageStyle::Body);
    tabTexts_[4] = style::makeLabel(frame, QStringLiteral("Calibrated engineering units."),
                                    style::PageStyle::Body);
    QString descriptions;
    QString ids;
    app::device::FillUnitList(descriptions, ids);
    eunits_ = style::makeField(frame);
    SetupEditField(*eunits_,
                   {.Source = QStringLiteral("UNTE"),
                    .Allowed = ids,
                    .List = descriptions,
                    .UseListIndex = true,
                    .ToolTip = QStringLiteral("Select the engineering units of this calibration")});
    connect(eunits_, &VXBtn::Changed, this, [this] { unitsChosen(); });
    backDefaults_ = style::makeButton(frame, QStringLiteral("Defaults"));
    SetupEditField(*backDefaults_,
                   {.IsNumeric = true,
                    .ToolTip = QStringLiteral("Reset the calibration to factory defaults (mV/V)")});
    connect(backDefaults_, &VXBtn::Click, this, [this] { resetToDefaults(); });
}

void CHILD_GEN_CALIBRATION::applyBrandingColours()
{
    const app::shell::Branding &branding = app::shell::CurrentBranding();
    using app::shell::BrandColour;
    app::common::desktop::TabColours colours;
    colours.displayBack = branding.colour(BrandColour::DisplayBack);
    colours.text = branding.colour(BrandColour::Text);
    colours.fieldBack = branding.colour(BrandColour::FieldBack);
    colours.helpBack = branding.colour(BrandColour::HelpBack);
    if (colours.displayBack == colours.text)
        return; // a branding that was never loaded: the strip keeps its own colours
    app::common::desktop::ApplyTabColours(tabs_, colours);
    for (int i = 0; i < tabs_->tabCount(); ++i) {
        QWidget *frame = tabs_->frame(i);
        QPalette palette = frame->palette();
        palette.setColor(QPalette::Window, platform::win::gui::toQColor(colours.displayBack));
        frame->setPalette(palette);
    }
}

QString CHILD_GEN_CALIBRATION::HelpText() const
{
    return QStringLiteral(
        "This page allows you to calibrate the module.*Calibration can be achieved by applying "
        "known inputs or by entering values from a manufacturers calibration certificate.**A "
        "system zero can be performed to remove any unwanted input in an installed system. For "
        "example you can remove the weight of a platform in an installed weighing system where a "
        "pre calibrated module is used.**You can also select the actual calibrated engineering "
        "units so a user can switch between different units at a later date.");
}

void CHILD_GEN_CALIBRATION::Activated()
{
    try {
        HXR *hxr = app::device::HXRObject();
        if (!hxr)
            return;
        hxr->CommandMode();
        const int16_t mask = app::shell::CurrentConnection().LockMask;
        const bool calibrationOpen = (mask & LockCal) == 0;
        const bool zeroOpen = (mask & LockSysZero) == 0;
        for (int tab : {AutomaticTab, TableTab, UnitsTab})
            tabs_->setTabEnabled(tab, calibrationOpen);
        tabs_->setCurrentTab(SystemZeroTab);
        tabs_->setTabEnabled(SystemZeroTab, zeroOpen);
        pbSysZero_->setEnabled(zeroOpen);
        zeroNow_->setEnabled(zeroOpen);
        backDefaults_->setEnabled(calibrationOpen);
        app::shell::ShowPageHost();
        // Disabling the current tab moves the strip on; the zero tab is the one to show.
        tabs_->setCurrentTab(SystemZeroTab);
        QCoreApplication::processEvents();
        TimedRefresh();
    } catch (...) {
        app::shell::LogSkippedHandler(objectName(), "Activated");
    }
}

void CHILD_GEN_CALIBRATION::TimedRefresh()
{
    try {
        HXR *hxr = app::device::HXRObject();
        if (!hxr)
            return;
        app::controls::binding::LoadButtonValue(*calv_);
        app::controls::binding::LoadButtonValue(*pbMvv_);
        if (!eunits_->isListOpen())
            app::controls::binding::LoadButtonValue(*eunits_);
        const double displayUnits = hxr->UNTD();
        if (!pbSysZero_->isEditing())
            pbSysZero_->setCaption(platform::vb::CStr(
                app::device::ConvertUnitValue(hxr->ZERO(), hxr->UNTZ(), displayUnits),
                app::common::ProgramSeparators()));
        const QString symbol = app::device::GetUnitSymbol(displayUnits);
        zUnits_->setCaption(symbol);
        xUnitsC_->setCaption(symbol);
        showCalibrationUnits(app::device::GetUnitSymbol(hxr->UNTE()));
    } catch (...) {
        app::shell::LogSkippedHandler(objectName(), "TimedRefresh");
    }
}

void CHILD_GEN_CALIBRATION::showCalibrationUnits(const QString &symbol)
{
    for (const auto *units : {&pointUnits_, &loadUnits_})
        for (VXBtn *label : *units)
            label->setCaption(symbol);
}

void CHILD_GEN_CALIBRATION::DeActivated()
{
    try {
        if (HXR *hxr = app::device::HXRObject())
            hxr->SCOF();
    } catch (...) {
        app::shell::LogSkippedHandler(objectName(), "DeActivated");
    }
}

void CHILD_GEN_CALIBRATION::acquire(int point)
{
    try {
        HXR *hxr = app::device::HXRObject();
        if (!hxr)
            return;
        if (!ChangeAllowed(*hxr))
            return;
        if (pbCalPoint_[0]->Value() >= pbCalPoint_[1]->Value()) {
            ReportPointsNotAscending();
            return;
        }
        RemoveSystemZero(*hxr);
        app::shell::Delay(hxr->clock(), SettleMs);
        const auto mvv = static_cast<float>(hxr->MVV());
        if (hxr->ErrorState() != 0) {
            ReportReadFailure();
            return;
        }
        if (point == 1) {
            pointMvv1_ = mvv;
            acquire_[1]->setEnabled(true);
            acquire_[0]->setEnabled(false);
            return;
        }
        pointMvv2_ = mvv;
        if (pointMvv1_ >= pointMvv2_) {
            ReportInputNotAbove();
            return;
        }
        pointLoad1_ = entered(pbCalPoint_[0]);
        pointLoad2_ = entered(pbCalPoint_[1]);
        const float gain = (pointLoad2_ - pointLoad1_) / (pointMvv2_ - pointMvv1_);
        const float offset = gain * pointMvv1_ - pointLoad1_;
        hxr->EGAI(gain);
        hxr->EOFS(offset);
        hxr->SetCalDate();
        finishCalibration(*hxr);
        acquire_[0]->setEnabled(true);
        acquire_[1]->setEnabled(false);
    } catch (...) {
        app::shell::LogSkippedHandler(objectName(), "acquire");
    }
}

void CHILD_GEN_CALIBRATION::calibrateFromTable()
{
    try {
        HXR *hxr = app::device::HXRObject();
        if (!hxr)
            return;
        if (!ChangeAllowed(*hxr))
            return;
        if (pbCalMvv_[0]->Value() >= pbCalMvv_[1]->Value()) {
            ReportInvalidPoints(QStringLiteral("The mV/V values you have entered for each point "
                                               "are not ascending!") +
                                CrLf + QStringLiteral("Please reenter in ascending order."));
            return;
        }
        const float load1 = entered(pbCalValue_[0]);
        const float load2 = entered(pbCalValue_[1]);
        // Equal loads would give a gain of 0: an output that never moves.
        if (load1 == load2) {
            ReportInvalidPoints(
                QStringLiteral("The loads you have entered for each point are equal!"));
            return;
        }
        hxr->SetCalDate();
        RemoveSystemZero(*hxr);
        const float mvv1 = entered(pbCalMvv_[0]);
        const float gain = (load2 - load1) / (entered(pbCalMvv_[1]) - mvv1);
        const float offset = mvv1 * gain - load1;
        hxr->EGAI(gain);
        hxr->EOFS(offset);
        finishCalibration(*hxr);
    } catch (...) {
        app::shell::LogSkippedHandler(objectName(), "calibrateFromTable");
    }
}

void CHILD_GEN_CALIBRATION::finishCalibration(HXR &hxr)
{
    hxr.UNTD(hxr.UNTE());
    hxr.DGAI(1.0f);
    hxr.DOFS(0.0f);
    const bool failed = hxr.ErrorState() != 0;
    ReloadStreamScaling(hxr);
    ReportCalibration(failed);
}

void CHILD_GEN_CALIBRATION::systemZeroEntered()
{
    try {
        HXR *hxr = app::device::HXRObject();
        if (!hxr)
            return;
        if (!ChangeAllowed(*hxr))
            return;
        hxr->ZERO(0.0f);
        hxr->ZOFS(hxr->DOFS());
        hxr->ZGAI(hxr->DGAI());
        hxr->UNTZ(hxr->UNTD());
        hxr->ZERO(entered(pbSysZero_));
        ReloadStreamScaling(*hxr);
    } catch (...) {
        app::shell::LogSkippedHandler(objectName(), "systemZeroEntered");
    }
}

void CHILD_GEN_CALIBRATION::zeroNow()
{
    try {
        HXR *hxr = app::device::HXRObject();
        if (!hxr)
            return;
        if (!ChangeAllowed(*hxr))
            return;
        // The present output plus the present zero, both in display units.
        const double factor = app::device::ConvertUnitFactor(hxr->UNTZ(), hxr->UNTD());
        const double zero = hxr->OVAL() + hxr->ZERO() * factor;
        hxr->ZERO(static_cast<float>(zero));
        hxr->UNTZ(hxr->UNTD());
        hxr->ZOFS(hxr->DOFS());
        hxr->ZGAI(hxr->DGAI());
        ReloadStreamScaling(*hxr);
        TimedRefresh();
    } catch (...) {
        app::shell::LogSkippedHandler(objectName(), "zeroNow");
    }
}

void CHILD_GEN_CALIBRATION::unitsChosen()
{
    try {
        HXR *hxr = app::device::HXRObject();
        if (!hxr)
            return;
        if (!ChangeAllowed(*hxr))
            return;
        app::controls::binding::StoreButtonValue(*eunits_);
        hxr->DOFS(0.0f);
        hxr->DGAI(1.0f);
        hxr->UNTD(hxr->UNTE());
        ReloadStreamScaling(*hxr);
        TimedRefresh();
    } catch (...) {
        app::shell::LogSkippedHandler(objectName(), "unitsChosen");
    }
}

void CHILD_GEN_CALIBRATION::resetToDefaults()
{
    try {
        HXR *hxr = app::device::HXRObject();
        if (!hxr)
            return;
        if (!ChangeAllowed(*hxr))
            return;
        app::common::desktop::ShowMessage(
            QStringLiteral("Are you sure you want to revert to factory "
                           "calibration state?"),
            QStringLiteral("Reset Calibration To Defaults"), false,
            app::common::desktop::MessageYesNo);
        if (app::common::MessageCancelled())
            return;
        constexpr float MillivoltsPerVolt = 0.0f;
        hxr->UNTD(MillivoltsPerVolt);
        hxr->ZERO(0.0f);
        hxr->ZOFS(0.0f);
        hxr->ZGAI(1.0f);
        hxr->UNTZ(MillivoltsPerVolt);
        hxr->EGAI(1.0f);
        hxr->EOFS(0.0f);
        hxr->UNTE(MillivoltsPerVolt);
        hxr->UNTD(MillivoltsPerVolt);
        hxr->DGAI(1.0f);
        hxr->DOFS(0.0f);
        hxr->SetCalDate();
        ReloadStreamScaling(*hxr);
        TimedRefresh();
    } catch (...) {
        app::shell::LogSkippedHandler(objectName(), "resetToDefaults");
    }
}

void CHILD_GEN_CALIBRATION::resizeEvent(QResizeEvent *event)
{
    ChildFormClass::resizeEvent(event);
    layOut();
}

void CHILD_GEN_CALIBRATION::layOut()
{
    const int margin = 24;
    const int w = std::max(width(), 600);
    const int h = std::max(height(), 420);
    const int inner = w - 2 * margin;
    const int row = 28;

    // The live values: calibrated output with its units, and the bare input.
    calvLabel_->setGeometry(margin, margin, 150, row);
    calv_->setGeometry(margin + 160, margin, 170, row);
    xUnitsC_->setGeometry(margin + 340, margin, 80, row);
    mvvLabel_->setGeometry(margin, margin + row + 8, 150, row);
    pbMvv_->setGeometry(margin + 160, margin + row + 8, 170, row);

    const int tabsTop = margin + 2 * row + 28;
    tabs_->setGeometry(margin, tabsTop, inner, h - tabsTop - margin);
    // The frames take their size from the strip only once it is shown: go by the strip's.
    const int fw = tabs_->width() - 2;
    const int pad = 16;
    const int textWidth = fw - 2 * pad;
    const int textHeight = 52;
    const int fieldTop = pad + textHeight + 12;
    const int fieldWidth = 150;
    const int buttonWidth = 120;

    tabTexts_[2]->setGeometry(pad, pad, textWidth, textHeight);
    pbSysZero_->setGeometry(pad, fieldTop, fieldWidth, row);
    zUnits_->setGeometry(pad + fieldWidth + 8, fieldTop, 70, row);
    zeroNow_->setGeometry(pad + fieldWidth + 90, fieldTop, buttonWidth, row + 4);

    const int headTop = fieldTop - 4;
    const int pointsTop = headTop + row;
    tabTexts_[0]->setGeometry(pad, pad, textWidth, textHeight);
    columnHeads_[0]->setGeometry(pad, headTop, fieldWidth, row);
    for (size_t i = 0; i < 2; ++i) {
        const int y = pointsTop + static_cast<int>(i) * (row + 14);
        pbCalPoint_[i]->setGeometry(pad, y, fieldWidth, row);
        pointUnits_[i]->setGeometry(pad + fieldWidth + 8, y, 70, row);
        acquire_[i]->setGeometry(pad + fieldWidth + 90, y, buttonWidth, row + 4);
    }

    tabTexts_[1]->setGeometry(pad, pad, textWidth, textHeight);
    columnHeads_[1]->setGeometry(pad, headTop, fieldWidth, row);
    const int loadLeft = pad + fieldWidth + 16;
    columnHeads_[2]->setGeometry(loadLeft, headTop, fieldWidth, row);
    for (size_t i = 0; i < 2; ++i) {
        const int y = pointsTop + static_cast<int>(i) * (row + 14);
        pbCalMvv_[i]->setGeometry(pad, y, fieldWidth, row);
        pbCalValue_[i]->setGeometry(loadLeft, y, fieldWidth, row);
        loadUnits_[i]->setGeometry(loadLeft + fieldWidth + 8, y, 70, row);
    }
    doCalNow_->setGeometry(loadLeft + fieldWidth + 90, pointsTop + row + 14, buttonWidth, row + 4);

    tabTexts_[3]->setGeometry(pad, pad, textWidth, textHeight + 20);
    tabTexts_[4]->setGeometry(pad, fieldTop + 20, 240, row);
    eunits_->setGeometry(pad + 250, fieldTop + 20, 260, row);
    backDefaults_->setGeometry(pad, fieldTop + 20 + row + 24, buttonWidth, row + 4);
}

} // namespace app::pages
