// Scrolling: new origins for scroll-bar codes in both geometries, keeping
// the caret in view, the window offsets of a move and the page-height sums
// behind the continuous view's scroll positions. Every division by a page
// size, a width or the zoom is guarded: before a style is applied or the
// surface is attached they are 0, and nothing scrolls.
#include <algorithm>
#include <optional>

#include "engine/wp_commands.h"
#include "engine/wp_ctrl.h"
#include "platform/muldiv.h"
#include "views/display_lines.h"

namespace {

using platform::MulDiv;

constexpr int32_t kTwipsPerInch = 1440;
// The caret is followed sideways in steps of this many character pitches.
constexpr int32_t kCaretStepPitches = 10;
// Continuous view scrolls this fraction of a view past the document's end.
constexpr int32_t kEndSlackFraction = 4;

// A scroll range: the current position, the end, the view's extent and one
// line, in one unit.
struct ScrollRange {
  int32_t current = 0;
  int32_t end = 0;
  int32_t view = 0;
  int32_t line = 0;
};

// The new position for a code; none for a code that does not scroll. A
// step forward never ends behind the current position, even when the
// document is shorter than the view, and no position passes the last one
// a scroll bar over [0, end] with a page of one view can give.
std::optional<int32_t> VerticalTarget(int code, int32_t given, const ScrollRange& r) {
  const int32_t last = r.end - r.view + 1;
  int32_t position = 0;
  switch (code) {
    case kScrollLineBack:
      position = r.current - r.line;
      break;
    case kScrollLineForward:
      position = std::max(r.current, std::min(r.current + r.line, last));
      break;
    case kScrollPageBack:
      position = r.current - r.view;
      break;
    case kScrollPageForward:
      position = r.current + 2 * r.view > r.end ? std::max(r.current, last) : r.current + r.view;
      break;
    case kScrollThumbPosition:
    case kScrollThumbTrack:
      // A position past the scroll bar's last one would show no page.
      position = std::min(given, std::max(last, 0));
      break;
    default:
      return std::nullopt;
  }
  return std::max(position, 0);
}

std::optional<int32_t> HorizontalTarget(int code, int32_t given, int32_t current, int32_t view) {
  const bool forward = code == kScrollLineForward || code == kScrollPageForward;
  if (forward && current + view > kHorzScrollRange) return std::nullopt;
  int32_t position = 0;
  switch (code) {
    case kScrollLineBack:
      position = current - view / 2 - 1;
      break;
    case kScrollLineForward:
      position = current + view / 2 + 1;
      break;
    case kScrollPageBack:
      position = current - view - 1;
      break;
    case kScrollPageForward:
      position = current + view + 1;
      break;
    case kScrollThumbPosition:
    case kScrollThumbTrack:
      position = given;
      break;
    default:
      return std::nullopt;
  }
  if (forward && position + view > kHorzScrollRange) position = kHorzScrollRange + 1 - view;
  return std::max(position, 0);
}

// Whole steps of `step` that cover `distance` (both positive).
int32_t StepsFor(int32_t distance, int32_t step) { return (distance + step - 1) / step; }

}  // namespace

int32_t CDisplayLineList::CharStepPixels(platform::HDC dc) const {
  return MulDiv(surface_->zoom * kCaretStepPitches * surface_->page.charPitch, GetDpiPair(dc).first,
                kTwipsPerInch);
}

int CDisplayLineList::MoveTo(platform::HDC dc, int32_t xOrigin, int32_t yOrigin, int32_t page,
                             ScrollOffset* offset) {
  linesBeforeMove_.assign(lines_.begin(), lines_.end());
  const std::vector<DisplayLine>& before = linesBeforeMove_;
  Rebuild(dc, xOrigin, yOrigin, page);
  if (offset != nullptr) *offset = {};
  if (before.empty() || lines_.empty()) return lines_.empty() ? 0 : 1;
  const DisplayLine& was = before.front();
  const DisplayLine& now = lines_.front();
  if (now.page == was.page && now.xOrigin == was.xOrigin && now.yOrigin == was.yOrigin) return 0;
  GetScrollOffset(dc, before.data(), before.size(), offset);
  return 1;
}

