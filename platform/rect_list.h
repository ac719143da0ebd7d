// An area as a list of rectangles that do not overlap: the update region
// of a window and the visible part a window DC is clipped to.
#pragma once

#include <vector>

#include "platform/windef.h"

namespace platform {

class RectList {
 public:
  RectList() = default;
  explicit RectList(const RECT& rect) { Add(rect); }

  void Add(const RECT& rect);
  void Subtract(const RECT& rect);
  void Intersect(const RECT& rect);
  void Offset(int32_t dx, int32_t dy);
  void Clear() { rects_.clear(); }
  bool IsEmpty() const { return rects_.empty(); }
  RECT Bounds() const;
  const std::vector<RECT>& rects() const { return rects_; }

 private:
  std::vector<RECT> rects_;
};

RECT IntersectionOf(const RECT& a, const RECT& b);

}  // namespace platform
