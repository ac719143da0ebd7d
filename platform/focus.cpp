// Focus, activation and capture of the process's one input queue.
#include <mutex>

#include "platform/display_backend.h"
#include "platform/input.h"
#include "platform/input_queue.h"
#include "platform/window.h"
#include "platform/window_reading.h"

namespace platform {

namespace {

class InputTargets {
 public:
  // Answers the previous value.
  HWND Exchange(HWND InputTargets::*which, HWND window) {
    std::lock_guard lock(mutex_);
    const HWND previous = this->*which;
    this->*which = window;
    return previous;
  }
  HWND Get(HWND InputTargets::*which) {
    std::lock_guard lock(mutex_);
    return this->*which;
  }

  HWND focus = kNoWindow;
  HWND active = kNoWindow;
  HWND capture = kNoWindow;

 private:
  std::mutex mutex_;
};

InputTargets& Targets() {
  static InputTargets targets;
  return targets;
}

}  // namespace

HWND SetFocus(HWND window) {
  if (window != kNoWindow && !IsWindow(window)) return kNoWindow;
  const HWND before = GetFocus();
  if (window == before) return before;
  const HWND top = GetAncestor(window, GA_ROOT);
  // Activation may focus the top-level window on the way.
  if (window != kNoWindow && top != GetActiveWindow()) {
    SetActiveWindow(top);
    if (window == GetFocus()) return before;
  }
  const HWND previous = Targets().Exchange(&InputTargets::focus, window);
  if (previous != kNoWindow) SendMessage(previous, WM_KILLFOCUS, window, 0);
  if (window != kNoWindow) SendMessage(window, WM_SETFOCUS, previous, 0);
  // A window that hands the focus on (a dialog to its control) is not
  // read: the one the focus stays on is. No focus reads as nothing, and
  // the next dialog's caption is read even if it has the last one's handle.
  if (GetFocus() == window) ReportFocusMoved(window);
  return before;
}

HWND GetFocus() { return Targets().Get(&InputTargets::focus); }

HWND SetActiveWindow(HWND window) {
  if (window != kNoWindow && !IsWindow(window)) return kNoWindow;
  const HWND top = GetAncestor(window, GA_ROOT);
  const HWND previous = Targets().Exchange(&InputTargets::active, top);
  if (previous == top) return previous;
  if (previous != kNoWindow) {
    SendMessage(previous, WM_ACTIVATE, WA_INACTIVE, static_cast<LPARAM>(top));
    if (top == kNoWindow) SendMessage(previous, WM_ACTIVATEAPP, 0, 0);
  }
  if (top != kNoWindow) {
    CurrentDisplay().ActivateNativeWindow(top);
    if (previous == kNoWindow) SendMessage(top, WM_ACTIVATEAPP, 1, 0);
    SendMessage(top, WM_ACTIVATE, WA_ACTIVE, static_cast<LPARAM>(previous));
  }
  return previous;
}

HWND GetActiveWindow() { return Targets().Get(&InputTargets::active); }

bool SetForegroundWindow(HWND window) {
  if (!IsWindow(window)) return false;
  const HWND top = GetAncestor(window, GA_ROOT);
  // Active already, it may still be behind another program's window.
  if (SetActiveWindow(window) == top) CurrentDisplay().ActivateNativeWindow(top);
  return true;
}

HWND SetCapture(HWND window) {
  const HWND previous = Targets().Exchange(&InputTargets::capture, window);
  if (previous != window) {
    CurrentDisplay().CaptureNativePointer(window == kNoWindow ? kNoWindow
                                                              : GetAncestor(window, GA_ROOT));
  }
  if (previous != kNoWindow && previous != window) {
    SendMessage(previous, WM_CAPTURECHANGED, 0, static_cast<LPARAM>(window));
  }
  return previous;
}

bool ReleaseCapture() {
  SetCapture(kNoWindow);
  return true;
}

HWND GetCapture() { return Targets().Get(&InputTargets::capture); }

void ReleaseInputOf(HWND window) {
  if (GetCapture() == window) ReleaseCapture();
  const HWND focus = GetFocus();
  if (focus == window || IsChild(window, focus)) SetFocus(kNoWindow);
  if (GetActiveWindow() == window) {
    const HWND owner = GetWindow(window, GW_OWNER);
    SetActiveWindow(IsWindowVisible(owner) ? owner : kNoWindow);
  }
}

void ResetFocus() {
  Targets().Exchange(&InputTargets::focus, kNoWindow);
  Targets().Exchange(&InputTargets::active, kNoWindow);
  Targets().Exchange(&InputTargets::capture, kNoWindow);
}

}  // namespace platform
