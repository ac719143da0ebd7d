#include "platform/keyboard_layout.h"

#include <array>

namespace platform {

namespace {

struct KeyCharacters {
  BYTE vk;
  char plain;
  char shifted;
};

constexpr char kNone = '\0';
constexpr uint8_t kControlBase = 0x40;
constexpr uint8_t kEscapeCharacter = 0x1B;

// Keys that give the same on both layouts.
constexpr std::array kCommonKeys{
    KeyCharacters{VK_SPACE, ' ', ' '},     KeyCharacters{VK_RETURN, '\r', '\r'},
    KeyCharacters{VK_BACK, '\b', '\b'},    KeyCharacters{VK_TAB, '\t', '\t'},
    KeyCharacters{VK_OEM_COMMA, ',', '<'}, KeyCharacters{VK_OEM_PERIOD, '.', '>'},
    KeyCharacters{VK_OEM_2, '/', '?'},     KeyCharacters{VK_OEM_4, '[', '{'},
    KeyCharacters{VK_OEM_6, ']', '}'},     KeyCharacters{'1', '1', '!'},
    KeyCharacters{'3', '3', '#'},          KeyCharacters{'4', '4', '$'},
    KeyCharacters{'5', '5', '%'},
};

constexpr std::array kUsKeys{
    KeyCharacters{'0', '0', ')'},          KeyCharacters{'2', '2', '@'},
    KeyCharacters{'6', '6', '^'},          KeyCharacters{'7', '7', '&'},
    KeyCharacters{'8', '8', '*'},          KeyCharacters{'9', '9', '('},
    KeyCharacters{VK_OEM_1, ';', ':'},     KeyCharacters{VK_OEM_PLUS, '=', '+'},
    KeyCharacters{VK_OEM_MINUS, '-', '_'}, KeyCharacters{VK_OEM_3, '`', '~'},
    KeyCharacters{VK_OEM_5, '\\', '|'},    KeyCharacters{VK_OEM_7, '\'', '"'},
};

// On jp106 the yen key gives byte 0x5C, which CP932 shows as the yen sign.
constexpr std::array kJp106Keys{
    KeyCharacters{'0', '0', kNone},        KeyCharacters{'2', '2', '"'},
    KeyCharacters{'6', '6', '&'},          KeyCharacters{'7', '7', '\''},
    KeyCharacters{'8', '8', '('},          KeyCharacters{'9', '9', ')'},
    KeyCharacters{VK_OEM_1, ':', '*'},     KeyCharacters{VK_OEM_PLUS, ';', '+'},
    KeyCharacters{VK_OEM_MINUS, '-', '='}, KeyCharacters{VK_OEM_3, '@', '`'},
    KeyCharacters{VK_OEM_5, '\\', '|'},    KeyCharacters{VK_OEM_7, '^', '~'},
    KeyCharacters{VK_OEM_102, '\\', '_'},
};

template <typename Table>
std::optional<char> Lookup(const Table& table, BYTE vk, bool shift) {
  for (const KeyCharacters& key : table) {
    if (key.vk == vk) return shift ? key.shifted : key.plain;
  }
  return std::nullopt;
}

bool IsLetterKey(BYTE vk) { return vk >= 'A' && vk <= 'Z'; }

}  // namespace

std::optional<uint8_t> CharacterOfKey(KeyboardLayout layout, BYTE vk,
                                      const KeyModifiers& modifiers) {
  if (IsLetterKey(vk)) {
    if (modifiers.control) return static_cast<uint8_t>(vk - kControlBase);
    const bool upper = modifiers.shift != modifiers.capsLock;
    return static_cast<uint8_t>(upper ? vk : vk - 'A' + 'a');
  }
  if (vk == VK_ESCAPE) return kEscapeCharacter;
  if (modifiers.control) return std::nullopt;
  std::optional<char> found = Lookup(kCommonKeys, vk, modifiers.shift);
  if (!found) {
    found = layout == KeyboardLayout::kUs ? Lookup(kUsKeys, vk, modifiers.shift)
                                          : Lookup(kJp106Keys, vk, modifiers.shift);
  }
  if (!found || *found == kNone) return std::nullopt;
  return static_cast<uint8_t>(*found);
}

}  // namespace platform
