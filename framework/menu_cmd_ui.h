// Menu items shown as their update handlers say: before a popup opens,
// each of its command items is asked through a CCmdUI that enables or
// grays, checks or unchecks and renames the item itself.
#pragma once

#include "framework/cmd_ui.h"
#include "platform/menu.h"

namespace framework {

class CMenuItemCmdUI : public CCmdUI {
 public:
  CMenuItemCmdUI(platform::HMENU menu, UINT index, UINT id);

  void Enable(bool on = true) override;
  void SetCheck(int check = 1) override;
  void SetText(const char* text) override;

 private:
  platform::HMENU m_hMenu;
  UINT m_nIndex;
};

// Updates every command item of the popup through the target's route. An
// item whose command has neither an update handler nor a handler is
// grayed.
void UpdateMenuItems(CCmdTarget* target, platform::HMENU popup);

}  // namespace framework
