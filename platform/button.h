// The "Button" system class: push buttons (the default one framed
// heavier), auto check boxes, auto radio buttons and group boxes, with the
// Win32 style values. A button is clicked by Space (pressed on key-down,
// clicked on key-up), by the mouse, by BM_CLICK, and by the dialog on
// Enter or its mnemonic; each click tells the parent BN_CLICKED. An auto
// check box toggles; an auto radio button checks itself and unchecks the
// other auto radio buttons of its WS_GROUP group.
#pragma once

#include "platform/window.h"

namespace platform {

inline constexpr char kButtonClass[] = "Button";

// The button kinds, in the low four bits of the style.
inline constexpr DWORD BS_PUSHBUTTON = 0x0;
inline constexpr DWORD BS_DEFPUSHBUTTON = 0x1;
inline constexpr DWORD BS_AUTOCHECKBOX = 0x3;
inline constexpr DWORD BS_GROUPBOX = 0x7;
inline constexpr DWORD BS_AUTORADIOBUTTON = 0x9;
inline constexpr DWORD BS_TYPEMASK = 0xF;
// A push button that shows its icon (BM_SETIMAGE) instead of its text.
inline constexpr DWORD BS_ICON = 0x40;

inline constexpr UINT BM_GETCHECK = 0x00F0;
inline constexpr UINT BM_SETCHECK = 0x00F1;
inline constexpr UINT BM_GETSTATE = 0x00F2;
// wParam the new kind (push or default push), LOWORD(lParam) whether to redraw.
inline constexpr UINT BM_SETSTYLE = 0x00F4;
inline constexpr UINT BM_CLICK = 0x00F5;
inline constexpr UINT BM_GETIMAGE = 0x00F6;
inline constexpr UINT BM_SETIMAGE = 0x00F7;

inline constexpr WPARAM BST_UNCHECKED = 0;
inline constexpr WPARAM BST_CHECKED = 1;
// BM_GETSTATE's bit while the button is held down.
inline constexpr LRESULT BST_PUSHED = 0x0004;
inline constexpr LRESULT BST_FOCUS = 0x0008;

inline constexpr UINT BN_CLICKED = 0;

// The kind bits of a button's style.
inline DWORD ButtonKindOf(DWORD style) { return style & BS_TYPEMASK; }
inline bool IsPushKind(DWORD kind) { return kind == BS_PUSHBUTTON || kind == BS_DEFPUSHBUTTON; }

}  // namespace platform
