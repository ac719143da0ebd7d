// The editing surface's answer to the engine's caret and content
// notifications and to the scroll bars: keep the caret in view, repaint
// only what scrolling uncovered and what the selection changed, and map
// client points to page points in twips for the mouse.
#include <algorithm>

#include "engine/doc_root.h"
#include "engine/wp_commands.h"
#include "engine/wp_ctrl.h"
#include "platform/input.h"
#include "platform/paint.h"
#include "views/ed_view.h"

namespace {

// GetCaretRect modes: the cell under a point, and the one after it.
constexpr intptr_t kCellAtPoint = 1;
constexpr intptr_t kCellAfterPoint = 0x30001;
// What the engine's hit test names: the object kind, then its part.
constexpr int32_t kObjectBlank = 17;
constexpr int32_t kUnitMargin = 0x10001;

bool IsPageMove(int code) {
  return code == kMoveNextPage || code == kMovePrevPage || code == kMoveJumpForward ||
         code == kMoveJumpBack;
}

bool Inside(const platform::RECT& rect, int32_t x, int32_t y) {
  return x >= rect.left && x < rect.right && y >= rect.top && y < rect.bottom;
}

int32_t Widened(int32_t offset, int32_t by) {
  if (offset > 0) return offset + by;
  if (offset < 0) return offset - by;
  return 0;
}

}  // namespace

platform::Region CVedEdView::ExposedStrip(const ScrollOffset& offset) const {
  const platform::RECT client = ClientRect();
  platform::RECT moved = client;
  const int32_t dx = Widened(offset.dx, geometry_.zoom);
  const int32_t dy = Widened(offset.dy, geometry_.zoom);
  moved.left += dx;
  moved.right += dx;
  moved.top += dy;
  moved.bottom += dy;
  platform::Region strip(client);
  strip.Combine(platform::Region(moved), platform::Region::Operation::kDiff);
  return strip;
}

void CVedEdView::RedrawAll() {
  platform::RedrawWindow(m_hWnd, nullptr, nullptr,
                         platform::RDW_INVALIDATE | platform::RDW_ERASE | platform::RDW_UPDATENOW);
}

void CVedEdView::PlaceAndShowCaret(bool show) {
  if (lines_.PlaceCaret(SurfaceDC(), nullptr) != 0 && show) lines_.ShowCaret();
}

void CVedEdView::OnCaretMoved(int moveCode, const CaretPoint* record) {
  if (geometry_.engine == nullptr || record == nullptr || lines_.Lines().empty()) return;
  lines_.HideCaret();
  const platform::HDC dc = SurfaceDC();
  ScrollOffset offset;
  const int kind = IsPageMove(moveCode) ? kCaretPageMoved : kCaretMoved;
  const int scrolled = lines_.UpdateForCaret(dc, kind, *record, &offset);
  const SelectionRegionSet old = std::move(selection_);
  selection_.Clear();
  bool show = true;
  if (scrolled != 0 && (offset.dx != 0) != (offset.dy != 0)) {
    platform::Region repaint = ExposedStrip(offset);
    platform::ScrollWindowEx(m_hWnd, offset.dx, offset.dy, nullptr, nullptr, nullptr, nullptr, 0);
    RebuildSelection();
    old.AddInWindow(repaint, lines_.Lines());
    selection_.AddInWindow(repaint, lines_.Lines());
    RepaintRegion(repaint);
  } else if (scrolled != 0 && offset.dx != 0) {
    // A diagonal scroll is left to the window system's invalidation.
    platform::Region update;
    platform::ScrollWindowEx(m_hWnd, offset.dx, offset.dy, nullptr, nullptr, &update, nullptr,
                             platform::SW_INVALIDATE);
    RebuildSelection();
    old.AddInWindow(update, lines_.Lines());
    selection_.AddInWindow(update, lines_.Lines());
    AddDirtyRects(update);
    platform::InvalidateRgn(m_hWnd, &update, false);
    platform::GetUpdateRect(m_hWnd, &pendingUpdate_, false);
    show = false;
  } else if (scrolled != 0) {
    RebuildSelection();
    RedrawAll();
  } else {
    RebuildSelection();
    if (!old.IsEmpty() || !selection_.IsEmpty()) {
      platform::Region both;
      old.AddInWindow(both, lines_.Lines());
      selection_.AddInWindow(both, lines_.Lines());
      RepaintRegion(both);
    }
  }
  PlaceAndShowCaret(show);
}

