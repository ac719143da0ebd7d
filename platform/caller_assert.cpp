#include "platform/caller_assert.h"

#include <cstdio>
#include <cstdlib>
#include <mutex>
#include <utility>

namespace platform {

namespace {

[[maybe_unused]] const char* NameOf(Misuse misuse) {
  switch (misuse) {
    case Misuse::kOtherThread:
      return "a window used from a thread that does not own it";
    case Misuse::kStaleWindow:
      return "a handle that names no window";
    case Misuse::kOutsidePaint:
      return "a painting call outside its paint";
  }
  return "";
}

// A release build lets the call's failure stand alone.
void DefaultHook([[maybe_unused]] Misuse misuse, [[maybe_unused]] const char* call) {
#ifndef NDEBUG
  std::fprintf(stderr, "%s: %s\n", call, NameOf(misuse));
  std::abort();
#endif
}

std::mutex& HookMutex() {
  static std::mutex mutex;
  return mutex;
}

AssertHook& InstalledHook() {
  static AssertHook hook;
  return hook;
}

}  // namespace

AssertHook SetAssertHook(AssertHook hook) {
  std::lock_guard lock(HookMutex());
  return std::exchange(InstalledHook(), std::move(hook));
}

void ReportMisuse(Misuse misuse, const char* call) {
  AssertHook hook;
  {
    std::lock_guard lock(HookMutex());
    hook = InstalledHook();
  }
  if (hook) {
    hook(misuse, call);
  } else {
    DefaultHook(misuse, call);
  }
}

ScopedMisuseCounter::ScopedMisuseCounter()
    : previous_(SetAssertHook(
          [this](Misuse misuse, const char*) { ++counts_[static_cast<int>(misuse)]; })) {}

ScopedMisuseCounter::~ScopedMisuseCounter() { SetAssertHook(std::move(previous_)); }

int ScopedMisuseCounter::Count(Misuse misuse) const { return counts_[static_cast<int>(misuse)]; }

int ScopedMisuseCounter::Total() const {
  int total = 0;
  for (const std::atomic<int>& count : counts_) total += count;
  return total;
}

}  // namespace platform
