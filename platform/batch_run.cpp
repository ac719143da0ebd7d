#include "platform/batch_run.h"

#include <atomic>

namespace platform {

namespace {

// Read by whichever thread shows a box, set by the start-up code or a test.
std::atomic<bool> batchRun{false};

}  // namespace

void SetBatchRun(bool batch) { batchRun.store(batch); }

bool IsBatchRun() { return batchRun.load(); }

ScopedBatchRun::ScopedBatchRun(bool batch) : previous_(batchRun.exchange(batch)) {}

ScopedBatchRun::~ScopedBatchRun() { batchRun.store(previous_); }

}  // namespace platform
