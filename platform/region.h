// A set of pixels as a list of non-overlapping rectangles in bands, the
// value behind a region handle. Rectangles are right and bottom
// exclusive. Copies are deep: changing one leaves the other alone.
#pragma once

#include <cstdint>
#include <vector>

#include "platform/gdi.h"

typedef struct _cairo_region cairo_region_t;

namespace platform {

class Region {
 public:
  enum class Operation { kAnd, kOr, kXor, kDiff };

  Region();
  explicit Region(const RECT& rect);
  // The union of the rectangles, however they overlap.
  explicit Region(const std::vector<RECT>& rects);
  Region(const Region& other);
  Region& operator=(const Region& other);
  Region(Region&& other) noexcept;
  Region& operator=(Region&& other) noexcept;
  ~Region();

  // False when memory ran out; the region is then left as it was.
  bool Combine(const Region& other, Operation operation);
  void Offset(int32_t dx, int32_t dy);

  bool Contains(POINT point) const;
  // Whether any pixel of the rectangle lies in the region.
  bool Touches(const RECT& rect) const;
  // The smallest rectangle around the region; empty for an empty region.
  RECT Box() const;
  std::vector<RECT> Rects() const;
  bool IsEmpty() const;
  // NULLREGION, SIMPLEREGION or COMPLEXREGION.
  int Kind() const;
  bool operator==(const Region& other) const;

 private:
  cairo_region_t* region_;
};

}  // namespace platform
