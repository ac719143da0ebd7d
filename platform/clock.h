// Time as the system sees it: a millisecond tick count and a sleep. Code
// that waits asks the process clock, so that tests can install a fake one
// that advances on every sleep and never really waits.
#pragma once

#include <atomic>
#include <cstdint>
#include <functional>

namespace platform {

class Clock {
 public:
  virtual ~Clock() = default;
  // Milliseconds since an arbitrary start; wraps like a 32-bit tick count.
  virtual uint32_t TickCount() = 0;
  virtual void Sleep(uint32_t milliseconds) = 0;
  // Lets `milliseconds` pass while waiting for events: `wait` polls with a
  // timeout in milliseconds.
  virtual void WaitForEvents(uint32_t milliseconds, const std::function<void(int)>& wait) {
    wait(static_cast<int>(milliseconds));
  }
};

// The process clock: the real one unless a test installed another.
Clock& ProcessClock();

inline uint32_t GetTickCount() { return ProcessClock().TickCount(); }
inline void Sleep(uint32_t milliseconds) { ProcessClock().Sleep(milliseconds); }

// A clock that stands still until it sleeps or is advanced. A worker
// thread may sleep on it while the test's thread reads or advances it.
class FakeClock : public Clock {
 public:
  uint32_t TickCount() override { return now_.load(); }
  void Sleep(uint32_t milliseconds) override {
    now_ += milliseconds;
    ++sleeps_;
  }
  // Looks for events without waiting, then lets the time pass; counted as
  // a sleep, since the caller gave the time away just the same.
  void WaitForEvents(uint32_t milliseconds, const std::function<void(int)>& wait) override {
    wait(0);
    Sleep(milliseconds);
  }
  void Advance(uint32_t milliseconds) { now_ += milliseconds; }
  uint32_t sleeps() const { return sleeps_.load(); }

 private:
  std::atomic<uint32_t> now_{0};
  std::atomic<uint32_t> sleeps_{0};
};

// Installs a clock as the process clock for the lifetime of the guard.
class ScopedClock {
 public:
  explicit ScopedClock(Clock& clock);
  ~ScopedClock();
  ScopedClock(const ScopedClock&) = delete;
  ScopedClock& operator=(const ScopedClock&) = delete;

 private:
  Clock* previous_;
};

}  // namespace platform
