#include "app/pages/child_gen_factory.h"

#include <algorithm>

#include "app/controls/binding/fieldbinding.h"
#include "app/controls/pagestyle/pagestyle.h"
#include "app/controls/vxbtn.h"
#include "app/device/drv_hxr.h"
#include "app/device/hxr.h"
#include "app/pages/calibrationreport.h"
#include "app/pages/changeguard.h"
#include "app/pages/streamscaling.h"
#include "app/shell/devicecontrol.h"
#include "app/shell/formtooltips.h"
#include "app/shell/handlertrap.h"
#include "app/shell/inputhold.h"

namespace app::pages {

namespace style = app::controls::pagestyle;

namespace {

using app::controls::VXBtn;
using app::controls::binding::SetupEditField;
using app::device::HXR;

// A value the page shows and the user does not edit.
VXBtn *makeDisplay(QWidget *parent, const QString &source, const QString &format,
                   const QString &allowed, const QString &toolTip)
{
    VXBtn *display = style::makeLabel(parent, QString(), style::PageStyle::Field);
    SetupEditField(*display,
                   {.Source = source, .Format = format, .Allowed = allowed, .ToolTip = toolTip});
    display->setEditable(0);
    return display;
}

} // namespace

CHILD_GEN_FACTORY::CHILD_GEN_FACTORY(QWidget *parent) : ChildFormClass(FormName, parent)
{
    const QStringList captions = {QStringLiteral("Serial Number"),
                                  QStringLiteral("Serial number will not change until power cycle"),
                                  QStringLiteral("Model Number"),
                                  QStringLiteral("ADC Input"),
                                  QStringLiteral("mV/V Output"),
                                  QStringLiteral("Calibrated Value"),
                                  QStringLiteral("MVV Calibration")};
    for (size_t i = 0; i < labels_.size(); ++i)
        labels_[i] =
            style::makeLabel(this, captions.at(static_cast<int>(i)), style::PageStyle::Body);

    serialNumber_ = style::makeField(this);
    // 0 would be no serial number at all, and the module holds 32 bits.
    SetupEditField(*serialNumber_, {.Source = QStringLiteral("SERIALNUMBER"),
                                    .Format = QStringLiteral("0000000000"),
                                    .Allowed = QStringLiteral("112345678990"),
                                    .Min = 1.0,
                                    .Max = LargestSerial,
                                    .ToolTip = QStringLiteral("Serial Number")});
    connect(serialNumber_, &VXBtn::Changed, this, [this] { storeField(serialNumber_); });
    model_ = style::makeField(this);
    SetupEditField(*model_, {.Source = QStringLiteral("MODL"),
                             .Format = QStringLiteral("00"),
                             .Allowed = QStringLiteral("1234567890"),
                             .MaxLength = 2,
                             .Max = 255.0,
                             .ToolTip = QStringLiteral("Model Number")});
    connect(model_, &VXBtn::Changed, this, [this] { storeField(model_); });

    pbAdc_ = makeDisplay(this, QStringLiteral("ADC"), QStringLiteral("000000"), {},
                         QStringLiteral("A/D counts"));
    pbMvv_ = makeDisplay(this, QStringLiteral("MVV"), QStringLiteral("*"), {},
                         QStringLiteral("mV/V calibrated value"));
    // Seven significant digits, as every other page shows a calibrated value: a float's noise
    // digits mean nothing to the user.
    calv_ = makeDisplay(this, QStringLiteral("OVAL"), QStringLiteral("*"),
                        QStringLiteral("112345678990-."),
                        QStringLiteral("Calibrated Value**Displays the calibrated value"));

    for (int i = 0; i < 2; ++i) {
        VXBtn *point = style::makeField(this);
        SetupEditField(*point, {.IsNumeric = true, .MaxLength = 9});
        pbCalPoint_[static_cast<size_t>(i)] = point;
        VXBtn *button = style::makeButton(this, QStringLiteral("Acquire"));
        connect(button, &VXBtn::Click, this, [this, i] { acquire(i + 1); });
        acquire_[static_cast<size_t>(i)] = button;
    }
    acquire_[1]->setEnabled(false);
    layOut();
    app::shell::LoadFormTooltips(*this);
}

QString CHILD_GEN_FACTORY::HelpText() const
{
    return QStringLiteral("Factory Access*This page gives access to protected factory level "
                          "parameters and calibration.");
}

void CHILD_GEN_FACTORY::Activated()
{
    try {
        HXR *hxr = app::device::HXRObject();
        if (!hxr)
            return;
        hxr->CommandMode();
        app::shell::SetPageRefreshInterval(RefreshIntervalMs);
        app::controls::binding::LoadButtonValue(*serialNumber_);
        TimedRefresh();
    } catch (...) {
        app::shell::LogSkippedHandler(objectName(), "Activated");
    }
}

void CHILD_GEN_FACTORY::TimedRefresh()
{
    try {
        if (!app::device::HXRObject())
            return;
        for (VXBtn *field : {serialNumber_, model_, pbAdc_, pbMvv_, calv_})
            if (!field->isEditing())
                app::controls::binding::LoadButtonValue(*field);
    } catch (...) {
        app::shell::LogSkippedHandler(objectName(), "TimedRefresh");
    }
}

void CHILD_GEN_FACTORY::storeField(VXBtn *field)
{
    try {
        const HXR *hxr = app::device::HXRObject();
        if (!hxr || !ChangeAllowed(*hxr))
            return;
        app::controls::binding::StoreButtonValue(*field);
    } catch (...) {
        app::shell::LogSkippedHandler(objectName(), "storeField");
    }
}

void CHILD_GEN_FACTORY::acquire(int point)
{
    try {
        HXR *hxr = app::device::HXRObject();
        if (!hxr || !ChangeAllowed(*hxr))
            return;
        hxr->SCOF();
        if (pbCalPoint_[0]->Value() >= pbCalPoint_[1]->Value()) {
            ReportPointsNotAscending();
            return;
        }
        app::shell::Delay(hxr->clock(), SettleMs);
        const auto counts = static_cast<float>(hxr->ADC());
        if (hxr->ErrorState() != 0) {
            ReportReadFailure();
            return;
        }
        if (point == 1) {
            counts1_ = counts;
            acquire_[1]->setEnabled(true);
            acquire_[0]->setEnabled(false);
            return;
        }
        counts2_ = counts;
        if (counts1_ >= counts2_) {
            ReportInputNotAbove();
            return;
        }
        const auto mvv1 = static_cast<float>(pbCalPoint_[0]->Value());
        const auto mvv2 = static_cast<float>(pbCalPoint_[1]->Value());
        // mV/V per million counts; the offset is the counts at point 1.
        hxr->FMVG((mvv2 - mvv1) / (counts2_ - counts1_) * 1'000'000.0f);
        hxr->FMVO(counts1_);
        hxr->ZERO(0.0f);
        hxr->ZGAI(1.0f);
        hxr->ZOFS(0.0f);
        hxr->UNTZ(hxr->UNTE());
        hxr->EGAI(1.0f);
        hxr->EOFS(0.0f);
        hxr->DGAI(1.0f);
        hxr->DOFS(0.0f);
        hxr->UNTD(hxr->UNTE());
        const bool failed = hxr->ErrorState() != 0;
        ReloadStreamScaling(*hxr);
        ReportCalibration(failed);
        acquire_[0]->setEnabled(true);
        acquire_[1]->setEnabled(false);
    } catch (...) {
        app::shell::LogSkippedHandler(objectName(), "acquire");
    }
}

void CHILD_GEN_FACTORY::resizeEvent(QResizeEvent *event)
{
    ChildFormClass::resizeEvent(event);
    layOut();
}

void CHILD_GEN_FACTORY::layOut()
{
    const int margin = 28;
    const int labelWidth = 170;
    const int fieldLeft = margin + labelWidth + 16;
    const int fieldWidth = 170;
    const int row = 28;
    const int step = row + 12;
    int y = margin;
    labels_[0]->setGeometry(margin, y, labelWidth, row);
    serialNumber_->setGeometry(fieldLeft, y, fieldWidth, row);
    labels_[1]->setGeometry(fieldLeft + fieldWidth + 16, y, 360, row);
    y += step;
    const std::array<std::pair<size_t, VXBtn *>, 4> rows = {
        {{2, model_}, {3, pbAdc_}, {4, pbMvv_}, {5, calv_}}};
    for (const auto &[label, field] : rows) {
        labels_[label]->setGeometry(margin, y, labelWidth, row);
        field->setGeometry(fieldLeft, y, fieldWidth, row);
        y += step;
    }
    y += 12;
    labels_[6]->setGeometry(margin, y, labelWidth, row);
    for (size_t i = 0; i < 2; ++i) {
        pbCalPoint_[i]->setGeometry(fieldLeft, y, fieldWidth, row);
        acquire_[i]->setGeometry(fieldLeft + fieldWidth + 16, y, 120, row + 4);
        y += step;
    }
}

} // namespace app::pages
