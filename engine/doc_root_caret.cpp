// Caret, selection and range marking of the document root: how the caret
// moves (by code, to a point, to a line and column, to a found string), how
// a selection starts, follows the caret and ends, how keyboard range
// marking keeps the caret to come back to, and what the engine asks about
// caret and selection.
#include <algorithm>

#include "engine/doc_root.h"
#include "model/table_object.h"

namespace {

// Whether a move or hit test sets the cursor.
constexpr int kNoCursorSet = 0;
constexpr int kCursorSet = 1;

// IsAtBoundary kinds and the move each one probes with.
constexpr int kBoundaryLineEnd = 1;
constexpr int kBoundaryLineStart = 2;
constexpr int kBoundaryRightEnd = 3;
constexpr int kBoundaryLeftEnd = 4;

// GetCaretFlags bits.
constexpr int32_t kCaretAtTop = 0x1;
constexpr int32_t kCaretAtLast = 0x2;
constexpr int32_t kCaretOnFirstLine = 0x4;
constexpr int32_t kCaretOnLastLine = 0x8;
constexpr int kUnitWise = 1;

// Line flags noted before a move for its spoken feedback.
constexpr int32_t kLineFirst = 0x1;
constexpr int32_t kLineLast = 0x2;

// A character-wise selection.
constexpr int32_t kCharacterUnit = 1;

// Find: flag bits and search directions.
constexpr int kFindMatchCase = 0x1;
constexpr int kFindSelectMatch = 0x2;
constexpr int kFindFromCaretCell = 0x4;
constexpr int kSearchForward = 1;
constexpr int kSearchBackward = 2;
constexpr int kSearchFromCaretCellOffset = 2;

// Position rectangle modes: the caret's box, and a line end's box.
constexpr int kRectCaret = 0;
constexpr int kRectLineEnd = 2;

// The move that goes into the table around a position before the start of
// a unit, when that unit's move left the text at a table.
constexpr int kMoveIntoTable = 1025;

// DescribeObjectAt's choice of end.
constexpr int kDescribeEarlier = 1;
constexpr int kDescribeLater = 2;
constexpr int kDescribeMoving = 3;

bool StepsIntoTableBackwards(int code) {
  return code == kMovePrevLineStart || code == kMovePrevParagraph || code == kMovePrevWord;
}

// Moves up and down keep the goal column, as does the whole-unit code.
bool KeepsGoalColumn(int code) {
  return code == kMoveLineUp || code == kMoveLineDown || code == kMoveWholeUnit;
}

int BoundaryMove(int kind) {
  switch (kind) {
    case kBoundaryLineEnd:
      return kMoveLineEnd;
    case kBoundaryLineStart:
      return kMoveLineStart;
    case kBoundaryRightEnd:
      return kMoveRightEnd;
    default:
      return kMoveLeftEnd;
  }
}

bool WithinHeight(const platform::RECT& box, int32_t y) { return y >= box.top && y < box.bottom; }

// Sets the cursor to a path from outside the objects' own answers and
// answers where it stands: a path the objects do not take as it is (a
// column beyond its line's end, a child that is not there) is replaced by
// where they put the cursor.
CVedTextPos CursorAt(CDocObjContainer& objects, const CVedTextPos& path) {
  objects.SetCursor(&path);
  CVedTextPos cursor;
  if (objects.GetCursor(&cursor) == 0 || cursor.IsEmpty()) return path;
  return cursor;
}

}  // namespace

// ---- Moves

bool CDocBunsObj::MoveResolved(int code, int setCursor, const CVedTextPos* from, CVedTextPos* out) {
  const MoveParams params{setCursor, caretRect_.left, 1};
  CVedTextPos moved;
  const int outcome = MoveCursor(code, &params, from, &moved);
  // Where a move that could not leave its place stays: where it started.
  auto stay = [&] {
    if (from != nullptr) {
      *out = *from;
    } else {
      GetCursor(out);
    }
    return true;
  };
  switch (outcome) {
    case kMoveDone:
      if (moved.IsEmpty()) return stay();
      *out = moved;
      return true;
    case kMoveBeforeStart:
      if (StepsIntoTableBackwards(code) && Describe(from)[kDescType] == kObjectTable) {
        return MoveResolved(kMoveIntoTable, setCursor, from, out);
      }
      return stay();
    case kMoveAfterEnd:
      return stay();
    case kMoveStoppedAtLineStart:
      return code == kMovePrevChar && MoveResolved(kMoveDocumentStart, setCursor, from, out);
    case kMoveStoppedAtLineEnd:
      return code == kMoveNextChar && MoveResolved(kMoveDocumentEnd, setCursor, from, out);
    default:
      return stay();
  }
}

