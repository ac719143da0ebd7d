#include "platform/cursor.h"

#include <algorithm>
#include <array>
#include <map>
#include <mutex>
#include <utility>

#include "platform/display_backend.h"

namespace platform {
namespace {

constexpr std::array kStandardCursors = {
    IDC_ARROW,  IDC_IBEAM,  IDC_WAIT,    IDC_CROSS, IDC_UPARROW, IDC_SIZENWSE,   IDC_SIZENESW,
    IDC_SIZEWE, IDC_SIZENS, IDC_SIZEALL, IDC_NO,    IDC_HAND,    IDC_APPSTARTING};
// Made cursors are numbered above every standard id.
constexpr HCURSOR kFirstMadeCursor = 0x10000;
constexpr int32_t kBitsPerByte = 8;
constexpr int32_t kRowAlignBits = 16;

struct CursorState {
  std::mutex mutex;
  std::map<HCURSOR, CursorShape> made;
  HCURSOR next = kFirstMadeCursor;
  HCURSOR shown = 0;
};

CursorState& State() {
  static CursorState state;
  return state;
}

bool IsStandard(HCURSOR cursor) {
  return std::find(kStandardCursors.begin(), kStandardCursors.end(), cursor) !=
         kStandardCursors.end();
}

size_t MaskBytes(int32_t width, int32_t height) {
  const int32_t rowBits = (width + kRowAlignBits - 1) / kRowAlignBits * kRowAlignBits;
  return static_cast<size_t>(rowBits / kBitsPerByte) * static_cast<size_t>(height);
}

std::vector<uint8_t> CopyMask(const void* mask, size_t size) {
  const auto* bytes = static_cast<const uint8_t*>(mask);
  return std::vector<uint8_t>(bytes, bytes + size);
}

}  // namespace

HCURSOR LoadCursor(HMODULE instance, HCURSOR id) {
  return instance == nullptr && IsStandard(id) ? id : 0;
}

HCURSOR CreateCursor(HMODULE, int32_t hotX, int32_t hotY, int32_t width, int32_t height,
                     const void* andMask, const void* xorMask) {
  if (width <= 0 || height <= 0 || andMask == nullptr || xorMask == nullptr) return 0;
  if (hotX < 0 || hotX >= width || hotY < 0 || hotY >= height) return 0;
  const size_t size = MaskBytes(width, height);
  CursorShape shape{POINT{hotX, hotY}, width, height, CopyMask(andMask, size),
                    CopyMask(xorMask, size)};
  CursorState& state = State();
  std::lock_guard lock(state.mutex);
  const HCURSOR cursor = state.next++;
  state.made.emplace(cursor, std::move(shape));
  return cursor;
}

bool DestroyCursor(HCURSOR cursor) {
  CursorState& state = State();
  std::lock_guard lock(state.mutex);
  return state.made.erase(cursor) != 0;
}

std::optional<CursorShape> GetCursorShape(HCURSOR cursor) {
  CursorState& state = State();
  std::lock_guard lock(state.mutex);
  const auto found = state.made.find(cursor);
  if (found == state.made.end()) return std::nullopt;
  return found->second;
}

HCURSOR SetCursor(HCURSOR cursor) {
  CursorState& state = State();
  HCURSOR previous = 0;
  {
    std::lock_guard lock(state.mutex);
    previous = std::exchange(state.shown, cursor);
  }
  if (previous != cursor) CurrentDisplay().SetNativeCursor(cursor);
  return previous;
}

HCURSOR GetCursor() {
  CursorState& state = State();
  std::lock_guard lock(state.mutex);
  return state.shown;
}

void ResetCursors() {
  CursorState& state = State();
  std::lock_guard lock(state.mutex);
  state.made.clear();
  state.next = kFirstMadeCursor;
  state.shown = 0;
}

}  // namespace platform
