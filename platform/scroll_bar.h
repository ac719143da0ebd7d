// The scroll-bar control: windows of the system class "ScrollBar", a bar
// with an arrow at each end and a thumb on the track between them. It
// keeps a range, a page and a position; the user's arrows, page clicks,
// thumb drags and keys become WM_HSCROLL or WM_VSCROLL sent to its parent,
// whose answer is to move the position with SetScrollPos or
// SetScrollInfo. The bar never moves its own position.
//
// Windows here have no frame, so they have no scroll bars of their own:
// the scroll calls act only on controls (SB_CTL).
#pragma once

#include <cstdint>

#include "platform/windef.h"
#include "platform/window_message.h"

namespace platform {

inline constexpr char kScrollBarClass[] = "ScrollBar";

// Styles of a scroll-bar control.
inline constexpr DWORD SBS_HORZ = 0x0000;
inline constexpr DWORD SBS_VERT = 0x0001;

// Which bar a scroll call is for.
inline constexpr int SB_HORZ = 0;
inline constexpr int SB_VERT = 1;
inline constexpr int SB_CTL = 2;

inline constexpr UINT WM_HSCROLL = 0x0114;
inline constexpr UINT WM_VSCROLL = 0x0115;

// What the user did, in LOWORD of the notification's wParam. HIWORD holds
// the position for SB_THUMBTRACK and SB_THUMBPOSITION (its low 16 bits;
// GetScrollInfo with SIF_TRACKPOS answers it whole) and 0 otherwise.
inline constexpr int SB_LINEUP = 0;
inline constexpr int SB_LINELEFT = SB_LINEUP;
inline constexpr int SB_LINEDOWN = 1;
inline constexpr int SB_LINERIGHT = SB_LINEDOWN;
inline constexpr int SB_PAGEUP = 2;
inline constexpr int SB_PAGELEFT = SB_PAGEUP;
inline constexpr int SB_PAGEDOWN = 3;
inline constexpr int SB_PAGERIGHT = SB_PAGEDOWN;
inline constexpr int SB_THUMBPOSITION = 4;
inline constexpr int SB_THUMBTRACK = 5;
inline constexpr int SB_TOP = 6;
inline constexpr int SB_LEFT = SB_TOP;
inline constexpr int SB_BOTTOM = 7;
inline constexpr int SB_RIGHT = SB_BOTTOM;
inline constexpr int SB_ENDSCROLL = 8;

inline constexpr UINT SIF_RANGE = 0x0001;
inline constexpr UINT SIF_PAGE = 0x0002;
inline constexpr UINT SIF_POS = 0x0004;
// Setting: a bar the new values leave nothing to scroll shows disabled
// arrows and takes no input; one with something to scroll again is
// enabled again.
inline constexpr UINT SIF_DISABLENOSCROLL = 0x0008;
inline constexpr UINT SIF_TRACKPOS = 0x0010;
inline constexpr UINT SIF_ALL = SIF_RANGE | SIF_PAGE | SIF_POS | SIF_TRACKPOS;

struct SCROLLINFO {
  UINT cbSize = sizeof(SCROLLINFO);
  UINT fMask = 0;
  int32_t nMin = 0;
  int32_t nMax = 0;
  UINT nPage = 0;
  int32_t nPos = 0;
  // While the thumb is dragged, where it is; otherwise the position.
  int32_t nTrackPos = 0;
};
static_assert(sizeof(SCROLLINFO) == 28);

// What SetScrollInfo and GetScrollInfo send the control: wParam the redraw
// flag (set) or 0 (get), lParam the SCROLLINFO.
inline constexpr UINT SBM_SETSCROLLINFO = 0x00E9;
inline constexpr UINT SBM_GETSCROLLINFO = 0x00EA;

// Sets what the mask names, then keeps the page within the range
// (at most max - min + 1) and the position within [min, max - max(page - 1, 0)].
// A maximum below the minimum is taken as the minimum. Answers the new
// position; 0 for a wrong cbSize, another bar than SB_CTL or a window that
// is not a scroll bar.
int32_t SetScrollInfo(HWND window, int bar, const SCROLLINFO* info, bool redraw);
// Fills what the mask names; false when it names nothing, for a wrong
// cbSize or for anything but a scroll-bar control.
bool GetScrollInfo(HWND window, int bar, SCROLLINFO* info);
// Answers the previous position.
int32_t SetScrollPos(HWND window, int bar, int32_t pos, bool redraw);
int32_t GetScrollPos(HWND window, int bar);
bool SetScrollRange(HWND window, int bar, int32_t min, int32_t max, bool redraw);
bool GetScrollRange(HWND window, int bar, int32_t* min, int32_t* max);

}  // namespace platform