bool CDocBunsObj::ApplyPreMoveRules(int& mode, int& code) {
  const bool selection = HasSelection();
  const bool plain = HasPlainSelection();
  if (!plain && !(!selection && mode != 0 && code != kMoveWholeUnit)) return true;
  const bool inText = IsTextPosition(&caret_);
  const bool forward = selectionOrder_ >= 0;
  CVedTextPos step;
  if (selection && (mode != 0 || rangeMarking_ != 0)) {
    if (code == kMovePrevChar && mode == 1 && plain && forward) {
      // One step back onto the anchor collapses the selection.
      if (MoveResolved(kMovePrevChar, kNoCursorSet, &caret_, &step) && step == anchor_) mode = 0;
    } else if (code == kMoveNextChar && mode == 1 && plain && !forward) {
      if (selectionCaretEnd_ == selectionAnchorEnd_ &&
          MoveResolved(kMoveNextChar, kNoCursorSet, &caret_, &step) && step == anchor_) {
        mode = 0;
      }
    } else if (code == kMoveLineEnd && inText) {
      if (IsAtBoundary(kBoundaryLineStart, &caret_) != 0 && forward) return false;
      if (!IsCaretOnLastTextLine()) code = kMoveNextLineStart;
    } else if (code == kMoveLineStart) {
      if (IsAtBoundary(kBoundaryLineStart, &caret_) != 0 && forward) code = kMovePrevLineStart;
    }
    return true;
  }
  if (selection) {
    const bool atLeftEnd = IsAtBoundary(kBoundaryLeftEnd, &caret_) != 0;
    if (code == kMoveLineEnd && atLeftEnd && forward) {
      MoveResolved(kMovePrevLineStart, kCursorSet, nullptr, &step);
    }
    if ((code == kMoveNextChar || (code == kMoveLineDown && atLeftEnd)) && forward) {
      code = kMoveWholeUnit;
    }
    return true;
  }
  if (code == kMoveLineEnd && inText && !IsCaretOnLastTextLine()) code = kMoveNextLineStart;
  return true;
}

// A selection extended to a line's end takes in the line's break by
// going on to the next line's start. A cell's last line has no break: the
// next line's start there is the next cell's, and a selection that went
// on to it would take in the rest of the row.
bool CDocBunsObj::IsCaretOnLastTextLine() {
  if (Children().GetCurrentType() == kObjectTable) {
    auto* table = dynamic_cast<CTableObject*>(Children().GetCurrent());
    if (table != nullptr && table->IsCaretOnCellLastLine() != 0) return true;
  }
  return IsCursorOnLastLine() != 0;
}

void CDocBunsObj::SelectForMove(int mode) {
  selectionUnit_ = mode;
  if (mode != 0) {
    SetSelectionMode(mode);
  } else if (rangeMarking_ == 0 && HasSelection()) {
    SetSelectionMode(0);
  }
}

void CDocBunsObj::FinishMove(int code, const CVedTextPos& caret, bool keepGoal) {
  UpdateAfterChange({.refreshCaret = !keepGoal, .moveCode = code, .caret = &caret, .extend = true});
}

int CDocBunsObj::Move(int mode, int code) {
  if (!ApplyPreMoveRules(mode, code)) return 0;
  if (!HasSelection() && mode != 0) selectionStartCode_ = code;
  int32_t caretFlags = 0;
  int32_t lineFlags = 0;
  if (speechOptions_.speechOn != 0) {
    caretFlags = GetCaretFlags(&caret_, kUnitWise);
    lineFlags =
        (IsFirstLine(&caret_) != 0 ? kLineFirst : 0) | (IsLastLine(&caret_) != 0 ? kLineLast : 0);
  }
  const CVedTextPos before = MovingPosition();
  const CVedTextPos start = caret_;
  RememberCaretState();
  SelectForMove(mode);
  CVedTextPos moved = caret_;
  if (code != kMoveWholeUnit && !MoveResolved(code, kCursorSet, nullptr, &moved)) {
    GetCursor(&moved);
  }
  FinishMove(code, moved, KeepsGoalColumn(code));
  SpeakMove(code, caretFlags, lineFlags, &before);
  return caret_ == start ? 0 : 1;
}

int CDocBunsObj::IsAtBoundary(int kind, const CVedTextPos* pos) {
  const CVedTextPos& at = pos != nullptr ? *pos : caret_;
  CVedTextPos end;
  if (!MoveResolved(BoundaryMove(kind), kNoCursorSet, &at, &end)) return 0;
  return end == at ? 1 : 0;
}

