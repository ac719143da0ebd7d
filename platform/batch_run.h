// Whether a user is there to answer. A batch run (printing from the
// command line, or a test that wants no modal box to wait) has no one to
// click: a modal box answers its default button at once, without showing,
// and writes its text to standard error. The setting is process-wide.
#pragma once

namespace platform {

void SetBatchRun(bool batch);
bool IsBatchRun();

// Sets the batch run for the life of the guard; the previous setting comes back after.
class ScopedBatchRun {
 public:
  explicit ScopedBatchRun(bool batch = true);
  ~ScopedBatchRun();
  ScopedBatchRun(const ScopedBatchRun&) = delete;
  ScopedBatchRun& operator=(const ScopedBatchRun&) = delete;

 private:
  bool previous_;
};

}  // namespace platform