int CDisplayLineList::ScrollVertByCode(platform::HDC dc, int code, int32_t position,
                                       ScrollOffset* offset) {
  if (offset != nullptr) *offset = {};
  if (lines_.empty() || surface_->zoom < 1) return 0;
  const DisplayLine first = lines_.front();
  const SurfacePageMetrics& metrics = surface_->page;
  const int32_t zoom = surface_->zoom;
  const int32_t height = surface_->clientHeight;
  if (surface_->pageView != 0) {
    const int32_t slot = metrics.paperHeight + metrics.gapY;
    if (slot <= 0) return 0;
    const int32_t gap = MulDiv(metrics.gapY, kSlotPositions, slot);
    ScrollRange range;
    range.current = first.page * kSlotPositions + MulDiv(first.yOrigin, kSlotPositions, slot) -
                    kSlotPositions + gap;
    range.end = PageCount() * kSlotPositions + gap;
    range.view = MulDiv(height, kSlotPositions, slot);
    range.line = MulDiv(LinePitchPixels(dc, zoom), kSlotPositions, slot);
    const std::optional<int32_t> target = VerticalTarget(code, position, range);
    if (!target) return 0;
    int32_t page = *target / kSlotPositions + 1;
    int32_t y = MulDiv(*target % kSlotPositions, slot, kSlotPositions) - metrics.gapY;
    const int32_t count = PageCount();
    if (page > count) {
      y += (page - count) * slot;
      page = count;
    }
    if (page == first.page && y == first.yOrigin) return 0;
    return MoveTo(dc, first.xOrigin, y, page, offset);
  }
  ScrollRange range;
  range.current = GetHeightAbove(dc);
  range.view = std::max(height / zoom, 1);
  range.end = GetDocumentHeight(dc) + range.view / kEndSlackFraction;
  range.line = LinePitchPixels(dc, 1);
  const std::optional<int32_t> target = VerticalTarget(code, position, range);
  if (!target) return 0;
  const PagePosition at = PositionToPage(dc, *target);
  const int32_t y = metrics.offsetY + at.offset * zoom;
  if (at.page == first.page && y == first.yOrigin) return 0;
  return MoveTo(dc, first.xOrigin, y, at.page, offset);
}

int CDisplayLineList::ScrollHorzByCode(platform::HDC dc, int code, int32_t position,
                                       ScrollOffset* offset) {
  if (offset != nullptr) *offset = {};
  if (lines_.empty()) return 0;
  const DisplayLine first = lines_.front();
  const SurfacePageMetrics& metrics = surface_->page;
  const bool pageView = surface_->pageView != 0;
  const int32_t width =
      pageView ? metrics.paperWidth + 2 * metrics.gapX : metrics.paperWidth - metrics.offsetX;
  if (width <= 0) return 0;
  int32_t current = pageView ? MulDiv(first.xOrigin, kHorzScrollRange, width) +
                                   MulDiv(metrics.gapX, kHorzScrollRange, width)
                             : MulDiv(first.xOrigin - metrics.offsetX, kHorzScrollRange, width);
  const int32_t view = MulDiv(surface_->clientWidth, kHorzScrollRange, width);
  if (current < 0) {
    // A page narrower than the view is centred and does not scroll.
    if (view > kHorzScrollRange) return 0;
    current = 0;
  }
  const std::optional<int32_t> target = HorizontalTarget(code, position, current, view);
  if (!target) return 0;
  const int32_t x =
      MulDiv(*target, width, kHorzScrollRange) + (pageView ? 0 : metrics.offsetX) - metrics.gapX;
  if (x == first.xOrigin) return 0;
  return MoveTo(dc, x, first.yOrigin, first.page, offset);
}

int32_t CDisplayLineList::FollowCaretX(platform::HDC dc, int32_t xOrigin) const {
  const int32_t width = surface_->clientWidth;
  int32_t step = CharStepPixels(dc);
  if (width < step) step = caretRect_.Width();
  step = std::max(step, 1);
  if (caretRect_.right > xOrigin + width) {
    int32_t edge = xOrigin + width;
    edge += StepsFor(caretRect_.right - edge, step) * step;
    edge = std::min(edge, surface_->page.paperWidth);
    return std::min(edge - width, caretRect_.left);
  }
  if (caretRect_.left < xOrigin) {
    return std::max(xOrigin - StepsFor(xOrigin - caretRect_.left, step) * step, 0);
  }
  return xOrigin;
}

std::pair<int32_t, int32_t> CDisplayLineList::CarrySlotOrigin(int32_t page, int32_t yOrigin) const {
  const SurfacePageMetrics& metrics = surface_->page;
  const int32_t slot = metrics.paperHeight + metrics.gapY;
  const int32_t count = PageCount();
  if (slot <= 0) return {page, yOrigin};
  while (yOrigin >= metrics.paperHeight && page < count) {
    yOrigin -= slot;
    ++page;
  }
  while (yOrigin < -metrics.gapY && page > 1) {
    yOrigin += slot;
    --page;
  }
  return {page, yOrigin};
}

std::pair<int32_t, int32_t> CDisplayLineList::FindContinuousOrigin(platform::HDC dc, int32_t page,
                                                                   int32_t yOrigin) const {
  const int32_t top = surface_->page.offsetY;
  const int32_t count = PageCount();
  while (yOrigin < top && page > 1) {
    --page;
    yOrigin += UsedHeight(dc, page);
  }
  for (int32_t height = UsedHeight(dc, page); yOrigin >= top + height && page < count;
       height = UsedHeight(dc, page)) {
    yOrigin -= height;
    ++page;
  }
  return {page, std::max(yOrigin, top)};
}

