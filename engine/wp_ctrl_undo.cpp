// Undo as the engine sees it: after each editing command the operations
// the document root logged become one undo step (a group when there were
// several), with the places the views will show when it is replayed.

#include <algorithm>

#include "engine/wp_ctrl.h"

namespace {

bool HasPage(const CaretPoint& point) { return point.page >= 1; }

}  // namespace

CaretPoint CVedWpCtrl::MarkedPoint(const CaretPoint& point, const ObjectDescription& description) {
  CaretPoint marked = point;
  if (!InCellText(description)) return marked;
  if (point.page < 1 || point.page > pageTable_->GetCount()) return marked;
  ObjectDescription hit{};
  HitTest(&point, &hit);
  if (hit[kDescType] == kObjectTable && hit[kDescSubKind] == kSubKindOnRules &&
      hit[kDescPlace] == kPlaceVerticalRule) {
    marked.rect.bottom = kCellBlankMark;
  }
  return marked;
}

bool CVedWpCtrl::PointFinds(const CaretPoint& point, const CVedTextPos& position) {
  const CVedTextPos* pageStart = pageTable_->GetPageStart(point.page);
  if (pageStart == nullptr) return false;
  const CVedTextPos start = *pageStart;
  const platform::POINT origin = TextAreaOrigin();
  CVedTextPos found;
  root_->PositionFromPoint(&start, std::max(point.rect.left - origin.x, 0),
                           std::max(point.rect.top - origin.y, 0), &found);
  return found == position;
}

CaretPoint CVedWpCtrl::MarkedPointOf(const CVedTextPos& position) {
  if (position.IsEmpty()) return {};
  ObjectDescription description{};
  root_->DescribeObjectAt(&description, 0, &position);
  const CaretPoint point = MarkedPoint(PointOf(position), description);
  if (!InCellText(description) || !HasPage(point) || point.rect.bottom == kCellBlankMark ||
      PointFinds(point, position)) {
    return point;
  }
  const MoveParams still{0, 0, 0};
  CVedTextPos before;
  if (root_->MoveCursor(kMovePrevChar, &still, &position, &before) != kMoveDone ||
      before == position) {
    return point;
  }
  CaretPoint stepOn = PointOf(before);
  if (!HasPage(stepOn) || !PointFinds(stepOn, before)) return point;
  stepOn.rect.bottom = kCellStepOnMark;
  return stepOn;
}

bool CVedWpCtrl::AddUndoStep(int direction) {
  if (direction == 0) return false;
  CEditOpLog& log = root_->GetEditOpLog();
  if (log.IsSuppressed()) {
    undo_.Clear();
    log.Clear();
    return false;
  }
  const int32_t count = log.Rewind();
  if (count <= 0) return false;
  const bool grouped = count > 1;
  if (grouped) undo_.BeginGroup(direction);
  const CaretPoint before = MarkedPoint(snapshot_.caret, snapshot_.caretDescription);
  for (int32_t i = 0; i < count; ++i) {
    EditOpRecord* op = log.GetNext();
    if (op == nullptr) break;
    const bool last = i == count - 1;
    CaretPoint after = MarkedPointOf(op->first);
    const bool hasAfter = op->kind != kUndoEdit || last;
    CaretPoint first;
    CaretPoint second = before;
    EditOpValue data;
    ParagraphLayoutRecord paragraph;
    const ParagraphLayoutRecord* paragraphOf = nullptr;
    switch (op->kind) {
      case kUndoEdit:
      case kUndoEditMarked:
      case kUndoEditTransfer:
        if (op->kind == kUndoEditTransfer) {
          first = HasPage(snapshot_.later)
                      ? MarkedPoint(snapshot_.later, snapshot_.laterDescription)
                      : CaretPoint{};
          second = HasPage(snapshot_.earlier)
                       ? MarkedPoint(snapshot_.earlier, snapshot_.earlierDescription)
                       : CaretPoint{};
        } else {
          // Deleted content goes back where the deletion left the caret,
          // measured as the text now lies: the lines before a deletion
          // may be laid out anew by it (a line break taken away lets the
          // line wrap and spread its characters).
          first = after;
          second = CaretPoint{};
        }
        if (const auto* format = op->value.Get<ParaFormat>(); format != nullptr) {
          paragraph = ToLayoutRecord(*format);
          paragraphOf = &paragraph;
        }
        break;
      case kUndoParagraph:
        first = MarkedPointOf(op->second);
        if (const auto* format = op->value.Get<ParaFormat>(); format != nullptr) {
          data = EditOpValue::Of(ToLayoutRecord(*format));
        }
        break;
      case kUndoFont:
      case kUndoDecoration:
      case kUndoDesign:
      case kUndoAllAttributes:
        // The formatted characters, from their last to their first: the
        // caret before the edit may stand after a selection's end.
        first = MarkedPointOf(op->second);
        second = MarkedPointOf(op->first);
        data = op->value;
        break;
      case kUndoTableLayout:
      case kUndoColumnWidth:
        first = MarkedPointOf(op->first);
        data = op->value;
        break;
      case kUndoDelete:
      case kUndoDeleteTyped:
        // Typed text is taken back from where it went in, which is not the
        // caret before the edit when that stood at a replaced selection's
        // far end.
        first = MarkedPointOf(op->second);
        second = after;
        break;
      default:
        first = MarkedPointOf(op->second);
        break;
    }
    undo_.AddStep(direction, op->kind, &first, &second, hasAfter ? &after : nullptr, &op->data,
                  data, paragraphOf);
  }
  if (grouped) undo_.EndGroup(direction);
  log.Clear();
  return true;
}

void CVedWpCtrl::Undo(int flag) {
  replayState_ = kReplayingUndo;
  root_->SetUndoReplay(1);
  undo_.Undo(flag);
  replayState_ = kReplayIdle;
  root_->SetUndoReplay(0);
  SaveEditSnapshot();
}

void CVedWpCtrl::Redo() {
  replayState_ = kReplayingRedo;
  root_->SetUndoReplay(1);
  undo_.Redo();
  replayState_ = kReplayIdle;
  root_->SetUndoReplay(0);
  SaveEditSnapshot();
}

void CVedWpCtrl::ClearUndoLists() { undo_.Clear(); }
