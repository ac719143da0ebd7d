// The menu object: a thin owner of one platform menu handle. An object
// that holds a menu destroys it when it goes, so a menu given to a window
// (SetMenu) or to another menu (a popup) is detached first.
//
// FromHandle answers the object attached to a handle, or a temporary one
// that the application lets go when idle (DeleteTempMap); a temporary
// object never destroys its menu.
#pragma once

#include "framework/cstring.h"
#include "framework/runtime_class.h"
#include "platform/menu.h"
#include "platform/menu_window.h"

namespace framework {

class CWnd;

using platform::HMENU;
using platform::RECT;
using platform::UINT;
using platform::UINT_PTR;

class CMenu : public CObject {
  DECLARE_DYNAMIC(CMenu)

 public:
  CMenu() = default;
  ~CMenu() override;
  CMenu(const CMenu&) = delete;
  CMenu& operator=(const CMenu&) = delete;

  // Null for no menu.
  static CMenu* FromHandle(HMENU menu);
  static void DeleteTempMap();

  // False when this object holds a menu already, the handle is no menu,
  // or another object holds it.
  bool Attach(HMENU menu);
  // Leaves the menu without an object; answers it.
  HMENU Detach();
  HMENU GetSafeHmenu() const { return m_hMenu; }

  // A new menu bar, popup, or menu loaded from the resource id; false when
  // this object holds a menu already or none could be made.
  bool CreateMenu();
  bool CreatePopupMenu();
  bool LoadMenu(UINT resourceId);
  bool DestroyMenu();

  // With MF_POPUP, `idOrPopup` is the popup's handle (this menu then owns it).
  bool AppendMenu(UINT flags, UINT_PTR idOrPopup = 0, const char* text = nullptr);
  UINT EnableMenuItem(UINT item, UINT flags);
  UINT CheckMenuItem(UINT item, UINT flags);
  int GetMenuString(UINT item, char* buffer, int size, UINT flags) const;
  // The item's text; empty for no item.
  CString GetMenuString(UINT item, UINT flags) const;
  int GetMenuItemCount() const;
  // The popup at the position; null for a command, a separator or no item.
  CMenu* GetSubMenu(int position) const;
  // The chosen command with TPM_RETURNCMD, else whether one was chosen
  // (posted to the owner as WM_COMMAND).
  int TrackPopupMenu(UINT flags, int32_t x, int32_t y, CWnd* owner,
                     const RECT* rect = nullptr) const;

  HMENU m_hMenu = platform::kNoMenu;

 private:
  // Holds a menu just made; false (and the menu destroyed) when there is
  // none or this object holds one already.
  bool TakeNew(HMENU menu);
};

}  // namespace framework
