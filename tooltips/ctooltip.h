#ifndef TOOLTIPS_CTOOLTIP_H
#define TOOLTIPS_CTOOLTIP_H

#include <cstdint>

#include "tooltips/r77tipexport.h"
#include "tooltips/tipbase.h"

namespace tooltips {

// A tooltip the window system shows by itself while the pointer rests on its control.
class R77TIP_EXPORT CTooltip : public TipBase
{
public:
    static constexpr int32_t DefaultDelay = 500;

    CTooltip();
    ~CTooltip() override;

    // The initial delay; applies when the window is made again.
    int32_t Delay() const { return Delay_; }
    void setDelay(int32_t value) { Delay_ = value; }

    // Destroys the tip window; the object stays wherever it is held.
    void Remove();

protected:
    uint32_t toolFlags() const override;
    void sendDelayTimes(TipWindow &window) override;

private:
    int32_t Delay_ = DefaultDelay;
};

} // namespace tooltips

#endif
