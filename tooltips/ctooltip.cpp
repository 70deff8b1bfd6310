#include "tooltips/ctooltip.h"

#include "tooltips/tiperrors.h"

namespace tooltips {

CTooltip::CTooltip() : TipBase(ErrTooltipFailure, QStringLiteral("CTooltip")) {}

CTooltip::~CTooltip() = default;

void CTooltip::Remove()
{
    destroyWindow();
}

uint32_t CTooltip::toolFlags() const
{
    return ToolFlag::Subclass | (Centered() ? ToolFlag::CenterTip : 0);
}

void CTooltip::sendDelayTimes(TipWindow &window)
{
    // Without a duration the window keeps its own auto-pop time.
    if (Duration() > 0)
        window.setDelayTime(TipDelay::AutoPop, Duration());
    window.setDelayTime(TipDelay::Initial, Delay_);
}

} // namespace tooltips
