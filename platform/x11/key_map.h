// The virtual key of an X key: its keysym at the base level (the keypad's
// as Num Lock leaves it) on the layout the keyboard has.
#pragma once

#include <cstdint>
#include <optional>

#include "platform/input.h"

namespace platform::x11 {

struct VirtualKey {
  BYTE vk = 0;
  // Keys that a PC keyboard sends with the extended prefix: the cursor
  // block beside the keypad, the keypad's Enter and /, right Ctrl and Alt.
  bool extended = false;
  bool operator==(const VirtualKey&) const = default;
};

// The jp106 layout has two keys whose base keysym is the backslash; the
// one left of the right Shift (ろ) is told apart by its key code.
inline constexpr unsigned kJpRoKeycode = 97;

std::optional<VirtualKey> VirtualKeyOf(KeyboardLayout layout, unsigned long keysym,
                                       unsigned keycode);

}  // namespace platform::x11
