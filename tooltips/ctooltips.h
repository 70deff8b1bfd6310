#ifndef TOOLTIPS_CTOOLTIPS_H
#define TOOLTIPS_CTOOLTIPS_H

#include "tooltips/ctooltip.h"
#include "tooltips/tipcollection.h"

namespace tooltips {

// The tooltips of a tooltip control. A key already in use is an error.
class CToolTips : public TipCollection<CTooltip>
{};

} // namespace tooltips

#endif
