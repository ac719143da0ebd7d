// The display and printing commands of the 4000s. Painting is guarded
// against re-entry from the window's own handlers while it runs.
#include <algorithm>

#include "engine/wp_ctrl.h"

namespace {

// Sets the painting flag for one display command.
class PaintingScope {
 public:
  explicit PaintingScope(int& flag) : flag_(flag) { flag_ = 1; }
  ~PaintingScope() { flag_ = 0; }
  PaintingScope(const PaintingScope&) = delete;
  PaintingScope& operator=(const PaintingScope&) = delete;

 private:
  int& flag_;
};

bool Meets(const platform::RECT& a, const platform::RECT& b) {
  return a.left < b.right && b.left < a.right && a.top < b.bottom && b.top < a.bottom;
}

}  // namespace

void CVedWpCtrl::SetColours(const ColourRecord& record) {
  root_->SetColours(record.display);
  pageNumberDevice_.textColour = record.display.text;
  pageNumberDevice_.backgroundColour = record.display.background;
  pageNumberDevice_.zoom = record.display.zoom;
  pageNumberDevice_.screenSuppression = record.screenSuppression;
  pageNumber_->SetDevice(pageNumberDevice_);
}

void CVedWpCtrl::PaintPage(platform::HDC dc, const CaretPoint* request, int target) {
  if (dc == nullptr || request == nullptr) return;
  const CVedTextPos* found = pageTable_->GetPageStart(request->page);
  if (found == nullptr) return;
  const CVedTextPos pageStart = *found;
  const platform::RECT& area = appliedStyle_.textAreaTwips;
  const int32_t used = pageTable_->GetPageHeight(request->page);
  const int32_t top = std::clamp(request->rect.top - area.top, 0, used);
  const int32_t bottom = std::clamp(request->rect.bottom - area.top, 0, used);
  const int32_t left = std::max(request->rect.left - area.left, 0);
  const int32_t right = std::max(request->rect.right - area.left, 0);
  if (top < bottom && left < right) {
    root_->SetDrawOffset(area.left, area.top);
    root_->DrawPage(dc, &pageStart, top, bottom, target);
  }
  if (Meets(request->rect, appliedStyle_.pageNumbers.area)) {
    pageNumber_->Draw(dc, request->page, pageTable_->GetCount(), target);
  }
}

int CVedWpCtrl::GetCaretRects(int32_t page, const platform::RECT** out) {
  if (page < 1 || page > pageTable_->GetCount()) return 0;
  int32_t pageTop = 0;
  for (int32_t n = 1; n < page; ++n) pageTop += pageTable_->GetPageHeight(n);
  const int32_t pageBottom = pageTop + pageTable_->GetPageHeight(page);
  std::array<platform::RECT, 3> rects{};
  const int count = root_->GetCaretRects(pageTop, pageBottom, rects);
  const platform::RECT& area = appliedStyle_.textAreaTwips;
  int kept = 0;
  for (int i = 0; i < count; ++i) {
    platform::RECT rect = rects[i];
    rect.top = std::max(rect.top, pageTop) - pageTop + area.top;
    rect.bottom = std::min(rect.bottom, pageBottom) - pageTop + area.top;
    rect.left += area.left;
    rect.right += area.left;
    if (rect.top < rect.bottom) caretRects_[kept++] = rect;
  }
  if (out != nullptr) *out = caretRects_.data();
  return kept;
}

int CVedWpCtrl::DisplayCommand(int code, intptr_t value, void* record) {
  std::lock_guard lock(commandLock_);
  const bool mayPaint = notifier_.GetRedrawGate() != 0 && painting_ == 0;
  switch (code) {
    case WPC_SET_COLOURS:
      if (record != nullptr) SetColours(*static_cast<const ColourRecord*>(record));
      return 0;
    case WPC_GET_COLOURS:
      if (auto* colours = static_cast<ColourRecord*>(record)) {
        root_->GetColours(colours->display);
        colours->screenSuppression = pageNumberDevice_.screenSuppression;
      }
      return 0;
    case WPC_ENABLE_REDRAW: {
      const int previous = notifier_.GetRedrawGate();
      notifier_.SetRedrawGate(static_cast<int32_t>(value));
      root_->EnableRedraw(static_cast<int32_t>(value));
      return previous;
    }
    case WPC_PAINT_PAGE:
      if (mayPaint) {
        PaintingScope painting(painting_);
        PaintPage(reinterpret_cast<platform::HDC>(value), static_cast<const CaretPoint*>(record),
                  kPageNumberToScreen);
      }
      return 0;
    case WPC_GET_REPAINT_STATE: {
      if (!mayPaint) return 0;
      PaintingScope painting(painting_);
      return pageTable_->GetRepaintState(static_cast<int32_t>(value),
                                         static_cast<const platform::RECT**>(record));
    }
    case WPC_RESET_REPAINT_STATE:
      if (painting_ == 0) {
        PaintingScope painting(painting_);
        pageTable_->ResetRepaintState();
      }
      return 0;
    case WPC_GET_CARET_RECTS: {
      if (!mayPaint) return 0;
      PaintingScope painting(painting_);
      return GetCaretRects(static_cast<int32_t>(value),
                           static_cast<const platform::RECT**>(record));
    }
    case WPC_IS_PAINTING:
      return painting_;
    case WPC_REPAINT_ALL:
      if (notifier_.GetWindow() != platform::kNoWindow) {
        pageTable_->MarkAllDirty();
        platform::SendMessage(notifier_.GetWindow(), WM_WPC_CONTENTCHANGED, 0,
                              reinterpret_cast<platform::LPARAM>(&caretDisplay_));
      }
      return 0;
    case WPC_BEGIN_PRINT:
      return root_->AttachPrinter(reinterpret_cast<platform::HDC>(value));
    case WPC_END_PRINT:
      root_->DetachPrinter();
      return 0;
    case WPC_PRINT_PAGE:
      PaintPage(reinterpret_cast<platform::HDC>(value), static_cast<const CaretPoint*>(record),
                kPageNumberToPrinter);
      return 0;
    default:
      return 0;
  }
}
