// Menu resources: menus written as tables of items (commands, separators
// and popups holding items of their own), loaded as a new menu tree.
#pragma once

#include <vector>

#include "framework/resource_registry.h"
#include "platform/menu.h"

namespace framework {

enum class MenuItemKind { kCommand, kSeparator, kPopup };

struct MenuResourceItem {
  MenuItemKind kind = MenuItemKind::kCommand;
  UINT id = 0;
  const char* text = nullptr;  // UTF-8; "&X" marks the mnemonic, a tab starts the key
  // MF_GRAYED, MF_DISABLED and MF_CHECKED.
  UINT state = 0;
  std::vector<MenuResourceItem> items;  // a popup's
};

inline MenuResourceItem MenuCommand(UINT id, const char* text, UINT state = 0) {
  return MenuResourceItem{MenuItemKind::kCommand, id, text, state, {}};
}
inline MenuResourceItem MenuSeparator() {
  return MenuResourceItem{MenuItemKind::kSeparator, 0, nullptr, 0, {}};
}
inline MenuResourceItem MenuPopup(const char* text, std::vector<MenuResourceItem> items,
                                  UINT state = 0) {
  return MenuResourceItem{MenuItemKind::kPopup, 0, text, state, std::move(items)};
}

// False when the id is taken, a command or popup has no text, a text has
// a character CP932 lacks, or a state holds other flags than the three.
bool RegisterMenu(UINT id, const std::vector<MenuResourceItem>& items);

// A new menu bar (CreateMenu) holding the table's items, each popup a new
// popup menu it owns; the caller owns the bar (DestroyMenu, or a window it
// is set on). kNoMenu for an id with no menu.
platform::HMENU LoadMenu(UINT id);

// Forgets every menu table; for tests.
void ResetMenuResources();

}  // namespace framework
