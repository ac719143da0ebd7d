// The caret commands: the document root's own moves, and the engine's
// page moves, page-jump steps, 20-column stops and point moves, each with
// a spoken announcement of the new place.
#include <algorithm>
#include <cstdio>
#include <string>

#include "engine/texts.h"
#include "engine/wp_ctrl.h"

namespace {

constexpr int kModePageAligned = 4;
constexpr int kModeLeftOfText = 2;
constexpr int kModeCharacter = 1;
constexpr int kModeTableBlank = 17;
constexpr uint32_t kLastLine = 0x8FFFFFFF;
constexpr int32_t kColumnStop = 20;  // characters between two stops

bool IsRootMove(int code) {
  return (code >= kMovePrevChar && code <= kMoveLineDown) ||
         (code >= kMoveLineStart && code <= 22) ||
         (code >= kMoveParagraphStart && code <= kMovePrevParagraph) ||
         (code >= kMoveWordStart && code <= kMovePrevWord) || code == kMoveDocumentStart ||
         code == kMoveDocumentEnd || (code >= 1025 && code <= 1027) || code == kMoveWholeUnit;
}

bool IsRepeatable(int code) {
  return (code >= kMovePrevChar && code <= kMoveLineDown) || code == kMoveNextParagraph ||
         code == kMovePrevParagraph;
}

// Switches the document's speech off for a stretch and back to what it
// was on every way out.
class QuietDocument {
 public:
  explicit QuietDocument(CDocBunsObj& root) : root_(root), previous_(root.SetSpeechEnabled(0)) {}
  ~QuietDocument() { root_.SetSpeechEnabled(previous_); }
  QuietDocument(const QuietDocument&) = delete;
  QuietDocument& operator=(const QuietDocument&) = delete;
  bool WasSpeaking() const { return previous_ != 0; }

 private:
  CDocBunsObj& root_;
  int previous_;
};

// Installs the page-aligning callback for one extending move.
class PageAlignment {
 public:
  PageAlignment(CDocBunsObj& root, int mode, SelectionMoveCallback callback, void* context)
      : root_(root), active_(mode == kModePageAligned) {
    if (active_) previous_ = root_.SetMoveCallback(callback, context);
  }
  ~PageAlignment() {
    if (active_) root_.SetMoveCallback(previous_, nullptr);
  }
  PageAlignment(const PageAlignment&) = delete;
  PageAlignment& operator=(const PageAlignment&) = delete;

 private:
  CDocBunsObj& root_;
  bool active_;
  SelectionMoveCallback previous_ = nullptr;
};

const char* DirectionWord(int code) {
  switch (code) {
    case kMoveNextPage:
    case kMoveJumpForward:
      return kPhraseNext;
    case kMovePrevPage:
    case kMoveJumpBack:
      return kPhraseBack;
    case kMoveColumnStopLeft:
      return kPhraseLeft;
    case kMoveColumnStopRight:
      return kPhraseRight;
    case kMoveWholeUnit:
      return "";
    default:
      return kPhraseJump;
  }
}

}  // namespace

void CVedWpCtrl::MoveCaret(int extend, int code, intptr_t value) {
  if (IsRootMove(code)) {
    if (extend == 0) {
      const intptr_t count = IsRepeatable(code) ? std::max<intptr_t>(value, 1) : 1;
      for (intptr_t i = 0; i < count; ++i) root_->Move(0, code);
    } else {
      const int mode = static_cast<int>(value);
      if (!root_->HasSelection()) selectionMode_ = mode;
      PageAlignment aligned(*root_, mode, &CVedWpCtrl::MoveProgressCallback, this);
      root_->Move(mode, code);
    }
    AfterEdit(nullptr, code, 0, 0, 1, 0);
    return;
  }
  if (code == kMoveToPoint) {
    MoveToPoint(extend, code, reinterpret_cast<const CaretPoint*>(value));
    return;
  }
  const int mode = extend != 0 ? static_cast<int>(value) : 0;
  PageAlignment aligned(*root_, mode, &CVedWpCtrl::MoveProgressCallback, this);
  switch (code) {
    case kMoveNextPage:
    case kMovePrevPage:
    case kMoveJumpForward:
    case kMoveJumpBack:
      MoveByPage(mode, code);
      break;
    case kMoveColumnStopLeft:
    case kMoveColumnStopRight:
      MoveByColumnBlock(mode, code);
      break;
    default:
      break;
  }
}

