// What every system control class shares: its state kept by window, the
// font it writes in, and the colours its parent chooses. A control's
// procedure adds its state on WM_NCCREATE and removes it on WM_NCDESTROY
// (ControlStates::Dispatch does both), keeps its font in a ControlFont
// (WM_SETFONT and WM_GETFONT), answers WM_GETDLGCODE with the DLGC_* bits
// of the keys it keeps, and asks its parent for its colours with
// AskParentColours before it paints. Internal to the window system.
#pragma once

#include <memory>
#include <mutex>
#include <optional>
#include <string>
#include <unordered_map>

#include "platform/control_notify.h"
#include "platform/gdi.h"
#include "platform/window.h"

namespace platform {

// Every control of one class, by window. A control's procedure runs on
// its own thread, but controls of different threads share the map.
template <typename State>
class ControlStates {
 public:
  // Runs the control's handler; `State` is made from the window on
  // WM_NCCREATE (by `make`, for a state that needs more than its window)
  // and dropped after WM_NCDESTROY. The state is held for the call: the
  // parent may destroy the control while it is told.
  LRESULT Dispatch(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    return Dispatch(window, message, wParam, lParam,
                    [window] { return std::make_shared<State>(window); });
  }
  template <typename Make>
  LRESULT Dispatch(HWND window, UINT message, WPARAM wParam, LPARAM lParam, Make make) {
    if (message == WM_NCCREATE) Add(window, make());
    const std::shared_ptr<State> state = Find(window);
    if (message == WM_NCDESTROY) Remove(window);
    if (state == nullptr) return DefWindowProc(window, message, wParam, lParam);
    return state->Handle(message, wParam, lParam);
  }

  std::shared_ptr<State> Find(HWND window) {
    std::lock_guard lock(mutex_);
    const auto it = states_.find(window);
    return it == states_.end() ? nullptr : it->second;
  }

 private:
  void Add(HWND window, std::shared_ptr<State> state) {
    std::lock_guard lock(mutex_);
    states_[window] = std::move(state);
  }
  void Remove(HWND window) {
    std::lock_guard lock(mutex_);
    states_.erase(window);
  }

  std::mutex mutex_;
  std::unordered_map<HWND, std::shared_ptr<State>> states_;
};

// The font a control writes in: the one WM_SETFONT gave it (a dialog
// gives its own to every control it creates), else the system face at
// the dialog size, made when first needed.
class ControlFont {
 public:
  // WM_SETFONT: the font is the caller's and must outlive the control.
  void Set(HWND window, WPARAM wParam, LPARAM lParam);
  LRESULT Get() const { return reinterpret_cast<LRESULT>(given_); }
  // Selects the font into the DC.
  void Select(HDC dc);

  static constexpr int32_t kDefaultPoints = 9;

 private:
  HFONT given_ = nullptr;
  UniqueFont fallback_;
};

// The brush WM_CTLCOLOR* (`message`) of the parent answers, with the DC's
// text and background colours set; without an answer the button face
// and the window text.
HBRUSH AskParentColours(HWND control, HDC dc, UINT message);

// The label a control shows: its text without the "&" marks, and where
// the underlined character stands; none with `noPrefix`.
struct ShownLabel {
  std::string text;
  std::optional<size_t> mnemonicAt;
};
ShownLabel ShownLabelOf(const std::string& text, bool noPrefix);
// Draws `label` in `colour` in the rectangle as DrawTextA does with
// `format`, centred down it, with its mnemonic underlined.
void DrawLabel(HDC dc, const ShownLabel& label, const RECT& rect, uint32_t format, COLORREF colour);

}  // namespace platform
