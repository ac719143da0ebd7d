// The engine's step after every command that changed the document or
// moved the caret: re-pagination, the caret's display and location
// records, the undo step, the oversize rule, the snapshot the next undo
// step shows as "before", and the notifications.
#include "engine/wp_ctrl.h"
#include "platform/clock.h"
#include "platform/message_loop.h"
#include "speech/reader_bridge.h"

namespace {

constexpr uint32_t kOversizeSpeechWaitMs = 2000;
constexpr uint32_t kSpeechPollMs = 100;
constexpr int kReaderSpeaking = 1;

}  // namespace

platform::POINT CVedWpCtrl::TextAreaOrigin() const {
  return {appliedStyle_.textAreaTwips.left, appliedStyle_.textAreaTwips.top};
}

CaretPoint CVedWpCtrl::PointOf(const CVedTextPos& position) {
  CaretPoint point;
  if (position.IsEmpty()) return point;
  const CVedTextPos* pageStart = pageTable_->FindPage(&position, &point.page);
  if (pageStart == nullptr) return point;
  platform::RECT box{};
  root_->GetPositionRect(&box, 0, &position, pageStart);
  const platform::POINT origin = TextAreaOrigin();
  point.rect = box.Offset(origin.x, origin.y);
  return point;
}

PageLineColumn CVedWpCtrl::LocationOf(const CVedTextPos& position, LineColumnCount count) {
  PageLineColumn location;
  const CVedTextPos* pageStart = pageTable_->FindPage(&position, &location.page);
  if (pageStart == nullptr) return location;
  int32_t lineColumn[2] = {0, 0};
  root_->GetLineColumn(lineColumn, count, &position, pageStart);
  location.line = lineColumn[0];
  location.column = lineColumn[1];
  return location;
}

void CVedWpCtrl::UpdateCaretLocation(CVedTextRange* previous) {
  if (previous != nullptr) *previous = selection_;
  root_->GetCaretAndAnchor(selection_);
  const bool selected = root_->HasSelection();

  root_->DescribeObjectAt(&descriptions_[0], 0, nullptr);
  caretLevelType_ = descriptions_[0][kDescType];
  if (selected && !selection_.end.IsEmpty()) {
    root_->DescribeObjectAt(&descriptions_[1], 0, &selection_.end);
  } else {
    descriptions_[1] = descriptions_[0];
  }

  const CaretPoint caret = PointOf(selection_.start);
  caretDisplay_ = {caret.rect.left,   caret.rect.top, caret.rect.right,
                   caret.rect.bottom, caret.page,     caret.page};

  location_.caret = LocationOf(selection_.start);
  location_.anchor = {};
  if (selected && root_->IsRangeMarking() == 0 && !selection_.end.IsEmpty()) {
    location_.anchor = LocationOf(selection_.end);
  }

  CVedTextRange ends;
  root_->GetSelectionEnds(ends);
  const bool caretFirst = root_->GetSelectionOrder() < 0;
  // An end in a line's margin stands for the line's end: content an undo
  // puts back goes there, without the margin's blanks.
  const CVedTextPos earlier = CDocBunsObj::InTextZone(caretFirst ? ends.start : ends.end);
  const CVedTextPos later = CDocBunsObj::InTextZone(caretFirst ? ends.end : ends.start);
  if (!earlier.IsEmpty()) selectionLocation_.caret = LocationOf(earlier);
  if (!later.IsEmpty()) selectionLocation_.anchor = LocationOf(later);
}

void CVedWpCtrl::SaveEditSnapshot() {
  snapshot_.caret.rect = {caretDisplay_.left, caretDisplay_.top, caretDisplay_.right,
                          caretDisplay_.bottom};
  snapshot_.caret.page = caretDisplay_.page;
  snapshot_.caretDescription = descriptions_[0];
  snapshot_.later = {};
  snapshot_.earlier = {};
  if (!root_->HasSelection()) return;
  CVedTextRange ends;
  root_->GetSelectionEnds(ends);
  const bool caretFirst = root_->GetSelectionOrder() < 0;
  // An end in a line's margin stands for the line's end, as the selected
  // content does: the margin of a line that an edit shortens or joins lies
  // beside other text.
  const CVedTextPos earlier = CDocBunsObj::InTextZone(caretFirst ? ends.start : ends.end);
  const CVedTextPos later = CDocBunsObj::InTextZone(caretFirst ? ends.end : ends.start);
  snapshot_.later = PointOf(later);
  if (!later.IsEmpty()) root_->DescribeObjectAt(&snapshot_.laterDescription, 0, &later);
  snapshot_.earlier = PointOf(earlier);
  if (!earlier.IsEmpty()) root_->DescribeObjectAt(&snapshot_.earlierDescription, 0, &earlier);
}

int CVedWpCtrl::RejectOversizedEdit(const ChangeRecord& change) {
  if (change.oversizeStart.IsEmpty() || change.oversizeEnd.IsEmpty()) return 0;
  if (root_->HasTallTableLine(&change.oversizeStart, &change.oversizeEnd,
                              appliedStyle_.textHeight) == 0) {
    return 0;
  }
  // Let the reader finish what it says about the edit before the warning.
  platform::LoopExit exit;
  exit.done = [] { return GetVoiceStatus() != kReaderSpeaking; };
  exit.onKeyDown = true;
  // Gives up at the first poll after the limit.
  exit.deadline = platform::GetTickCount() + kOversizeSpeechWaitMs + kSpeechPollMs;
  exit.idlePollMs = kSpeechPollMs;
  platform::RunNestedLoop(exit);
  root_->Feedback().Cue(kCueWarning, 1, 2);
  return 1;
}

void CVedWpCtrl::AfterEdit(ChangeRecord* change, int moveCode, int direction, int notifyContent,
                           int notifyCaret, int checkOversize) {
  if (change != nullptr) pageTable_->Repaginate(change);
  UpdateCaretLocation(nullptr);
  const bool recorded = change != nullptr && AddUndoStep(direction);
  // Only the step this edit added is taken back: an edit that recorded
  // nothing must not undo an earlier one.
  if (recorded && checkOversize != 0 && replayState_ == kReplayIdle &&
      RejectOversizedEdit(*change) != 0) {
    // Undone at once, recording nothing in the redo list.
    Undo(0);
  }
  if (replayState_ != kReplayingUndo && (change == nullptr || direction != 0)) {
    SaveEditSnapshot();
  }
  const auto display = reinterpret_cast<platform::LPARAM>(&caretDisplay_);
  if (change != nullptr && notifyContent != 0) Notify(WM_WPC_CONTENTCHANGED, 0, display);
  if (notifyCaret != 0) {
    Notify(WM_WPC_CARETMOVED, static_cast<platform::WPARAM>(moveCode), display);
  }
}
