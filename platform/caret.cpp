#include "platform/caret.h"

#include <optional>

#include "platform/gdi.h"

namespace platform {

namespace {

struct Caret {
  HWND owner = kNoWindow;
  POINT position;
  SIZE size;
  // A new caret is hidden once.
  uint32_t hideCount = 1;
  bool blinkOn = true;
  UINT_PTR blinkTimer = 0;
};

std::optional<Caret>& ThreadCaret() {
  thread_local std::optional<Caret> caret;
  return caret;
}

void Blink(HWND, UINT, UINT_PTR, DWORD) {
  if (ThreadCaret()) ThreadCaret()->blinkOn = !ThreadCaret()->blinkOn;
}

// The caret when the window may act on it.
Caret* CaretFor(HWND window) {
  std::optional<Caret>& caret = ThreadCaret();
  if (!caret || (window != kNoWindow && window != caret->owner)) return nullptr;
  return &*caret;
}

}  // namespace

bool CreateCaret(HWND window, HBITMAP bitmap, int32_t width, int32_t height) {
  if (!IsWindow(window)) return false;
  BITMAP shape;
  if (bitmap != nullptr && GetObject(bitmap, sizeof(shape), &shape) == 0) return false;
  DestroyCaret();
  Caret caret;
  caret.owner = window;
  caret.size = bitmap != nullptr ? SIZE{shape.bmWidth, shape.bmHeight} : SIZE{width, height};
  caret.blinkTimer = SetTimer(kNoWindow, 0, kCaretBlinkMs, Blink);
  ThreadCaret() = caret;
  return true;
}

bool DestroyCaret() {
  std::optional<Caret>& caret = ThreadCaret();
  if (!caret) return false;
  KillTimer(kNoWindow, caret->blinkTimer);
  caret.reset();
  return true;
}

bool ShowCaret(HWND window) {
  Caret* caret = CaretFor(window);
  if (caret == nullptr) return false;
  if (caret->hideCount > 0 && --caret->hideCount == 0) caret->blinkOn = true;
  return true;
}

bool HideCaret(HWND window) {
  Caret* caret = CaretFor(window);
  if (caret == nullptr) return false;
  ++caret->hideCount;
  return true;
}

bool SetCaretPos(int32_t x, int32_t y) {
  Caret* caret = CaretFor(kNoWindow);
  if (caret == nullptr) return false;
  caret->position = POINT{x, y};
  return true;
}

bool GetCaretPos(POINT* point) {
  const Caret* caret = CaretFor(kNoWindow);
  if (caret == nullptr || point == nullptr) return false;
  *point = caret->position;
  return true;
}

UINT GetCaretBlinkTime() { return kCaretBlinkMs; }

CaretState GetCaretState() {
  const Caret* caret = CaretFor(kNoWindow);
  if (caret == nullptr) return CaretState{};
  const POINT at = caret->position;
  return CaretState{caret->owner, RECT{at.x, at.y, at.x + caret->size.cx, at.y + caret->size.cy},
                    caret->hideCount, caret->blinkOn};
}

void ReleaseCaretOf(HWND window) {
  if (CaretFor(kNoWindow) != nullptr && ThreadCaret()->owner == window) DestroyCaret();
}

}  // namespace platform