void CVedEdView::OnContentChanged(const CaretPoint* record) {
  if (geometry_.engine == nullptr || record == nullptr || lines_.Lines().empty()) return;
  lines_.HideCaret();
  const platform::HDC dc = SurfaceDC();
  ScrollOffset offset;
  const int scrolled = lines_.UpdateForCaret(dc, kCaretContentChanged, *record, &offset);
  const SelectionRegionSet old = std::move(selection_);
  selection_.Clear();
  bool show = false;
  if (scrolled != 0 && offset.dy != 0) {
    platform::Region update;
    platform::ScrollWindowEx(m_hWnd, offset.dx, offset.dy, nullptr, nullptr, &update, nullptr,
                             platform::SW_INVALIDATE);
    old.AddInWindow(update, lines_.Lines());
    AddDirtyRects(update);
    platform::InvalidateRgn(m_hWnd, &update, false);
    platform::GetUpdateRect(m_hWnd, &pendingUpdate_, false);
    if (geometry_.pageView == 0 && !pendingUpdate_.IsEmpty()) {
      pendingUpdate_.left = 0;
      pendingUpdate_.right = geometry_.clientWidth;
      platform::InvalidateRect(m_hWnd, &pendingUpdate_, false);
    }
  } else if (scrolled != 0 && offset.dx == 0) {
    RedrawAll();
  } else {
    platform::Region repaint;
    if (scrolled != 0) {
      repaint = ExposedStrip(offset);
      platform::ScrollWindowEx(m_hWnd, offset.dx, 0, nullptr, nullptr, nullptr, nullptr, 0);
    }
    old.AddInWindow(repaint, lines_.Lines());
    RepaintRegion(repaint);
    show = true;
  }
  PlaceAndShowCaret(show);
}

int CVedEdView::ScrollVert(int code, int32_t position) {
  if (geometry_.engine == nullptr || lines_.Lines().empty()) return 0;
  lines_.HideCaret();
  ScrollOffset offset;
  const int moved = lines_.ScrollVertByCode(SurfaceDC(), code, position, &offset);
  if (moved != 0) {
    RebuildSelection();
    if (offset.dy != 0) {
      platform::Region repaint = ExposedStrip(offset);
      platform::ScrollWindowEx(m_hWnd, offset.dx, offset.dy, nullptr, nullptr, nullptr, nullptr, 0);
      selection_.AddInWindow(repaint, lines_.Lines());
      RepaintRegion(repaint);
    } else {
      RedrawAll();
    }
  }
  PlaceAndShowCaret(true);
  return moved;
}

int CVedEdView::ScrollHorz(int code, int32_t position) {
  if (geometry_.engine == nullptr || lines_.Lines().empty()) return 0;
  lines_.HideCaret();
  ScrollOffset offset;
  const int moved = lines_.ScrollHorzByCode(SurfaceDC(), code, position, &offset);
  if (moved != 0) {
    if (offset.dx == 0 && offset.dy == 0) {
      RedrawAll();
    } else {
      platform::ScrollWindowEx(m_hWnd, offset.dx, offset.dy, nullptr, nullptr, nullptr, nullptr,
                               platform::SW_INVALIDATE);
    }
    RebuildSelection();
  }
  PlaceAndShowCaret(true);
  return moved;
}

void CVedEdView::ShowCaretIfAttached() {
  if (lines_.Lines().empty()) return;
  PlaceAndShowCaret(true);
}

void CVedEdView::HideCaretAll() {
  if (lines_.Lines().empty()) return;
  lines_.DestroyCaret();
}

int CVedEdView::GetCaretWindowRect(platform::RECT* rect) const {
  DisplayLine line;
  if (lines_.GetCaretLine(&line) == 0 || lines_.GetCaretVisibility() == 0) return 0;
  if (rect != nullptr) {
    const platform::RECT& caret = lines_.CaretRect();
    *rect = {caret.left - line.xOrigin, caret.top - line.yOrigin, caret.right - line.xOrigin,
             caret.bottom - line.yOrigin};
  }
  return 1;
}

int32_t CVedEdView::GetDocumentHeight() const { return lines_.GetDocumentHeight(SurfaceDC()); }

int32_t CVedEdView::GetScrollTop() const {
  if (lines_.Lines().empty() || geometry_.engine == nullptr) return 0;
  const DisplayLine& first = lines_.Lines().front();
  const int32_t zoom = std::max<int32_t>(geometry_.zoom, 1);
  return lines_.GetHeightAbovePage(SurfaceDC(), first.page) + first.yOrigin / zoom -
         geometry_.page.offsetY / zoom;
}

