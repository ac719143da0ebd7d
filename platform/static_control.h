// The "Static" system class: a text label (left, centred or right, its
// "&X" naming the mnemonic of the control after it) or an icon
// (SS_ICON, STM_SETICON). It paints in the colours its parent answers to
// WM_CTLCOLORSTATIC and never takes the focus.
#pragma once

#include "platform/window.h"

namespace platform {

inline constexpr char kStaticClass[] = "Static";

inline constexpr DWORD SS_LEFT = 0x0;
inline constexpr DWORD SS_CENTER = 0x1;
inline constexpr DWORD SS_RIGHT = 0x2;
inline constexpr DWORD SS_ICON = 0x3;
inline constexpr DWORD SS_TYPEMASK = 0x1F;
// "&" is shown as it is, and names no mnemonic.
inline constexpr DWORD SS_NOPREFIX = 0x80;

// An icon is a handle the window system keeps but does not draw yet.
using HICON = uintptr_t;

// wParam the icon; answers the previous one.
inline constexpr UINT STM_SETICON = 0x0170;
inline constexpr UINT STM_GETICON = 0x0171;

}  // namespace platform
