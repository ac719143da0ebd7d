#include "platform/menu_text.h"

#include <gtest/gtest.h>

#include <optional>
#include <string>

namespace {

using namespace platform;

struct TextCase {
  const char* what;
  std::string text;
  std::string label;
  std::string key;
  std::optional<size_t> mnemonicAt;
  char mnemonicKey;
};

TEST(MenuTextTest, SplitsLabelMnemonicAndKey) {
  const TextCase cases[] = {
      {"plain", "Open", "Open", "", std::nullopt, 0},
      {"a mnemonic, in upper case", "&open", "open", "", 0, 'O'},
      {"the key after a tab", "&Open\tCtrl+O", "Open", "Ctrl+O", 0, 'O'},
      {"\"&&\" is a literal ampersand", "A&&B", "A&B", "", std::nullopt, 0},
      {"a mnemonic after a literal one", "&&T&ab", "&Tab", "", 2, 'A'},
      {"only the first mark counts", "&A&B", "AB", "", 0, 'A'},
      {"a mark at the end is kept", "A&", "A&", "", std::nullopt, 0},
      {"a digit", "&1 file", "1 file", "", 0, '1'},
      // 印刷(&P): the mnemonic after double-byte text.
      {"after double-byte text", "\x88\xF3\x8D\xFC(&P)", "\x88\xF3\x8D\xFC(P)", "", 5, 'P'},
      // &表示: a double-byte mnemonic has no key; 表's trail byte is '\'.
      {"a double-byte mnemonic", "&\x95\x5C\x8E\xA6", "\x95\x5C\x8E\xA6", "", 0, 0},
      // ソ (83 5C) then a tab: the trail byte is no separator, the tab is.
      {"a trail byte before the tab", "\x83\x5C\tF1", "\x83\x5C", "F1", std::nullopt, 0},
      // 集 (8F 57): its trail byte 'W' is no mnemonic.
      {"a trail byte is never a mark", "\x8F\x57&X", "\x8F\x57X", "", 2, 'X'},
  };
  for (const TextCase& c : cases) {
    const MenuText parsed = ParseMenuText(c.text);
    EXPECT_EQ(parsed.label, c.label) << c.what;
    EXPECT_EQ(parsed.key, c.key) << c.what;
    EXPECT_EQ(parsed.mnemonicAt, c.mnemonicAt) << c.what;
    EXPECT_EQ(parsed.mnemonicKey, c.mnemonicKey) << c.what;
  }
}

TEST(MenuTextTest, ATypedCharacterNamesItsMnemonic) {
  EXPECT_EQ(MnemonicKey('f'), 'F');
  EXPECT_EQ(MnemonicKey('F'), 'F');
  EXPECT_EQ(MnemonicKey('7'), '7');
  EXPECT_EQ(MnemonicKey(' '), 0);
  EXPECT_EQ(MnemonicKey('\x83'), 0);
}

}  // namespace
