#include "platform/clipboard.h"

#include <algorithm>
#include <cstring>
#include <map>
#include <mutex>
#include <string>
#include <utility>
#include <vector>

#include "platform/display_backend.h"

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
    bool changed = false;
    {
      std::lock_guard lock(mutex_);
      if (!open_) return false;
      open_ = false;
      changed = std::exchange(changed_, false);
      FreeForeign();
    }
    // Outside the lock: the back end reads the content it now offers.
    if (changed) CurrentDisplay().ClipboardChanged();
    return true;
  }

  bool Empty() {
    std::lock_guard lock(mutex_);
    if (!open_) return false;
    FreeAll();
    changed_ = true;
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
    changed_ = true;
    return block;
  }

  HGLOBAL Get(uint32_t format) {
    {
      std::lock_guard lock(mutex_);
      if (!open_) return kNullGlobal;
      if (changed_ || CurrentDisplay().OwnsClipboard()) return Own(format);
    }
    // Outside the lock: the back end waits for the other program.
    return Foreign(format, CurrentDisplay().ForeignClipboardData(format));
  }

  std::string NameOf(uint32_t format) {
    std::lock_guard lock(mutex_);
    for (const auto& [name, id] : names_) {
      if (id == format) return name;
    }
    return {};
  }

  std::vector<uint32_t> OwnFormats() {
    std::lock_guard lock(mutex_);
    return Formats(data_);
  }

  std::optional<std::string> Bytes(uint32_t format) {
    std::lock_guard lock(mutex_);
    const HGLOBAL block = Own(format);
    const auto* bytes = static_cast<const char*>(GlobalLock(block));
    if (bytes == nullptr) return std::nullopt;
    std::string copy(bytes, GlobalSize(block));
    GlobalUnlock(block);
    return copy;
  }

  uint32_t Next(uint32_t format) {
    {
      std::lock_guard lock(mutex_);
      if (!open_) return 0;
      if (changed_ || CurrentDisplay().OwnsClipboard()) return After(Formats(data_), format);
      if (foreignFormats_) return After(*foreignFormats_, format);
    }
    // Outside the lock, as for the data; asked once while it is open.
    std::vector<uint32_t> formats = CurrentDisplay().ForeignClipboardFormats();
    std::lock_guard lock(mutex_);
    if (!open_) return 0;
    foreignFormats_ = std::move(formats);
    return After(*foreignFormats_, format);
  }

  uint32_t Find(std::string_view name) {
    std::lock_guard lock(mutex_);
    const auto found = names_.find(name);
    return found == names_.end() ? 0 : found->second;
  }

  void Reset() {
    std::lock_guard lock(mutex_);
    FreeAll();
    FreeForeign();
    open_ = false;
    changed_ = false;
    names_.clear();
    next_ = kFirstRegisteredFormat;
  }

 private:
  static std::vector<uint32_t> Formats(const std::vector<std::pair<uint32_t, HGLOBAL>>& data) {
    std::vector<uint32_t> formats;
    for (const auto& entry : data) formats.push_back(entry.first);
    return formats;
  }

  static uint32_t After(const std::vector<uint32_t>& formats, uint32_t format) {
    if (formats.empty()) return 0;
    if (format == 0) return formats.front();
    const auto at = std::find(formats.begin(), formats.end(), format);
    return at == formats.end() || at + 1 == formats.end() ? 0 : *(at + 1);
  }

  HGLOBAL Own(uint32_t format) const {
    for (const auto& [f, block] : data_) {
      if (f == format) return block;
    }
    return kNullGlobal;
  }

  // Another program's content, held until the clipboard is closed; text
  // gets the terminating zero that CF_TEXT readers expect.
  HGLOBAL Foreign(uint32_t format, const std::optional<std::string>& bytes) {
    if (!bytes) return kNullGlobal;
    const size_t terminator = format == CF_TEXT ? 1 : 0;
    UniqueGlobal block(GlobalAlloc(GMEM_MOVEABLE | GMEM_ZEROINIT, bytes->size() + terminator));
    void* at = GlobalLock(block.get());
    if (at == nullptr) return kNullGlobal;
    std::memcpy(at, bytes->data(), bytes->size());
    GlobalUnlock(block.get());
    std::lock_guard lock(mutex_);
    if (!open_) return kNullGlobal;
    foreign_.push_back(block.release());
    return foreign_.back();
  }

  void FreeAll() {
    for (const auto& entry : data_) GlobalFree(entry.second);
    data_.clear();
  }

  void FreeForeign() {
    for (const HGLOBAL block : foreign_) GlobalFree(block);
    foreign_.clear();
    foreignFormats_.reset();
  }

  std::mutex mutex_;
  bool open_ = false;
  // Set by emptying or putting, so that closing offers the new content.
  bool changed_ = false;
  std::vector<std::pair<uint32_t, HGLOBAL>> data_;
  std::vector<HGLOBAL> foreign_;
  // What another program offers, asked for once while the clipboard is open.
  std::optional<std::vector<uint32_t>> foreignFormats_;
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
std::string ClipboardFormatName(uint32_t format) { return TheClipboard().NameOf(format); }
uint32_t FindClipboardFormat(std::string_view name) { return TheClipboard().Find(name); }
std::vector<uint32_t> ClipboardFormats() { return TheClipboard().OwnFormats(); }
std::optional<std::string> ClipboardBytes(uint32_t format) { return TheClipboard().Bytes(format); }
void ResetClipboard() { TheClipboard().Reset(); }

}  // namespace platform