int32_t CDocBunsObj::HitTest(int setCursor, const CVedTextPos* base, int32_t x, int32_t y,
                             CVedTextPos* out) {
  const int32_t answer = CDocObjContainer::PositionFromPoint(setCursor, base, x, y, out);
  if (answer <= 0) return answer;
  // Below the content: the last line, at the point's x.
  const MoveParams params{setCursor, x, 1};
  return MoveCursor(kMoveLastLineAtX, &params, nullptr, out);
}

void CDocBunsObj::AdjustExtendingPoint(const CVedTextPos* base, int32_t& x, int32_t& y) {
  CVedTextPos hit;
  if (HitTest(kNoCursorSet, base, x, y, &hit) < 0 || hit.IsEmpty()) return;
  CVedTextPos lineEnd;
  if (!MoveResolved(kMoveLineEnd, kNoCursorSet, &hit, &lineEnd)) return;
  platform::RECT endBox{};
  GetPositionRect(&endBox, kRectLineEnd, &lineEnd, base);
  if (x < endBox.right || IsLastLine(&hit) != 0) return;
  if (!HasSelection()) {
    const CVedTextPos& end = selectionCaretEnd_.IsEmpty() ? caret_ : selectionCaretEnd_;
    platform::RECT box{};
    GetPositionRect(&box, kRectLineEnd, &end, base);
    CVedTextPos below;
    CVedTextPos start;
    if (WithinHeight(box, y) && MoveResolved(kMoveLineDown, kNoCursorSet, &hit, &below) &&
        MoveResolved(kMoveLeftEnd, kNoCursorSet, &below, &start)) {
      caret_ = start;
      SetCursor(&caret_);
    }
  } else if (HasPlainSelection() && selectionOrder_ >= 0) {
    platform::RECT box{};
    GetPositionRect(&box, kRectLineEnd, &selectionAnchorEnd_, base);
    if (WithinHeight(box, y)) {
      x = 0;
      y = box.bottom + 1;
    }
  }
}

int CDocBunsObj::MoveToPoint(int mode, const CVedTextPos* base, int32_t x, int32_t y) {
  if (mode == 1) AdjustExtendingPoint(base, x, y);
  RememberCaretState();
  SelectForMove(mode);
  CVedTextPos hit;
  if (HitTest(kCursorSet, base, x, y, &hit) < 0 || hit.IsEmpty()) GetCursor(&hit);
  if (replaying_ != 0) {
    // A replay puts content back at characters: a point that once lay on
    // a line's end may now lie past a shorter line, in its margin, where
    // what goes in would be padded with blanks.
    const CVedTextPos atCharacter = InTextZone(hit);
    if (!(atCharacter == hit)) hit = CursorAt(*this, atCharacter);
  }
  if (replaying_ != 0 && mode != 0) snapshot_.caret = CVedTextPos{};
  FinishMove(kMoveToPoint, hit, false);
  return 1;
}

int CDocBunsObj::GoToLineColumn(int mode, const CVedTextPos* base, const int32_t lineColumn[2],
                                int code) {
  CVedTextPos target;
  if (PositionFromLineColumn(lineColumn[0], lineColumn[1], base, &target) != lineColumn[0] ||
      target.IsEmpty()) {
    return 0;
  }
  RememberCaretState();
  SelectForMove(mode);
  // A column beyond the end of its line is no place the cursor stands on:
  // the caret goes where the objects put the cursor.
  target = CursorAt(*this, target);
  FinishMove(code, target, false);
  return 1;
}

// ---- Selection

bool CDocBunsObj::HasSelection() const {
  return !anchor_.IsEmpty() || (rangeMarking_ != 0 && !selectionAnchorEnd_.IsEmpty());
}

bool CDocBunsObj::HasPlainSelection() const {
  return HasSelection() && selectionStartCode_ != kMoveWholeUnit;
}

const CVedTextPos& CDocBunsObj::EarlierEnd() const {
  return selectionOrder_ < 0 ? selectionCaretEnd_ : selectionAnchorEnd_;
}

const CVedTextPos& CDocBunsObj::LaterEnd() const {
  return selectionOrder_ < 0 ? selectionAnchorEnd_ : selectionCaretEnd_;
}

bool CDocBunsObj::SelectionSpansChildren() const {
  if (!HasSelection()) return false;
  const CVedTextPos& a = selectionCaretEnd_;
  const CVedTextPos& b = selectionAnchorEnd_;
  if (a.pairs.empty() || b.pairs.empty()) return false;
  return !(a.pairs.front() == b.pairs.front());
}

