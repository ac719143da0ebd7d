// The JIS X 0208 code of a Shift-JIS character, as a reader spells it out.
#pragma once

#include <cstdint>

namespace platform {

// Row-cell code (0x2121-0x7E7E) of a double-byte Shift-JIS character code
// (lead * 256 + trail); a single-byte code answers itself.
uint16_t ShiftJisToJis(uint16_t code);

}  // namespace platform
