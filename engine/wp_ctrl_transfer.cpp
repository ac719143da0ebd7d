// Moving or copying the marked range to the caret (3218), and replaying a
// recorded move (3219). The target is held by a character anchor, so that
// it survives the deletion of a moved source before it.
#include "engine/texts.h"
#include "engine/wp_ctrl.h"
#include "platform/file.h"

namespace {

constexpr int kTransferMove = 0;
constexpr uint32_t kTransferWriteFlags =
    CDocBunsObj::kStreamOwnFormat | CDocBunsObj::kStreamSelection;
constexpr uint32_t kTransferReadFlags = CDocBunsObj::kStreamOwnFormat | CDocBunsObj::kStreamAtCaret;
constexpr size_t kTransferFirstBlock = 1024;
constexpr size_t kTransferGrowBytes = 4096;
constexpr size_t kTransferArchiveBuffer = 4096;

// The undo-step kinds of a transfer's halves.
constexpr int kTransferSourceDeleted = 1;
constexpr int kTransferMovedIn = 2;
constexpr int kTransferFailed = 3;
constexpr int kTransferCopiedIn = 4;

uint32_t DirectionFlags(int direction) {
  if (direction > 0) return CDocBunsObj::kStreamUndo;
  if (direction < 0) return CDocBunsObj::kStreamRedo;
  return 0;
}

// A character anchor that holds a place through edits before it, and is
// always taken out of the document again before it goes.
class PlaceHolder {
 public:
  PlaceHolder(CDocBunsObj& root, const CVedTextPos& place) : root_(root), place_(place) {
    attached_ = root_.SetAnchor(kAnchorChar, &anchor_, &place) != 0;
  }
  ~PlaceHolder() { Detach(); }
  PlaceHolder(const PlaceHolder&) = delete;
  PlaceHolder& operator=(const PlaceHolder&) = delete;

  // Where the anchor went, or the document start when it was lost.
  CVedTextPos Resolve() {
    const MoveParams still{0, 0, 1};
    CVedTextPos start;
    root_.MoveCursor(kMoveDocumentStart, &still, nullptr, &start);
    if (!attached_) return start;
    CVedAnchor* found = root_.FindAnchor(kAnchorChar, &place_, 0);
    if (found != &anchor_) found = root_.FindAnchor(kAnchorChar, &start, 0);
    return found == &anchor_ ? anchor_.position : start;
  }

  void Detach() {
    if (!attached_) return;
    const CVedTextPos at = Resolve();
    root_.SetAnchor(kAnchorChar, nullptr, &at);
    attached_ = false;
  }

 private:
  CDocBunsObj& root_;
  CVedAnchor anchor_;
  CVedTextPos place_;
  bool attached_ = false;
};

}  // namespace

void CVedWpCtrl::AddTransferUndoStep(int direction, int kind, const ParaFormat* paragraph) {
  if (direction == 0) return;
  CEditOpLog& log = root_->GetEditOpLog();
  if (kind == kTransferFailed || log.IsSuppressed()) {
    undo_.Clear();
    log.Clear();
    return;
  }
  if (log.Rewind() != 1) return;
  EditOpRecord* op = log.GetNext();
  const CaretPoint after = MarkedPointOf(op->first);
  const CaretPoint before = MarkedPoint(snapshot_.caret, snapshot_.caretDescription);
  switch (kind) {
    case kTransferSourceDeleted: {
      undo_.BeginGroup(direction);
      const CaretPoint first = HasPageOrEmpty(snapshot_.later, snapshot_.laterDescription);
      const CaretPoint second = HasPageOrEmpty(snapshot_.earlier, snapshot_.earlierDescription);
      ParagraphLayoutRecord layout;
      if (paragraph != nullptr) layout = ToLayoutRecord(*paragraph);
      undo_.AddStep(direction, kUndoEditTransfer, &first, &second, &after, &op->data, {},
                    paragraph != nullptr ? &layout : nullptr);
      break;
    }
    case kTransferMovedIn:
    case kTransferCopiedIn: {
      const CaretPoint first = MarkedPointOf(op->second);
      undo_.AddStep(direction, kind == kTransferMovedIn ? kUndoDeleteTransfer : kUndoDelete, &first,
                    &before, &after, &op->data);
      if (kind == kTransferMovedIn) undo_.EndGroup(direction);
      break;
    }
    default:
      break;
  }
  log.Clear();
}

CaretPoint CVedWpCtrl::HasPageOrEmpty(const CaretPoint& point,
                                      const ObjectDescription& description) {
  return point.page >= 1 ? MarkedPoint(point, description) : CaretPoint{};
}

