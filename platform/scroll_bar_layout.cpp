#include "platform/scroll_bar_layout.h"

#include <algorithm>

#include "platform/system_info.h"

namespace platform {

namespace {

// A thumb shorter than this could not be caught with the mouse.
constexpr int32_t kMinThumbLength = 8;

// a * b / c rounded to the nearest, for a, b >= 0 and c > 0; wide enough
// for a range spanning every 32-bit value.
int64_t Scale(int64_t a, int64_t b, int64_t c) { return (a * b + c / 2) / c; }

int64_t RangeLength(const ScrollValues& values) {
  return static_cast<int64_t>(values.max) - values.min + 1;
}

// How far the position can move: the positions past the minimum.
int64_t Movement(const ScrollValues& values) {
  return static_cast<int64_t>(values.LastPosition()) - values.min;
}

}  // namespace

void ScrollValues::Apply(const SCROLLINFO& info) {
  if ((info.fMask & SIF_RANGE) != 0) {
    min = info.nMin;
    max = std::max(info.nMin, info.nMax);
  }
  if ((info.fMask & SIF_PAGE) != 0) page = info.nPage;
  page = static_cast<uint32_t>(std::min<int64_t>(page, RangeLength(*this)));
  pos = Clamped((info.fMask & SIF_POS) != 0 ? info.nPos : pos);
}

int32_t ScrollValues::LastPosition() const {
  const int64_t last = static_cast<int64_t>(max) - std::max<int64_t>(int64_t{page} - 1, 0);
  return static_cast<int32_t>(std::max<int64_t>(last, min));
}

bool ScrollValues::CanScroll() const {
  return static_cast<int64_t>(max) - min >= std::max<int64_t>(page, 1);
}

int32_t ScrollValues::Clamped(int64_t position) const {
  return static_cast<int32_t>(std::clamp<int64_t>(position, min, LastPosition()));
}

ScrollLayout::ScrollLayout(const RECT& client, bool vertical, const ScrollValues& values,
                           int32_t thumbPosition)
    : client_(client),
      vertical_(vertical),
      values_(values),
      length_(std::max(vertical ? client.Height() : client.Width(), 0)),
      arrow_(std::min(GetSystemMetrics(vertical ? SM_CYVSCROLL : SM_CXHSCROLL), length_ / 2)),
      thumbLength_(ThumbLength()),
      thumbStart_(ThumbStartFor(thumbPosition)) {}

int32_t ScrollLayout::ThumbLength() const {
  if (!values_.CanScroll()) return 0;
  const int32_t track = TrackEnd() - TrackStart();
  const int32_t proportional =
      values_.page == 0 ? GetSystemMetrics(vertical_ ? SM_CYVTHUMB : SM_CXHTHUMB)
                        : static_cast<int32_t>(Scale(track, values_.page, RangeLength(values_)));
  const int32_t length = std::max(proportional, kMinThumbLength);
  return length < track ? length : 0;
}

int32_t ScrollLayout::ThumbStartFor(int32_t position) const {
  if (!hasThumb()) return TrackStart();
  const int64_t past = static_cast<int64_t>(values_.Clamped(position)) - values_.min;
  return TrackStart() + static_cast<int32_t>(Scale(Travel(), past, Movement(values_)));
}

int32_t ScrollLayout::PositionAt(int32_t start) const {
  if (!hasThumb()) return values_.pos;
  const int32_t offset = std::clamp(start, TrackStart(), TrackStart() + Travel()) - TrackStart();
  return values_.Clamped(values_.min + Scale(offset, Movement(values_), Travel()));
}

RECT ScrollLayout::Span(int32_t from, int32_t to) const {
  if (to <= from) return RECT{};
  if (vertical_) return RECT{client_.left, client_.top + from, client_.right, client_.top + to};
  return RECT{client_.left + from, client_.top, client_.left + to, client_.bottom};
}

RECT ScrollLayout::RectOf(ScrollPart part) const {
  const int32_t thumbEnd = thumbStart_ + thumbLength_;
  switch (part) {
    case ScrollPart::kFirstArrow:
      return Span(0, arrow_);
    case ScrollPart::kLastArrow:
      return Span(TrackEnd(), length_);
    case ScrollPart::kThumb:
      return hasThumb() ? Span(thumbStart_, thumbEnd) : RECT{};
    case ScrollPart::kFirstPage:
      return hasThumb() ? Span(TrackStart(), thumbStart_) : RECT{};
    case ScrollPart::kLastPage:
      return hasThumb() ? Span(thumbEnd, TrackEnd()) : RECT{};
    case ScrollPart::kTrack:
      return Span(TrackStart(), TrackEnd());
    case ScrollPart::kNone:
      break;
  }
  return RECT{};
}

ScrollPart ScrollLayout::HitTest(POINT point) const {
  for (const ScrollPart part : {ScrollPart::kFirstArrow, ScrollPart::kFirstPage, ScrollPart::kThumb,
                                ScrollPart::kLastPage, ScrollPart::kLastArrow}) {
    const RECT rect = RectOf(part);
    if (PtInRect(rect, point)) return part;
  }
  return ScrollPart::kNone;
}

}  // namespace platform
