#include "platform/message_box_layout.h"

#include <algorithm>
#include <array>

#include "platform/sjis.h"
#include "platform/system_info.h"

namespace platform {

namespace {

constexpr char kOkText[] = "OK";
constexpr char kCancelText[] = "\x83\x4c\x83\x83\x83\x93\x83\x5a\x83\x8b";  // キャンセル
constexpr char kYesText[] = "\x82\xcd\x82\xa2(&Y)";                         // はい(&Y)
constexpr char kNoText[] = "\x82\xa2\x82\xa2\x82\xa6(&N)";                  // いいえ(&N)

constexpr MessageBoxButton kOk{IDOK, kOkText};
constexpr MessageBoxButton kCancel{IDCANCEL, kCancelText};
constexpr MessageBoxButton kYes{IDYES, kYesText};
constexpr MessageBoxButton kNo{IDNO, kNoText};

struct ButtonSet {
  UINT type;
  std::vector<MessageBoxButton> buttons;
  // What Esc answers; 0 for nothing.
  int escape;
};

const std::array<ButtonSet, 4>& ButtonSets() {
  static const std::array<ButtonSet, 4> sets = {
      ButtonSet{MB_OK, {kOk}, IDOK},
      ButtonSet{MB_OKCANCEL, {kOk, kCancel}, IDCANCEL},
      ButtonSet{MB_YESNOCANCEL, {kYes, kNo, kCancel}, IDCANCEL},
      ButtonSet{MB_YESNO, {kYes, kNo}, 0},
  };
  return sets;
}

const ButtonSet* SetOf(UINT type) {
  for (const ButtonSet& set : ButtonSets()) {
    if (set.type == (type & MB_TYPEMASK)) return &set;
  }
  return nullptr;
}

constexpr char kMnemonicMark = '&';
constexpr char kSpace = ' ';
constexpr int32_t kDefaultIconSize = 32;

bool IsSpace(std::string_view ch) { return ch.size() == 1 && ch[0] == kSpace; }

int32_t CharWidth(HDC dc, uint16_t code) {
  int32_t width = 0;
  GetCharWidthA(dc, code, code, &width);
  return width;
}

void WrapLine(HDC dc, std::string_view paragraph, int32_t width, std::vector<std::string>* lines) {
  std::string line;
  int32_t lineWidth = 0;
  size_t lastSpace = std::string::npos;
  for (size_t pos = 0; pos < paragraph.size();) {
    const size_t length = CharLengthAt(paragraph, pos);
    const std::string_view ch = paragraph.substr(pos, length);
    const int32_t chWidth = CharWidth(dc, CharCodeAt(paragraph, pos));
    pos += length;
    if (!line.empty() && lineWidth + chWidth > width) {
      if (lastSpace != std::string::npos) {
        lines->push_back(line.substr(0, lastSpace));
        line.erase(0, lastSpace + 1);
        lineWidth = TextWidth(dc, line);
      }
      if (!line.empty() && (lastSpace == std::string::npos || lineWidth + chWidth > width)) {
        lines->push_back(line);
        line.clear();
        lineWidth = 0;
      }
      lastSpace = std::string::npos;
      // The space a line broke at is not carried to the next.
      if (line.empty() && IsSpace(ch)) continue;
    }
    if (IsSpace(ch)) lastSpace = line.size();
    line += ch;
    lineWidth += chWidth;
  }
  lines->push_back(line);
}

}  // namespace

std::vector<MessageBoxButton> ButtonsOf(UINT type) {
  const ButtonSet* set = SetOf(type);
  return set == nullptr ? std::vector<MessageBoxButton>() : set->buttons;
}

size_t DefaultButtonOf(UINT type, size_t buttonCount) {
  const size_t index = (type & MB_DEFMASK) / MB_DEFBUTTON2;
  return index < buttonCount ? index : 0;
}

int EscapeAnswerOf(UINT type) {
  const ButtonSet* set = SetOf(type);
  return set == nullptr ? 0 : set->escape;
}

bool TakesAnswer(UINT type, int answer) {
  const ButtonSet* set = SetOf(type);
  if (set == nullptr) return false;
  if (answer == IDCANCEL && set->escape != 0) return true;
  return std::any_of(set->buttons.begin(), set->buttons.end(),
                     [answer](const MessageBoxButton& button) { return button.id == answer; });
}

std::vector<std::string> WrapText(HDC dc, std::string_view text, int32_t width) {
  std::vector<std::string> lines;
  for (std::string_view rest = text;;) {
    const size_t end = rest.find('\n');
    std::string_view paragraph = rest.substr(0, end);
    if (!paragraph.empty() && paragraph.back() == '\r') paragraph.remove_suffix(1);
    WrapLine(dc, paragraph, width, &lines);
    if (end == std::string_view::npos) break;
    rest.remove_prefix(end + 1);
  }
  return lines;
}

std::string ShownButtonText(std::string_view text, size_t* mnemonic) {
  std::string shown;
  if (mnemonic != nullptr) *mnemonic = std::string::npos;
  for (size_t pos = 0; pos < text.size();) {
    if (text[pos] == kMnemonicMark && pos + 1 < text.size()) {
      ++pos;
      if (text[pos] != kMnemonicMark && mnemonic != nullptr) *mnemonic = shown.size();
    }
    const size_t length = CharLengthAt(text, pos);
    shown.append(text.substr(pos, length));
    pos += length;
  }
  return shown;
}

MessageBoxLayout LayOutMessageBox(HDC dc, std::string_view text,
                                  const std::vector<MessageBoxButton>& buttons, bool hasIcon) {
  using L = MessageBoxLayout;
  MessageBoxLayout layout;
  TEXTMETRICA metrics;
  GetTextMetricsA(dc, &metrics);
  layout.lineHeight = metrics.tmHeight;
  layout.lines = WrapText(dc, text, L::kMaxTextWidth);

  int32_t textWidth = 0;
  for (const std::string& line : layout.lines) textWidth = std::max(textWidth, TextWidth(dc, line));
  const auto textHeight = static_cast<int32_t>(layout.lines.size()) * layout.lineHeight;

  int32_t textLeft = L::kMargin;
  int32_t contentHeight = textHeight;
  if (hasIcon) {
    const int32_t iconSize = std::max(GetSystemMetrics(SM_CXICON), kDefaultIconSize);
    layout.icon = RECT{L::kMargin, L::kMargin, L::kMargin + iconSize, L::kMargin + iconSize};
    textLeft = layout.icon.right + L::kIconGap;
    contentHeight = std::max(contentHeight, iconSize);
  }
  const int32_t textTop = L::kMargin + (contentHeight - textHeight) / 2;
  layout.text = RECT{textLeft, textTop, textLeft + textWidth, textTop + textHeight};

  std::vector<int32_t> widths;
  int32_t rowWidth = 0;
  for (const MessageBoxButton& button : buttons) {
    const int32_t width = std::max(
        L::kMinButtonWidth, TextWidth(dc, ShownButtonText(button.text)) + 2 * L::kButtonPadding);
    widths.push_back(width);
    rowWidth += width + (widths.size() > 1 ? L::kButtonSpacing : 0);
  }
  layout.client.cx = std::max(layout.text.right - L::kMargin, rowWidth) + 2 * L::kMargin;
  const int32_t buttonsTop = L::kMargin + contentHeight + L::kButtonGap;
  layout.client.cy = buttonsTop + L::kButtonHeight + L::kMargin;
  int32_t left = (layout.client.cx - rowWidth) / 2;
  for (const int32_t width : widths) {
    layout.buttons.push_back(RECT{left, buttonsTop, left + width, buttonsTop + L::kButtonHeight});
    left += width + L::kButtonSpacing;
  }
  return layout;
}

}  // namespace platform
