// One thread's timers on the process clock. A timer is due at a tick; the
// queue makes WM_TIMER for the earliest due one only when nothing else
// waits, and taking it schedules the timer a whole period from then.
// Internal to the window system.
#pragma once

#include <optional>
#include <vector>

#include "platform/window_message.h"

namespace platform {

class ThreadTimers {
 public:
  // Answers the timer's id: `id` for a window, a fresh one without.
  UINT_PTR Set(HWND window, UINT_PTR id, UINT elapse, TIMERPROC proc);
  bool Kill(HWND window, UINT_PTR id);
  void KillAllOf(HWND window);
  // The WM_TIMER of the earliest due timer that passes the filter.
  bool TakeDue(MSG* msg, HWND window, UINT first, UINT last, bool remove);
  // Milliseconds until the next timer is due (0 when one is), or none.
  std::optional<uint32_t> UntilNext() const;
  void Clear() { timers_.clear(); }

 private:
  struct Timer {
    HWND window;
    UINT_PTR id;
    UINT elapse;
    TIMERPROC proc;
    uint32_t due;
    uint64_t order;
  };
  static int32_t Remaining(const Timer& timer, uint32_t now);

  std::vector<Timer> timers_;
  UINT_PTR nextThreadTimer_ = kFirstThreadTimer;
  uint64_t nextOrder_ = 0;

  static constexpr UINT_PTR kFirstThreadTimer = 0x7FFF0000;
  // Shorter periods would keep the queue from ever being idle.
  static constexpr UINT kMinimumElapse = 10;
};

ThreadTimers& CurrentTimers();

}  // namespace platform
