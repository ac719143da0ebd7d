#include "platform/message_driver.h"

#include <algorithm>

#include "platform/dialog.h"
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
  answers_.push_back({0, std::move(caption), std::move(answer)});
}

void MessageDriver::AnswerDialog(int32_t templateId, std::function<void(HWND)> answer) {
  answers_.push_back({templateId, std::string(), std::move(answer)});
}

MessageDriver::ActiveDialog MessageDriver::CurrentDialog() {
  const HWND active = GetActiveWindow();
  if (active == kNoWindow) return ActiveDialog{};
  return ActiveDialog{active, DialogTemplateIdOf(active), GetWindowText(active)};
}

namespace {

std::string Describe(int32_t templateId, const std::string& caption) {
  if (templateId == 0) return "\"" + caption + "\"";
  return "dialog " + std::to_string(templateId) + " \"" + caption + "\"";
}

}  // namespace

bool MessageDriver::GiveAnswer() {
  const ActiveDialog active = CurrentDialog();
  DialogAnswer next = std::move(answers_.front());
  answers_.pop_front();
  const bool fits =
      next.templateId != 0 ? active.templateId == next.templateId : active.caption == next.caption;
  if (active.window == kNoWindow || !fits) {
    mismatch_ = "an answer for " + Describe(next.templateId, next.caption) + " came to " +
                (active.window == kNoWindow ? std::string("no active window")
                                            : Describe(active.templateId, active.caption));
    return false;
  }
  next.answer(active.window);
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
