#include "platform/window_message.h"

#include <condition_variable>
#include <deque>
#include <memory>
#include <mutex>
#include <optional>
#include <unordered_map>

namespace platform {

namespace {

class MessageQueue {
 public:
  void Post(const MSG& msg) {
    {
      std::lock_guard lock(mutex_);
      messages_.push_back(msg);
    }
    arrived_.notify_one();
  }

  bool Peek(MSG* msg, HWND window, UINT first, UINT last, bool remove) {
    std::lock_guard lock(mutex_);
    return TakeLocked(msg, window, first, last, remove);
  }

  void Wait(MSG* msg, HWND window, UINT first, UINT last) {
    std::unique_lock lock(mutex_);
    arrived_.wait(lock, [&] { return TakeLocked(msg, window, first, last, true); });
  }

  void Clear() {
    std::lock_guard lock(mutex_);
    messages_.clear();
  }

 private:
  static bool Matches(const MSG& msg, HWND window, UINT first, UINT last) {
    if (window != kNoWindow && msg.hwnd != window) return false;
    if (first == 0 && last == 0) return true;
    return msg.message >= first && msg.message <= last;
  }

  bool TakeLocked(MSG* msg, HWND window, UINT first, UINT last, bool remove) {
    for (auto it = messages_.begin(); it != messages_.end(); ++it) {
      if (!Matches(*it, window, first, last)) continue;
      if (msg != nullptr) *msg = *it;
      if (remove) messages_.erase(it);
      return true;
    }
    return false;
  }

  std::mutex mutex_;
  std::condition_variable arrived_;
  std::deque<MSG> messages_;
};

std::shared_ptr<MessageQueue>& ThreadQueue() {
  thread_local std::shared_ptr<MessageQueue> queue = std::make_shared<MessageQueue>();
  return queue;
}

struct Window {
  WindowProc proc;
  std::shared_ptr<MessageQueue> queue;
};

class WindowRegistry {
 public:
  HWND Add(WindowProc proc) {
    std::lock_guard lock(mutex_);
    const HWND handle = nextHandle_++;
    windows_[handle] = Window{std::move(proc), ThreadQueue()};
    return handle;
  }
  bool Remove(HWND window) {
    std::lock_guard lock(mutex_);
    return windows_.erase(window) != 0;
  }
  // A copy, so that a handler may create or destroy windows while it runs.
  std::optional<Window> Find(HWND window) {
    std::lock_guard lock(mutex_);
    const auto it = windows_.find(window);
    if (it == windows_.end()) return std::nullopt;
    return it->second;
  }
  void Clear() {
    std::lock_guard lock(mutex_);
    windows_.clear();
  }

 private:
  static constexpr HWND kFirstHandle = 0x10000;
  std::mutex mutex_;
  HWND nextHandle_ = kFirstHandle;
  std::unordered_map<HWND, Window> windows_;
};

WindowRegistry& Registry() {
  static WindowRegistry registry;
  return registry;
}

}  // namespace

HWND CreateWindowHandle(WindowProc proc) { return Registry().Add(std::move(proc)); }

bool DestroyWindow(HWND window) { return Registry().Remove(window); }

bool IsWindow(HWND window) { return Registry().Find(window).has_value(); }

LRESULT SendMessage(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  const std::optional<Window> target = Registry().Find(window);
  if (!target || !target->proc) return 0;
  return target->proc(window, message, wParam, lParam);
}

bool PostMessage(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  const std::optional<Window> target = Registry().Find(window);
  if (!target) return false;
  target->queue->Post(MSG{window, message, wParam, lParam});
  return true;
}

void PostThreadMessage(UINT message, WPARAM wParam, LPARAM lParam) {
  ThreadQueue()->Post(MSG{kNoWindow, message, wParam, lParam});
}

void PostQuitMessage(int exitCode) { PostThreadMessage(WM_QUIT, static_cast<WPARAM>(exitCode), 0); }

bool PeekMessage(MSG* msg, HWND window, UINT first, UINT last, UINT remove) {
  return ThreadQueue()->Peek(msg, window, first, last, (remove & PM_REMOVE) != 0);
}

int GetMessage(MSG* msg, HWND window, UINT first, UINT last) {
  MSG taken;
  ThreadQueue()->Wait(&taken, window, first, last);
  if (msg != nullptr) *msg = taken;
  return taken.message == WM_QUIT ? 0 : 1;
}

bool TranslateMessage(const MSG* msg) {
  return msg != nullptr && (msg->message == WM_KEYDOWN || msg->message == WM_KEYUP);
}

LRESULT DispatchMessage(const MSG* msg) {
  if (msg == nullptr || msg->hwnd == kNoWindow) return 0;
  return SendMessage(msg->hwnd, msg->message, msg->wParam, msg->lParam);
}

void ResetWindowMessages() {
  ThreadQueue()->Clear();
  Registry().Clear();
}

}  // namespace platform
