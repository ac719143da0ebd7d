#include "platform/menu_text.h"

#include "platform/sjis.h"

namespace platform {

namespace {

constexpr char kMnemonicMark = '&';
constexpr char kKeySeparator = '\t';

}  // namespace

char MnemonicKey(char byte) {
  if (byte >= 'a' && byte <= 'z') return static_cast<char>(byte - 'a' + 'A');
  if ((byte >= 'A' && byte <= 'Z') || (byte >= '0' && byte <= '9')) return byte;
  return 0;
}

MenuText ParseMenuText(std::string_view text) {
  MenuText parsed;
  size_t pos = 0;
  while (pos < text.size()) {
    const size_t length = CharLengthAt(text, pos);
    if (length == 1 && text[pos] == kKeySeparator) {
      parsed.key = std::string(text.substr(pos + 1));
      break;
    }
    const bool marked = length == 1 && text[pos] == kMnemonicMark && pos + 1 < text.size();
    if (marked) ++pos;
    const size_t marks = CharLengthAt(text, pos);
    const bool literal = marked && marks == 1 && text[pos] == kMnemonicMark;
    if (marked && !literal && !parsed.mnemonicAt) {
      parsed.mnemonicAt = parsed.label.size();
      if (marks == 1) parsed.mnemonicKey = MnemonicKey(text[pos]);
    }
    parsed.label.append(text.substr(pos, marks));
    pos += marks;
  }
  return parsed;
}

}  // namespace platform
