#include "platform/menu.h"

#include <algorithm>
#include <cstring>
#include <mutex>
#include <unordered_map>
#include <vector>

#include "platform/menu_store.h"

namespace platform {

namespace {

constexpr UINT kEnableFlags = MF_GRAYED | MF_DISABLED;
constexpr UINT kCheckFlags = MF_CHECKED;
// The flags an item keeps from AppendMenu, InsertMenu and ModifyMenu.
constexpr UINT kItemFlags = MF_GRAYED | MF_DISABLED | MF_CHECKED | MF_POPUP | MF_SEPARATOR;
constexpr int kPopupCountShift = 8;
constexpr UINT kPopupCountMask = 0xFF;

struct Menu {
  std::vector<MenuItem> items;
};

// Where an item was found: its menu's items and its index there.
struct Place {
  std::vector<MenuItem>* items = nullptr;
  size_t index = 0;
  MenuItem& item() const { return (*items)[index]; }
};

// Every menu of the process, by handle. Menus are shared by all threads.
class MenuTable {
 public:
  std::mutex& mutex() { return mutex_; }

  // Everything below expects the lock held.
  HMENU Add() {
    const HMENU handle = next_++;
    menus_[handle] = Menu{};
    return handle;
  }
  Menu* Find(HMENU menu) {
    const auto it = menus_.find(menu);
    return it == menus_.end() ? nullptr : &it->second;
  }
  void Destroy(HMENU menu) {
    const auto it = menus_.find(menu);
    if (it == menus_.end()) return;
    const std::vector<MenuItem> items = std::move(it->second.items);
    menus_.erase(it);
    for (const MenuItem& item : items) {
      if (item.IsPopup()) Destroy(item.popup);
    }
  }
  // By position in the menu itself, by command in it and then in its
  // popups, depth first.
  std::optional<Place> Locate(HMENU menu, UINT item, UINT flags) {
    Menu* found = Find(menu);
    if (found == nullptr) return std::nullopt;
    if ((flags & MF_BYPOSITION) != 0) {
      if (item >= found->items.size()) return std::nullopt;
      return Place{&found->items, item};
    }
    return LocateCommand(*found, item, 0);
  }
  void Clear() { menus_.clear(); }

 private:
  // Popups nest no deeper than this; a popup that opens its own ancestor
  // would otherwise be searched for ever.
  static constexpr int kDeepestPopup = 32;

  std::optional<Place> LocateCommand(Menu& menu, UINT command, int depth) {
    for (size_t i = 0; i < menu.items.size(); ++i) {
      MenuItem& item = menu.items[i];
      if (!item.IsPopup() && !item.IsSeparator() && item.id == command) {
        return Place{&menu.items, i};
      }
      if (!item.IsPopup() || depth == kDeepestPopup) continue;
      if (Menu* popup = Find(item.popup)) {
        if (std::optional<Place> place = LocateCommand(*popup, command, depth + 1)) return place;
      }
    }
    return std::nullopt;
  }

  std::mutex mutex_;
  // Kept apart from window handles, so that one is never taken for the other.
  HMENU next_ = kFirstMenu;
  std::unordered_map<HMENU, Menu> menus_;

