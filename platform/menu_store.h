// What the menu tracker and the painters read of a menu: a copy of its
// items taken under the menus' lock. Internal to the menus.
#pragma once

#include <optional>
#include <string>
#include <vector>

#include "platform/menu.h"

namespace platform {

struct MenuItem {
  // MF_ flags: MF_POPUP, MF_SEPARATOR, MF_GRAYED, MF_DISABLED, MF_CHECKED.
  UINT flags = 0;
  UINT id = 0;
  HMENU popup = kNoMenu;
  std::string text;

  bool IsSeparator() const { return (flags & MF_SEPARATOR) != 0; }
  bool IsPopup() const { return (flags & MF_POPUP) != 0; }
  // Greyed and disabled items can be highlighted but not chosen.
  bool CanChoose() const { return (flags & (MF_GRAYED | MF_DISABLED)) == 0; }
};

// The menu's items; nullopt for no menu.
std::optional<std::vector<MenuItem>> MenuItemsOf(HMENU menu);

}  // namespace platform
