// The 3000s: caret moves and selections, editing, queries, text fetches
// and formats. Editing commands follow one pattern: the document root
// fills a change record, and only a change runs the after-edit step.
#include <algorithm>
#include <cstring>

#include "engine/command_param.h"
#include "engine/wp_ctrl.h"

namespace {

constexpr int32_t kHitInside = 0x10001;
constexpr int32_t kHitLeft = 0x10001;
constexpr int32_t kHitRight = 0x10002;
constexpr int32_t kHitAbove = 0x10003;
constexpr int32_t kHitBelow = 0x10004;

constexpr int kFindSelectMatch = 0x2;
constexpr int kFindOptions = 0x1 | kFindSelectMatch;
constexpr int kFindBackwards = 0x4;
// The document root's bit for a search that includes the caret's own
// character: a new search does, a search on from a match (whose last
// character the caret stands on) must not.
constexpr int kFindFromCaretCell = 0x4;

uint16_t Low(intptr_t value) { return static_cast<uint16_t>(value & 0xFFFF); }
uint16_t High(intptr_t value) { return static_cast<uint16_t>((value >> 16) & 0xFFFF); }

}  // namespace

int CVedWpCtrl::HandleEditCommand(int code, intptr_t arg, intptr_t value) {
  if (code >= WPC_MOVE && code <= WPC_SELECT_RANGE) return HandleCaretCommand(code, arg, value);
  if (code >= WPC_SET_READONLY && code <= WPC_GET_TOP_OFFSET) {
    return HandleQueryCommand(code, arg, value);
  }
  if (code >= WPC_GET_RANGE_TEXT && code <= WPC_GET_LINE_FTEXT) {
    return FetchText(code, arg, As<char>(value));
  }
  if (code >= WPC_SET_DEFAULT_CHARFORMAT && code <= WPC_GET_CARET_CHARFORMAT) {
    return HandleFormatCommand(code, arg, value);
  }
  switch (code) {
    case WPC_INSERT_TEXT:
    case WPC_INSERT_FORMATTED:
    case WPC_INSERT_IME_TEXT:
    case WPC_REPLACE_SELECTION:
    case WPC_DELETE:
    case WPC_BACKSPACE:
    case WPC_DELETE_UNIT:
    case WPC_DELETE_QUIET:
    case WPC_CUT:
    case WPC_COPY:
    case WPC_PASTE:
    case WPC_INSERT_LINE:
    case WPC_INSERT_PAGE_BREAK:
      return HandleTextEdit(code, static_cast<int>(arg), value);
    case WPC_TRANSFER:
      return Transfer(static_cast<int>(arg), static_cast<int>(value));
    case WPC_REPLAY_TRANSFER:
      ReplayTransfer(static_cast<int>(arg), As<TransferReplayRecord>(value));
      return 0;
    case WPC_UNDO:
      Undo(1);
      return 0;
    case WPC_REDO:
      Redo();
      return 0;
    case WPC_FIND:
    case WPC_FIND_NEXT:
      return Find(code, static_cast<int>(arg), As<const char>(value));
    case WPC_REQUEST_RECONVERT:
      return static_cast<int>(Notify(WM_WPC_RECONVERT, 0, value));
    default:
      return 0;
  }
}

