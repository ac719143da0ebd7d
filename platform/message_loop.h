// The one nested message loop: modal dialogs, menu tracking, drag loops
// and every wait for the screen reader run the calling thread's messages
// through it until their condition holds, a key-down is queued, or a time
// on the process clock passes. When the queue is empty it asks the
// thread's idle hook (the test driver's, in tests) before it waits.
#pragma once

#include <cstdint>
#include <functional>
#include <optional>

#include "platform/window_message.h"

namespace platform {

enum class LoopEnd {
  kCondition,
  kKeyDown,
  kTimeUp,
  // WM_QUIT came; it is posted again for the outer loop.
  kQuit,
  // The idle hook gave up on the loop.
  kAbandoned,
};

struct LoopExit {
  // Checked before each message; none runs until another end.
  std::function<bool()> done;
  // Ends, leaving it queued, when a WM_KEYDOWN waits.
  bool onKeyDown = false;
  // Sees each message before it is translated; true when it dealt with
  // it (a dialog's keyboard interface), and the loop neither translates
  // nor dispatches it.
  std::function<bool(MSG*)> filter;
  // Ends when the process clock reaches this tick, before `done` is asked.
  std::optional<uint32_t> deadline;
  // How long an idle loop waits before it looks at `done` again.
  uint32_t idlePollMs = kDefaultIdlePollMs;

  static constexpr uint32_t kDefaultIdlePollMs = 10;
};

LoopEnd RunNestedLoop(const LoopExit& exit);

enum class IdleVerdict { kKeepWaiting, kAbandon };
using IdleHook = std::function<IdleVerdict()>;
// The calling thread's idle hook; answers the one it replaces.
IdleHook SetIdleHook(IdleHook hook);
// Whether the calling thread has an idle hook, someone to act in its nested loops.
bool HasIdleHook();

}  // namespace platform
