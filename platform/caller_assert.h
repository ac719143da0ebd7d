// Rules a caller of the window system must never break. The call that
// sees a breach fails as it would anyway and reports it to one hook. The
// default hook stops the program in a build with asserts and lets the
// failure stand alone in a release build; tests install a hook of their
// own to count breaches instead. The hook may be called from any thread
// and must not call into the window system.
#pragma once

#include <atomic>
#include <functional>

namespace platform {

enum class Misuse {
  // A window used from a thread that does not own it, where only the
  // owner may use it.
  kOtherThread,
  // A handle that names no window: destroyed, or never made.
  kStaleWindow,
  // A painting call outside the paint it belongs to.
  kOutsidePaint,
};

using AssertHook = std::function<void(Misuse misuse, const char* call)>;

// Answers the hook that was installed; an empty hook restores the default.
AssertHook SetAssertHook(AssertHook hook);
void ReportMisuse(Misuse misuse, const char* call);

// Counts the breaches reported while it lives, instead of stopping.
class ScopedMisuseCounter {
 public:
  ScopedMisuseCounter();
  ~ScopedMisuseCounter();
  ScopedMisuseCounter(const ScopedMisuseCounter&) = delete;
  ScopedMisuseCounter& operator=(const ScopedMisuseCounter&) = delete;

  int Count(Misuse misuse) const;
  int Total() const;

 private:
  static constexpr int kKinds = 3;
  std::atomic<int> counts_[kKinds] = {};
  AssertHook previous_;
};

}  // namespace platform
