#include "engine/notifier.h"

#include <algorithm>

uint32_t NotifyMaskBit(platform::UINT message) {
  switch (message) {
    case WM_WPC_CARETMOVED:
      return 0x1;
    case WM_WPC_CONTENTCHANGED:
      return 0x2;
    case WM_WPC_SELSTARTED:
      return 0x4;
    case WM_WPC_SELCLEARED:
      return 0x8;
    case WM_WPC_MARKSTART:
      return 0x10;
    case WM_WPC_MARKEND:
      return 0x20;
    case WM_WPC_CONTENTLOADED:
      return 0x1000;
    case WM_WPC_BEFOREDRAW:
      return 0x10000;
    case WM_WPC_AFTERDRAW:
      return 0x20000;
    case WM_WPC_RECONVERT:
      return 0x10000000;
    case WM_WPC_STOPPED:
      return 0x20000000;
    default:
      return 0;
  }
}

CVedNotifier::CVedNotifier(std::initializer_list<platform::UINT> messages) : messages_(messages) {}

platform::LRESULT CVedNotifier::Notify(platform::UINT message, platform::WPARAM wParam,
                                       platform::LPARAM lParam) const {
  const bool redraw = message == WM_WPC_CARETMOVED || message == WM_WPC_CONTENTCHANGED;
  if (redraw && gate_ == 0) return 0;
  if (window_ == platform::kNoWindow) return 0;
  if (std::find(messages_.begin(), messages_.end(), message) == messages_.end()) return 0;
  if ((mask_ & NotifyMaskBit(message)) == 0) return 0;
  return platform::SendMessage(window_, message, wParam, lParam);
}

platform::HWND CVedNotifier::SetWindow(platform::HWND window) {
  const platform::HWND previous = window_;
  window_ = window;
  return previous;
}

uint32_t CVedNotifier::SetMask(uint32_t mask) {
  const uint32_t previous = mask_;
  mask_ = mask;
  return previous;
}

CVedNotifier MakeEngineNotifier() {
  return CVedNotifier{WM_WPC_CARETMOVED, WM_WPC_CONTENTCHANGED, WM_WPC_CONTENTLOADED,
                      WM_WPC_RECONVERT, WM_WPC_STOPPED};
}

CVedNotifier MakeDocumentNotifier() {
  return CVedNotifier{WM_WPC_SELSTARTED, WM_WPC_SELCLEARED,    WM_WPC_MARKSTART,
                      WM_WPC_MARKEND,    WM_WPC_CONTENTLOADED, WM_WPC_BEFOREDRAW,
                      WM_WPC_AFTERDRAW,  WM_WPC_CARETMOVED,    WM_WPC_CONTENTCHANGED};
}
