#ifndef PLATFORM_WIN_SYSCOLOURS_H
#define PLATFORM_WIN_SYSCOLOURS_H

#include <cstdint>

namespace platform::win {

// OLE colours: 0x00BBGGRR, or a system colour 0x800000nn where nn indexes the fixed table of
// system colours (button face, window text, highlight ...).
using OleColour = uint32_t;

constexpr OleColour SystemColourFlag = 0x80000000u;

// The RGB value 0x00BBGGRR of a system colour index; 0 for an index outside the table.
OleColour systemColour(uint32_t index);

// A plain 0x00BBGGRR value: system colours are looked up, other top bytes are dropped.
OleColour translateColour(OleColour colour);

} // namespace platform::win

#endif
