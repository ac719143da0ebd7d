#include "platform/global_memory.h"

#include <map>
#include <mutex>
#include <new>
#include <vector>

namespace platform {

namespace {

struct Block {
  std::vector<uint8_t> bytes;
  unsigned locks = 0;
};

class GlobalTable {
 public:
  HGLOBAL Alloc(size_t bytes) {
    std::lock_guard lock(mutex_);
    try {
      const HGLOBAL handle = NextHandle();
      blocks_[handle].bytes.assign(bytes, 0);
      return handle;
    } catch (const std::bad_alloc&) {
      return kNullGlobal;
    }
  }

  HGLOBAL ReAlloc(HGLOBAL handle, size_t bytes) {
    std::lock_guard lock(mutex_);
    auto it = blocks_.find(handle);
    if (it == blocks_.end()) return kNullGlobal;
    try {
      it->second.bytes.resize(bytes, 0);
      return handle;
    } catch (const std::bad_alloc&) {
      return kNullGlobal;
    }
  }

  void* Lock(HGLOBAL handle) {
    std::lock_guard lock(mutex_);
    auto it = blocks_.find(handle);
    if (it == blocks_.end()) return nullptr;
    ++it->second.locks;
    return it->second.bytes.data();
  }

  bool Unlock(HGLOBAL handle) {
    std::lock_guard lock(mutex_);
    auto it = blocks_.find(handle);
    if (it == blocks_.end() || it->second.locks == 0) return false;
    return --it->second.locks > 0;
  }

  size_t Size(HGLOBAL handle) {
    std::lock_guard lock(mutex_);
    auto it = blocks_.find(handle);
    return it == blocks_.end() ? 0 : it->second.bytes.size();
  }

  bool Free(HGLOBAL handle) {
    std::lock_guard lock(mutex_);
    return blocks_.erase(handle) == 1;
  }

 private:
  HGLOBAL NextHandle() {
    do {
      ++last_;
    } while (last_ == kNullGlobal || blocks_.count(last_) != 0);
    return last_;
  }

  std::mutex mutex_;
  std::map<HGLOBAL, Block> blocks_;
  HGLOBAL last_ = kNullGlobal;
};

GlobalTable& Table() {
  static GlobalTable table;
  return table;
}

}  // namespace

// Blocks are always zero-filled; GMEM_ZEROINIT costs nothing extra here.
HGLOBAL GlobalAlloc(unsigned /*flags*/, size_t bytes) { return Table().Alloc(bytes); }

HGLOBAL GlobalReAlloc(HGLOBAL block, size_t bytes, unsigned /*flags*/) {
  return Table().ReAlloc(block, bytes);
}

void* GlobalLock(HGLOBAL block) { return Table().Lock(block); }

bool GlobalUnlock(HGLOBAL block) { return Table().Unlock(block); }

size_t GlobalSize(HGLOBAL block) { return Table().Size(block); }

HGLOBAL GlobalFree(HGLOBAL block) { return Table().Free(block) ? kNullGlobal : block; }

}  // namespace platform
