// A cursor made from masks as X draws it. The masks say per pixel: black
// (AND 0, XOR 0), white (AND 0, XOR 1), the screen (AND 1, XOR 0) or the
// screen inverted (AND 1, XOR 1), which X cannot show and gets as black.
#pragma once

#include <cstdint>
#include <optional>
#include <vector>

#include "platform/cursor.h"

namespace platform::x11 {

// Rows padded to a byte, the leftmost pixel in the low bit: the order of
// XCreateBitmapFromData.
struct CursorBitmaps {
  // Set where the cursor is white rather than black.
  std::vector<uint8_t> source;
  // Set where the cursor covers the screen.
  std::vector<uint8_t> mask;
  bool operator==(const CursorBitmaps&) const = default;
};

CursorBitmaps CursorBitmapsOf(const CursorShape& shape);

// A made cursor as X takes it; nullopt for a standard shape or none. (X's
// own headers name a constant CursorShape, so the back end asks here.)
struct MadeCursorImage {
  POINT hotSpot{};
  unsigned width = 0;
  unsigned height = 0;
  CursorBitmaps bitmaps;
};
std::optional<MadeCursorImage> MadeCursorImageOf(HCURSOR cursor);

}  // namespace platform::x11
