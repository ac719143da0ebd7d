// The small value types that cross the system's interfaces: rectangles,
// points, colours and the device-context handle.
#pragma once

#include <algorithm>
#include <cstdint>

namespace platform {

using COLORREF = uint32_t;

constexpr COLORREF RGB(uint8_t r, uint8_t g, uint8_t b) {
  return static_cast<COLORREF>(r) | (static_cast<COLORREF>(g) << 8) |
         (static_cast<COLORREF>(b) << 16);
}

struct POINT {
  int32_t x = 0;
  int32_t y = 0;
  bool operator==(const POINT&) const = default;
};

struct SIZE {
  int32_t cx = 0;
  int32_t cy = 0;
  bool operator==(const SIZE&) const = default;
};

struct RECT {
  int32_t left = 0;
  int32_t top = 0;
  int32_t right = 0;
  int32_t bottom = 0;
  bool operator==(const RECT&) const = default;
  int32_t Width() const { return right - left; }
  int32_t Height() const { return bottom - top; }
  bool IsEmpty() const { return right <= left || bottom <= top; }
  // The same rectangle moved by (dx, dy).
  RECT Offset(int32_t dx, int32_t dy) const {
    return RECT{left + dx, top + dy, right + dx, bottom + dy};
  }
};

// The pixels both rectangles hold; empty when they hold none.
inline RECT IntersectionOf(const RECT& a, const RECT& b) {
  const RECT r{std::max(a.left, b.left), std::max(a.top, b.top), std::min(a.right, b.right),
               std::min(a.bottom, b.bottom)};
  return r.IsEmpty() ? RECT{} : r;
}

// Whether the point lies in the rectangle, right and bottom exclusive.
inline bool PtInRect(const RECT& rect, POINT point) {
  return point.x >= rect.left && point.x < rect.right && point.y >= rect.top &&
         point.y < rect.bottom;
}

// `a` less the part `b` covers, as a rectangle subtraction does: only
// when what is left is one rectangle (b spans a across one way and covers
// one of its ends); otherwise `a` itself, and empty when b covers it all.
inline RECT SubtractionOf(const RECT& a, const RECT& b) {
  const RECT overlap = IntersectionOf(a, b);
  if (overlap.IsEmpty()) return a;
  const bool spansWidth = overlap.left == a.left && overlap.right == a.right;
  const bool spansHeight = overlap.top == a.top && overlap.bottom == a.bottom;
  RECT left = a;
  if (spansWidth && spansHeight) return RECT{};
  if (spansWidth && overlap.top == a.top) {
    left.top = overlap.bottom;
  } else if (spansWidth && overlap.bottom == a.bottom) {
    left.bottom = overlap.top;
  } else if (spansHeight && overlap.left == a.left) {
    left.left = overlap.right;
  } else if (spansHeight && overlap.right == a.right) {
    left.right = overlap.left;
  }
  return left;
}

// A device context; what it draws on is the drawing layer's business.
class DeviceContext;
using HDC = DeviceContext*;

}  // namespace platform
