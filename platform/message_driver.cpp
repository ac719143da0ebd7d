#include "platform/message_driver.h"

#include <algorithm>

#include "platform/input.h"
#include "platform/timers.h"
#include "platform/window.h"

namespace platform {

MessageDriver::MessageDriver(FakeClock& clock, uint32_t starvationLimit)
    : clock_(clock),
      limit_(starvationLimit),
      previousHook_(SetIdleHook([this] { return OnIdle(); })) {}

MessageDriver::~MessageDriver() { SetIdleHook(std::move(previousHook_)); }

bool MessageDriver::RunUntilIdle() {
  MSG msg;
  for (uint32_t handled = 0; PeekMessage(&msg, kNoWindow, 0, 0, PM_REMOVE); ++handled) {
    if (handled == limit_) {
      starved_ = true;
      return false;
    }
    TranslateMessage(&msg);
    DispatchMessage(&msg);
  }
  return true;
}

bool MessageDriver::RunFor(uint32_t milliseconds) {
  if (!RunUntilIdle()) return false;
  uint32_t left = milliseconds;
  while (left > 0) {
    const uint32_t step = std::min(left, CurrentTimers().UntilNext().value_or(left));
    clock_.Advance(step);
    left -= step;
    if (!RunUntilIdle()) return false;
  }
  return true;
}

void MessageDriver::AnswerDialog(std::string caption, std::function<void(HWND)> answer) {
  answers_.push_back({std::move(caption), std::move(answer)});
}

bool MessageDriver::GiveAnswer() {
  const HWND active = GetActiveWindow();
  const std::string caption = active == kNoWindow ? std::string() : GetWindowText(active);
  DialogAnswer next = std::move(answers_.front());
  answers_.pop_front();
  if (active == kNoWindow || caption != next.caption) {
    mismatch_ = "an answer for \"" + next.caption + "\" came to " +
                (active == kNoWindow ? std::string("no active window") : "\"" + caption + "\"");
    return false;
  }
  next.answer(active);
  return true;
}

IdleVerdict MessageDriver::OnIdle() {
  if (!answers_.empty() && mismatch_.empty()) {
    if (!GiveAnswer()) return IdleVerdict::kAbandon;
    idleTurns_ = 0;
    return IdleVerdict::kKeepWaiting;
  }
  if (!mismatch_.empty()) return IdleVerdict::kAbandon;
  if (script_ && script_()) {
    idleTurns_ = 0;
    return IdleVerdict::kKeepWaiting;
  }
  if (++idleTurns_ < limit_) return IdleVerdict::kKeepWaiting;
  starved_ = true;
  return IdleVerdict::kAbandon;
}

}  // namespace platform
