#include "framework/menu_cmd_ui.h"

namespace framework {
namespace {

constexpr UINT kItemStateFlags = platform::MF_GRAYED | platform::MF_DISABLED | platform::MF_CHECKED;

}  // namespace

CMenuItemCmdUI::CMenuItemCmdUI(platform::HMENU menu, UINT index, UINT id)
    : CCmdUI(id), m_hMenu(menu), m_nIndex(index) {}

void CMenuItemCmdUI::Enable(bool on) {
  CCmdUI::Enable(on);
  platform::EnableMenuItem(
      m_hMenu, m_nIndex,
      platform::MF_BYPOSITION | (on ? platform::MF_ENABLED : platform::MF_GRAYED));
}

void CMenuItemCmdUI::SetCheck(int check) {
  CCmdUI::SetCheck(check);
  platform::CheckMenuItem(
      m_hMenu, m_nIndex,
      platform::MF_BYPOSITION | (check != 0 ? platform::MF_CHECKED : platform::MF_UNCHECKED));
}

void CMenuItemCmdUI::SetText(const char* text) {
  CCmdUI::SetText(text);
  const UINT state =
      platform::GetMenuState(m_hMenu, m_nIndex, platform::MF_BYPOSITION) & kItemStateFlags;
  platform::ModifyMenu(m_hMenu, m_nIndex, platform::MF_BYPOSITION | platform::MF_STRING | state,
                       m_nID, text);
}

void UpdateMenuItems(CCmdTarget* target, platform::HMENU popup) {
  const int count = platform::GetMenuItemCount(popup);
  for (int index = 0; index < count; ++index) {
    const UINT id = platform::GetMenuItemID(popup, index);
    // Popups and separators have no command to ask about.
    if (id == platform::kNoMenuItem || id == 0) continue;
    CMenuItemCmdUI item(popup, static_cast<UINT>(index), id);
    item.DoUpdate(target, true);
  }
}

}  // namespace framework
