// Menus: lists of items (command strings, separators and popups that open
// another menu) behind 32-bit handles shared by the process's threads. An
// item's text is CP932 bytes; "&X" marks X as its mnemonic, "&&" is a
// literal '&', and a tab starts the part shown at the right (the key).
//
// An item is named by its command id (MF_BYCOMMAND, the default, which
// searches the popups too) or by its position (MF_BYPOSITION). Calls that
// answer an item's previous state answer kNoMenuItem when there is no
// such item.
#pragma once

#include <cstdint>
#include <string>

#include "platform/control_notify.h"
#include "platform/windef.h"
#include "platform/window_message.h"

namespace platform {

using HMENU = uint32_t;
inline constexpr HMENU kNoMenu = 0;

// Sent to the owner before a popup shows: wParam the popup's HMENU,
// lParam its position in the menu that opened it (0 for a tracked popup).
inline constexpr UINT WM_INITMENUPOPUP = 0x0117;
// Sent to the owner on each highlight: LOWORD(wParam) the item's command
// (its position for a popup item), HIWORD its flags (MF_POPUP, MF_GRAYED,
// MF_HILITE …), lParam the menu it is in. On close: HIWORD 0xFFFF and no menu.
inline constexpr UINT WM_MENUSELECT = 0x011F;
inline constexpr UINT kMenuClosedFlags = 0xFFFF;

// HIWORD(wParam) of WM_COMMAND for a menu item and for an accelerator.
inline constexpr UINT kCommandFromMenu = 0;
inline constexpr UINT kCommandFromAccelerator = 1;

inline constexpr UINT MF_BYCOMMAND = 0x0000;
inline constexpr UINT MF_BYPOSITION = 0x0400;
inline constexpr UINT MF_STRING = 0x0000;
inline constexpr UINT MF_ENABLED = 0x0000;
inline constexpr UINT MF_GRAYED = 0x0001;
inline constexpr UINT MF_DISABLED = 0x0002;
inline constexpr UINT MF_UNCHECKED = 0x0000;
inline constexpr UINT MF_CHECKED = 0x0008;
inline constexpr UINT MF_POPUP = 0x0010;
inline constexpr UINT MF_HILITE = 0x0080;
inline constexpr UINT MF_SEPARATOR = 0x0800;

// What the item-state calls answer for an item that is not there.
inline constexpr UINT kNoMenuItem = 0xFFFFFFFFu;
// InsertMenu's position for the end of the menu.
inline constexpr UINT kMenuEnd = 0xFFFFFFFFu;

HMENU CreateMenu();
HMENU CreatePopupMenu();
// Destroys the menu and the popups its items open.
bool DestroyMenu(HMENU menu);
bool IsMenu(HMENU menu);

// With MF_POPUP, `idOrPopup` is the HMENU the item opens (the menu then
// owns it); with MF_SEPARATOR the text is ignored.
bool AppendMenu(HMENU menu, UINT flags, UINT_PTR idOrPopup, const char* text);
// Inserts before the item `position` names; by position kMenuEnd (or any
// position past the end) appends.
bool InsertMenu(HMENU menu, UINT position, UINT flags, UINT_PTR idOrPopup, const char* text);
// Replaces the item in place.
bool ModifyMenu(HMENU menu, UINT position, UINT flags, UINT_PTR idOrPopup, const char* text);
// Takes the item out; a popup it opened is kept, for the caller to use.
bool RemoveMenu(HMENU menu, UINT position, UINT flags);
// Takes the item out and destroys the popup it opened.
bool DeleteMenu(HMENU menu, UINT position, UINT flags);

// MF_ENABLED, MF_GRAYED or MF_DISABLED (with MF_BYPOSITION or not);
// answers the previous one of these.
UINT EnableMenuItem(HMENU menu, UINT item, UINT flags);
// MF_CHECKED or MF_UNCHECKED; answers the previous one.
UINT CheckMenuItem(HMENU menu, UINT item, UINT flags);
// The item's flags; for a popup item, its item count in the high byte.
UINT GetMenuState(HMENU menu, UINT item, UINT flags);
// Copies at most `size` - 1 bytes of the text and a NUL; answers the bytes
// copied. With no buffer, answers the text's length. 0 for no item.
int GetMenuString(HMENU menu, UINT item, char* buffer, int size, UINT flags);
// -1 for no menu.
int GetMenuItemCount(HMENU menu);
// The command of the item at the position; kNoMenuItem for a popup item
// or no item.
UINT GetMenuItemID(HMENU menu, int position);
HMENU GetSubMenu(HMENU menu, int position);

// Forgets every menu; for tests.
void ResetMenus();

}  // namespace platform