int CVedWpCtrl::HandleCaretCommand(int code, intptr_t arg, intptr_t value) {
  switch (code) {
    case WPC_MOVE:
      MoveCaret(0, static_cast<int>(arg), value);
      return 0;
    case WPC_MOVE_EXTEND:
      MoveCaret(1, static_cast<int>(arg), value);
      return 0;
    case WPC_GOTO:
      GoTo(0, As<const PageLineColumn>(value));
      return 0;
    case WPC_GOTO_EXTEND: {
      const int mode = static_cast<int>(arg);
      if (!root_->HasSelection()) selectionMode_ = mode;
      const bool aligned = mode == 4;
      SelectionMoveCallback previous = nullptr;
      if (aligned) previous = root_->SetMoveCallback(&CVedWpCtrl::MoveProgressCallback, this);
      GoTo(mode, As<const PageLineColumn>(value));
      if (aligned) root_->SetMoveCallback(previous, nullptr);
      return 0;
    }
    case WPC_CLEAR_SELECTION:
      if (root_->HasSelection()) {
        root_->ClearSelection(0);
        AfterEdit(nullptr, 0, 0, 0, 1, 0);
      }
      return 0;
    case WPC_BEGIN_MARKING:
      root_->BeginRangeMarking();
      return 0;
    case WPC_END_MARKING:
      root_->EndRangeMarking(static_cast<int>(arg));
      if (arg == 0 || value != 0) AfterEdit(nullptr, 0, 0, 0, 1, 0);
      return 0;
    case WPC_GET_SELECTION: {
      auto* range = As<CVedTextRange>(value);
      if (range != nullptr) root_->GetSelection(*range);
      return root_->HasSelection() ? 1 : 0;
    }
    case WPC_SELECT_RANGE: {
      const auto* range = As<const CVedTextRange>(value);
      if (range == nullptr) return 0;
      // The range's start becomes the anchor, its end the caret.
      root_->SelectRange(&range->end, &range->start, 0);
      AfterEdit(nullptr, 0, 0, 0, 1, 0);
      return 0;
    }
    default:
      return 0;
  }
}

int CVedWpCtrl::Find(int code, int options, const char* text) {
  if (text == nullptr || *text == '\0') return 0;
  const int forward = (options & kFindBackwards) != 0 ? 0 : 1;
  int flags = options & kFindOptions;
  if (code == WPC_FIND) flags |= kFindFromCaretCell;
  const int wasOn = root_->SetSpeechEnabled(0);
  const int found = root_->Find(flags, forward, text);
  if (found != 0) AfterEdit(nullptr, kMoveWholeUnit, 0, 0, 1, 0);
  root_->SetSpeechEnabled(wasOn);
  if (found != 0 && wasOn != 0) AnnounceMove(kMoveWholeUnit);
  return found;
}

int CVedWpCtrl::HandleQueryCommand(int code, intptr_t arg, intptr_t value) {
  const int selected = root_->HasSelection() ? 1 : 0;
  switch (code) {
    case WPC_SET_READONLY:
      if (const auto* flag = As<const uint8_t>(value)) root_->SetReadOnly(*flag);
      return 0;
    case WPC_GET_READONLY:
      if (auto* flag = As<uint8_t>(value)) *flag = root_->GetReadOnly();
      return 0;
    case WPC_SET_DISPLAY_OPTIONS:
      if (const auto* record = As<const DisplayOptionsRecord>(value)) {
        const uint8_t* bytes = record->options;
        root_->SetDisplayOptions(DocObjOptions{bytes[0], bytes[1], bytes[2], 1, bytes[4]});
        pageJumpStep_ = record->pageJumpStep;
        UpdateCaretLocation(nullptr);
      }
      return 0;
    case WPC_GET_DISPLAY_OPTIONS:
      if (auto* record = As<DisplayOptionsRecord>(value)) {
        DocObjOptions options;
        root_->CDocObjContainer::GetOptions(&options);
        record->options[0] = options.freeCursor;
        record->options[1] = options.followNeighbours;
        record->options[2] = options.insertMode;
        record->options[3] = options.formFeedAllowed;
        record->pageJumpStep = pageJumpStep_;
      }
      return 0;
    case WPC_GET_LOCATION:
      if (auto* record = As<LocationRecord>(value)) {
        *record = arg == 0 ? location_ : selectionLocation_;
      }
      return selected;
    case WPC_GET_CARET_RECT:
      GetCaretRect(static_cast<int>(arg), As<CaretPoint>(value));
      return selected;
    case WPC_GET_CARET_CONTEXT: {
      constexpr int kCaret = 1;
      constexpr int kFresh = 2;
      constexpr int kFreshMode = 3;
      auto* out = As<ObjectDescription>(value);
      if (out != nullptr && arg != kFresh)
        *out = arg == kCaret ? descriptions_[0] : descriptions_[1];
      // The answer is the root's, whichever description is copied: the
      // views take 0 for "not across objects" (the input method and the
      // rulers work only then), so it is never the level type.
      return root_->DescribeObjectAt(arg == kFresh ? out : nullptr, kFreshMode, nullptr);
    }
    case WPC_HIT_TEST:
      return HitTest(As<const CaretPoint>(arg), As<ObjectDescription>(value));
    case WPC_GET_SELECTION_UNIT:
      return root_->GetSelectionUnit(1, 1);
    case WPC_GET_PAGE_COUNT:
      return pageTable_->GetCount();
    case WPC_SET_MODIFIED:
      root_->SetModified(static_cast<int32_t>(arg));
      return 0;
    case WPC_IS_MODIFIED:
      return root_->IsModified();
    case WPC_GET_PAGE_HEIGHT: {
      const auto page = static_cast<int32_t>(arg);
      auto* height = As<int32_t>(value);
      if (page < 1 || page > pageTable_->GetCount() || height == nullptr) return 0;
      *height = pageTable_->GetPageHeight(page);
      return 1;
    }
    case WPC_GET_CARET_BLOCK_RECT:
      if (auto* rect = As<platform::RECT>(value)) {
        root_->GetFrameRect(rect, nullptr);
        rect->left += appliedStyle_.textAreaTwips.left;
        rect->right += appliedStyle_.textAreaTwips.left;
      }
      return 0;
    case WPC_GET_CARET_BLOCK_CHARS: {
      if (appliedStyle_.charPitch <= 0) return 0;
      platform::RECT frame{};
      root_->GetFrameRect(&frame, nullptr);
      return (frame.right - frame.left) / appliedStyle_.charPitch;
    }
    case WPC_HAS_SELECTION:
      return selected;
    case WPC_HAS_CONTENT:
      return root_->IsEmpty();
    case WPC_CAN_PASTE:
      return root_->CanPaste();
    case WPC_GET_CARET_FLAGS:
      return root_->GetCaretFlags(nullptr, 0);
    case WPC_CAN_UNDO:
      return undo_.CanUndo() ? 1 : 0;
    case WPC_CAN_REDO:
      return undo_.CanRedo() ? 1 : 0;
    case WPC_IS_EDIT_RUNNING:
      return editRunning_;
    case WPC_GET_FILE_VERSION:
      return ParseVersion(fileVersion_, As<int32_t>(value));
    case WPC_GET_TOP_OFFSET:
      return root_->GetTopOffset(static_cast<int>(arg));
    default:
      return 0;
  }
}

