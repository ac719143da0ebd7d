#include "framework/menu.h"

#include <memory>
#include <string>
#include <unordered_map>

#include "framework/resource_menus.h"
#include "framework/wnd.h"

namespace framework {
namespace {

// The UI thread's objects by handle.
std::unordered_map<HMENU, CMenu*>& PermanentMenus() {
  static std::unordered_map<HMENU, CMenu*> menus;
  return menus;
}

std::unordered_map<HMENU, std::unique_ptr<CMenu>>& TemporaryMenus() {
  static std::unordered_map<HMENU, std::unique_ptr<CMenu>> menus;
  return menus;
}

}  // namespace

IMPLEMENT_DYNAMIC(CMenu, CObject)

CMenu::~CMenu() { DestroyMenu(); }

CMenu* CMenu::FromHandle(HMENU menu) {
  if (menu == platform::kNoMenu) return nullptr;
  const auto permanent = PermanentMenus().find(menu);
  if (permanent != PermanentMenus().end()) return permanent->second;
  std::unique_ptr<CMenu>& temporary = TemporaryMenus()[menu];
  if (temporary == nullptr) {
    temporary = std::make_unique<CMenu>();
    temporary->m_hMenu = menu;
  }
  return temporary.get();
}

void CMenu::DeleteTempMap() {
  // A temporary object only borrows its menu.
  for (auto& [handle, object] : TemporaryMenus()) object->m_hMenu = platform::kNoMenu;
  TemporaryMenus().clear();
}

bool CMenu::Attach(HMENU menu) {
  if (m_hMenu != platform::kNoMenu || !platform::IsMenu(menu) || PermanentMenus().count(menu) != 0)
    return false;
  m_hMenu = menu;
  PermanentMenus()[menu] = this;
  return true;
}

HMENU CMenu::Detach() {
  const HMENU menu = m_hMenu;
  const auto entry = PermanentMenus().find(menu);
  if (entry != PermanentMenus().end() && entry->second == this) PermanentMenus().erase(entry);
  m_hMenu = platform::kNoMenu;
  return menu;
}

bool CMenu::TakeNew(HMENU menu) {
  if (menu == platform::kNoMenu) return false;
  if (Attach(menu)) return true;
  platform::DestroyMenu(menu);
  return false;
}

bool CMenu::CreateMenu() { return m_hMenu == platform::kNoMenu && TakeNew(platform::CreateMenu()); }

bool CMenu::CreatePopupMenu() {
  return m_hMenu == platform::kNoMenu && TakeNew(platform::CreatePopupMenu());
}

bool CMenu::LoadMenu(UINT resourceId) {
  return m_hMenu == platform::kNoMenu && TakeNew(framework::LoadMenu(resourceId));
}

bool CMenu::DestroyMenu() {
  if (m_hMenu == platform::kNoMenu) return false;
  return platform::DestroyMenu(Detach());
}

bool CMenu::AppendMenu(UINT flags, UINT_PTR idOrPopup, const char* text) {
  return platform::AppendMenu(m_hMenu, flags, idOrPopup, text);
}

UINT CMenu::EnableMenuItem(UINT item, UINT flags) {
  return platform::EnableMenuItem(m_hMenu, item, flags);
}

UINT CMenu::CheckMenuItem(UINT item, UINT flags) {
  return platform::CheckMenuItem(m_hMenu, item, flags);
}

int CMenu::GetMenuString(UINT item, char* buffer, int size, UINT flags) const {
  return platform::GetMenuString(m_hMenu, item, buffer, size, flags);
}

CString CMenu::GetMenuString(UINT item, UINT flags) const {
  const int length = platform::GetMenuString(m_hMenu, item, nullptr, 0, flags);
  if (length <= 0) return CString();
  std::string text(static_cast<size_t>(length) + 1, '\0');
  text.resize(
      static_cast<size_t>(platform::GetMenuString(m_hMenu, item, text.data(), length + 1, flags)));
  return CString(std::move(text));
}

int CMenu::GetMenuItemCount() const { return platform::GetMenuItemCount(m_hMenu); }

CMenu* CMenu::GetSubMenu(int position) const {
  return FromHandle(platform::GetSubMenu(m_hMenu, position));
}

int CMenu::TrackPopupMenu(UINT flags, int32_t x, int32_t y, CWnd* owner, const RECT* rect) const {
  return platform::TrackPopupMenu(
      m_hMenu, flags, x, y, 0, owner != nullptr ? owner->GetSafeHwnd() : platform::kNoWindow, rect);
}

}  // namespace framework
