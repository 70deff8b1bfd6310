#ifndef TOOLTIPS_MCOMMONCTRLS_H
#define TOOLTIPS_MCOMMONCTRLS_H

namespace tooltips {

// Readies the tooltip windows for use. The widgets need no preparation: always true.
bool InitTipCommonControls();

} // namespace tooltips

#endif
