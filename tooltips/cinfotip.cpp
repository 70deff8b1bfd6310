#include "tooltips/cinfotip.h"

#include <QWidget>

#include "platform/vb/convert.h"
#include "tooltips/ctimer.h"
#include "tooltips/mtipapi.h"
#include "tooltips/tiperrors.h"

namespace tooltips {

CInfotip::CInfotip() : TipBase(ErrInfotipFailure, QStringLiteral("CInfotip")) {}

CInfotip::~CInfotip()
{
    // The timer stops before it goes, so it leaves no slot behind.
    Destroy();
    timer_.reset();
}

void CInfotip::Destroy()
{
    try {
        if (timer_)
            timer_->setInterval(0);
    } catch (...) {
    }
    destroyWindow();
}

uint32_t CInfotip::toolFlags() const
{
    return ToolFlag::Track | ToolFlag::IdIsHwnd |
           (Centered() ? ToolFlag::CenterTip : ToolFlag::Transparent);
}

void CInfotip::Show()
{
    try {
        TipWindow *tip = window();
        QWidget *bound = WindowFromHandle(toolInfo().uId);
        if (!tip || !bound)
            throw platform::vb::VbError(platform::vb::VbError::ObjectNotSet,
                                        QStringLiteral("CInfotip"),
                                        QStringLiteral("No tooltip window"));
        const QRect client = bound->rect();
        const QPoint centre(platform::vb::CInt(client.width() / 2.0),
                            platform::vb::CInt(client.height() / 2.0));
        tip->trackPosition(bound->mapToGlobal(centre));
        tip->trackActivate(true, toolInfo());
        if (!timer_) {
            timer_ = std::make_unique<CTimer>();
            QObject::connect(timer_.get(), &CTimer::Timer, timer_.get(), [this] { timerFired(); });
        }
        timer_->setInterval(Duration());
    } catch (...) {
        raiseFailure(QStringLiteral("Show"), false);
    }
}

void CInfotip::timerFired()
{
    try {
        timer_->setInterval(0);
        destroyWindow();
    } catch (...) {
    }
}

} // namespace tooltips
