// Windows: classes, the process's window tree, styles, text, properties,
// placement and coordinates. A window has no frame of its own, so its
// client area is the whole of its rectangle. A child's rectangle is kept
// in its parent's client coordinates, a top-level window's on the screen.
#pragma once

#include <cstdint>
#include <functional>
#include <string>

#include "platform/gdi.h"
#include "platform/windef.h"
#include "platform/window_message.h"

namespace platform {

using ATOM = uint16_t;
using HANDLE = uintptr_t;
using HCURSOR = uintptr_t;

inline constexpr UINT CS_VREDRAW = 0x0001;
inline constexpr UINT CS_HREDRAW = 0x0002;
inline constexpr UINT CS_DBLCLKS = 0x0008;
inline constexpr UINT CS_OWNDC = 0x0020;

inline constexpr DWORD WS_POPUP = 0x80000000;
inline constexpr DWORD WS_CHILD = 0x40000000;
inline constexpr DWORD WS_VISIBLE = 0x10000000;
inline constexpr DWORD WS_DISABLED = 0x08000000;
inline constexpr DWORD WS_CLIPSIBLINGS = 0x04000000;
inline constexpr DWORD WS_CLIPCHILDREN = 0x02000000;
inline constexpr DWORD WS_BORDER = 0x00800000;
inline constexpr DWORD WS_CAPTION = 0x00C00000;
inline constexpr DWORD WS_SYSMENU = 0x00080000;
// A dialog's control that opens a group: the arrow keys move within one.
inline constexpr DWORD WS_GROUP = 0x00020000;
inline constexpr DWORD WS_TABSTOP = 0x00010000;
inline constexpr DWORD WS_EX_TOPMOST = 0x00000008;

struct WNDCLASS {
  UINT style = 0;
  WNDPROC lpfnWndProc = nullptr;
  HCURSOR hCursor = 0;
  HBRUSH hbrBackground = nullptr;
  const char* lpszClassName = nullptr;
};

// Handed to WM_NCCREATE and WM_CREATE; read it with CreateParamsOf.
struct CREATESTRUCT {
  void* lpCreateParams = nullptr;
  int32_t id = 0;
  HWND hwndParent = kNoWindow;
  int32_t cy = 0;
  int32_t cx = 0;
  int32_t y = 0;
  int32_t x = 0;
  DWORD style = 0;
  const char* lpszName = nullptr;
  const char* lpszClass = nullptr;
  DWORD dwExStyle = 0;
};

inline constexpr UINT SWP_NOSIZE = 0x0001;
inline constexpr UINT SWP_NOMOVE = 0x0002;
inline constexpr UINT SWP_NOZORDER = 0x0004;
inline constexpr UINT SWP_NOACTIVATE = 0x0010;
inline constexpr UINT SWP_SHOWWINDOW = 0x0040;
inline constexpr UINT SWP_HIDEWINDOW = 0x0080;

inline constexpr HWND HWND_TOP = 0;
inline constexpr HWND HWND_BOTTOM = 1;

// Handed to WM_WINDOWPOSCHANGED; read it with WindowPosOf.
struct WINDOWPOS {
  HWND hwnd = kNoWindow;
  HWND hwndInsertAfter = kNoWindow;
  int32_t x = 0;
  int32_t y = 0;
  int32_t cx = 0;
  int32_t cy = 0;
  UINT flags = 0;
};

inline constexpr WPARAM SIZE_RESTORED = 0;
inline constexpr WPARAM SIZE_MINIMIZED = 1;
inline constexpr WPARAM SIZE_MAXIMIZED = 2;

inline constexpr int SW_HIDE = 0;
inline constexpr int SW_SHOWNORMAL = 1;
inline constexpr int SW_SHOWNOACTIVATE = 4;
inline constexpr int SW_SHOW = 5;
inline constexpr int SW_SHOWNA = 8;

inline constexpr int GWLP_WNDPROC = -4;
inline constexpr int GWLP_HWNDPARENT = -8;
inline constexpr int GWL_STYLE = -16;
inline constexpr int GWL_EXSTYLE = -20;
inline constexpr int GWLP_USERDATA = -21;
inline constexpr int GWL_ID = -12;

inline constexpr UINT GW_HWNDFIRST = 0;
inline constexpr UINT GW_HWNDLAST = 1;
inline constexpr UINT GW_HWNDNEXT = 2;
inline constexpr UINT GW_HWNDPREV = 3;
inline constexpr UINT GW_OWNER = 4;
inline constexpr UINT GW_CHILD = 5;

inline constexpr UINT GA_PARENT = 1;
inline constexpr UINT GA_ROOT = 2;

inline constexpr UINT CWP_ALL = 0x0000;
inline constexpr UINT CWP_SKIPINVISIBLE = 0x0001;
inline constexpr UINT CWP_SKIPDISABLED = 0x0002;

// ---- Classes -------------------------------------------------------------

// 0 when the name is taken (ignoring case) or the class has no procedure.
ATOM RegisterClass(const WNDCLASS& windowClass);
bool UnregisterClass(const char* className);
bool GetClassInfo(const char* className, WNDCLASS* windowClass);

// ---- Creation and the tree -------------------------------------------------

// Creates a window of a registered class on the calling thread. A child
// goes on top of its siblings. WM_NCCREATE answering 0 or WM_CREATE
// answering -1 fails the creation (the window is destroyed again and 0
// answered); then WM_SIZE and WM_MOVE, and WM_SHOWWINDOW for WS_VISIBLE.
HWND CreateWindowEx(DWORD exStyle, const char* className, const char* text, DWORD style, int32_t x,
                    int32_t y, int32_t width, int32_t height, HWND parentOrOwner, int32_t id,
                    void* createParams);
// Runs once, for the next window the calling thread creates: after its
// handle exists and before its first message (WM_NCCREATE), so that an
// object can be attached and a procedure put in front whatever the
// window's class. Answers the hook not yet taken that it replaces.
using CreationHook = std::function<void(HWND)>;
CreationHook HookNextWindowCreation(CreationHook hook);
LRESULT DefWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
LRESULT CallWindowProc(WNDPROC proc, HWND window, UINT message, WPARAM wParam, LPARAM lParam);

// The parent of a child, the owner of a top-level window.
HWND GetParent(HWND window);
bool IsChild(HWND parent, HWND window);
// GA_PARENT: the parent of a child, 0 for a top-level window; GA_ROOT: the
// top-level window a child is in (itself for a top-level window).
HWND GetAncestor(HWND window, UINT kind);
// Siblings run from the top of the Z order; GW_CHILD is the topmost child.
HWND GetWindow(HWND window, UINT relation);
HWND GetNextWindow(HWND window, UINT relation);
// The topmost child, or for no window the topmost top-level window.
HWND GetTopWindow(HWND parent);
HWND GetDlgItem(HWND parent, int32_t id);
int32_t GetDlgCtrlID(HWND window);

// ---- Attributes ------------------------------------------------------------

LONG_PTR GetWindowLongPtr(HWND window, int index);
// Answers the previous value. With GWLP_WNDPROC the new procedure goes in
// front; it passes on to the old one with CallWindowProc.
LONG_PTR SetWindowLongPtr(HWND window, int index, LONG_PTR value);
// The 32-bit forms, for values that fit in 32 bits (styles, ids, a parent's
// handle); a pointer stored this way is cut.
inline int32_t GetWindowLong(HWND window, int index) {
  return static_cast<int32_t>(GetWindowLongPtr(window, index));
}
inline int32_t SetWindowLong(HWND window, int index, int32_t value) {
  return static_cast<int32_t>(SetWindowLongPtr(window, index, value));
}
bool GetClassName(HWND window, std::string* className);

// Texts are CP932 bytes. SetWindowText sends WM_SETTEXT; DefWindowProc
// keeps the text.
bool SetWindowText(HWND window, const char* text);
std::string GetWindowText(HWND window);
int32_t GetWindowTextLength(HWND window);

bool SetProp(HWND window, const char* name, HANDLE value);
HANDLE GetProp(HWND window, const char* name);
HANDLE RemoveProp(HWND window, const char* name);

// ---- State and placement -----------------------------------------------------

// Answers whether the window was visible before. SW_SHOW and
// SW_SHOWNORMAL also activate a top-level window (creating one visible
// does not); hiding one gives up its focus and activation.
bool ShowWindow(HWND window, int command);
// Visible itself and every ancestor.
bool IsWindowVisible(HWND window);
// Answers whether the window was disabled before; WM_ENABLE on a change.
bool EnableWindow(HWND window, bool enable);
bool IsWindowEnabled(HWND window);
bool SetWindowPos(HWND window, HWND insertAfter, int32_t x, int32_t y, int32_t width,
                  int32_t height, UINT flags);
bool MoveWindow(HWND window, int32_t x, int32_t y, int32_t width, int32_t height, bool repaint);

bool GetWindowRect(HWND window, RECT* rect);
bool GetClientRect(HWND window, RECT* rect);
bool ClientToScreen(HWND window, POINT* point);
bool ScreenToClient(HWND window, POINT* point);
// Maps points from one window's client area to another's (0: the screen).
int32_t MapWindowPoints(HWND from, HWND to, POINT* points, uint32_t count);

// The window takes the region (its own coordinates, its rectangle's
// corner at 0, 0) and keeps it: only the pixels inside are its own to
// paint, to invalidate and to be found by a point. No region gives it
// back all of its rectangle. With `redraw` the window and, for a child,
// its parent's part under its rectangle are painted again. False for no
// window; the region then goes with the call.
bool SetWindowRgn(HWND window, UniqueRegion region, bool redraw);
// Copies the window region into `region`; ERROR when there is none.
int GetWindowRgn(HWND window, HRGN region);

// The deepest visible, enabled window under a screen point.
HWND WindowFromPoint(POINT point);
// The child (or the parent itself) under a point in the parent's client
// area, skipping what the flags say; 0 outside the parent.
HWND ChildWindowFromPointEx(HWND parent, POINT point, UINT flags);
HWND ChildWindowFromPoint(HWND parent, POINT point);

// ---- Reading a message's parameters ----------------------------------------

inline const CREATESTRUCT* CreateParamsOf(LPARAM lParam) {
  return reinterpret_cast<const CREATESTRUCT*>(lParam);
}
inline const WINDOWPOS* WindowPosOf(LPARAM lParam) {
  return reinterpret_cast<const WINDOWPOS*>(lParam);
}
inline LPARAM MakeLParam(int32_t low, int32_t high) {
  return static_cast<LPARAM>(static_cast<uint32_t>((low & 0xFFFF) | ((high & 0xFFFF) << 16)));
}
inline int16_t LowWord(LPARAM lParam) { return static_cast<int16_t>(lParam & 0xFFFF); }
inline int16_t HighWord(LPARAM lParam) { return static_cast<int16_t>((lParam >> 16) & 0xFFFF); }

}  // namespace platform
