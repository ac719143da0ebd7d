// The screen caret: the thread's one caret, created, shown, hidden and
// placed for the engine's caret record, and kept in view after a move.
#include <algorithm>

#include "engine/wp_commands.h"
#include "engine/wp_ctrl.h"
#include "model/doc_object.h"
#include "platform/caret.h"
#include "views/display_lines.h"

namespace {

constexpr int32_t kThinCaretWidth = 2;
constexpr intptr_t kCaretContextOfCaret = 1;

bool Contains(const platform::RECT& rect, int32_t x, int32_t y) {
  return x >= rect.left && x < rect.right && y >= rect.top && y < rect.bottom;
}

}  // namespace

int CDisplayLineList::CreateCaret(int32_t width, int32_t height) {
  if ((caretShape_ != 0 || surface_->caretShape != 0) && surface_->engine != nullptr) {
    ObjectDescription context{};
    surface_->engine->EditCommand(WPC_GET_CARET_CONTEXT, kCaretContextOfCaret,
                                  reinterpret_cast<intptr_t>(&context));
    // On a table's rules the caret keeps the width of the rule's cell.
    if (context[kDescType] != kObjectTable || context[kDescSubKind] != kSubKindOnRules) {
      width = kThinCaretWidth;
    }
  }
  if (!platform::CreateCaret(surface_->window, nullptr, width, height)) return 0;
  caretCreated_ = 1;
  return 1;
}

int CDisplayLineList::ShowCaret() {
  if (hideRequest_ != 0) return HideCaret();
  if (caretShown_ != 0 || caretSuppressed_ != 0) return 0;
  if (!platform::ShowCaret(surface_->window)) return 0;
  caretShown_ = 1;
  return 1;
}

int CDisplayLineList::HideCaret() {
  if (caretShown_ == 0) return 0;
  caretShown_ = 0;
  if (!platform::HideCaret(surface_->window)) DestroyCaret();
  return 1;
}

int CDisplayLineList::DestroyCaret() {
  if (caretCreated_ == 0) return 0;
  caretCreated_ = 0;
  caretShown_ = 0;
  platform::DestroyCaret();
  return 1;
}

int CDisplayLineList::PlaceCaret(platform::HDC dc, const CaretPoint* record) {
  if (record != nullptr) {
    caretRect_ = CaretPixels(dc, record->rect);
    caretPage_ = record->page;
  }
  const DisplayLine* line = FindLine(caretPage_);
  if (line == nullptr) return 0;
  const bool topLeft = Contains(line->visible, caretRect_.left, caretRect_.top);
  const bool bottomRight = Contains(line->visible, caretRect_.right - 1, caretRect_.bottom - 1);
  if (!topLeft && (surface_->pageView != 0 || !bottomRight)) return 0;
  const platform::POINT at = WindowPoint(*line, caretRect_.left, caretRect_.top);
  DestroyCaret();
  CreateCaret(caretRect_.Width(), caretRect_.Height());
  platform::SetCaretPos(at.x, at.y);
  return 1;
}

int CDisplayLineList::GetCaretLine(DisplayLine* out) const {
  const DisplayLine* line = FindLine(caretPage_);
  if (line == nullptr) return 0;
  if (out != nullptr) *out = *line;
  return 1;
}

int CDisplayLineList::GetCaretVisibility() const {
  const DisplayLine* line = FindLine(caretPage_);
  if (line == nullptr) return 0;
  int shown = 0;
  if (Contains(line->visible, caretRect_.left, caretRect_.top)) shown |= kCaretTopLeftShown;
  if (Contains(line->visible, caretRect_.right - 1, caretRect_.bottom - 1)) {
    shown |= kCaretBottomRightShown;
  }
  return shown;
}

int CDisplayLineList::UpdateForCaret(platform::HDC dc, int kind, const CaretPoint& record,
                                     ScrollOffset* offset) {
  // Every report of the engine may follow a change of the pages: an edit
  // reports its content change, a series of insertions only its caret.
  heightSums_.Invalidate();
  caretRect_ = CaretPixels(dc, record.rect);
  caretPage_ = record.page;
  const int32_t count = PageCount();
  const int32_t previousCount = previousPageCount_;
  previousPageCount_ = count;
  if (offset != nullptr) *offset = {};
  if (lines_.empty()) return 0;
  const DisplayLine first = lines_.front();
  if (count == previousCount && kind != kCaretPageMoved &&
      GetCaretVisibility() == kCaretFullyShown) {
    // The used heights may have changed under the records.
    if (surface_->pageView == 0 && kind == kCaretContentChanged) {
      Rebuild(dc, first.xOrigin, first.yOrigin, first.page);
    }
    return 0;
  }
  linesBeforeUpdate_.assign(lines_.begin(), lines_.end());
  const std::vector<DisplayLine>& before = linesBeforeUpdate_;
  // A page move shows the caret's page; when that leaves the view to the
  // caret's neighbourhood, the caret is brought into it from there.
  if (kind != kCaretPageMoved || ShowCaretPage(dc) == 0) KeepCaretVisible(dc, nullptr);
  const DisplayLine& now = lines_.empty() ? first : lines_.front();
  const bool moved =
      now.page != first.page || now.xOrigin != first.xOrigin || now.yOrigin != first.yOrigin;
  if (moved) GetScrollOffset(dc, before.data(), before.size(), offset);
  // Pages gone from the document's end leave stale pixels below the text.
  if (kind == kCaretContentChanged && count < previousCount) {
    if (offset != nullptr) *offset = {};
    return 1;
  }
  return moved ? 1 : 0;
}
