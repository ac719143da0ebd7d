// What a message box shows and where: its buttons by type, and the
// layout of icon, wrapped text and button row measured with the font
// selected into a DC. Internal to the message box.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "platform/gdi.h"
#include "platform/message_box.h"
#include "platform/ui_font.h"

namespace platform {

struct MessageBoxButton {
  int id = 0;
  // CP932; "&X" marks X as the button's mnemonic.
  const char* text = nullptr;
};

// The buttons of the type's set, left to right; empty for an unknown set.
std::vector<MessageBoxButton> ButtonsOf(UINT type);
// The index of the default button among them.
size_t DefaultButtonOf(UINT type, size_t buttonCount);
// What Esc and WM_CLOSE answer; 0 when the set has no cancelling answer.
int EscapeAnswerOf(UINT type);
// Whether the set takes `answer` (a button's id, or its escape answer's IDCANCEL).
bool TakesAnswer(UINT type, int answer);

// What a shown box tells the screen reader: its text and its current
// button's text as shown; none for a window that is no message box.
struct MessageBoxReading {
  std::string text;
  std::string currentButton;
};
std::optional<MessageBoxReading> MessageBoxReadingOf(HWND box);

// Splits at line breaks ("\n", "\r\n"), then wraps each line within
// `width`: after its last space where it has one, else before the
// character that does not fit. A line always keeps its first character.
std::vector<std::string> WrapText(HDC dc, std::string_view text, int32_t width);
// A button's text as drawn: "&X" shows X (answered by `mnemonic`), "&&" shows '&'.
std::string ShownButtonText(std::string_view text, size_t* mnemonic = nullptr);

struct MessageBoxLayout {
  SIZE client;
  // Empty without an icon.
  RECT icon;
  RECT text;
  int32_t lineHeight = 0;
  std::vector<std::string> lines;
  std::vector<RECT> buttons;

  static constexpr int32_t kMargin = 12;
  static constexpr int32_t kIconGap = 12;
  static constexpr int32_t kButtonGap = 16;
  static constexpr int32_t kButtonSpacing = 6;
  static constexpr int32_t kMinButtonWidth = 75;
  static constexpr int32_t kButtonHeight = 23;
  static constexpr int32_t kButtonPadding = 8;
  // Text wider than this wraps.
  static constexpr int32_t kMaxTextWidth = 400;
};

MessageBoxLayout LayOutMessageBox(HDC dc, std::string_view text,
                                  const std::vector<MessageBoxButton>& buttons, bool hasIcon);

}  // namespace platform
