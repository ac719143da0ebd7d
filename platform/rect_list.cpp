#include "platform/rect_list.h"

#include <algorithm>

namespace platform {

namespace {

// The parts of `rect` outside `hole`: up to four bands.
std::vector<RECT> Minus(const RECT& rect, const RECT& hole) {
  const RECT overlap = IntersectionOf(rect, hole);
  if (overlap.IsEmpty()) return {rect};
  std::vector<RECT> parts{
      RECT{rect.left, rect.top, rect.right, overlap.top},
      RECT{rect.left, overlap.bottom, rect.right, rect.bottom},
      RECT{rect.left, overlap.top, overlap.left, overlap.bottom},
      RECT{overlap.right, overlap.top, rect.right, overlap.bottom},
  };
  std::erase_if(parts, [](const RECT& r) { return r.IsEmpty(); });
  return parts;
}

}  // namespace

RECT IntersectionOf(const RECT& a, const RECT& b) {
  const RECT r{std::max(a.left, b.left), std::max(a.top, b.top), std::min(a.right, b.right),
               std::min(a.bottom, b.bottom)};
  return r.IsEmpty() ? RECT{} : r;
}

void RectList::Add(const RECT& rect) {
  if (rect.IsEmpty()) return;
  std::vector<RECT> pieces{rect};
  for (const RECT& existing : rects_) {
    std::vector<RECT> outside;
    for (const RECT& piece : pieces) {
      const std::vector<RECT> parts = Minus(piece, existing);
      outside.insert(outside.end(), parts.begin(), parts.end());
    }
    pieces = std::move(outside);
  }
  rects_.insert(rects_.end(), pieces.begin(), pieces.end());
}

void RectList::Subtract(const RECT& rect) {
  std::vector<RECT> kept;
  for (const RECT& existing : rects_) {
    const std::vector<RECT> parts = Minus(existing, rect);
    kept.insert(kept.end(), parts.begin(), parts.end());
  }
  rects_ = std::move(kept);
}

void RectList::Intersect(const RECT& rect) {
  for (RECT& existing : rects_) existing = IntersectionOf(existing, rect);
  std::erase_if(rects_, [](const RECT& r) { return r.IsEmpty(); });
}

void RectList::Offset(int32_t dx, int32_t dy) {
  for (RECT& r : rects_) r = RECT{r.left + dx, r.top + dy, r.right + dx, r.bottom + dy};
}

RECT RectList::Bounds() const {
  if (rects_.empty()) return RECT{};
  RECT bounds = rects_.front();
  for (const RECT& r : rects_) {
    bounds = RECT{std::min(bounds.left, r.left), std::min(bounds.top, r.top),
                  std::max(bounds.right, r.right), std::max(bounds.bottom, r.bottom)};
  }
  return bounds;
}

}  // namespace platform
