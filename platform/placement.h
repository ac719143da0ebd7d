// Show states beyond shown and hidden: a window may be maximised (filling
// its parent's client area, or the screen for a top-level window) or
// minimised, and keeps the rectangle it had in its normal state to go back
// to. ShowWindow takes the commands below; the state is kept in the style
// bits WS_MAXIMIZE and WS_MINIMIZE. The placement calls read and set the
// state with the normal rectangle, in the coordinates the window's
// rectangle is kept in (its parent's client area, or the screen).
#pragma once

#include "platform/window.h"

namespace platform {

inline constexpr DWORD WS_MINIMIZE = 0x20000000;
inline constexpr DWORD WS_MAXIMIZE = 0x01000000;

inline constexpr int SW_SHOWMINIMIZED = 2;
inline constexpr int SW_SHOWMAXIMIZED = 3;
inline constexpr int SW_MAXIMIZE = SW_SHOWMAXIMIZED;
inline constexpr int SW_MINIMIZE = 6;
inline constexpr int SW_SHOWMINNOACTIVE = 7;
inline constexpr int SW_RESTORE = 9;

struct WINDOWPLACEMENT {
  UINT length = sizeof(WINDOWPLACEMENT);
  UINT flags = 0;
  UINT showCmd = SW_SHOWNORMAL;
  // No icons are placed: both stay (-1, -1).
  POINT ptMinPosition{-1, -1};
  POINT ptMaxPosition{-1, -1};
  RECT rcNormalPosition;
};

bool IsIconic(HWND window);
bool IsZoomed(HWND window);

// showCmd is SW_SHOWMINIMIZED, SW_SHOWMAXIMIZED or SW_SHOWNORMAL.
bool GetWindowPlacement(HWND window, WINDOWPLACEMENT* placement);
// Takes the normal rectangle, then shows the window by showCmd.
bool SetWindowPlacement(HWND window, const WINDOWPLACEMENT* placement);

// What ShowWindow does first with a command that changes the state:
// maximising, minimising or restoring, and placing the window for it.
void ApplyShowState(HWND window, int command);

}  // namespace platform
