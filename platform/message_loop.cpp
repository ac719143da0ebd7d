#include "platform/message_loop.h"

#include "platform/clock.h"

namespace platform {

namespace {

thread_local IdleHook idleHook;

bool Reached(uint32_t deadline) { return static_cast<int32_t>(GetTickCount() - deadline) >= 0; }

// The time goes first: once it is up the condition is not asked again, so a
// wait of N polls asks its condition N times.
std::optional<LoopEnd> EndBeforeMessage(const LoopExit& exit) {
  if (exit.deadline && Reached(*exit.deadline)) return LoopEnd::kTimeUp;
  if (exit.done && exit.done()) return LoopEnd::kCondition;
  if (exit.onKeyDown && PeekMessage(nullptr, kNoWindow, WM_KEYDOWN, WM_KEYDOWN, PM_NOREMOVE)) {
    return LoopEnd::kKeyDown;
  }
  return std::nullopt;
}

uint32_t IdleWait(const LoopExit& exit) {
  if (!exit.deadline) return exit.idlePollMs;
  const uint32_t left = *exit.deadline - GetTickCount();
  return left < exit.idlePollMs ? left : exit.idlePollMs;
}

}  // namespace

LoopEnd RunNestedLoop(const LoopExit& exit) {
  for (;;) {
    if (const std::optional<LoopEnd> end = EndBeforeMessage(exit)) return *end;
    MSG msg;
    if (PeekMessage(&msg, kNoWindow, 0, 0, PM_REMOVE)) {
      if (msg.message == WM_QUIT) {
        PostQuitMessage(static_cast<int>(msg.wParam));
        return LoopEnd::kQuit;
      }
      if (exit.filter && exit.filter(&msg)) continue;
      TranslateMessage(&msg);
      DispatchMessage(&msg);
      continue;
    }
    if (idleHook && idleHook() == IdleVerdict::kAbandon) return LoopEnd::kAbandoned;
    if (!PeekMessage(nullptr, kNoWindow, 0, 0, PM_NOREMOVE)) WaitMessageFor(IdleWait(exit));
  }
}

bool HasIdleHook() { return static_cast<bool>(idleHook); }

IdleHook SetIdleHook(IdleHook hook) {
  IdleHook previous = std::move(idleHook);
  idleHook = std::move(hook);
  return previous;
}

}  // namespace platform
