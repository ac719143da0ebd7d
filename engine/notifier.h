// The messages by which the engine and the document root tell their
// window what changed. Each sender keeps its own window, mask and redraw
// gate, and sends only its own messages, synchronously.
#pragma once

#include <cstdint>
#include <initializer_list>
#include <vector>

#include "platform/window_message.h"

inline constexpr platform::UINT WM_WPC_CARETMOVED = platform::WM_USER + 513;
inline constexpr platform::UINT WM_WPC_CONTENTCHANGED = platform::WM_USER + 514;
inline constexpr platform::UINT WM_WPC_SELSTARTED = platform::WM_USER + 515;
inline constexpr platform::UINT WM_WPC_SELCLEARED = platform::WM_USER + 516;
inline constexpr platform::UINT WM_WPC_MARKSTART = platform::WM_USER + 517;
inline constexpr platform::UINT WM_WPC_MARKEND = platform::WM_USER + 518;
inline constexpr platform::UINT WM_WPC_CONTENTLOADED = platform::WM_USER + 529;
inline constexpr platform::UINT WM_WPC_BEFOREDRAW = platform::WM_USER + 545;
inline constexpr platform::UINT WM_WPC_AFTERDRAW = platform::WM_USER + 546;
inline constexpr platform::UINT WM_WPC_RECONVERT = platform::WM_USER + 769;
inline constexpr platform::UINT WM_WPC_STOPPED = platform::WM_USER + 770;

// The mask bit of each message.
uint32_t NotifyMaskBit(platform::UINT message);

// The bits the engine keeps for itself: the document root never sends
// caret, content or content-loaded messages to the window.
inline constexpr uint32_t kEngineOnlyMask = 0x1 | 0x2 | 0x1000;
inline constexpr uint32_t kNotifyAll = 0xFFFFFFFF;

// Where the caret is drawn: its line box in page twips and the 1-based
// page that holds it (twice).
struct CaretDisplayRecord {
  int32_t left = 0;
  int32_t top = 0;
  int32_t right = 0;
  int32_t bottom = 0;
  int32_t page = 0;
  int32_t pageAgain = 0;
};

class CVedNotifier {
 public:
  // The messages this sender may send.
  explicit CVedNotifier(std::initializer_list<platform::UINT> messages);

  // Sends and answers the window's reply, or answers 0 without sending:
  // no window, a message not this sender's, a cleared mask bit, or a caret
  // or content message while the redraw gate is shut.
  platform::LRESULT Notify(platform::UINT message, platform::WPARAM wParam,
                           platform::LPARAM lParam) const;

  platform::HWND SetWindow(platform::HWND window);
  platform::HWND GetWindow() const { return window_; }
  uint32_t SetMask(uint32_t mask);
  uint32_t GetMask() const { return mask_; }
  void SetRedrawGate(int32_t open) { gate_ = open; }
  int32_t GetRedrawGate() const { return gate_; }

 private:
  std::vector<platform::UINT> messages_;
  platform::HWND window_ = platform::kNoWindow;
  uint32_t mask_ = 0;
  int32_t gate_ = 1;
};

// The engine's sender and the document root's.
CVedNotifier MakeEngineNotifier();
CVedNotifier MakeDocumentNotifier();

// Clears mask bits for a quiet stretch and restores the mask on every path.
class ScopedQuietNotifier {
 public:
  ScopedQuietNotifier(CVedNotifier& notifier, uint32_t quietBits)
      : notifier_(notifier), previous_(notifier.SetMask(notifier.GetMask() & ~quietBits)) {}
  ~ScopedQuietNotifier() { Restore(); }
  ScopedQuietNotifier(const ScopedQuietNotifier&) = delete;
  ScopedQuietNotifier& operator=(const ScopedQuietNotifier&) = delete;

  // Ends the quiet stretch early; later changes of the mask then stand.
  void Restore() {
    if (restored_) return;
    notifier_.SetMask(previous_);
    restored_ = true;
  }

 private:
  CVedNotifier& notifier_;
  uint32_t previous_;
  bool restored_ = false;
};