int CVedWpCtrl::MoveProgressCallback(void* context, CVedTextPos* first, CVedTextPos* movingEnd) {
  auto* engine = static_cast<CVedWpCtrl*>(context);
  CVedPageTable& pages = *engine->pageTable_;
  int32_t page = 0;
  const CVedTextPos* pageStart = pages.FindPage(first, &page);
  if (pageStart == nullptr) return 1;
  *first = *pageStart;
  if (movingEnd->IsEmpty()) return 1;
  pages.FindPage(movingEnd, &page);
  const CVedTextPos* nextStart = pages.GetPageStart(page + 1);
  const MoveParams still{0, 0, 1};
  CDocBunsObj& root = *engine->root_;
  if (nextStart == nullptr) {
    root.MoveCursor(kMoveDocumentEnd, &still, nullptr, movingEnd);
    return 1;
  }
  CVedTextPos lineAbove;
  root.MoveCursor(kMoveLineUp, &still, nextStart, &lineAbove);
  root.MoveCursor(kMoveLineEnd, &still, &lineAbove, movingEnd);
  return 1;
}

void CVedWpCtrl::MoveByPage(int mode, int code) {
  const int32_t count = pageTable_->GetCount();
  const int32_t current = caretDisplay_.page;
  const int32_t step = pageJumpStep_;
  if (count == 0) return;
  PageLineColumn target{0, 1, 1};
  switch (code) {
    case kMoveNextPage:
      target.page = current + 1;
      if (current >= count) target = {count, static_cast<int32_t>(kLastLine), 1};
      break;
    case kMovePrevPage:
      target.page = std::max(current - 1, 1);
      break;
    case kMoveJumpForward:
      if (step == 0) return;
      target.page = step + current - current % step;
      if (current == count || target.page > count) {
        target = {count, static_cast<int32_t>(kLastLine), 1};
      }
      break;
    case kMoveJumpBack: {
      if (step == 0) return;
      const int32_t back = current % step != 0 ? current % step : step;
      target.page = current == back ? 1 : std::max(current - back, 1);
      break;
    }
    default:
      return;
  }
  bool moved = false;
  bool speaking = false;
  {
    QuietDocument quiet(*root_);
    speaking = quiet.WasSpeaking();
    moved = GoToLocation(mode, target, code) != 0;
    if (moved) AfterEdit(nullptr, code, 0, 0, 1, 0);
  }
  if (moved && speaking) AnnounceMove(code);
}

int CVedWpCtrl::GoToLocation(int mode, const PageLineColumn& location, int code) {
  const int32_t count = pageTable_->GetCount();
  if (count == 0) return 0;
  auto atLeastOne = [](int32_t value) {
    const auto unsignedValue = static_cast<uint32_t>(value);
    return unsignedValue == 0 ? 1u : unsignedValue;
  };
  const auto page = static_cast<int32_t>(std::min(atLeastOne(location.page), uint32_t(count)));
  const CVedTextPos* start = pageTable_->GetPageStart(page);
  if (start == nullptr) return 0;
  const CVedTextPos* next = pageTable_->GetPageStart(page + 1);
  const int32_t lines =
      next != nullptr ? root_->CountLines(start, next) - 1 : root_->CountLines(start, nullptr);
  const auto line = static_cast<int32_t>(
      std::min(atLeastOne(location.line), static_cast<uint32_t>(std::max(lines, 1))));
  const int32_t lineColumn[2] = {line, static_cast<int32_t>(atLeastOne(location.column))};
  const CVedTextPos pageStart = *start;
  return root_->GoToLineColumn(mode, &pageStart, lineColumn, code);
}

void CVedWpCtrl::GoTo(int mode, const PageLineColumn* location) {
  if (location == nullptr) return;
  if (GoToLocation(mode, *location, 0) != 0) AfterEdit(nullptr, 0, 0, 0, 1, 0);
}

