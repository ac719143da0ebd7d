// The MDI client: the window inside an MDI frame whose children are the
// document windows. It keeps which child is active, brings the active one
// to the top of its children and tells both the child that loses and the
// one that gains the activation by WM_MDIACTIVATE (wParam the child that
// loses it, lParam the child that gains it, either may be none).
//
// A child window passes what it does not handle to DefMDIChildProc, so
// that the client learns when it is clicked, closed or destroyed: a
// destroyed active child hands the activation to the child below it.
#pragma once

#include "platform/window.h"

namespace platform {

// The class of the client window, registered on first use.
const char* MdiClientClass();

// To the client: wParam the child to destroy.
inline constexpr UINT WM_MDIDESTROY = 0x0221;
// To the client: wParam the child to activate. To a child: as above.
inline constexpr UINT WM_MDIACTIVATE = 0x0222;
// To the client: wParam the child to start from (none: the active one),
// lParam 0 activates the child below it and sends it to the bottom,
// nonzero activates the bottom child.
inline constexpr UINT WM_MDINEXT = 0x0224;
// To the client: answers the active child, none when there is none.
inline constexpr UINT WM_MDIGETACTIVE = 0x0229;

// What a child of the client does by default with a message.
LRESULT DefMDIChildProc(HWND child, UINT message, WPARAM wParam, LPARAM lParam);

}  // namespace platform
