#include "platform/x11/key_map.h"

#include <X11/keysym.h>
#include <gtest/gtest.h>

namespace platform::x11 {
namespace {

// Key codes of the evdev keyboard the X server on Linux has.
constexpr unsigned kYenKeycode = 132;
constexpr unsigned kAnyKeycode = 38;

struct KeyCase {
  KeyboardLayout layout;
  unsigned long keysym;
  unsigned keycode;
  VirtualKey expected;
};

constexpr auto kUs = KeyboardLayout::kUs;
constexpr auto kJp = KeyboardLayout::kJp106;

const KeyCase kKeyCases[] = {
    {kUs, XK_a, kAnyKeycode, {'A', false}},
    {kJp, XK_z, kAnyKeycode, {'Z', false}},
    {kUs, XK_0, kAnyKeycode, {'0', false}},
    {kJp, XK_9, kAnyKeycode, {'9', false}},
    {kUs, XK_F1, kAnyKeycode, {VK_F1, false}},
    {kUs, XK_F10, kAnyKeycode, {VK_F10, false}},
    {kUs, XK_Return, kAnyKeycode, {VK_RETURN, false}},
    {kUs, XK_space, kAnyKeycode, {VK_SPACE, false}},
    {kUs, XK_Escape, kAnyKeycode, {VK_ESCAPE, false}},
    {kUs, XK_Shift_L, kAnyKeycode, {VK_SHIFT, false}},
    {kUs, XK_Control_R, kAnyKeycode, {VK_CONTROL, true}},
    {kJp, XK_Alt_L, kAnyKeycode, {VK_MENU, false}},
    // The cursor block is extended; the keypad's own arrows are not.
    {kUs, XK_Left, kAnyKeycode, {VK_LEFT, true}},
    {kUs, XK_Delete, kAnyKeycode, {VK_DELETE, true}},
    {kUs, XK_KP_Left, kAnyKeycode, {VK_LEFT, false}},
    {kUs, XK_KP_Begin, kAnyKeycode, {VK_CLEAR, false}},
    {kUs, XK_KP_Insert, kAnyKeycode, {VK_INSERT, false}},
    // The numeric pad with Num Lock on.
    {kUs, XK_KP_0, kAnyKeycode, {VK_NUMPAD0, false}},
    {kJp, XK_KP_7, kAnyKeycode, {VK_NUMPAD0 + 7, false}},
    {kUs, XK_KP_Multiply, kAnyKeycode, {VK_MULTIPLY, false}},
    {kUs, XK_KP_Add, kAnyKeycode, {VK_ADD, false}},
    {kUs, XK_KP_Subtract, kAnyKeycode, {VK_SUBTRACT, false}},
    {kUs, XK_KP_Decimal, kAnyKeycode, {VK_DECIMAL, false}},
    {kUs, XK_KP_Divide, kAnyKeycode, {VK_DIVIDE, true}},
    {kUs, XK_KP_Enter, kAnyKeycode, {VK_RETURN, true}},
    {kUs, XK_Num_Lock, kAnyKeycode, {VK_NUMLOCK, true}},
    // Punctuation of the us layout.
    {kUs, XK_semicolon, kAnyKeycode, {VK_OEM_1, false}},
    {kUs, XK_equal, kAnyKeycode, {VK_OEM_PLUS, false}},
    {kUs, XK_comma, kAnyKeycode, {VK_OEM_COMMA, false}},
    {kUs, XK_minus, kAnyKeycode, {VK_OEM_MINUS, false}},
    {kUs, XK_slash, kAnyKeycode, {VK_OEM_2, false}},
    {kUs, XK_grave, kAnyKeycode, {VK_OEM_3, false}},
    {kUs, XK_bracketleft, kAnyKeycode, {VK_OEM_4, false}},
    {kUs, XK_backslash, kAnyKeycode, {VK_OEM_5, false}},
    {kUs, XK_bracketright, kAnyKeycode, {VK_OEM_6, false}},
    {kUs, XK_apostrophe, kAnyKeycode, {VK_OEM_7, false}},
    // And of jp106, where the same characters sit on other keys.
    {kJp, XK_colon, kAnyKeycode, {VK_OEM_1, false}},
    {kJp, XK_semicolon, kAnyKeycode, {VK_OEM_PLUS, false}},
    {kJp, XK_at, kAnyKeycode, {VK_OEM_3, false}},
    {kJp, XK_bracketleft, kAnyKeycode, {VK_OEM_4, false}},
    {kJp, XK_bracketright, kAnyKeycode, {VK_OEM_6, false}},
    {kJp, XK_asciicircum, kAnyKeycode, {VK_OEM_7, false}},
    {kJp, XK_minus, kAnyKeycode, {VK_OEM_MINUS, false}},
    {kJp, XK_backslash, kYenKeycode, {VK_OEM_5, false}},
    {kJp, XK_backslash, kJpRoKeycode, {VK_OEM_102, false}},
    // The Japanese keys.
    {kJp, XK_Henkan_Mode, kAnyKeycode, {VK_CONVERT, false}},
    {kJp, XK_Muhenkan, kAnyKeycode, {VK_NONCONVERT, false}},
    {kJp, XK_Zenkaku_Hankaku, kAnyKeycode, {VK_KANJI, false}},
    {kJp, XK_Hiragana_Katakana, kAnyKeycode, {VK_KANA, false}},
    {kJp, XK_Eisu_toggle, kAnyKeycode, {VK_CAPITAL, false}},
};

class KeyMapTest : public testing::TestWithParam<KeyCase> {};

TEST_P(KeyMapTest, KeysymGivesItsVirtualKey) {
  const KeyCase& c = GetParam();
  const std::optional<VirtualKey> key = VirtualKeyOf(c.layout, c.keysym, c.keycode);
  ASSERT_TRUE(key.has_value()) << "keysym " << std::hex << c.keysym;
  EXPECT_EQ(key->vk, c.expected.vk) << "keysym " << std::hex << c.keysym;
  EXPECT_EQ(key->extended, c.expected.extended) << "keysym " << std::hex << c.keysym;
}

INSTANTIATE_TEST_SUITE_P(BothLayouts, KeyMapTest, testing::ValuesIn(kKeyCases));

TEST(KeyMapTest, KeysOfTheOtherLayoutOrNoneGiveNothing) {
  // The us layout has no colon or at key of its own, nor Japanese keys.
  EXPECT_FALSE(VirtualKeyOf(kUs, XK_colon, kAnyKeycode));
  EXPECT_FALSE(VirtualKeyOf(kUs, XK_at, kAnyKeycode));
  EXPECT_FALSE(VirtualKeyOf(kUs, XK_Henkan_Mode, kAnyKeycode));
  EXPECT_FALSE(VirtualKeyOf(kJp, XK_VoidSymbol, kAnyKeycode));
}

}  // namespace
}  // namespace platform::x11
