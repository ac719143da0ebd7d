// The cursor over the unit-selection margin: the standard arrow mirrored
// left to right, so that it points to the upper right with its tip at the
// hot spot (31, 0).
#include <array>
#include <cstddef>
#include <string_view>

#include "views/ed_view.h"

namespace {

// The arrow as it points to the upper left: 'X' black, '.' white, ' ' the
// screen shows through. Rows below the picture are transparent.
constexpr std::array<std::string_view, 19> kArrow = {
    "X",         "XX",        "X.X",        "X..X",        "X...X",     "X....X",   "X.....X",
    "X......X",  "X.......X", "X........X", "X.....XXXXX", "X..X..X",   "X.X X..X", "XX  X..X",
    "X    X..X", "     X..X", "      X..X", "      X..X",  "       XX",
};

constexpr size_t kRowBytes = kMarginCursorSize / 8;

struct Masks {
  std::array<uint8_t, kMarginCursorMaskBytes> andMask{};
  std::array<uint8_t, kMarginCursorMaskBytes> xorMask{};
};

// AND 1 keeps the screen, AND 0 with XOR 0 is black, with XOR 1 white;
// the leftmost pixel of a row is the high bit of its first byte.
constexpr Masks MirroredArrow() {
  Masks masks;
  for (size_t row = 0; row < static_cast<size_t>(kMarginCursorSize); ++row) {
    for (size_t column = 0; column < static_cast<size_t>(kMarginCursorSize); ++column) {
      const size_t mirrored = kMarginCursorSize - 1 - column;
      char pixel = ' ';
      if (row < kArrow.size() && mirrored < kArrow[row].size()) pixel = kArrow[row][mirrored];
      const size_t byte = row * kRowBytes + column / 8;
      const uint8_t bit = static_cast<uint8_t>(0x80u >> (column % 8));
      if (pixel == ' ') masks.andMask[byte] |= bit;
      if (pixel == '.') masks.xorMask[byte] |= bit;
    }
  }
  return masks;
}

constexpr Masks kMasks = MirroredArrow();

}  // namespace

const uint8_t* MarginCursorAndMask() { return kMasks.andMask.data(); }
const uint8_t* MarginCursorXorMask() { return kMasks.xorMask.data(); }