void CVedWpCtrl::MoveByColumnBlock(int mode, int code) {
  const int32_t pitch = appliedStyle_.charPitch;
  if (pitch <= 0) return;
  bool speaking = false;
  {
    QuietDocument quiet(*root_);
    speaking = quiet.WasSpeaking();
    CVedTextPos caret;
    root_->GetCursor(&caret);
    int32_t page = 0;
    const CVedTextPos* found = pageTable_->FindPage(&caret, &page);
    if (found == nullptr) return;
    const CVedTextPos pageStart = *found;
    platform::RECT box{};
    root_->GetPositionRect(&box, 3, nullptr, &pageStart);
    const int32_t stop = kColumnStop * pitch;
    const int32_t x = code == kMoveColumnStopLeft ? stop * ((box.left - 1) / stop)
                                                  : stop * (box.right / stop + 1);
    root_->MoveToPoint(mode, &pageStart, x, box.top);
    AfterEdit(nullptr, code, 0, 0, 1, 0);
  }
  if (speaking) AnnounceMove(code);
}

void CVedWpCtrl::MoveToPoint(int extend, int code, const CaretPoint* point) {
  if (point == nullptr) return;
  const int32_t count = pageTable_->GetCount();
  if (point->page < 1 || point->page > count) return;
  const CVedTextPos* found = pageTable_->GetPageStart(point->page);
  if (found == nullptr) return;
  const CVedTextPos pageStart = *found;
  const platform::POINT origin = TextAreaOrigin();
  const int32_t x = std::max(point->rect.left - origin.x, 0);
  const int32_t usedHeight = pageTable_->GetPageHeight(point->page);
  // A replay may have to reach into a table line taller than the page,
  // the one the oversize rule is taking back.
  const int32_t limit = replayState_ != kReplayIdle && usedHeight > appliedStyle_.textHeight
                            ? usedHeight
                            : std::min(appliedStyle_.textHeight, usedHeight);
  const int32_t y = std::clamp(point->rect.top - origin.y, 0, std::max(limit - 1, 0));
  int mode = 0;
  if (extend != 0) {
    if (!root_->HasSelection()) {
      selectionMode_ = point->rect.left < origin.x ? kModeLeftOfText : kModeCharacter;
    }
    mode = selectionMode_;
  }
  // Only a move that extends starts a selection: a replay that puts the
  // caret on a table's rules before selecting from there must not select
  // from wherever the caret stood before.
  if (extend != 0 && replayState_ != kReplayIdle && caretLevelType_ == kObjectTable &&
      !root_->HasSelection()) {
    ObjectDescription hit{};
    CVedTextPos at;
    root_->PositionFromPoint(&pageStart, x, y, &at);
    root_->DescribeObjectAt(&hit, 0, &at);
    if (OnTableRules(hit)) mode = kModeTableBlank;
  }
  root_->MoveToPoint(mode, &pageStart, x, y);
  if (replayState_ != kReplayIdle && point->rect.bottom == kCellBlankMark) {
    root_->Move(mode, kMovePrevChar);
  }
  if (replayState_ != kReplayIdle && point->rect.bottom == kCellStepOnMark) {
    root_->Move(mode, kMoveNextChar);
  }
  AfterEdit(nullptr, code, 0, 0, 1, 0);
}

void CVedWpCtrl::AnnounceMove(int code) {
  SpeechOptions options;
  root_->Feedback().GetSpeechOptions(options);
  constexpr int32_t kVoicePageMoves = 0x8;
  if ((options.voiceMask & kVoicePageMoves) == 0) {
    root_->SpeakCaretChar(1, 1);
    return;
  }
  char location[64];
  if (code == kMoveColumnStopLeft || code == kMoveColumnStopRight) {
    std::snprintf(location, sizeof(location), kPhraseColumnLocation, location_.caret.column);
  } else {
    std::snprintf(location, sizeof(location), kPhrasePageLocation, location_.caret.page,
                  location_.caret.line, location_.caret.column);
  }
  const std::string phrase = std::string(DirectionWord(code)) + location;
  root_->SpeakString(phrase.c_str(), 1);
  root_->SpeakCaretChar(1, 0);
}
