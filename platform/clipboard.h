// The clipboard: one per process, holding global memory blocks under
// format ids. Formats are the standard CF_TEXT or ids registered by name
// (0xC000 and up). It must be opened before it is read or changed, and
// only one opener at a time may hold it; what is put on it becomes the
// clipboard's to free. The display back end is told when the content
// changes, and while another program owns the clipboard its content is
// read from there.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "platform/global_memory.h"
#include "platform/window_message.h"

namespace platform {

inline constexpr uint32_t CF_TEXT = 1;
inline constexpr uint32_t kFirstRegisteredFormat = 0xC000;

// Answers the same id for the same name, 0 for an empty name.
uint32_t RegisterClipboardFormatA(std::string_view name);
// False while the clipboard is already open.
bool OpenClipboard(HWND owner);
bool CloseClipboard();
// Frees every block on the clipboard; it must be open.
bool EmptyClipboard();
// The block becomes the clipboard's; replaces one of the same format.
// kNullGlobal when the clipboard is not open.
HGLOBAL SetClipboardData(uint32_t format, HGLOBAL block);
// kNullGlobal when the clipboard is not open or holds no such format.
HGLOBAL GetClipboardData(uint32_t format);
// The format after `format` in the order they were put, or in the order
// another program that owns the clipboard offers them (0: the first); 0
// after the last or when the clipboard is not open.
uint32_t EnumClipboardFormats(uint32_t format);

// The id registered for a name, registering nothing; 0 when the name is
// unknown.
uint32_t FindClipboardFormat(std::string_view name);
// The name a format was registered under; empty for CF_TEXT and unknown
// ids.
std::string ClipboardFormatName(uint32_t format);
// The program's own content, for the display back end that offers it to
// other programs whether or not the clipboard is open: its formats in the
// order they were put, and a copy of one format's bytes.
std::vector<uint32_t> ClipboardFormats();
std::optional<std::string> ClipboardBytes(uint32_t format);

// Empties, closes and forgets registered names, for tests.
void ResetClipboard();

// Holds the clipboard open for a scope; closes it on every path.
class ScopedClipboard {
 public:
  explicit ScopedClipboard(HWND owner) : open_(OpenClipboard(owner)) {}
  ~ScopedClipboard() {
    if (open_) CloseClipboard();
  }
  ScopedClipboard(const ScopedClipboard&) = delete;
  ScopedClipboard& operator=(const ScopedClipboard&) = delete;
  bool IsOpen() const { return open_; }

 private:
  bool open_;
};

}  // namespace platform
