#include "model/text_buffer.h"

#include <cstring>

namespace {

constexpr size_t kGrowth = 128;
constexpr size_t kAlignment = 4;

}  // namespace

CGlobalTextBuffer::CGlobalTextBuffer(size_t initialSize)
    : memory_(platform::GlobalAlloc(platform::GMEM_FIXED | platform::GMEM_ZEROINIT, initialSize)),
      initialSize_(initialSize),
      capacity_(memory_ ? initialSize : 0) {}

void CGlobalTextBuffer::Reset() {
  if (capacity_ > initialSize_ &&
      platform::GlobalReAlloc(memory_.get(), initialSize_, platform::GMEM_ZEROINIT) !=
          platform::kNullGlobal) {
    capacity_ = initialSize_;
  }
  length_ = 0;
  if (capacity_ > 0) Data()[0] = '\0';
}

void CGlobalTextBuffer::AppendChar(char c) { Append(&c, 1); }

void CGlobalTextBuffer::Append(const char* bytes, size_t n) {
  if (length_ + n >= capacity_) {
    const size_t grown = (length_ + n + kGrowth) / kAlignment * kAlignment;
    if (platform::GlobalReAlloc(memory_.get(), grown, platform::GMEM_ZEROINIT) ==
        platform::kNullGlobal) {
      return;
    }
    capacity_ = grown;
  }
  char* data = Data();
  std::memcpy(data + length_, bytes, n);
  length_ += n;
  data[length_] = '\0';
}

const char* CGlobalTextBuffer::GetText() const { return capacity_ > 0 ? Data() : ""; }

char* CGlobalTextBuffer::Data() const {
  // Fixed memory keeps its address until it is resized, so the lock need
  // not be held.
  auto* data = static_cast<char*>(platform::GlobalLock(memory_.get()));
  platform::GlobalUnlock(memory_.get());
  return data;
}

CGlobalTextBuffer& GlobalTextBuffer() {
  static CGlobalTextBuffer buffer;
  return buffer;
}

char* StrCopyEnd(char* dst, const char* src) {
  const size_t length = std::strlen(src);
  std::memcpy(dst, src, length + 1);
  return dst + length;
}
