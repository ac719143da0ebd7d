#include "platform/clipboard.h"

#include <algorithm>
#include <map>
#include <mutex>
#include <string>
#include <utility>
#include <vector>

namespace platform {

namespace {

class Clipboard {
 public:
  uint32_t Register(std::string_view name) {
    if (name.empty()) return 0;
    std::lock_guard lock(mutex_);
    auto [it, added] = names_.try_emplace(std::string(name), next_);
    if (added) ++next_;
    return it->second;
  }

  bool Open() {
    std::lock_guard lock(mutex_);
    if (open_) return false;
    open_ = true;
    return true;
  }

  bool Close() {
    std::lock_guard lock(mutex_);
    const bool wasOpen = open_;
    open_ = false;
    return wasOpen;
  }

  bool Empty() {
    std::lock_guard lock(mutex_);
    if (!open_) return false;
    FreeAll();
    return true;
  }

  HGLOBAL Set(uint32_t format, HGLOBAL block) {
    std::lock_guard lock(mutex_);
    if (!open_ || format == 0) return kNullGlobal;
    auto it = std::find_if(data_.begin(), data_.end(),
                           [format](const auto& entry) { return entry.first == format; });
    if (it != data_.end()) {
      if (it->second != block) GlobalFree(it->second);
      it->second = block;
    } else {
      data_.emplace_back(format, block);
    }
    return block;
  }

  HGLOBAL Get(uint32_t format) {
    std::lock_guard lock(mutex_);
    if (!open_) return kNullGlobal;
    for (const auto& [f, block] : data_) {
      if (f == format) return block;
    }
    return kNullGlobal;
  }

  uint32_t Next(uint32_t format) {
    std::lock_guard lock(mutex_);
    if (!open_ || data_.empty()) return 0;
    if (format == 0) return data_.front().first;
    for (size_t i = 0; i + 1 < data_.size(); ++i) {
      if (data_[i].first == format) return data_[i + 1].first;
    }
    return 0;
  }

  void Reset() {
    std::lock_guard lock(mutex_);
    FreeAll();
    open_ = false;
    names_.clear();
    next_ = kFirstRegisteredFormat;
  }

 private:
  void FreeAll() {
    for (const auto& entry : data_) GlobalFree(entry.second);
    data_.clear();
  }

  std::mutex mutex_;
  bool open_ = false;
  std::vector<std::pair<uint32_t, HGLOBAL>> data_;
  std::map<std::string, uint32_t, std::less<>> names_;
  uint32_t next_ = kFirstRegisteredFormat;
};

Clipboard& TheClipboard() {
  static Clipboard clipboard;
  return clipboard;
}

}  // namespace

uint32_t RegisterClipboardFormatA(std::string_view name) { return TheClipboard().Register(name); }
bool OpenClipboard(HWND) { return TheClipboard().Open(); }
bool CloseClipboard() { return TheClipboard().Close(); }
bool EmptyClipboard() { return TheClipboard().Empty(); }
HGLOBAL SetClipboardData(uint32_t format, HGLOBAL block) {
  return TheClipboard().Set(format, block);
}
HGLOBAL GetClipboardData(uint32_t format) { return TheClipboard().Get(format); }
uint32_t EnumClipboardFormats(uint32_t format) { return TheClipboard().Next(format); }
void ResetClipboard() { TheClipboard().Reset(); }

}  // namespace platform