int CDocBunsObj::ClearSelection(int start) {
  RememberCaretState();
  ResetSelection(start);
  UpdateAfterChange({.caret = &caret_});
  return 1;
}

void CDocBunsObj::GetSelection(CVedTextRange& range) {
  if (rangeMarking_ != 0 || !HasSelection()) {
    GetCaretAndAnchor(range);
  } else {
    GetSelectionEnds(range);
  }
}

void CDocBunsObj::GetCaretAndAnchor(CVedTextRange& range) const {
  range.start = caret_;
  range.end = anchor_;
}

void CDocBunsObj::GetSelectionEnds(CVedTextRange& range) const {
  range.start = selectionCaretEnd_;
  range.end = selectionAnchorEnd_;
}

void CDocBunsObj::SelectRange(const CVedTextPos* first, const CVedTextPos* second, int whole) {
  const bool ranged = second != nullptr && !second->IsEmpty();
  if (ranged && rangeMarking_ != 0) return;
  RememberCaretState();
  if (ranged) {
    if (!HasSelection()) selectionStartCode_ = whole != 0 ? kMoveWholeUnit : kCharacterUnit;
    caret_ = CursorAt(*this, *second);
    selectionUnit_ = kCharacterUnit;
    ResetSelection(1);
  } else if (rangeMarking_ == 0 && HasSelection()) {
    ResetSelection(0);
  }
  const CVedTextPos target =
      CursorAt(*this, first != nullptr && !first->IsEmpty() ? *first : caret_);
  UpdateAfterChange({.caret = &target, .extend = true});
  if (ranged && HasSelection()) {
    caret_ = selectionCaretEnd_;
    anchor_ = selectionAnchorEnd_;
    SetCursor(&caret_);
  }
}

int CDocBunsObj::CancelSelection() {
  if (!HasSelection()) return 0;
  RememberCaretState();
  const int32_t order = selectionOrder_;
  const bool plain = HasPlainSelection();
  ResetSelection(0);
  CVedTextPos target = caret_;
  if (order > 0 && plain && IsTextPosition(&caret_)) {
    // The caret of a forward selection stands after the last selected
    // character; Escape leaves it on that character.
    CVedTextPos last;
    if (MoveResolved(kMovePrevChar, kNoCursorSet, &caret_, &last)) target = last;
    SetCursor(&target);
  }
  snapshot_.caret = CVedTextPos{};
  UpdateAfterChange({.caret = &target});
  if (speechOptions_.speechOn != 0) SpeakRangeCleared();
  return 1;
}

int32_t CDocBunsObj::GetSelectionUnit(int caretSide, int live) {
  if (!HasSelection()) return 0;
  const CVedTextPos* end = nullptr;
  if (live != 0) {
    end = caretSide != 0 ? &caret_ : &anchor_;
  } else {
    end = caretSide != 0 ? &selectionCaretEnd_ : &selectionAnchorEnd_;
  }
  if (Describe(end)[kDescType] == kObjectTable && tableSelectionUnit_ != 0)
    return tableSelectionUnit_;
  return selectionUnit_;
}

// ---- Range marking

int CDocBunsObj::BeginRangeMarking() {
  if (rangeMarking_ != 0) return 1;
  savedCaret_ = caret_;
  savedAnchor_ = anchor_;
  rangeMarking_ = 1;
  return static_cast<int>(Notify(WM_WPC_MARKSTART, 0, 0));
}

void CDocBunsObj::EndRangeMarking(int keep) {
  if (rangeMarking_ == 0) return;
  if (keep == 0) {
    caret_ = savedCaret_;
    anchor_ = savedAnchor_;
    SetCursor(&caret_);
    // Vertical moves go on from the column of the caret put back, not from
    // where it stood while marking.
    RefreshCaretRect(caret_);
  }
  savedCaret_ = CVedTextPos{};
  savedAnchor_ = CVedTextPos{};
  rangeMarking_ = 0;
  Notify(WM_WPC_MARKEND, 0, 0);
}

// ---- Queries

void CDocBunsObj::SetDisplayOptions(const DocObjOptions& options) {
  SetOptions(&options);
  RememberCaretState();
  // The caret must stay valid under the new options: the objects place the
  // cursor again.
  CVedTextPos cursor;
  GetCursor(&cursor);
  SetCursor(&cursor);
  GetCursor(&cursor);
  UpdateAfterChange({.caret = &cursor});
}

