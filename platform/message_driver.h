// Drives the calling thread's messages for tests on a fake clock: runs
// them until the queue is idle, lets time pass timer by timer, and
// answers nested loops from a script when they go idle. A loop that never
// settles is reported as starved instead of hanging the test.
#pragma once

#include <cstdint>
#include <functional>

#include "platform/clock.h"
#include "platform/message_loop.h"

namespace platform {

class MessageDriver {
 public:
  // `starvationLimit` bounds the messages one run may handle and the idle
  // turns a nested loop may take without the script acting.
  MessageDriver(FakeClock& clock, uint32_t starvationLimit = kDefaultStarvationLimit);
  ~MessageDriver();
  MessageDriver(const MessageDriver&) = delete;
  MessageDriver& operator=(const MessageDriver&) = delete;

  // Handles what is queued and due until nothing is; false (and starved)
  // when the limit is reached first.
  bool RunUntilIdle();
  // Lets the milliseconds pass, stopping at each timer that falls due.
  bool RunFor(uint32_t milliseconds);
  // Runs when a nested loop is idle; answers whether it did something.
  void SetScript(std::function<bool()> script) { script_ = std::move(script); }
  bool starved() const { return starved_; }

  static constexpr uint32_t kDefaultStarvationLimit = 10000;

 private:
  IdleVerdict OnIdle();

  FakeClock& clock_;
  const uint32_t limit_;
  std::function<bool()> script_;
  uint32_t idleTurns_ = 0;
  bool starved_ = false;
  IdleHook previousHook_;
};

}  // namespace platform
