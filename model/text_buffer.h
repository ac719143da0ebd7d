// The growable byte buffer in which the editing surface gathers typed
// characters, in fixed global memory. One lives for the whole program;
// Reset brings it back to its first state.
#pragma once

#include <cstddef>

#include "platform/global_memory.h"

class CGlobalTextBuffer {
 public:
  static constexpr size_t kInitialSize = 128;

  explicit CGlobalTextBuffer(size_t initialSize = kInitialSize);
  CGlobalTextBuffer(const CGlobalTextBuffer&) = delete;
  CGlobalTextBuffer& operator=(const CGlobalTextBuffer&) = delete;

  // Shrinks the memory back to the initial size when it grew and empties
  // the text.
  void Reset();
  void AppendChar(char c);
  void Append(const char* bytes, size_t n);

  // NUL-ended.
  const char* GetText() const;
  size_t GetLength() const { return length_; }
  size_t GetCapacity() const { return capacity_; }

 private:
  char* Data() const;

  platform::UniqueGlobal memory_;
  size_t initialSize_;
  size_t capacity_;
  size_t length_ = 0;
};

CGlobalTextBuffer& GlobalTextBuffer();

// Copies the NUL-ended `src` to `dst` and answers the address of the
// copied NUL, where the next copy can go on.
char* StrCopyEnd(char* dst, const char* src);
