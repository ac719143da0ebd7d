// The system input queue's side that the message queue and the window
// tree call. Internal to the window system.
#pragma once

#include "platform/input.h"

namespace platform {

// Turns the first waiting input event for the calling thread that passes
// the filter into its message; with `remove` it is taken, the key state
// updated and the hooks and mouse activation run (either may eat it).
bool TakeInput(MSG* msg, HWND window, UINT first, UINT last, bool remove);

// Moves focus, activation and capture away from a window about to go.
void ReleaseInputOf(HWND window);
// Forgets focus, activation and capture without messages.
void ResetFocus();

// The key message TranslateMessage turns into characters; false when it
// makes none.
bool TranslateKey(const MSG& msg);

}  // namespace platform
