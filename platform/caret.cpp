#include "platform/caret.h"

#include <optional>
#include <utility>

#include "platform/display_backend.h"
#include "platform/gdi.h"
#include "platform/window.h"

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

RECT RectOf(const Caret& caret) {
  return RECT{caret.position.x, caret.position.y, caret.position.x + caret.size.cx,
              caret.position.y + caret.size.cy};
}

bool Shows(const Caret& caret) { return caret.hideCount == 0 && caret.blinkOn; }

// The caret's rectangle (client coordinates of its owner) in its
// top-level window's surface, and that window.
std::pair<HWND, RECT> InTopLevel(HWND owner, const RECT& rect) {
  const HWND top = GetAncestor(owner, GA_ROOT);
  RECT topRect;
  POINT origin{0, 0};
  if (top == kNoWindow || !GetWindowRect(top, &topRect) || !ClientToScreen(owner, &origin))
    return {kNoWindow, RECT{}};
  const int32_t dx = origin.x - topRect.left;
  const int32_t dy = origin.y - topRect.top;
  return {top, RECT{rect.left + dx, rect.top + dy, rect.right + dx, rect.bottom + dy}};
}

// The display draws the caret over the window's pixels; where it was or
// now is is shown again after each change.
void ShowCaretArea(HWND owner, const RECT& rect) {
  const auto [top, area] = InTopLevel(owner, rect);
  if (top != kNoWindow && !area.IsEmpty()) CurrentDisplay().PresentNativeWindow(top, area);
}

void Blink(HWND, UINT, UINT_PTR, DWORD) {
  Caret* caret = ThreadCaret() ? &*ThreadCaret() : nullptr;
  if (caret == nullptr) return;
  caret->blinkOn = !caret->blinkOn;
  if (caret->hideCount == 0) ShowCaretArea(caret->owner, RectOf(*caret));
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
  const bool shown = Shows(*caret);
  const HWND owner = caret->owner;
  const RECT rect = RectOf(*caret);
  caret.reset();
  if (shown) ShowCaretArea(owner, rect);
  return true;
}

bool ShowCaret(HWND window) {
  Caret* caret = CaretFor(window);
  if (caret == nullptr) return false;
  if (caret->hideCount > 0 && --caret->hideCount == 0) {
    caret->blinkOn = true;
    ShowCaretArea(caret->owner, RectOf(*caret));
  }
  return true;
}

bool HideCaret(HWND window) {
  Caret* caret = CaretFor(window);
  if (caret == nullptr) return false;
  const bool shown = Shows(*caret);
  ++caret->hideCount;
  if (shown) ShowCaretArea(caret->owner, RectOf(*caret));
  return true;
}

bool SetCaretPos(int32_t x, int32_t y) {
  Caret* caret = CaretFor(kNoWindow);
  if (caret == nullptr) return false;
  const RECT before = RectOf(*caret);
  caret->position = POINT{x, y};
  if (Shows(*caret)) {
    ShowCaretArea(caret->owner, before);
    ShowCaretArea(caret->owner, RectOf(*caret));
  }
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
  return CaretState{caret->owner, RectOf(*caret), caret->hideCount, caret->blinkOn};
}

std::optional<RECT> CaretShownIn(HWND topLevel) {
  const Caret* caret = CaretFor(kNoWindow);
  if (caret == nullptr || !Shows(*caret)) return std::nullopt;
  const auto [top, area] = InTopLevel(caret->owner, RectOf(*caret));
  if (top != topLevel) return std::nullopt;
  return area;
}

void ReleaseCaretOf(HWND window) {
  if (CaretFor(kNoWindow) != nullptr && ThreadCaret()->owner == window) DestroyCaret();
}

}  // namespace platform
