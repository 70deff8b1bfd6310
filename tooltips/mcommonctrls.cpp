#include "tooltips/mcommonctrls.h"

namespace tooltips {

bool InitTipCommonControls()
{
    return true;
}

} // namespace tooltips
