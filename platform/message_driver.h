// Drives the calling thread's messages for tests on a fake clock: runs
// them until the queue is idle, lets time pass timer by timer, and
// answers nested loops from a script when they go idle. A loop that never
// settles is reported as starved instead of hanging the test. An answer
// meant for a dialog names it, and is never given to another one.
#pragma once

#include <cstdint>
#include <deque>
#include <functional>
#include <string>

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
  // Queues an answer for the active window whose caption is `caption`,
  // given when a nested loop goes idle. Another window active then
  // abandons the loop and is recorded as a mismatch.
  void AnswerDialog(std::string caption, std::function<void(HWND)> answer);
  // The same for the dialog of the template `templateId`, whatever its caption.
  void AnswerDialog(int32_t templateId, std::function<void(HWND)> answer);
  // What a script sees of the active window: a dialog's template id (0
  // for a window that is none, a message box) and caption.
  struct ActiveDialog {
    HWND window = kNoWindow;
    int32_t templateId = 0;
    std::string caption;
  };
  static ActiveDialog CurrentDialog();
  // What the first answer given to the wrong window expected and found;
  // empty while none was.
  const std::string& mismatch() const { return mismatch_; }
  size_t pendingAnswers() const { return answers_.size(); }

  static constexpr uint32_t kDefaultStarvationLimit = 10000;

 private:
  struct DialogAnswer {
    // A template id of 0 names the window by its caption.
    int32_t templateId = 0;
    std::string caption;
    std::function<void(HWND)> answer;
  };

  IdleVerdict OnIdle();
  // Whether a queued answer acted; false with a mismatch recorded when the
  // active window is not the one it names.
  bool GiveAnswer();

  FakeClock& clock_;
  const uint32_t limit_;
  std::function<bool()> script_;
  std::deque<DialogAnswer> answers_;
  std::string mismatch_;
  uint32_t idleTurns_ = 0;
  bool starved_ = false;
  IdleHook previousHook_;
};

}  // namespace platform