  static constexpr HMENU kFirstMenu = 0x20000000;
};

MenuTable& Table() {
  static MenuTable table;
  return table;
}

template <typename Result, typename Action>
Result WithItem(HMENU menu, UINT item, UINT flags, Result missing, Action act) {
  std::lock_guard lock(Table().mutex());
  const std::optional<Place> place = Table().Locate(menu, item, flags);
  return place ? act(*place) : missing;
}

// An item as AppendMenu and the others describe it; nullopt when it names
// a popup that is no menu.
std::optional<MenuItem> MakeItem(UINT flags, UINT_PTR idOrPopup, const char* text) {
  MenuItem item;
  item.flags = flags & kItemFlags;
  if (item.IsSeparator()) {
    item.flags = MF_SEPARATOR;
    return item;
  }
  item.text = text == nullptr ? "" : text;
  if (!item.IsPopup()) {
    item.id = static_cast<UINT>(idOrPopup);
    return item;
  }
  item.popup = static_cast<HMENU>(idOrPopup);
  if (Table().Find(item.popup) == nullptr) return std::nullopt;
  return item;
}

HMENU NewMenu() {
  std::lock_guard lock(Table().mutex());
  return Table().Add();
}

UINT SwapFlags(MenuItem& item, UINT group, UINT flags) {
  const UINT previous = item.flags & group;
  item.flags = (item.flags & ~group) | (flags & group);
  return previous;
}

bool TakeOut(HMENU menu, UINT position, UINT flags, bool destroyPopup) {
  std::lock_guard lock(Table().mutex());
  const std::optional<Place> place = Table().Locate(menu, position, flags);
  if (!place) return false;
  const MenuItem item = place->item();
  place->items->erase(place->items->begin() + static_cast<std::ptrdiff_t>(place->index));
  if (destroyPopup && item.IsPopup()) Table().Destroy(item.popup);
  return true;
}

}  // namespace

std::optional<std::vector<MenuItem>> MenuItemsOf(HMENU menu) {
  std::lock_guard lock(Table().mutex());
  const Menu* found = Table().Find(menu);
  if (found == nullptr) return std::nullopt;
  return found->items;
}

HMENU CreateMenu() { return NewMenu(); }

HMENU CreatePopupMenu() { return NewMenu(); }

bool DestroyMenu(HMENU menu) {
  std::lock_guard lock(Table().mutex());
  if (Table().Find(menu) == nullptr) return false;
  Table().Destroy(menu);
  return true;
}

bool IsMenu(HMENU menu) {
  std::lock_guard lock(Table().mutex());
  return Table().Find(menu) != nullptr;
}

bool AppendMenu(HMENU menu, UINT flags, UINT_PTR idOrPopup, const char* text) {
  return InsertMenu(menu, kMenuEnd, flags | MF_BYPOSITION, idOrPopup, text);
}

bool InsertMenu(HMENU menu, UINT position, UINT flags, UINT_PTR idOrPopup, const char* text) {
  std::lock_guard lock(Table().mutex());
  const std::optional<MenuItem> item = MakeItem(flags, idOrPopup, text);
  Menu* target = Table().Find(menu);
  if (!item || target == nullptr) return false;
  if ((flags & MF_BYPOSITION) != 0) {
    const size_t at = std::min<size_t>(position, target->items.size());
    target->items.insert(target->items.begin() + static_cast<std::ptrdiff_t>(at), *item);
    return true;
  }
  const std::optional<Place> place = Table().Locate(menu, position, flags);
  if (!place) return false;
  place->items->insert(place->items->begin() + static_cast<std::ptrdiff_t>(place->index), *item);
  return true;
}

bool ModifyMenu(HMENU menu, UINT position, UINT flags, UINT_PTR idOrPopup, const char* text) {
  std::lock_guard lock(Table().mutex());
  const std::optional<MenuItem> item = MakeItem(flags, idOrPopup, text);
  const std::optional<Place> place = Table().Locate(menu, position, flags);
  if (!item || !place) return false;
  place->item() = *item;
  return true;
}

bool RemoveMenu(HMENU menu, UINT position, UINT flags) {
  return TakeOut(menu, position, flags, false);
}

bool DeleteMenu(HMENU menu, UINT position, UINT flags) {
  return TakeOut(menu, position, flags, true);
}

UINT EnableMenuItem(HMENU menu, UINT item, UINT flags) {
  return WithItem(menu, item, flags, kNoMenuItem, [flags](const Place& place) {
    return SwapFlags(place.item(), kEnableFlags, flags);
  });
}

UINT CheckMenuItem(HMENU menu, UINT item, UINT flags) {
  return WithItem(menu, item, flags, kNoMenuItem, [flags](const Place& place) {
    return SwapFlags(place.item(), kCheckFlags, flags);
  });
}

UINT GetMenuState(HMENU menu, UINT item, UINT flags) {
  return WithItem(menu, item, flags, kNoMenuItem, [](const Place& place) {
    const MenuItem& found = place.item();
    if (!found.IsPopup()) return found.flags;
    const Menu* popup = Table().Find(found.popup);
    const size_t count = popup == nullptr ? 0 : popup->items.size();
    return found.flags | ((static_cast<UINT>(count) & kPopupCountMask) << kPopupCountShift);
  });
}

int GetMenuString(HMENU menu, UINT item, char* buffer, int size, UINT flags) {
  const std::string text = WithItem(menu, item, flags, std::string(),
                                    [](const Place& place) { return place.item().text; });
  if (buffer == nullptr) return static_cast<int>(text.size());
  if (size <= 0) return 0;
  const size_t copied = std::min<size_t>(text.size(), static_cast<size_t>(size) - 1);
  std::memcpy(buffer, text.data(), copied);
  buffer[copied] = '\0';
  return static_cast<int>(copied);
}

int GetMenuItemCount(HMENU menu) {
  std::lock_guard lock(Table().mutex());
  const Menu* found = Table().Find(menu);
  return found == nullptr ? -1 : static_cast<int>(found->items.size());
}

UINT GetMenuItemID(HMENU menu, int position) {
  if (position < 0) return kNoMenuItem;
  return WithItem(
      menu, static_cast<UINT>(position), MF_BYPOSITION, kNoMenuItem,
      [](const Place& place) { return place.item().IsPopup() ? kNoMenuItem : place.item().id; });
}

HMENU GetSubMenu(HMENU menu, int position) {
  if (position < 0) return kNoMenu;
  return WithItem(
      menu, static_cast<UINT>(position), MF_BYPOSITION, kNoMenu,
      [](const Place& place) { return place.item().IsPopup() ? place.item().popup : kNoMenu; });
}

void ResetMenus() {
  std::lock_guard lock(Table().mutex());
  Table().Clear();
}

}  // namespace platform
