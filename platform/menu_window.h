// Menus on the screen: popups tracked from the keyboard and the mouse,
// and the menu bar of a top-level window.
//
// While a menu is up its thread runs one nested loop. The keys go to the
// menu, never to the application's windows (a keyboard hook takes them;
// those typed after the choice go on to the application, in order), and
// the mouse is captured: a click on an item chooses it, a click
// outside every menu closes them. The owner is told what happens:
// WM_INITMENU when the bar is entered, WM_INITMENUPOPUP before each popup
// shows (its items are read after the answer, so the owner may enable,
// check or rename them), WM_MENUSELECT on each highlight and, once the
// menus close, WM_MENUSELECT with kMenuClosedFlags and no menu.
//
// The menu bar is a child strip at the top of the window, not a
// non-client area: windows here have no frame, and their client area is
// their whole rectangle, so one rule maps every window's coordinates and
// mouse points, paints and hit tests need no second case. GetClientRect
// therefore still answers the whole window; its other children go below
// MenuBarHeight. The strip is as wide as the screen and the window's edge
// clips it, so it never has to follow the window's size.
#pragma once

#include <cstdint>

#include "platform/menu.h"
#include "platform/windef.h"
#include "platform/window_message.h"

namespace platform {

inline constexpr char kPopupMenuClass[] = "#32768";
inline constexpr char kMenuBarClass[] = "LexoraMenuBar";

// Sent to the owner when the menu bar is entered: wParam the bar's HMENU.
inline constexpr UINT WM_INITMENU = 0x0116;
// wParam the command (its low four bits are the system's own); for
// SC_KEYMENU, lParam the character typed with Alt, 0 for Alt alone or F10.
inline constexpr UINT WM_SYSCOMMAND = 0x0112;
inline constexpr WPARAM SC_KEYMENU = 0xF100;
inline constexpr WPARAM kSysCommandMask = 0xFFF0;

inline constexpr UINT TPM_LEFTALIGN = 0x0000;
inline constexpr UINT TPM_TOPALIGN = 0x0000;
inline constexpr UINT TPM_LEFTBUTTON = 0x0000;
// The right button chooses an item too.
inline constexpr UINT TPM_RIGHTBUTTON = 0x0002;
// Answer the chosen command instead of posting WM_COMMAND.
inline constexpr UINT TPM_RETURNCMD = 0x0100;

// Shows the popup with its top-left corner at the screen point (moved
// back onto the screen where it would run off its right or bottom edge,
// as submenus and the bar's popups are) and tracks it until an item is
// chosen or the menu is closed. Keys: Up and Down move the highlight
// (over greyed items too, never onto separators), Right or Enter open a
// submenu, Left or Esc close it, Esc on the popup itself closes it, Enter
// or an item's mnemonic chooses. With TPM_RETURNCMD it answers the chosen
// command, 0 for none; otherwise it posts WM_COMMAND (kCommandFromMenu)
// to the owner and answers whether an item was chosen. `reserved` and
// `rect` are not used. 0 for no menu, no owner, or while another menu is
// up on the thread.
int TrackPopupMenu(HMENU menu, UINT flags, int32_t x, int32_t y, int32_t reserved, HWND owner,
                   const RECT* rect);

// Gives a top-level window its menu bar (no menu takes it away). A menu
// taken away or replaced stays the caller's; the one a window has when it
// is destroyed is destroyed with it. Alt pressed and released alone or F10 then enters
// the bar with its first item highlighted; Left and Right move, Down or
// Enter open the item's popup, Left and Right from an open popup move to
// the neighbouring item's; Alt with an item's mnemonic opens it at once;
// Esc leaves. A chosen command is posted as WM_COMMAND to the window.
bool SetMenu(HWND window, HMENU menu);
HMENU GetMenu(HWND window);
// Draws the bar again after its items changed.
bool DrawMenuBar(HWND window);
// The strip's height; 0 for a window without a menu.
int32_t MenuBarHeight(HWND window);

}  // namespace platform
