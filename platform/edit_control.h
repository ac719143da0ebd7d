// The edit control: windows of the system class "Edit", one line of CP932
// text the user types into, with a caret and a selection. Positions are
// byte offsets and always stand at the start of a character; a double-byte
// character is typed as WM_CHAR lead byte then trail byte, or whole as
// WM_IME_CHAR, and is moved over, deleted and selected whole.
//
// The parent hears of it by WM_COMMAND with the control's id and one of
// the EN_* codes, and is asked for the colours by WM_CTLCOLOREDIT
// (WM_CTLCOLORSTATIC while the control is disabled).
//
// In a dialog: WM_GETDLGCODE answers DLGC_WANTCHARS | DLGC_HASSETSEL |
// DLGC_WANTARROWS, so the control keeps the arrows and the characters but
// not Tab, Enter or Esc; DLGC_HASSETSEL asks the dialog to select all the
// text (EM_SETSEL 0, -1) when it tabs into the control. A click gives the
// focus without selecting.
#pragma once

#include <cstdint>

#include "platform/windef.h"
#include "platform/window_message.h"

namespace platform {

inline constexpr char kEditClass[] = "Edit";

// Styles. Only the single-line control is built: ES_MULTILINE is named so
// that callers can tell a multi-line edit apart.
inline constexpr DWORD ES_LEFT = 0x0000;
inline constexpr DWORD ES_MULTILINE = 0x0004;
// Without it, what would not fit the control's width is refused as what
// passes the limit is.
inline constexpr DWORD ES_AUTOHSCROLL = 0x0080;
// Only the digits 0-9 may be typed or pasted; anything else beeps.
inline constexpr DWORD ES_NUMBER = 0x2000;

// wParam, lParam: DWORD* for the start and the end (either may be null);
// the answer holds both in its words, -1 when one passes 65535.
inline constexpr UINT EM_GETSEL = 0x00B0;
// wParam the anchor, lParam the caret's end, in bytes; a start of -1
// drops the selection, an end of -1 (or past the text) is its end. Does
// not scroll: EM_SCROLLCARET does.
inline constexpr UINT EM_SETSEL = 0x00B1;
inline constexpr UINT EM_SCROLLCARET = 0x00B7;
inline constexpr UINT EM_GETMODIFY = 0x00B8;
inline constexpr UINT EM_SETMODIFY = 0x00B9;
// lParam the CP932 text that replaces the selection, cut after the last
// whole character the limit leaves room for.
inline constexpr UINT EM_REPLACESEL = 0x00C2;
// wParam the most bytes typing, pasting and EM_REPLACESEL may bring the
// text to (0: as many as can be); the text already there stays.
inline constexpr UINT EM_LIMITTEXT = 0x00C5;
inline constexpr UINT EM_GETLIMITTEXT = 0x00D5;

inline constexpr uint32_t kDefaultEditLimit = 30000;
inline constexpr uint32_t kMaxEditLimit = 0x7FFFFFFE;

// Notify codes, in the high word of the WM_COMMAND's wParam. EN_UPDATE
// comes when the text has changed and before it is shown, EN_CHANGE after;
// EN_MAXTEXT when an insertion was refused or cut for the limit or the width.
inline constexpr UINT EN_SETFOCUS = 0x0100;
inline constexpr UINT EN_KILLFOCUS = 0x0200;
inline constexpr UINT EN_CHANGE = 0x0300;
inline constexpr UINT EN_UPDATE = 0x0400;
inline constexpr UINT EN_MAXTEXT = 0x0501;

}  // namespace platform
