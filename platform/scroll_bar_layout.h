// What a scroll bar keeps (range, page, position) and how its parts lie
// along it. Internal to the scroll-bar control.
#pragma once

#include <cstdint>

#include "platform/scroll_bar.h"
#include "platform/windef.h"

namespace platform {

struct ScrollValues {
  int32_t min = 0;
  int32_t max = 0;
  uint32_t page = 0;
  int32_t pos = 0;

  // Takes what the mask names, then clamps the page and the position.
  void Apply(const SCROLLINFO& info);
  // The highest position: the page's last unit shows the maximum.
  int32_t LastPosition() const;
  // Whether the range is longer than a page, so that the thumb can move.
  bool CanScroll() const;
  int32_t Clamped(int64_t pos) const;
};

// kTrack is all the way between the arrows, under the thumb and the page
// areas; hit tests never answer it.
enum class ScrollPart { kNone, kFirstArrow, kFirstPage, kThumb, kLastPage, kLastArrow, kTrack };

// The parts of a bar whose client area is `client`, its thumb standing for
// `thumbPosition`. Offsets "along" run from the top or left end.
class ScrollLayout {
 public:
  ScrollLayout(const RECT& client, bool vertical, const ScrollValues& values,
               int32_t thumbPosition);

  // Empty for a part the bar has not got.
  RECT RectOf(ScrollPart part) const;
  ScrollPart HitTest(POINT point) const;
  int32_t AlongOf(POINT point) const { return vertical_ ? point.y : point.x; }
  bool hasThumb() const { return thumbLength_ > 0; }
  int32_t thumbStart() const { return thumbStart_; }
  // The position the thumb stands for when it starts at `start`, which is
  // first kept on the track.
  int32_t PositionAt(int32_t start) const;

 private:
  RECT Span(int32_t from, int32_t to) const;
  int32_t ThumbLength() const;
  int32_t ThumbStartFor(int32_t position) const;
  int32_t TrackStart() const { return arrow_; }
  int32_t TrackEnd() const { return length_ - arrow_; }
  int32_t Travel() const { return TrackEnd() - TrackStart() - thumbLength_; }

  RECT client_;
  bool vertical_;
  ScrollValues values_;
  int32_t length_;
  int32_t arrow_;
  int32_t thumbLength_;
  int32_t thumbStart_;
};

}  // namespace platform
