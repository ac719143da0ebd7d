// Global memory blocks: byte blocks addressed by a 32-bit handle, so that
// a block can change hands (for example to the clipboard) and be resized
// while whoever holds the handle keeps it. The handle table is
// process-wide, as the blocks are.
#pragma once

#include <cstddef>
#include <cstdint>

namespace platform {

using HGLOBAL = uint32_t;
constexpr HGLOBAL kNullGlobal = 0;

enum GlobalFlags : unsigned {
  GMEM_FIXED = 0x0000,
  GMEM_MOVEABLE = 0x0002,
  GMEM_ZEROINIT = 0x0040,
};

// kNullGlobal when the block cannot be had.
HGLOBAL GlobalAlloc(unsigned flags, size_t bytes);
// The same handle with the block resized (new bytes zero when asked);
// kNullGlobal on failure, the block then unchanged.
HGLOBAL GlobalReAlloc(HGLOBAL block, size_t bytes, unsigned flags);
// nullptr for an unknown handle. The pointer is valid until the block is
// resized or freed.
void* GlobalLock(HGLOBAL block);
bool GlobalUnlock(HGLOBAL block);
size_t GlobalSize(HGLOBAL block);
// kNullGlobal on success, the handle itself when it was unknown.
HGLOBAL GlobalFree(HGLOBAL block);

// Owns a block until it is released to a new owner.
class UniqueGlobal {
 public:
  UniqueGlobal() = default;
  explicit UniqueGlobal(HGLOBAL block) : block_(block) {}
  ~UniqueGlobal() { reset(); }
  UniqueGlobal(UniqueGlobal&& other) noexcept : block_(other.release()) {}
  UniqueGlobal& operator=(UniqueGlobal&& other) noexcept {
    if (this != &other) reset(other.release());
    return *this;
  }
  UniqueGlobal(const UniqueGlobal&) = delete;
  UniqueGlobal& operator=(const UniqueGlobal&) = delete;

  HGLOBAL get() const { return block_; }
  HGLOBAL release() {
    const HGLOBAL block = block_;
    block_ = kNullGlobal;
    return block;
  }
  void reset(HGLOBAL block = kNullGlobal) {
    if (block_ != kNullGlobal) GlobalFree(block_);
    block_ = block;
  }
  explicit operator bool() const { return block_ != kNullGlobal; }

 private:
  HGLOBAL block_ = kNullGlobal;
};

}  // namespace platform