bool CVedEdView::InSelection(platform::POINT point) const {
  if (selection_.IsEmpty()) return false;
  platform::Region shown;
  selection_.AddInWindow(shown, lines_.Lines());
  return shown.Contains(point);
}

int CVedEdView::GetHitInfo(int32_t x, int32_t y, ObjectDescription* out) {
  if (geometry_.engine == nullptr || x < 0 || y < 0 || x >= geometry_.clientWidth ||
      y >= geometry_.clientHeight) {
    return kHitInfoNoSelection;
  }
  CaretPoint point;
  HitTestPoint(x, y, &point);
  if (out != nullptr) {
    geometry_.engine->EditCommand(WPC_HIT_TEST, reinterpret_cast<intptr_t>(&point),
                                  reinterpret_cast<intptr_t>(out));
  }
  if (geometry_.engine->EditCommand(WPC_HAS_SELECTION, 0, 0) == 0) return kHitInfoNoSelection;
  return InSelection({x, y}) ? kHitInfoInSelection : kHitInfoOutsideSelection;
}

int CVedEdView::HitTestPoint(int32_t x, int32_t y, CaretPoint* out) {
  if (geometry_.engine == nullptr || lines_.Lines().empty()) return kHitBelowLastPage;
  CaretPoint pixels;
  int result = lines_.HitTestY(x, y, &pixels) != 0 ? kHitOnPage : kHitBelowLastPage;
  const int32_t pageX = pixels.rect.left;
  if (result == kHitOnPage && pageX < 0) result = kHitLeftOfPage;
  if (result == kHitOnPage && pageX >= geometry_.page.paperWidth) result = kHitRightOfPage;
  const auto [dpiX, dpiY] = lines_.GetDpiPair(SurfaceDC());
  const int32_t twipsX = PixelsToTwips(pageX, dpiX);
  const int32_t twipsY = PixelsToTwips(pixels.rect.top, dpiY);
  const CaretPoint point{{twipsX, twipsY, twipsX, twipsY}, pixels.page};
  if (out != nullptr) {
    *out = point;
  } else if (result != kHitBelowLastPage) {
    CaretPoint adjusted = AdjustPoint(point);
    geometry_.engine->EditCommand(WPC_MOVE, kMoveToPoint, reinterpret_cast<intptr_t>(&adjusted));
  }
  return result;
}

CaretPoint CVedEdView::AdjustPoint(const CaretPoint& point) const {
  if (geometry_.engine == nullptr) return point;
  CaretPoint cell = point;
  geometry_.engine->EditCommand(WPC_GET_CARET_RECT, kCellAtPoint,
                                reinterpret_cast<intptr_t>(&cell));
  const int32_t x = point.rect.left;
  const int32_t y = point.rect.top;
  if (!Inside(cell.rect, x, y) || x <= (cell.rect.left + cell.rect.right) / 2) return point;
  CaretPoint after = point;
  geometry_.engine->EditCommand(WPC_GET_CARET_RECT, kCellAfterPoint,
                                reinterpret_cast<intptr_t>(&after));
  CaretPoint adjusted = point;
  adjusted.rect.left = adjusted.rect.right = after.rect.right + 1;
  return adjusted;
}

platform::HCURSOR CVedEdView::CursorAt(platform::POINT point) {
  const platform::HCURSOR arrow = platform::LoadCursor(nullptr, platform::IDC_ARROW);
  if (inputBlocked_ != 0) return platform::LoadCursor(nullptr, platform::IDC_NO);
  if (InSelection(point)) return arrow;
  CaretPoint page;
  const int hit = HitTestPoint(point.x, point.y, &page);
  if (hit == kHitBelowLastPage || hit == kHitLeftOfPage) return arrow;
  ObjectDescription object{};
  geometry_.engine->EditCommand(WPC_HIT_TEST, reinterpret_cast<intptr_t>(&page),
                                reinterpret_cast<intptr_t>(&object));
  const int32_t kind = object[kDescType];
  const int32_t part = object[kDescSubKind];
  if (kind == kObjectText || kind == kObjectBlank ||
      (kind == kObjectTable && part == kSubKindCellText)) {
    return platform::LoadCursor(nullptr, platform::IDC_IBEAM);
  }
  if (kind == kUnitMargin && part == kUnitMargin && marginCursor_ != 0) return marginCursor_;
  return arrow;
}

bool CVedEdView::OnSetCursor(int) {
  if (geometry_.engine == nullptr || lines_.Lines().empty()) return false;
  platform::POINT point;
  if (!platform::GetCursorPos(&point) || !platform::ScreenToClient(m_hWnd, &point)) return false;
  platform::SetCursor(CursorAt(point));
  return true;
}
