#include "platform/x11/cursor_bitmaps.h"

#include <cstddef>

namespace platform::x11 {
namespace {

constexpr int32_t kBitsPerByte = 8;
// The masks' rows are WORD-aligned.
constexpr int32_t kMaskRowAlignBits = 16;
constexpr uint8_t kLeftmostMaskBit = 0x80;

size_t MaskRowBytes(int32_t width) {
  return static_cast<size_t>((width + kMaskRowAlignBits - 1) / kMaskRowAlignBits *
                             (kMaskRowAlignBits / kBitsPerByte));
}

size_t BitmapRowBytes(int32_t width) {
  return static_cast<size_t>((width + kBitsPerByte - 1) / kBitsPerByte);
}

bool MaskBit(const std::vector<uint8_t>& mask, size_t rowBytes, int32_t x, int32_t y) {
  const size_t at = static_cast<size_t>(y) * rowBytes + static_cast<size_t>(x / kBitsPerByte);
  return at < mask.size() && (mask[at] & (kLeftmostMaskBit >> (x % kBitsPerByte))) != 0;
}

}  // namespace

CursorBitmaps CursorBitmapsOf(const CursorShape& shape) {
  const size_t maskRow = MaskRowBytes(shape.width);
  const size_t bitmapRow = BitmapRowBytes(shape.width);
  const size_t size = bitmapRow * static_cast<size_t>(shape.height);
  CursorBitmaps bitmaps{std::vector<uint8_t>(size), std::vector<uint8_t>(size)};
  for (int32_t y = 0; y < shape.height; ++y) {
    for (int32_t x = 0; x < shape.width; ++x) {
      const bool keepsScreen = MaskBit(shape.andMask, maskRow, x, y);
      const bool flips = MaskBit(shape.xorMask, maskRow, x, y);
      const size_t at = static_cast<size_t>(y) * bitmapRow + static_cast<size_t>(x / kBitsPerByte);
      const auto bit = static_cast<uint8_t>(1u << (x % kBitsPerByte));
      if (!keepsScreen || flips) bitmaps.mask[at] |= bit;
      if (!keepsScreen && flips) bitmaps.source[at] |= bit;
    }
  }
  return bitmaps;
}

std::optional<MadeCursorImage> MadeCursorImageOf(HCURSOR cursor) {
  const std::optional<CursorShape> shape = GetCursorShape(cursor);
  if (!shape) return std::nullopt;
  return MadeCursorImage{shape->hotSpot, static_cast<unsigned>(shape->width),
                         static_cast<unsigned>(shape->height), CursorBitmapsOf(*shape)};
}

}  // namespace platform::x11
