#include "views/child_anchor.h"

#include <algorithm>

#include "platform/window.h"

namespace {

// The far edge a fixed size is measured back from; a stretched child
// starts at the near edge.
int32_t FromFarEdge(int32_t viewSize, int32_t size) {
  return size == kAnchorStretch ? 0 : viewSize - size;
}

platform::POINT AnchorOrigin(const ChildAnchor& anchor, int32_t viewWidth, int32_t viewHeight) {
  switch (anchor.type) {
    case kAnchorFill:
      return {anchor.inset.left, anchor.inset.top};
    case kAnchorLeftStrip:
      return {0, anchor.inset.top};
    case kAnchorRightStrip:
      return {FromFarEdge(viewWidth, anchor.width), anchor.inset.top};
    case kAnchorTopStrip:
      return {anchor.inset.left, 0};
    case kAnchorBottomStrip:
      return {anchor.inset.left, FromFarEdge(viewHeight, anchor.height)};
    case kAnchorBottomLeft:
      return {0, FromFarEdge(viewHeight, anchor.height)};
    case kAnchorTopRight:
      return {viewWidth - anchor.width, 0};
    case kAnchorBottomRight:
      return {viewWidth - anchor.width, viewHeight - anchor.height};
    case kAnchorTopLeft:
    default:
      return {0, 0};
  }
}

// A fixed size, or the stretch from `start` to the inset far edge.
int32_t Extent(int32_t fixed, int32_t insetFar, int32_t viewSize, int32_t start) {
  return std::max(fixed != kAnchorStretch ? fixed : insetFar + viewSize - start, 0);
}

}  // namespace

void ChildAnchor::ApplyAnchor(int32_t viewWidth, int32_t viewHeight) {
  if (window == platform::kNoWindow || parent == platform::kNoWindow) return;
  if (viewWidth == 0 || viewHeight == 0) return;
  platform::POINT origin = AnchorOrigin(*this, viewWidth, viewHeight);
  origin.x = std::max(origin.x, 0);
  origin.y = std::max(origin.y, 0);
  const int32_t placedWidth = Extent(width, inset.right, viewWidth, origin.x);
  const int32_t placedHeight = Extent(height, inset.bottom, viewHeight, origin.y);
  platform::MoveWindow(window, origin.x, origin.y, placedWidth, placedHeight, true);
  placed = {origin.x, origin.y, origin.x + placedWidth, origin.y + placedHeight};
}

void ChildAnchor::SetAnchor(int anchorType, const platform::RECT& anchorInset) {
  type = anchorType;
  inset = anchorInset;
}

void ChildAnchor::GetAnchorSize(int32_t* outWidth, int32_t* outHeight) const {
  *outWidth = width;
  *outHeight = height;
}

int ChildAnchor::PointToChild(platform::POINT* point) const {
  if (!platform::PtInRect(placed, *point)) return 0;
  point->x -= placed.left;
  point->y -= placed.top;
  return 1;
}