std::pair<int32_t, int32_t> CDisplayLineList::KeepCaretVisibleY(platform::HDC dc) const {
  const DisplayLine& first = lines_.front();
  const bool pageView = surface_->pageView != 0;
  const SurfacePageMetrics& metrics = surface_->page;
  const int32_t height = surface_->clientHeight;
  const int32_t page = caretPage_;
  if (page < first.page) {
    if (pageView) return {page, caretRect_.top};
    return FindContinuousOrigin(dc, page, caretRect_.top);
  }
  // The caret's page top in the first shown page's coordinates, looked
  // for no further than one view below the view.
  const int32_t reach = first.yOrigin + 2 * height;
  int32_t pageTop = 0;
  const int32_t slot = metrics.paperHeight + metrics.gapY;
  for (int32_t p = first.page; p < page && pageTop <= reach; ++p) {
    pageTop += pageView ? slot : UsedHeight(dc, p);
  }
  const int32_t caretTop = pageTop + caretRect_.top;
  const int32_t caretBottom = pageTop + caretRect_.bottom;
  if (page <= lines_.back().page || caretBottom <= reach) {
    int32_t y = first.yOrigin;
    if (caretBottom > y + height) y = caretBottom - height;
    if (caretTop < y) y = caretTop;
    return pageView ? CarrySlotOrigin(first.page, y) : FindContinuousOrigin(dc, first.page, y);
  }
  // Far below: the view ends at the caret's bottom.
  const int32_t y = caretRect_.bottom - height;
  if (!pageView) return FindContinuousOrigin(dc, page, y);
  const auto [carried, carriedY] = CarrySlotOrigin(page, y);
  return {carried, std::max(carriedY, -metrics.gapY)};
}

int CDisplayLineList::KeepCaretVisible(platform::HDC dc, ScrollOffset* offset) {
  if (offset != nullptr) *offset = {};
  if (lines_.empty() || caretPage_ < 1) return 0;
  const int32_t x = FollowCaretX(dc, lines_.front().xOrigin);
  const auto [page, y] = KeepCaretVisibleY(dc);
  return MoveTo(dc, x, y, page, offset);
}

int CDisplayLineList::ShowCaretPage(platform::HDC dc) {
  if (lines_.empty() || caretPage_ < 1) return 0;
  const int32_t x = FollowCaretX(dc, lines_.front().xOrigin);
  const int32_t pageTop = surface_->pageView != 0 ? -surface_->page.gapY : surface_->page.offsetY;
  CVedWpCtrl* engine = surface_->engine;
  if (caretPage_ > 1 && engine != nullptr && engine->EditCommand(WPC_HAS_SELECTION, 0, 0) != 0) {
    const platform::RECT* rects = nullptr;
    if (engine->DisplayCommand(WPC_GET_CARET_RECTS, caretPage_, &rects) == 0) {
      // The selection ends at the top of the caret's page: its last lines
      // are on the page before.
      Rebuild(dc, x, pageTop, caretPage_ - 1);
      return 0;
    }
  }
  int32_t y = pageTop;
  if (caretRect_.bottom > y + surface_->clientHeight) {
    y = caretRect_.bottom - surface_->clientHeight;
  }
  if (caretRect_.top < y) y = caretRect_.top;
  Rebuild(dc, x, y, caretPage_);
  return 1;
}

int CDisplayLineList::GetScrollOffset(platform::HDC, const DisplayLine* oldLines, size_t count,
                                      ScrollOffset* offset) const {
  if (offset != nullptr) *offset = {};
  for (const DisplayLine& now : lines_) {
    for (size_t i = 0; i < count; ++i) {
      if (oldLines[i].page != now.page) continue;
      if (offset != nullptr) {
        *offset = {oldLines[i].xOrigin - now.xOrigin, oldLines[i].yOrigin - now.yOrigin};
      }
      return 1;
    }
  }
  return 0;
}

int32_t CDisplayLineList::GetDocumentHeight(platform::HDC dc) const {
  return heightSums_.Total(surface_->engine, GetDpiPair(dc).second);
}

int32_t CDisplayLineList::GetHeightAbovePage(platform::HDC dc, int32_t page) const {
  return heightSums_.Above(surface_->engine, GetDpiPair(dc).second, page);
}

int32_t CDisplayLineList::GetHeightAbove(platform::HDC dc) const {
  if (lines_.empty() || surface_->zoom < 1) return 0;
  const DisplayLine& first = lines_.front();
  return GetHeightAbovePage(dc, first.page) +
         (first.yOrigin - surface_->page.offsetY) / surface_->zoom;
}

PagePosition CDisplayLineList::PositionToPage(platform::HDC dc, int32_t position) const {
  const PageHeightSums::Position at =
      heightSums_.Find(surface_->engine, GetDpiPair(dc).second, position);
  return {at.page, at.offset};
}