int CDocBunsObj::DescribeObjectAt(ObjectDescription* out, int which, const CVedTextPos* pos) {
  if (out == nullptr) return SelectionSpansChildren() ? 1 : 0;
  CVedTextPos target = pos != nullptr ? *pos : caret_;
  if (HasSelection()) {
    if (which == kDescribeEarlier) target = EarlierEnd();
    if (which == kDescribeLater) target = LaterEnd();
    if (which == kDescribeMoving) target = MovingPosition();
  }
  *out = Describe(&target);
  return SelectionSpansChildren() ? 1 : 0;
}

int32_t CDocBunsObj::EnableRedraw(int32_t on) {
  const int32_t previous = redrawEnabled_;
  redrawEnabled_ = on;
  return previous;
}

platform::RECT* CDocBunsObj::GetPointRect(platform::RECT* out, int mode, const CVedTextPos* base,
                                          int32_t x, int32_t y) {
  CVedTextPos hit;
  HitTest(kNoCursorSet, base, x, y, &hit);
  return GetPositionRect(out, mode, &hit, base);
}

int32_t CDocBunsObj::PositionFromPoint(const CVedTextPos* base, int32_t x, int32_t y,
                                       CVedTextPos* out) {
  return HitTest(kNoCursorSet, base, x, y, out);
}

int CDocBunsObj::GetLineColumn(int32_t out[2], int mode, const CVedTextPos* pos,
                               const CVedTextPos* base) {
  // Without a position the caret's line is meant, not the lines up to the
  // end of the document.
  if (pos == nullptr) pos = &caret_;
  if (mode == kColumnsAsObjectsCount) {
    return CDocObjContainer::GetLineColumn(&out[0], &out[1], pos, base);
  }
  out[0] = CountLines(base, pos);
  platform::RECT box{};
  GetPositionRect(&box, kRectCaret, pos, base);
  const int32_t pitch = Format().charPitch;
  if (pitch <= 0) {
    out[1] = 1;
    return 1;
  }
  int32_t x = box.left;
  if (box.right - box.left >= pitch) x += pitch / 2;
  if (x < 0) x = 0;
  out[1] = x / pitch + 1;
  return 1;
}

int32_t CDocBunsObj::GetCaretFlags(const CVedTextPos* pos, int unitWise) {
  const CVedTextPos& at = pos != nullptr ? *pos : caret_;
  int32_t flags = 0;
  CVedTextPos end;
  if (IsFirstLine(&at) != 0) {
    flags |= kCaretOnFirstLine;
    const int code = unitWise != 0 ? kMoveLeftEnd : kMoveDocumentStart;
    if (ProbeMove(code, nullptr, &end) && end == at) flags |= kCaretAtTop;
  }
  if (IsLastLine(&at) != 0) {
    flags |= kCaretOnLastLine;
    if (ProbeMove(kMoveDocumentEnd, nullptr, &end) &&
        ComparePositions(&end, &at) != kCompareAfter) {
      CVedTextPos right;
      if (unitWise == 0 || (ProbeMove(kMoveRightEnd, &end, &right) && right == at)) {
        flags |= kCaretAtLast;
      }
    }
  }
  return flags;
}

int32_t CDocBunsObj::GetTopOffset(int which) {
  const CVedTextPos* at = &caret_;
  if (which != 0 && HasSelection()) at = which == kDescribeEarlier ? &EarlierEnd() : &LaterEnd();
  return at->pairs.empty() ? 0 : at->pairs.front().value;
}

// ---- Find

int CDocBunsObj::Find(int flags, int forward, std::string_view text) {
  if (text.empty()) return 0;
  RememberCaretState();
  if (HasSelection()) ResetSelection(0);
  CVedTextPos before;
  GetCursor(&before);
  int direction = forward != 0 ? kSearchForward : kSearchBackward;
  if ((flags & kFindFromCaretCell) != 0) direction += kSearchFromCaretCellOffset;
  CVedTextRange match;
  const int found = FindText(flags & kFindMatchCase, direction, text, &match);
  if (found == 0) {
    SetCursor(&before);
    return 0;
  }
  SetCursor(&match.end);
  if ((flags & kFindSelectMatch) != 0) {
    caret_ = match.start;
    selectionStartCode_ = kMoveWholeUnit;
    selectionUnit_ = kCharacterUnit;
    ResetSelection(1);
    caret_ = match.end;
    SetCursor(&caret_);
    display_.cachedHeight = -1;
  }
  FinishMove(0, match.end, false);
  return found;
}
