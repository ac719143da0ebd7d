#include "framework/resource_menus.h"

#include <optional>
#include <string>

namespace framework {

namespace {

using platform::HMENU;
using platform::kNoMenu;

constexpr UINT kStateFlags = platform::MF_GRAYED | platform::MF_DISABLED | platform::MF_CHECKED;

// An item as registered: its text in CP932.
struct StoredMenuItem {
  MenuItemKind kind = MenuItemKind::kCommand;
  UINT id = 0;
  std::string text;
  UINT state = 0;
  std::vector<StoredMenuItem> items;
};
using StoredMenu = std::vector<StoredMenuItem>;

ResourceRegistry<StoredMenu>& Menus() {
  static ResourceRegistry<StoredMenu> menus;
  return menus;
}

std::optional<StoredMenu> Convert(const std::vector<MenuResourceItem>& items) {
  StoredMenu stored;
  for (const MenuResourceItem& item : items) {
    StoredMenuItem converted{item.kind, item.id, {}, item.state, {}};
    if ((item.state & ~kStateFlags) != 0) return std::nullopt;
    if (item.kind != MenuItemKind::kSeparator) {
      if (item.text == nullptr) return std::nullopt;
      std::optional<std::string> text = ResourceText(item.text);
      if (!text) return std::nullopt;
      converted.text = std::move(*text);
    }
    if (item.kind == MenuItemKind::kPopup) {
      std::optional<StoredMenu> popup = Convert(item.items);
      if (!popup) return std::nullopt;
      converted.items = std::move(*popup);
    }
    stored.push_back(std::move(converted));
  }
  return stored;
}

// Appends the items to the menu; false when the menu calls fail.
bool Fill(HMENU menu, const StoredMenu& items) {
  for (const StoredMenuItem& item : items) {
    bool appended = false;
    switch (item.kind) {
      case MenuItemKind::kSeparator:
        appended = platform::AppendMenu(menu, platform::MF_SEPARATOR, 0, nullptr);
        break;
      case MenuItemKind::kCommand:
        appended = platform::AppendMenu(menu, platform::MF_STRING | item.state, item.id,
                                        item.text.c_str());
        break;
      case MenuItemKind::kPopup: {
        const HMENU popup = platform::CreatePopupMenu();
        appended =
            Fill(popup, item.items) &&
            platform::AppendMenu(menu, platform::MF_POPUP | item.state, popup, item.text.c_str());
        if (!appended) platform::DestroyMenu(popup);
        break;
      }
    }
    if (!appended) return false;
  }
  return true;
}

}  // namespace

bool RegisterMenu(UINT id, const std::vector<MenuResourceItem>& items) {
  std::optional<StoredMenu> stored = Convert(items);
  return stored && Menus().Add(id, std::move(*stored));
}

HMENU LoadMenu(UINT id) {
  const StoredMenu* items = Menus().Find(id);
  if (items == nullptr) return kNoMenu;
  const HMENU menu = platform::CreateMenu();
  if (Fill(menu, *items)) return menu;
  platform::DestroyMenu(menu);
  return kNoMenu;
}

void ResetMenuResources() { Menus().Clear(); }

}  // namespace framework
