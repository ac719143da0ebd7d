// Painting. Each window keeps an update region; WM_PAINT is made for it
// only when nothing else is queued for its thread, and keeps coming until
// the region is validated. BeginPaint sends WM_ERASEBKGND when the region
// asks for it (an answer of 0 leaves the erase pending, told in fErase),
// validates, and hands out a DC clipped to the region and the window's
// visible part and with its origin at the client area's corner. Each
// top-level window owns the image its windows paint into.
#pragma once

#include "platform/gdi.h"
#include "platform/windef.h"
#include "platform/window_message.h"

namespace platform {

inline constexpr UINT WM_PAINT = 0x000F;
inline constexpr UINT WM_ERASEBKGND = 0x0014;

struct PAINTSTRUCT {
  HDC hdc = nullptr;
  bool fErase = false;
  RECT rcPaint;
};

// No rectangle: the whole client area.
bool InvalidateRect(HWND window, const RECT* rect, bool erase);
bool ValidateRect(HWND window, const RECT* rect);
// No region: the whole client area. The region is in client coordinates
// and stays the caller's.
bool InvalidateRgn(HWND window, HRGN region, bool erase);
bool ValidateRgn(HWND window, HRGN region);
// The update region's bounds in client coordinates; false when empty.
// With `erase`, a pending erase is done now.
bool GetUpdateRect(HWND window, RECT* rect, bool erase);
// Copies the update region (client coordinates) into `region`; answers
// NULLREGION, SIMPLEREGION or COMPLEXREGION, ERROR for no window or region.
int GetUpdateRgn(HWND window, HRGN region, bool erase);
inline constexpr UINT RDW_INVALIDATE = 0x0001;
inline constexpr UINT RDW_ERASE = 0x0004;
inline constexpr UINT RDW_VALIDATE = 0x0008;
inline constexpr UINT RDW_NOERASE = 0x0020;
inline constexpr UINT RDW_NOCHILDREN = 0x0040;
inline constexpr UINT RDW_ALLCHILDREN = 0x0080;
inline constexpr UINT RDW_UPDATENOW = 0x0100;
inline constexpr UINT RDW_ERASENOW = 0x0200;

// Invalidates or validates the region, else the rectangle, else the
// client area of the window and, by the flags (by default: unless it
// clips them), of its children, then paints or erases them at once with
// RDW_UPDATENOW or RDW_ERASENOW.
bool RedrawWindow(HWND window, const RECT* rect, HRGN region, UINT flags);
// Sends WM_PAINT at once when the update region is not empty.
bool UpdateWindow(HWND window);

HDC BeginPaint(HWND window, PAINTSTRUCT* paint);
// Only the window's own thread paints it; BeginPaint elsewhere answers
// nullptr. EndPaint ends the paint BeginPaint began on the same window;
// any other DC is a misuse, reported and refused.
bool EndPaint(HWND window, const PAINTSTRUCT* paint);
inline constexpr UINT SW_INVALIDATE = 0x0002;
inline constexpr UINT SW_ERASE = 0x0004;

// Moves the pixels of `scroll` (no rectangle: the client area) by dx, dy
// within `clip` (none: the client area) and the window's visible part;
// the update region inside moves along. The strip left behind is handed
// back in `update` and `updateRegion`, and invalidated with
// SW_INVALIDATE (to be erased with SW_ERASE). Answers NULLREGION,
// SIMPLEREGION or COMPLEXREGION for the strip, ERROR for no window.
int ScrollWindowEx(HWND window, int32_t dx, int32_t dy, const RECT* scroll, const RECT* clip,
                   HRGN updateRegion, RECT* update, UINT flags);
bool ScrollWindow(HWND window, int32_t dx, int32_t dy, const RECT* scroll, const RECT* clip);

// A DC over the window's visible client area, outside any paint.
HDC GetDC(HWND window);
int ReleaseDC(HWND window, HDC dc);
// A DC over the whole window. Windows here have no frame, caption or
// scroll bars of their own, so it is the client area's DC.
HDC GetWindowDC(HWND window);
// Holds back the drawing of one window and its children: their DCs draw
// nothing and no WM_PAINT is made for them, while invalidations gather.
// 0 lets them go, and what gathered is then painted. False when another
// window is locked, for a window that is gone, or for 0 with none locked.
bool LockWindowUpdate(HWND window);

// The image of a top-level window, which the back end shows and tests read.
HDC GetWindowSurface(HWND topLevel);

}  // namespace platform