int CVedWpCtrl::Transfer(int direction, int copy) {
  const bool inText =
      caretLevelType_ == kObjectText ||
      (caretLevelType_ == kObjectTable && descriptions_[0][kDescSubKind] == kSubKindCellText);
  if (!root_->HasSelection() || !inText) {
    root_->PlayCue(kCueNothingToDo, 1, 2);
    return 0;
  }
  // The window hears of the transfer once, at its end, however it ends.
  ScopedQuietNotifier quiet(notifier_, kCaretAndContentBits);
  const int wasOn = root_->SetSpeechEnabled(0);
  platform::CMemFile content(kTransferGrowBytes);
  const int result = TransferSelection(direction, copy, content);
  root_->SetSpeechEnabled(wasOn);
  if (result == 0 && wasOn != 0 && replayState_ == kReplayIdle) {
    root_->SpeakString(copy != kTransferMove ? kPhraseCopied : kPhraseMoved, 1);
  }
  quiet.Restore();
  NotifyWholeDocument();
  return result;
}

int CVedWpCtrl::TransferSelection(int direction, int copy, platform::CMemFile& content) {
  const CVedTextPos target = root_->Caret();
  SaveEditSnapshot();
  CVedTextRange ends;
  root_->GetSelectionEnds(ends);
  const CVedTextPos& earlier = root_->GetSelectionOrder() < 0 ? ends.start : ends.end;
  ParaFormat paragraph;
  const bool hasParagraph = root_->GetParaFormat(&paragraph, &earlier, &earlier) != 0;
  PlaceHolder place(*root_, target);
  try {
    content.SetLength(0);
    platform::CArchive archive(&content, platform::CArchive::kStore, kTransferArchiveBuffer);
    root_->WriteToArchive(kTransferWriteFlags, archive, 0);
    archive.Close();
  } catch (const platform::CArchiveException&) {
    return 1;
  } catch (const platform::CFileException&) {
    return 1;
  }
  if (copy != kTransferMove) {
    root_->ClearSelection(0);
    UpdateCaretLocation(nullptr);
  } else {
    ChangeRecord deleted;
    if (root_->DeleteSelectionForMove(1, direction, &deleted) == 0) return -1;
    AfterEdit(&deleted, 0, 0, 0, 0, 0);
    AddTransferUndoStep(direction, kTransferSourceDeleted, hasParagraph ? &paragraph : nullptr);
  }
  const CVedTextPos placed = place.Resolve();
  place.Detach();
  root_->SelectRange(&placed, nullptr, 0);
  return InsertTransferred(direction, copy, content);
}

int CVedWpCtrl::InsertTransferred(int direction, int copy, platform::CMemFile& content) {
  content.Seek(0, platform::CFile::kBegin);
  EditResult inserted;
  int read = kWpcStreamFailed;
  try {
    platform::CArchive archive(&content, platform::CArchive::kLoad, kTransferArchiveBuffer);
    read = root_->InsertFromArchive(kTransferReadFlags | DirectionFlags(direction), archive,
                                    &inserted, 0);
  } catch (const platform::CArchiveException&) {
  } catch (const platform::CFileException&) {
  }
  if (read != kWpcOk || inserted.changed == 0) {
    AddTransferUndoStep(direction, kTransferFailed, nullptr);
    return 1;
  }
  ChangeRecord change;
  root_->FillChangeRecord(inserted, change);
  AfterEdit(&change, 0, 0, 0, 0, 0);
  AddTransferUndoStep(direction, copy != kTransferMove ? kTransferCopiedIn : kTransferMovedIn,
                      nullptr);
  if (replayState_ == kReplayIdle && RejectOversizedEdit(change) != 0) Undo(0);
  return 0;
}

void CVedWpCtrl::ReplayTransfer(int direction, TransferReplayRecord* record) {
  if (record == nullptr || record->archive == nullptr) return;
  ScopedQuietNotifier quiet(notifier_, kCaretAndContentBits);
  const int wasOn = root_->SetSpeechEnabled(0);
  MoveToPoint(0, kMoveToPoint, &record->target.first);
  const CVedTextPos target = root_->Caret();
  {
    PlaceHolder place(*root_, target);
    MoveToPoint(0, kMoveToPoint, &record->source.first);
    MoveCaret(1, kMoveWholeUnit, 1);
    MoveToPoint(1, kMoveToPoint, &record->source.second);
    SaveEditSnapshot();
    ChangeRecord deleted;
    if (root_->HasSelection() && root_->DeleteSelectionForMove(1, direction, &deleted) != 0) {
      AfterEdit(&deleted, 0, 0, 0, 0, 0);
      AddTransferUndoStep(direction, kTransferSourceDeleted, nullptr);
    }
    const CVedTextPos placed = place.Resolve();
    place.Detach();
    root_->SelectRange(&placed, nullptr, 0);
  }
  EditResult inserted;
  const int read = root_->InsertFromArchive(kTransferReadFlags | DirectionFlags(direction),
                                            *record->archive, &inserted, 0);
  if (read == kWpcOk && inserted.changed != 0) {
    ChangeRecord change;
    root_->FillChangeRecord(inserted, change);
    AfterEdit(&change, 0, 0, 0, 0, 0);
    AddTransferUndoStep(direction, kTransferMovedIn, nullptr);
  } else {
    AddTransferUndoStep(direction, kTransferFailed, nullptr);
  }
  root_->SetSpeechEnabled(wasOn);
  quiet.Restore();
  NotifyWholeDocument();
}