int CVedWpCtrl::GetCaretRect(int modes, CaretPoint* request) {
  if (request == nullptr) return 0;
  if (Low(modes) == 0) {
    request->rect = {caretDisplay_.left, caretDisplay_.top, caretDisplay_.right,
                     caretDisplay_.bottom};
    request->page = caretDisplay_.page;
  }
  const CVedTextPos* found = pageTable_->GetPageStart(request->page);
  if (found == nullptr) return 0;
  const CVedTextPos pageStart = *found;
  const platform::RECT& area = appliedStyle_.textAreaTwips;
  const int32_t bottom = std::max(pageTable_->GetPageHeight(request->page) - 1, 0);
  const int32_t x = std::clamp(request->rect.left - area.left, 0,
                               std::max<int32_t>(area.right - area.left - 1, 0));
  const int32_t y = std::clamp(request->rect.top - area.top, 0, bottom);
  platform::RECT box{};
  root_->GetPointRect(&box, High(modes), &pageStart, x, y);
  request->rect = {box.left + area.left, box.top + area.top, box.right + area.left,
                   box.bottom + area.top};
  return 1;
}

int CVedWpCtrl::HitTest(const CaretPoint* point, ObjectDescription* out) {
  if (point == nullptr || out == nullptr) return 0;
  *out = ObjectDescription{};
  (*out)[0] = kHitInside;
  const platform::RECT& area = appliedStyle_.textAreaTwips;
  const int32_t x = point->rect.left;
  const int32_t y = point->rect.top;
  if (x < area.left) {
    (*out)[1] = kHitLeft;
  } else if (x >= area.right) {
    (*out)[1] = kHitRight;
  } else if (y < area.top) {
    (*out)[1] = kHitAbove;
  } else if (y >= area.bottom) {
    (*out)[1] = kHitBelow;
  } else {
    const CVedTextPos* found = pageTable_->GetPageStart(point->page);
    if (found == nullptr) return 0;
    const CVedTextPos pageStart = *found;
    CVedTextPos hit;
    root_->PositionFromPoint(&pageStart, x - area.left, y - area.top, &hit);
    root_->DescribeObjectAt(out, 0, &hit);
  }
  return 0;
}
