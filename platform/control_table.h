// The state each control of one system class keeps, by window: made on
// WM_NCCREATE, dropped after WM_NCDESTROY, and held for the whole of a
// message so that a parent may destroy the control while it is told.
// Controls of different threads share the table. Internal to the window
// system.
#pragma once

#include <memory>
#include <mutex>
#include <unordered_map>

#include "platform/window.h"

namespace platform {

template <typename State>
class ControlTable {
 public:
  LRESULT Dispatch(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_NCCREATE) Add(window);
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
  void Add(HWND window) {
    std::lock_guard lock(mutex_);
    states_[window] = std::make_shared<State>(window);
  }
  void Remove(HWND window) {
    std::lock_guard lock(mutex_);
    states_.erase(window);
  }

  std::mutex mutex_;
  std::unordered_map<HWND, std::shared_ptr<State>> states_;
};

}  // namespace platform
