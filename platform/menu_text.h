// An item's text as the menus show it: the label before a tab, with "&X"
// marking the mnemonic and "&&" a literal '&', and the key after the tab.
// The '&' is looked for only at character boundaries, so a trail byte is
// never taken for one. Internal to the menus.
#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace platform {

struct MenuText {
  // The label without its '&' marks.
  std::string label;
  std::string key;
  // Where the underlined character starts in the label.
  std::optional<size_t> mnemonicAt;
  // The mnemonic as its key types it: an upper-case letter or a digit;
  // 0 for none (a double-byte mnemonic has no key of its own).
  char mnemonicKey = 0;
};

MenuText ParseMenuText(std::string_view text);

// The mnemonic a typed character names: a letter in upper case or a
// digit; 0 for any other byte.
char MnemonicKey(char byte);

}  // namespace platform
