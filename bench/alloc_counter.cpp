// Replaces the global operator new and delete of the benchmark program
// with ones that keep a running count of the bytes held.
#include "alloc_counter.h"

#include <malloc.h>

#include <algorithm>
#include <atomic>
#include <cstdlib>
#include <new>

namespace {

std::atomic<int64_t> liveBytes{0};
std::atomic<int64_t> allocations{0};
std::atomic<int64_t> peakBytes{0};

void Count(void* block) {
  const auto size = static_cast<int64_t>(malloc_usable_size(block));
  const int64_t live = liveBytes.fetch_add(size, std::memory_order_relaxed) + size;
  int64_t peak = peakBytes.load(std::memory_order_relaxed);
  while (live > peak && !peakBytes.compare_exchange_weak(peak, live, std::memory_order_relaxed)) {
  }
  allocations.fetch_add(1, std::memory_order_relaxed);
}

void* Take(std::size_t size) {
  void* block = std::malloc(size == 0 ? 1 : size);
  if (block == nullptr) return nullptr;
  Count(block);
  return block;
}

void* TakeAligned(std::size_t size, std::align_val_t alignment) {
  void* block = nullptr;
  const auto align = std::max(static_cast<std::size_t>(alignment), sizeof(void*));
  if (posix_memalign(&block, align, size == 0 ? 1 : size) != 0) return nullptr;
  Count(block);
  return block;
}

void Give(void* block) noexcept {
  if (block == nullptr) return;
  liveBytes.fetch_sub(static_cast<int64_t>(malloc_usable_size(block)), std::memory_order_relaxed);
  std::free(block);
}

}  // namespace

namespace bench {

int64_t LiveHeapBytes() { return liveBytes.load(std::memory_order_relaxed); }
int64_t HeapAllocations() { return allocations.load(std::memory_order_relaxed); }
int64_t PeakHeapBytes() { return peakBytes.load(std::memory_order_relaxed); }
void ResetPeakHeapBytes() { peakBytes.store(LiveHeapBytes(), std::memory_order_relaxed); }

}  // namespace bench

void* operator new(std::size_t size) {
  if (void* block = Take(size)) return block;
  throw std::bad_alloc();
}
void* operator new[](std::size_t size) {
  if (void* block = Take(size)) return block;
  throw std::bad_alloc();
}
void* operator new(std::size_t size, const std::nothrow_t&) noexcept { return Take(size); }
void* operator new[](std::size_t size, const std::nothrow_t&) noexcept { return Take(size); }
void* operator new(std::size_t size, std::align_val_t alignment) {
  if (void* block = TakeAligned(size, alignment)) return block;
  throw std::bad_alloc();
}
void* operator new[](std::size_t size, std::align_val_t alignment) {
  if (void* block = TakeAligned(size, alignment)) return block;
  throw std::bad_alloc();
}
void* operator new(std::size_t size, std::align_val_t alignment, const std::nothrow_t&) noexcept {
  return TakeAligned(size, alignment);
}
void* operator new[](std::size_t size, std::align_val_t alignment, const std::nothrow_t&) noexcept {
  return TakeAligned(size, alignment);
}

void operator delete(void* block) noexcept { Give(block); }
void operator delete[](void* block) noexcept { Give(block); }
void operator delete(void* block, std::size_t) noexcept { Give(block); }
void operator delete[](void* block, std::size_t) noexcept { Give(block); }
void operator delete(void* block, const std::nothrow_t&) noexcept { Give(block); }
void operator delete[](void* block, const std::nothrow_t&) noexcept { Give(block); }
void operator delete(void* block, std::align_val_t) noexcept { Give(block); }
void operator delete[](void* block, std::align_val_t) noexcept { Give(block); }
void operator delete(void* block, std::size_t, std::align_val_t) noexcept { Give(block); }
void operator delete[](void* block, std::size_t, std::align_val_t) noexcept { Give(block); }
void operator delete(void* block, std::align_val_t, const std::nothrow_t&) noexcept { Give(block); }
void operator delete[](void* block, std::align_val_t, const std::nothrow_t&) noexcept {
  Give(block);
}
