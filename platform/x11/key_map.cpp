#include "platform/x11/key_map.h"

#include <X11/keysym.h>

#include <array>

namespace platform::x11 {

namespace {

struct KeysymKey {
  unsigned long keysym;
  VirtualKey key;
};

constexpr VirtualKey Plain(BYTE vk) { return VirtualKey{vk, false}; }
constexpr VirtualKey Extended(BYTE vk) { return VirtualKey{vk, true}; }

// Keys every layout has in the same place.
constexpr KeysymKey kCommonKeys[] = {
    {XK_BackSpace, Plain(VK_BACK)},
    {XK_Tab, Plain(VK_TAB)},
    {XK_ISO_Left_Tab, Plain(VK_TAB)},
    {XK_Return, Plain(VK_RETURN)},
    {XK_Pause, Plain(VK_PAUSE)},
    {XK_Scroll_Lock, Plain(VK_SCROLL)},
    {XK_Print, Extended(VK_SNAPSHOT)},
    {XK_Escape, Plain(VK_ESCAPE)},
    {XK_space, Plain(VK_SPACE)},
    {XK_Shift_L, Plain(VK_SHIFT)},
    {XK_Shift_R, Plain(VK_SHIFT)},
    {XK_Control_L, Plain(VK_CONTROL)},
    {XK_Control_R, Extended(VK_CONTROL)},
    {XK_Alt_L, Plain(VK_MENU)},
    {XK_Meta_L, Plain(VK_MENU)},
    {XK_Alt_R, Extended(VK_MENU)},
    {XK_Meta_R, Extended(VK_MENU)},
    {XK_ISO_Level3_Shift, Extended(VK_MENU)},
    {XK_Super_L, Extended(VK_LWIN)},
    {XK_Super_R, Extended(VK_RWIN)},
    {XK_Menu, Extended(VK_APPS)},
    {XK_Caps_Lock, Plain(VK_CAPITAL)},
    {XK_Num_Lock, Extended(VK_NUMLOCK)},
    {XK_Home, Extended(VK_HOME)},
    {XK_End, Extended(VK_END)},
    {XK_Prior, Extended(VK_PRIOR)},
    {XK_Next, Extended(VK_NEXT)},
    {XK_Left, Extended(VK_LEFT)},
    {XK_Up, Extended(VK_UP)},
    {XK_Right, Extended(VK_RIGHT)},
    {XK_Down, Extended(VK_DOWN)},
    {XK_Insert, Extended(VK_INSERT)},
    {XK_Delete, Extended(VK_DELETE)},
    // The keypad with Num Lock on.
    {XK_KP_Multiply, Plain(VK_MULTIPLY)},
    {XK_KP_Add, Plain(VK_ADD)},
    {XK_KP_Separator, Plain(VK_SEPARATOR)},
    {XK_KP_Subtract, Plain(VK_SUBTRACT)},
    {XK_KP_Decimal, Plain(VK_DECIMAL)},
    {XK_KP_Divide, Extended(VK_DIVIDE)},
    {XK_KP_Enter, Extended(VK_RETURN)},
    // And with it off: the same keys as the cursor block, not extended.
    {XK_KP_Home, Plain(VK_HOME)},
    {XK_KP_End, Plain(VK_END)},
    {XK_KP_Prior, Plain(VK_PRIOR)},
    {XK_KP_Next, Plain(VK_NEXT)},
    {XK_KP_Left, Plain(VK_LEFT)},
    {XK_KP_Up, Plain(VK_UP)},
    {XK_KP_Right, Plain(VK_RIGHT)},
    {XK_KP_Down, Plain(VK_DOWN)},
    {XK_KP_Begin, Plain(VK_CLEAR)},
    {XK_KP_Insert, Plain(VK_INSERT)},
    {XK_KP_Delete, Plain(VK_DELETE)},
    // Punctuation both layouts agree on.
    {XK_comma, Plain(VK_OEM_COMMA)},
    {XK_minus, Plain(VK_OEM_MINUS)},
    {XK_period, Plain(VK_OEM_PERIOD)},
    {XK_slash, Plain(VK_OEM_2)},
    {XK_bracketleft, Plain(VK_OEM_4)},
};

constexpr KeysymKey kUsKeys[] = {
    {XK_semicolon, Plain(VK_OEM_1)},    {XK_equal, Plain(VK_OEM_PLUS)},
    {XK_grave, Plain(VK_OEM_3)},        {XK_backslash, Plain(VK_OEM_5)},
    {XK_bracketright, Plain(VK_OEM_6)}, {XK_apostrophe, Plain(VK_OEM_7)},
};

constexpr KeysymKey kJp106Keys[] = {
    {XK_colon, Plain(VK_OEM_1)},
    {XK_semicolon, Plain(VK_OEM_PLUS)},
    {XK_at, Plain(VK_OEM_3)},
    {XK_backslash, Plain(VK_OEM_5)},
    {XK_yen, Plain(VK_OEM_5)},
    {XK_bracketright, Plain(VK_OEM_6)},
    {XK_asciicircum, Plain(VK_OEM_7)},
    {XK_Henkan_Mode, Plain(VK_CONVERT)},
    {XK_Muhenkan, Plain(VK_NONCONVERT)},
    {XK_Zenkaku_Hankaku, Plain(VK_KANJI)},
    {XK_Kanji, Plain(VK_KANJI)},
    {XK_Hiragana_Katakana, Plain(VK_KANA)},
    {XK_Hiragana, Plain(VK_KANA)},
    {XK_Katakana, Plain(VK_KANA)},
    {XK_Eisu_toggle, Plain(VK_CAPITAL)},
};

template <size_t N>
std::optional<VirtualKey> Find(const KeysymKey (&table)[N], unsigned long keysym) {
  for (const KeysymKey& each : table) {
    if (each.keysym == keysym) return each.key;
  }
  return std::nullopt;
}

// Letters, digits, function keys and the keypad's digits run in step
// with their virtual keys.
std::optional<VirtualKey> InARun(unsigned long keysym) {
  if (keysym >= XK_a && keysym <= XK_z) return Plain(static_cast<BYTE>('A' + keysym - XK_a));
  if (keysym >= XK_A && keysym <= XK_Z) return Plain(static_cast<BYTE>('A' + keysym - XK_A));
  if (keysym >= XK_0 && keysym <= XK_9) return Plain(static_cast<BYTE>('0' + keysym - XK_0));
  if (keysym >= XK_KP_0 && keysym <= XK_KP_9)
    return Plain(static_cast<BYTE>(VK_NUMPAD0 + keysym - XK_KP_0));
  if (keysym >= XK_F1 && keysym <= XK_F1 + (VK_F24 - VK_F1))
    return Plain(static_cast<BYTE>(VK_F1 + keysym - XK_F1));
  return std::nullopt;
}

}  // namespace

std::optional<VirtualKey> VirtualKeyOf(KeyboardLayout layout, unsigned long keysym,
                                       unsigned keycode) {
  if (const auto key = InARun(keysym)) return key;
  if (const auto key = Find(kCommonKeys, keysym)) return key;
  if (layout == KeyboardLayout::kUs) return Find(kUsKeys, keysym);
  if (keysym == XK_backslash && keycode == kJpRoKeycode) return Plain(VK_OEM_102);
  return Find(kJp106Keys, keysym);
}

}  // namespace platform::x11
