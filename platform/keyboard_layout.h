// Keyboard layouts: the characters a key gives with and without Shift.
// Internal to the window system.
#pragma once

#include <cstdint>
#include <optional>

#include "platform/input.h"

namespace platform {

struct KeyModifiers {
  bool shift = false;
  bool control = false;
  bool capsLock = false;
};

// The single-byte character of a key, or none.
std::optional<uint8_t> CharacterOfKey(KeyboardLayout layout, BYTE vk,
                                      const KeyModifiers& modifiers);

}  // namespace platform
