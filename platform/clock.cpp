#include "platform/clock.h"

#include <atomic>
#include <chrono>
#include <thread>

namespace platform {

namespace {

class SystemClock : public Clock {
 public:
  uint32_t TickCount() override {
    const auto since = std::chrono::steady_clock::now().time_since_epoch();
    return static_cast<uint32_t>(
        std::chrono::duration_cast<std::chrono::milliseconds>(since).count());
  }
  void Sleep(uint32_t milliseconds) override {
    std::this_thread::sleep_for(std::chrono::milliseconds(milliseconds));
  }
};

SystemClock systemClock;
std::atomic<Clock*> current{&systemClock};

}  // namespace

Clock& ProcessClock() { return *current.load(); }

ScopedClock::ScopedClock(Clock& clock) : previous_(current.exchange(&clock)) {}

ScopedClock::~ScopedClock() { current.store(previous_); }

}  // namespace platform
