#include "app/pages/child_gen_lock.h"

#include <algorithm>
#include <cstdint>

#include "app/common/desktop/messages.h"
#include "app/controls/binding/fieldbinding.h"
#include "app/controls/pagestyle/pagestyle.h"
#include "app/controls/vxbtn.h"
#include "app/device/drv_hxr.h"
#include "app/device/hxr.h"
#include "app/pages/changeguard.h"
#include "app/shell/connection.h"
#include "app/shell/formtooltips.h"
#include "app/shell/handlertrap.h"
#include "platform/vb/convert.h"

namespace app::pages {

namespace style = app::controls::pagestyle;

namespace {

using app::controls::VXBtn;
using app::device::HXR;

constexpr int32_t LockCal = 1;
constexpr int32_t LockSysZero = 2;
constexpr int32_t LockDisplayUnits = 8;

int32_t readMask(HXR &hxr)
{
    return platform::vb::CLng(hxr.PMSK());
}

void setupLockField(VXBtn &field, const QString &source, const QString &list,
                    const QString &toolTip)
{
    app::controls::binding::SetupEditField(
        field, {.Source = source, .List = list, .UseListIndex = true, .ToolTip = toolTip});
}

} // namespace

CHILD_GEN_LOCK::CHILD_GEN_LOCK(QWidget *parent) : ChildFormClass(FormName, parent)
{
    const QStringList captions = {QStringLiteral("Calibration Page"),
                                  QStringLiteral("System Zero Function"),
                                  QStringLiteral("Display Units Change"),
                                  QStringLiteral("Shunt Calibration Control (On Information Page)"),
                                  QStringLiteral("Passcode"),
                                  PageText};
    for (size_t i = 0; i < labels_.size(); ++i)
        labels_[i] =
            style::makeLabel(this, captions.at(static_cast<int>(i)), style::PageStyle::Body);

    iCal_ = style::makeField(this);
    setupLockField(*iCal_, QStringLiteral("LOCK_CAL"), QStringLiteral("Allow|Lock"),
                   QStringLiteral("Choose whether to hide the calibration page"));
    iSysZero_ = style::makeField(this);
    setupLockField(*iSysZero_, QStringLiteral("LOCK_SYSZERO"), QStringLiteral("Allow|Lock"),
                   QStringLiteral("Choose whether to hide the system zero function (Calibration "
                                  "page must also be hidden)"));
    iDisplayUnits_ = style::makeField(this);
    setupLockField(*iDisplayUnits_, QStringLiteral("LOCK_DISPLAYUNITS"),
                   QStringLiteral("Show|Hide"),
                   QStringLiteral("Choose whether to hide the ability to change the displayed "
                                  "engineering units (Calibration page must also be hidden)"));
    // Bound to no parameter: the module keeps no setting for it.
    iShuntCal_ = style::makeField(this);
    setupLockField(*iShuntCal_, {}, QStringLiteral("No|Yes"), {});
    iShuntCal_->setListIndex(0);

    password_ = style::makeField(this);
    app::controls::binding::SetupEditField(
        *password_, {.Source = QStringLiteral("PWD1"),
                     .Format = QStringLiteral("000000"),
                     .IsNumeric = true,
                     .Allowed = QStringLiteral("112345678990"),
                     .MaxLength = 6,
                     .Max = 999999.0,
                     .ToolTip = QStringLiteral("You will need to enter this passcode to get "
                                               "access to this page from now on.")});

    connect(iCal_, &VXBtn::Changed, this, [this] {
        lockChanged(iCal_, [](HXR &hxr) {
            // Allowing the calibration page again allows what depends on it.
            int32_t mask = readMask(hxr);
            if ((mask & LockCal) == 0)
                hxr.PMSK(static_cast<float>(mask & ~LockSysZero));
            mask = readMask(hxr);
            if ((mask & LockCal) == 0)
                hxr.PMSK(static_cast<float>(mask & ~LockDisplayUnits));
        });
    });
    connect(iSysZero_, &VXBtn::Changed, this, [this] {
        lockChanged(iSysZero_, [](HXR &hxr) {
            const int32_t mask = readMask(hxr);
            if ((mask & LockSysZero) != 0)
                hxr.PMSK(static_cast<float>(mask | LockCal));
        });
    });
    connect(iDisplayUnits_, &VXBtn::Changed, this, [this] {
        lockChanged(iDisplayUnits_, [](HXR &hxr) {
            const int32_t mask = readMask(hxr);
            if ((mask & LockDisplayUnits) != 0)
                hxr.PMSK(static_cast<float>(mask | LockCal));
        });
    });
    connect(iShuntCal_, &VXBtn::Changed, this, [this] { lockChanged(iShuntCal_, [](HXR &) {}); });
    connect(password_, &VXBtn::Changed, this, [this] { passwordChanged(); });

    layOut();
    app::shell::LoadFormTooltips(*this);
}

QString CHILD_GEN_LOCK::HelpText() const
{
    return QStringLiteral("This page allows you to hide certain pages and functions from an end "
                          "user. The hidden pages and this page will take effect when the jumper "
                          "link is removed from the module and the module is again connected to "
                          "the Toolkit.");
}

void CHILD_GEN_LOCK::Activated()
{
    try {
        HXR *hxr = app::device::HXRObject();
        if (!hxr)
            return;
        hxr->CommandMode();
        TimedRefresh();
    } catch (...) {
        app::shell::LogSkippedHandler(objectName(), "Activated");
    }
}

void CHILD_GEN_LOCK::TimedRefresh()
{
    try {
        for (VXBtn *field : {iCal_, iSysZero_, password_, iDisplayUnits_})
            if (!field->isEditing() && !field->isListOpen())
                app::controls::binding::LoadButtonValue(*field);
    } catch (...) {
        app::shell::LogSkippedHandler(objectName(), "TimedRefresh");
    }
}

void CHILD_GEN_LOCK::DeActivated()
{
    try {
        // The shell's passcode question and the other pages go by the mask as it is now.
        if (HXR *hxr = app::device::HXRObject())
            app::shell::CurrentConnection().LockMask = platform::vb::CInt(hxr->PMSK());
    } catch (...) {
        app::shell::LogSkippedHandler(objectName(), "DeActivated");
    }
}

void CHILD_GEN_LOCK::ShowLockMessage()
{
    app::common::desktop::ShowMessage(
        QStringLiteral("You will need the passcode to gain access to this page again!\r\n"
                       "Please remember this passcode: ") +
            password_->displayText(),
        QStringLiteral("Protected By Passcode"), false, app::common::desktop::MessageOk);
}

void CHILD_GEN_LOCK::lockChanged(VXBtn *field,
                                 const std::function<void(app::device::HXR &)> &keepDependencies)
{
    try {
        HXR *hxr = app::device::HXRObject();
        if (!hxr)
            return;
        if (!ChangeAllowed(*hxr)) {
            TimedRefresh(); // the field shows the lock in force again
            return;
        }
        app::shell::Connection &connection = app::shell::CurrentConnection();
        const auto oldMask = static_cast<uint8_t>(connection.LockMask);
        app::controls::binding::StoreButtonValue(*field);
        keepDependencies(*hxr);
        connection.LockMask = platform::vb::CInt(hxr->PMSK());
        if (oldMask == 0 && connection.LockMask != 0)
            ShowLockMessage();
        TimedRefresh(); // the fields a dependency changed show it at once
    } catch (...) {
        app::shell::LogSkippedHandler(objectName(), "lockChanged");
    }
}

void CHILD_GEN_LOCK::passwordChanged()
{
    try {
        const HXR *hxr = app::device::HXRObject();
        if (!hxr || !ChangeAllowed(*hxr))
            return;
        app::controls::binding::StoreButtonValue(*password_);
        if (app::shell::CurrentConnection().LockMask != 0)
            ShowLockMessage();
    } catch (...) {
        app::shell::LogSkippedHandler(objectName(), "passwordChanged");
    }
}

void CHILD_GEN_LOCK::resizeEvent(QResizeEvent *event)
{
    ChildFormClass::resizeEvent(event);
    layOut();
}

void CHILD_GEN_LOCK::layOut()
{
    const int margin = 28;
    const int w = std::max(width(), 560);
    const int inner = w - 2 * margin;
    labels_[5]->setGeometry(margin, margin, inner, 48);

    const int labelWidth = std::min(360, inner / 2);
    const int fieldLeft = margin + labelWidth + 16;
    const int fieldWidth = std::min(220, inner - labelWidth - 16);
    const int rowHeight = 28;
    int y = margin + 48 + 24;
    const std::array<VXBtn *, 5> fields = {iCal_, iSysZero_, iDisplayUnits_, iShuntCal_, password_};
    for (size_t i = 0; i < fields.size(); ++i) {
        labels_[i]->setGeometry(margin, y, labelWidth, rowHeight);
        fields[i]->setGeometry(fieldLeft, y, fieldWidth, rowHeight);
        y += rowHeight + 12;
    }
}

} // namespace app::pages
