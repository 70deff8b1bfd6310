#ifndef TOOLTIPS_CINFOTIP_H
#define TOOLTIPS_CINFOTIP_H

#include <cstdint>
#include <memory>

#include "tooltips/r77tipexport.h"
#include "tooltips/tipbase.h"

namespace tooltips {

class CTimer;

// A tooltip the program shows on demand at its control's centre; it hides itself after
// Duration ms, and showing it again needs a new window.
class R77TIP_EXPORT CInfotip : public TipBase
{
public:
    CInfotip();
    ~CInfotip() override;

    // Hides the tip: stops the timer and destroys the window.
    void Destroy();
    void Show();

    CTimer *timer() const { return timer_.get(); }

protected:
    uint32_t toolFlags() const override;

private:
    void timerFired();

    std::unique_ptr<CTimer> timer_;
};

} // namespace tooltips

#endif
