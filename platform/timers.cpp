#include "platform/timers.h"

#include <algorithm>

#include "platform/clock.h"

namespace platform {

int32_t ThreadTimers::Remaining(const Timer& timer, uint32_t now) {
  return static_cast<int32_t>(timer.due - now);
}

UINT_PTR ThreadTimers::Set(HWND window, UINT_PTR id, UINT requested, TIMERPROC proc) {
  const UINT elapse = std::max(requested, kMinimumElapse);
  const UINT_PTR timerId = window == kNoWindow ? nextThreadTimer_++ : id;
  const uint32_t due = GetTickCount() + elapse;
  for (Timer& timer : timers_) {
    if (timer.window == window && timer.id == timerId) {
      timer = Timer{window, timerId, elapse, proc, due, nextOrder_++};
      return timerId;
    }
  }
  timers_.push_back(Timer{window, timerId, elapse, proc, due, nextOrder_++});
  return timerId;
}

bool ThreadTimers::Kill(HWND window, UINT_PTR id) {
  const auto match = [&](const Timer& t) { return t.window == window && t.id == id; };
  const auto end = std::remove_if(timers_.begin(), timers_.end(), match);
  const bool killed = end != timers_.end();
  timers_.erase(end, timers_.end());
  return killed;
}

void ThreadTimers::KillAllOf(HWND window) {
  std::erase_if(timers_, [window](const Timer& t) { return t.window == window; });
}

bool ThreadTimers::TakeDue(MSG* msg, HWND window, UINT first, UINT last, bool remove) {
  const bool inRange = (first == 0 && last == 0) || (WM_TIMER >= first && WM_TIMER <= last);
  if (!inRange) return false;
  const uint32_t now = GetTickCount();
  Timer* earliest = nullptr;
  for (Timer& timer : timers_) {
    if (window == kThreadMessagesOnly ? timer.window != kNoWindow
                                      : window != kNoWindow && timer.window != window) {
      continue;
    }
    if (Remaining(timer, now) > 0) continue;
    const bool sooner = earliest == nullptr || Remaining(timer, now) < Remaining(*earliest, now) ||
                        (timer.due == earliest->due && timer.order < earliest->order);
    if (sooner) earliest = &timer;
  }
  if (earliest == nullptr) return false;
  if (msg != nullptr) {
    *msg = MSG{earliest->window, WM_TIMER, earliest->id, reinterpret_cast<LPARAM>(earliest->proc)};
  }
  if (remove) earliest->due = now + earliest->elapse;
  return true;
}

std::optional<uint32_t> ThreadTimers::UntilNext() const {
  const uint32_t now = GetTickCount();
  std::optional<uint32_t> next;
  for (const Timer& timer : timers_) {
    const uint32_t remaining = static_cast<uint32_t>(std::max(Remaining(timer, now), 0));
    if (!next || remaining < *next) next = remaining;
  }
  return next;
}

ThreadTimers& CurrentTimers() {
  thread_local ThreadTimers timers;
  return timers;
}

}  // namespace platform
