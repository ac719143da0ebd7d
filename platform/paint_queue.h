// The painting side that the message queue and DefWindowProc call.
// Internal to the window system.
#pragma once

#include "platform/paint.h"

namespace platform {

// A WM_PAINT for the first window of the calling thread with something to
// paint that passes the filter; it stays until the window is validated.
bool TakePaint(MSG* msg, HWND window, UINT first, UINT last);
LRESULT DefaultPaint(HWND window);
// Fills the client area with the class brush; 0 without one.
LRESULT DefaultErase(HWND window, HDC dc);

}  // namespace platform
