// Text that a desktop input method committed, typed into the program: each
// character as a key of its own (VK_PACKET), which TranslateMessage makes
// into WM_CHAR in CP932, a double-byte character as its lead byte then its
// trail byte, in the focused window, in order with the keys around it.
#pragma once

#include <string_view>

namespace platform::x11 {

// Characters CP932 lacks, and bytes that are not UTF-8, type nothing.
void TypeCommittedText(std::string_view utf8);

}  // namespace platform::x11
