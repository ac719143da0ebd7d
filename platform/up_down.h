// The up-down control: windows of the system class "msctls_updown32", a
// pair of arrows that step a position within a range and, beside an edit
// (its buddy), write the position there as a number. Each step is first
// offered to the parent as UDN_DELTAPOS (WM_NOTIFY; a nonzero answer
// refuses it), then the position moves, the buddy's text is written and
// the parent gets WM_VSCROLL with SB_THUMBPOSITION and the position in
// the high word (lParam the control); releasing the arrow or the key
// sends SB_ENDSCROLL.
#pragma once

#include <cstdint>

#include "platform/control_notify.h"
#include "platform/windef.h"
#include "platform/window_message.h"

namespace platform {

inline constexpr char kUpDownClass[] = "msctls_updown32";

// The buddy's text is the position as a decimal number.
inline constexpr DWORD UDS_SETBUDDYINT = 0x0002;
// The control takes the right end of its buddy: the buddy is narrowed by
// the control's width and the control stands there, as tall as the buddy.
inline constexpr DWORD UDS_ALIGNRIGHT = 0x0004;
// The buddy is the window right above the control in Z order: the
// control before it in a dialog, whose controls go down the Z order in
// their template's order. It is taken when the control is made or, when
// nothing lies above it then, when it is first put below another window.
inline constexpr DWORD UDS_AUTOBUDDY = 0x0010;
// Up and Down in the buddy (Ctrl held or not) and in the control step it.
inline constexpr DWORD UDS_ARROWKEYS = 0x0020;

// lParam MAKELONG(upper, lower). The up arrow moves towards the upper
// end, which may lie below the lower one; both ends are kept within
// kUpDownMinValue..kUpDownMaxValue.
inline constexpr UINT UDM_SETRANGE = WM_USER + 101;
// Answers MAKELONG(upper, lower).
inline constexpr UINT UDM_GETRANGE = WM_USER + 102;
// lParam's low word the position, kept within the range; answers the
// previous one.
inline constexpr UINT UDM_SETPOS = WM_USER + 103;
// Answers the position in the low word. With UDS_SETBUDDYINT it is read
// from the buddy's text first; a text that is no number, or one outside
// the range, answers the kept position with a nonzero high word.
inline constexpr UINT UDM_GETPOS = WM_USER + 104;
// wParam the new buddy; answers the previous one.
inline constexpr UINT UDM_SETBUDDY = WM_USER + 105;
inline constexpr UINT UDM_GETBUDDY = WM_USER + 106;

inline constexpr int32_t kUpDownMaxValue = 0x7FFF;
inline constexpr int32_t kUpDownMinValue = -kUpDownMaxValue;

inline constexpr UINT UDN_DELTAPOS = 0u - 721u - 1u;

// iPos the position before the step, iDelta the change it would make.
struct NMUPDOWN {
  NMHDR hdr;
  int32_t iPos = 0;
  int32_t iDelta = 0;
};

}  // namespace platform
