// The caret: one per thread, owned by a window. It starts hidden; each
// HideCaret must be undone by its own ShowCaret before it shows again.
// While shown it blinks on a timer of the thread.
#pragma once

#include <cstdint>
#include <optional>

#include "platform/windef.h"
#include "platform/window_message.h"

namespace platform {

class Bitmap;
using HBITMAP = Bitmap*;

inline constexpr UINT kCaretBlinkMs = 530;

// Destroys the thread's caret first. A bitmap gives the caret its size;
// without one, width and height do.
bool CreateCaret(HWND window, HBITMAP bitmap, int32_t width, int32_t height);
bool DestroyCaret();
// Both fail without a caret or for a window (other than 0) that does not
// own it.
bool ShowCaret(HWND window);
bool HideCaret(HWND window);
bool SetCaretPos(int32_t x, int32_t y);
bool GetCaretPos(POINT* point);
UINT GetCaretBlinkTime();

// What painting and tests need to know of the thread's caret.
struct CaretState {
  HWND owner = kNoWindow;
  RECT rect;
  uint32_t hideCount = 0;
  bool blinkOn = false;
};
CaretState GetCaretState();
// The display draws the caret over the pixels of its owner's top-level
// window: its rectangle in that window's surface while it shows (not
// hidden, blinked on), nullopt while it does not or is another window's.
std::optional<RECT> CaretShownIn(HWND topLevel);

// Forgets the caret of a window that goes.
void ReleaseCaretOf(HWND window);

}  // namespace platform
