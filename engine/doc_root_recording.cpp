// Undo recording and after-edit processing of the document root: what an
// edit saves before it runs and logs after it, and how caret, selection,
// highlight and notifications are brought up to date after every edit and
// every caret move.
#include <algorithm>
#include <iterator>
#include <optional>

#include "engine/doc_root.h"
#include "model/table_object.h"
#include "model/text_object.h"

namespace {

// Undo kinds of the logged operations.
constexpr int32_t kUndoInserted = 1;
constexpr int32_t kUndoDeleted = 2;
constexpr int32_t kUndoConverted = 3;
constexpr int32_t kUndoQuietDeleted = 4;
constexpr int32_t kUndoMovedIn = 5;
constexpr int32_t kUndoMoveSource = 6;
constexpr int32_t kUndoFirstFormat = 101;
constexpr int32_t kUndoTableAttributes = 200;
constexpr int32_t kUndoColumnWidth = 201;

// The first word of saved table attributes when there were none to save.
constexpr int32_t kNoTableAttributes = -1;

// Selection units.
constexpr int32_t kLineWiseUnit = 2;
constexpr int32_t kParagraphUnit = 3;
constexpr int32_t kWholeDocumentUnit = 5;
// Units of a selection inside a table.
constexpr int32_t kTableRowUnit = 1;
constexpr int32_t kTableColumnUnit = 2;

// Highlight flags of ComputeHighlightRects.
constexpr int kHighlightEndAtBlockRight = 0x1;
constexpr int kHighlightStartAtBlockLeft = 0x2;
constexpr int kHighlightWideBlock = 0x4;
// The changed-marker value that forces the highlight to be recomputed.
constexpr int32_t kHighlightForced = -1;

// Line classes of ClassifyLinePosition.
constexpr int kLineClassPlain = 1;
constexpr int kLineClassRight = 2;
constexpr int kLineClassEmpty = 3;

// The mode of RefusesRead that refuses the left margin too.
constexpr int kRefuseLeftMargin = 1;

// A step over a line's margin gives up after this many columns.
constexpr int kMarginWalkLimit = 1024;
// A walk over empty table lines gives up after this many lines.
constexpr int kEmptyLineWalkLimit = 4096;

// The caret's box is narrower than a character pitch when it stands on a
// half-width character; the goal column is the middle of the character.
int32_t ReferenceX(const platform::RECT& box, int32_t unit) {
  const int32_t width = box.right - box.left;
  const int32_t x = width < unit ? box.left + width / 2 - 1 : box.left + unit / 2 - 1;
  return std::max(x, 0);
}

platform::RECT Union(const platform::RECT& a, const platform::RECT& b) {
  if (a.IsEmpty()) return b;
  if (b.IsEmpty()) return a;
  return {std::min(a.left, b.left), std::min(a.top, b.top), std::max(a.right, b.right),
          std::max(a.bottom, b.bottom)};
}

// Text of a table cell, described by the cell's own level, part and codes.
bool InCellTextPart(const ObjectDescription& d, int32_t part) {
  return InCellText(d) && d[InCellSlot(kDescType)] == kObjectText &&
         d[InCellSlot(kDescSubKind)] == part;
}

bool OnEmptyTableLine(const ObjectDescription& d) {
  return InCellText(d) && d[InCellSlot(kDescType)] == kObjectGridArea;
}

}  // namespace

// ---- The caret's box

void CDocBunsObj::RefreshCaretRect(const CVedTextPos& caret) {
  // Only the box's horizontal place matters (the goal column): measured
  // from the caret's own line, it costs that line, not every line above.
  CVedTextPos lineStart;
  const bool onLine = StepLine(&caret, kLineThis, &lineStart) != 0 && !lineStart.IsEmpty();
  GetPositionRect(&caretRect_, 0, &caret, onLine ? &lineStart : nullptr);
  caretRect_.left = ReferenceX(caretRect_, Format().charPitch);
}

// ---- Notifications and hooks

platform::LRESULT CDocBunsObj::Notify(platform::UINT message, platform::WPARAM wParam,
                                      platform::LPARAM lParam) {
  notifier_.SetRedrawGate(redrawEnabled_);
  return notifier_.Notify(message, wParam, lParam);
}

platform::HWND CDocBunsObj::SetNotifyWindow(platform::HWND window) {
  feedback_.SetHookWindow(window);
  return notifier_.SetWindow(window);
}

uint32_t CDocBunsObj::SetNotifyMask(uint32_t mask) {
  feedback_.SetHookFlags(mask);
  return notifier_.SetMask(mask);
}

SelectionMoveCallback CDocBunsObj::SetMoveCallback(SelectionMoveCallback callback, void* context) {
  const SelectionMoveCallback previous = selectionCallback_;
  selectionCallback_ = callback;
  selectionCallbackContext_ = context;
  return previous;
}

int CDocBunsObj::RunMoveCallback(CVedTextPos* earlier, CVedTextPos* later) {
  if (selectionCallback_ == nullptr) return 0;
  return selectionCallback_(selectionCallbackContext_, earlier, later);
}

// ---- Recording state

void CDocBunsObj::SetUndoReplay(int32_t flag) {
  replaying_ = flag;
  renderer_.SetUndoReplay(flag);
}

void CDocBunsObj::BeginUndoRecording(int enable) {
  if (enable == 0 || recording_ != 0) return;
  editLog_.BeginGroup();
  undoData_ = nullptr;
  recording_ = 1;
}

int CDocBunsObj::EndUndoRecording(int enable) {
  if (enable == 0) return 0;
  const int32_t previous = recording_;
  editLog_.EndGroup();
  undoData_ = nullptr;
  recording_ = 0;
  return previous;
}

void CDocBunsObj::CancelUndoRecording(int enable) {
  if (enable == 0 || recording_ == 0) return;
  undoData_ = nullptr;
  editLog_.SetSuppressed(1);
}

void CDocBunsObj::RememberCaretState() {
  snapshot_.caret = caret_;
  snapshot_.anchor = anchor_;
  snapshot_.caretEnd = selectionCaretEnd_;
  snapshot_.anchorEnd = selectionAnchorEnd_;
  snapshot_.order = selectionOrder_;
  snapshot_.unit = selectionUnit_;
  snapshot_.tableUnit = tableSelectionUnit_;
}

// ---- Selection state

void CDocBunsObj::ResetSelection(int start) {
  if (start != 0) {
    anchor_ = caret_;
    selectionCaretEnd_ = caret_;
    selectionAnchorEnd_ = caret_;
    selectionOrder_ = 0;
    renderer_.SetSelectionState(1, selectionUnit_ == kLineWiseUnit ? 1 : 0,
                                selectionStartCode_ != kMoveWholeUnit ? 1 : 0);
    Notify(WM_WPC_SELSTARTED, 0, 0);
    return;
  }
  ClearSelectionState();
  renderer_.SetSelectionState(0, 0, 0);
  Notify(WM_WPC_SELCLEARED, 0, 0);
}

void CDocBunsObj::ClearSelectionState() {
  anchor_ = CVedTextPos{};
  selectionCaretEnd_ = CVedTextPos{};
  selectionAnchorEnd_ = CVedTextPos{};
  selectionOrder_ = 0;
  selectionMode_ = 0;
  selectionUnit_ = 0;
  tableSelectionUnit_ = 0;
  selectionStartCode_ = 0;
  highlightChanged_ = 0;
  ClearHighlight();
}

void CDocBunsObj::SetSelectionMode(int32_t mode) {
  selectionMode_ = mode;
  if (mode == 0) {
    ResetSelection(0);
  } else if (!HasSelection()) {
    ResetSelection(1);
  }
}

void CDocBunsObj::SetSelectionRange(int keep, const CVedTextPos* start, const CVedTextPos* end) {
  if (keep == 0) ClearSelectionState();
  if (!HasSelection()) {
    selectionStartCode_ = kMoveWholeUnit;
    selectionMode_ = 1;
  }
  anchor_ = start != nullptr ? *start : CVedTextPos{};
  selectionAnchorEnd_ = anchor_;
  selectionCaretEnd_ = end != nullptr ? *end : CVedTextPos{};
  selectionOrder_ = OrderOf(selectionCaretEnd_, selectionAnchorEnd_);
}

int32_t CDocBunsObj::OrderOf(const CVedTextPos& a, const CVedTextPos& b) {
  const int order = ComparePositions(&a, &b);
  return order == kCompareIncomparable ? 0 : order;
}

CVedTextRange CDocBunsObj::SelectedContent() {
  CVedTextRange range;
  OrderedSelection(range.start, range.end);
  // An end in a line's margin holds no blanks: it stands at the line's
  // end, which a later end there has passed and so holds.
  const CVedTextPos laterAtLineEnd = InTextZone(range.end);
  const bool laterInMargin = !(laterAtLineEnd == range.end);
  range.start = InTextZone(range.start);
  range.end = laterAtLineEnd;
  if (laterInMargin) return range;
  // Whole-unit selections (a found match, select-all, a widened range) and
  // snapped line or paragraph selections name their last character
  // themselves.
  const bool characterWise = selectionUnit_ == 1 && selectionStartCode_ != kMoveWholeUnit;
  if (!characterWise || range.start == range.end) return range;
  CVedTextPos last;
  if (StepCharacter(kMovePrevChar, range.end, &last) &&
      ComparePositions(&last, &range.start) != kCompareBefore) {
    range.end = last;
  }
  return range;
}

void CDocBunsObj::OrderedSelection(CVedTextPos& earlier, CVedTextPos& later) {
  earlier = selectionCaretEnd_;
  later = selectionAnchorEnd_;
  OrderPositions(earlier, later);
}

bool CDocBunsObj::ProbeMove(int code, const CVedTextPos* from, CVedTextPos* out) {
  const MoveParams probe{0, caretRect_.left, 1};
  CVedTextPos moved;
  if (MoveCursor(code, &probe, from != nullptr ? from : &caret_, &moved) != kMoveDone ||
      moved.IsEmpty()) {
    return false;
  }
  *out = moved;
  return true;
}

// ---- After-edit processing

platform::LRESULT CDocBunsObj::UpdateAfterChange(const AfterChange& what) {
  CVedTextPos caret;
  if (what.caret != nullptr) {
    caret = *what.caret;
  } else {
    GetCursor(&caret);
  }
  // A result that says nothing changed outweighs the caller's flag: no
  // repaint, no modified document.
  const bool changed = what.edited && (what.result == nullptr || what.result->changed != 0);
  if (what.refreshCaret && (changed || !(caret == snapshot_.caret))) {
    RefreshCaretRect(caret);
  }
  const bool still = caret == snapshot_.caret && anchor_ == snapshot_.anchor;
  const bool due = !still || (what.moveCode == kMoveWholeUnit && GetSelectionUnit(1, 1) != 0);
  if (due) {
    if (what.extend) {
      UpdateSelection(caret);
    } else {
      caret_ = caret;
    }
    UpdateHighlight();
  }
  if (changed) {
    if (what.change != nullptr && what.result != nullptr) {
      FillChangeRecord(*what.result, *what.change, what.changeFlags);
    }
    modified_ = 1;
    Notify(WM_WPC_CONTENTCHANGED, 0, reinterpret_cast<platform::LPARAM>(&caret_));
  }
  if (!due) return 0;
  return Notify(WM_WPC_CARETMOVED, static_cast<platform::WPARAM>(what.moveCode),
                reinterpret_cast<platform::LPARAM>(&caret_));
}

void CDocBunsObj::FillChangeRecord(const EditResult& result, ChangeRecord& change, int flags) {
  change = ChangeRecord{};
  change.changed = result.changed;
  if (!result.rangeStart.IsEmpty()) StepPageLine(&result.rangeStart, kLineThis, &change.lineStart);
  const bool forcedHeight = (flags & kChangeHeightChanged) != 0;
  change.heightChanged = result.heightDelta != 0 || forcedHeight ? 1 : 0;
  change.pageBreakChanged = result.pageBreakChanged != 0 ? 1 : 0;
  change.changeEnd = result.rangeEnd;
  if (change.changeEnd.IsEmpty()) {
    // An edit that cannot tell where its change ends changed everything
    // after its start.
    ProbeMove(kMoveDocumentEnd, nullptr, &change.changeEnd);
  }
  if (!change.lineStart.IsEmpty()) {
    const int highlight =
        kHighlightWideBlock | ((flags & kChangeEdited) != 0 ? kHighlightEndAtBlockRight : 0);
    change.area =
        ComputeHighlightRects(result.rangeStart, change.changeEnd, highlight, &change.lineStart)
            .rects;
  }
  change.oversizeStart = result.startAux;
  change.oversizeEnd = result.endAux;
}

void CDocBunsObj::UpdateSelection(const CVedTextPos& caret) {
  caret_ = caret;
  if (rangeMarking_ != 0 && replaying_ == 0) return;
  if (!HasSelection()) {
    ResetSelection(0);
    return;
  }
  selectionOrder_ = OrderOf(caret_, anchor_);
  selectionCaretEnd_ = caret_;
  selectionAnchorEnd_ = anchor_;
  if (replaying_ != 0) {
    UpdateHighlight();
    return;
  }
  if (selectionOrder_ == 0 && selectionStartCode_ != kMoveWholeUnit) {
    ResetSelection(0);
    return;
  }
  if (selectionCallback_ != nullptr && RunSelectionCallback()) {
    UpdateHighlight();
    return;
  }
  SnapSelectionEnds();
}

bool CDocBunsObj::RunSelectionCallback() {
  CVedTextPos& earlier = selectionOrder_ < 0 ? selectionCaretEnd_ : selectionAnchorEnd_;
  CVedTextPos& later = selectionOrder_ < 0 ? selectionAnchorEnd_ : selectionCaretEnd_;
  const int answer = RunMoveCallback(&earlier, &later);
  if (answer != 0 && IsAtUnitStart(&later)) {
    // A selection that ends on an empty last line ends at the end of the
    // line above instead.
    CVedTextPos up;
    CVedTextPos end;
    if (ProbeMove(kMoveLineUp, &later, &up) && ProbeMove(kMoveLineEnd, &up, &end)) later = end;
  }
  if (!(earlier == display_.shown.start) || !(later == display_.shown.end)) {
    highlightChanged_ = kHighlightForced;
  }
  return answer != 0;
}

void CDocBunsObj::SnapSelectionEnds() {
  const bool caretFirst = selectionOrder_ < 0;
  CVedTextPos& earlier = caretFirst ? selectionCaretEnd_ : selectionAnchorEnd_;
  CVedTextPos& later = caretFirst ? selectionAnchorEnd_ : selectionCaretEnd_;
  if (GetSelectionUnit(1, 0) == kWholeDocumentUnit) {
    ProbeMove(kMoveDocumentStart, nullptr, &earlier);
    ProbeMove(kMoveDocumentEnd, nullptr, &later);
  } else {
    SnapEnd(earlier, false, caretFirst ? 1 : 0);
    SnapEnd(later, true, caretFirst ? 0 : 1);
  }
  if (ComparePositions(&earlier, &later) == kCompareAfter) {
    ResetSelection(0);
    return;
  }
  UpdateHighlight();
}

void CDocBunsObj::SnapEnd(CVedTextPos& end, bool later, int caretSide) {
  const ObjectDescription kind = Describe(&end);
  if (OnEmptyTableLine(kind)) {
    // An empty table line holds nothing to select: walk off it, then take
    // the end of the line reached.
    for (int i = 0; i < kEmptyLineWalkLimit && OnEmptyTableLine(Describe(&end)); ++i) {
      CVedTextPos next;
      if (!ProbeMove(kMoveLineUp, &end, &next) || next == end) break;
      end = next;
    }
    CVedTextPos lineEnd;
    if (ProbeMove(kMoveLineEnd, &end, &lineEnd)) end = lineEnd;
    return;
  }
  const int32_t unit = GetSelectionUnit(caretSide, 0);
  int code = 0;
  if (kind[kDescType] == kObjectTable && tableSelectionUnit_ == kTableRowUnit) {
    code = later ? kMoveTableRowEnd : kMoveTableRowStart;
  } else if (kind[kDescType] == kObjectTable && tableSelectionUnit_ == kTableColumnUnit) {
    code = later ? kMoveTableCellEnd : kMoveTableCellStart;
  } else if (unit == kLineWiseUnit) {
    code = later ? kMoveLineEnd : kMoveLineStart;
  } else if (unit == kParagraphUnit) {
    code = later ? kMoveParagraphEnd : kMoveParagraphStart;
  }
  CVedTextPos snapped;
  if (code != 0 && ProbeMove(code, &end, &snapped)) end = snapped;
}

void CDocBunsObj::UpdateHighlight() {
  if (!HasSelection()) {
    ClearHighlight();
    return;
  }
  const CVedTextRange ends = SelectedContent();
  const bool unchanged = highlightChanged_ != kHighlightForced &&
                         ends.start == display_.shown.start && ends.end == display_.shown.end &&
                         highlightMode_ == selectionMode_ && highlightUnit_ == selectionUnit_ &&
                         highlightShown_;
  if (unchanged) return;
  const bool caretFirst = selectionOrder_ < 0;
  const bool earlierLineWise = GetSelectionUnit(caretFirst ? 1 : 0, 0) == kLineWiseUnit;
  const bool laterLineWise = GetSelectionUnit(caretFirst ? 0 : 1, 0) == kLineWiseUnit;
  const int flags = kHighlightWideBlock | (earlierLineWise ? kHighlightStartAtBlockLeft : 0) |
                    (laterLineWise ? kHighlightEndAtBlockRight : 0);
  const HighlightRects rects = ComputeHighlightRects(ends.start, ends.end, flags, nullptr);
  display_.shown = ends;
  display_.rects = rects.rects;
  display_.whole = rects.whole;
  display_.cachedHeight = -1;
  highlightMode_ = selectionMode_;
  highlightUnit_ = selectionUnit_;
  highlightShown_ = true;
  highlightChanged_ = 0;
}

void CDocBunsObj::ClearHighlight() {
  display_.shown = CVedTextRange{};
  display_.rects = {};
  display_.whole = platform::RECT{};
  display_.cachedHeight = -1;
  highlightShown_ = false;
}

CDocBunsObj::HighlightRects CDocBunsObj::ComputeHighlightRects(const CVedTextPos& start,
                                                               const CVedTextPos& end, int flags,
                                                               const CVedTextPos* base) {
  platform::RECT first;
  platform::RECT last;
  GetPositionRect(&first, 0, &start, base);
  GetPositionRect(&last, 0, &end, base);
  platform::RECT frame;
  GetFrameRect(&frame, &start);
  // Text has no frame of its own: its lines span the text area.
  const bool framed = frame.left >= 0 && frame.right > frame.left;
  int32_t left = framed ? frame.left : 0;
  int32_t right = framed ? frame.right : Format().textWidth;
  if ((flags & kHighlightWideBlock) != 0) {
    // Hanging punctuation and line marks stand beside the text area.
    const int32_t margin = 2 * Format().charPitch;
    left -= margin;
    right += margin;
  }
  HighlightRects out;
  const int32_t firstLeft = (flags & kHighlightStartAtBlockLeft) != 0 ? left : first.left;
  const int32_t lastRight = (flags & kHighlightEndAtBlockRight) != 0 ? right : last.left;
  if (first.top == last.top) {
    out.rects[0] = {firstLeft, first.top, lastRight, first.bottom};
  } else {
    out.rects[0] = {firstLeft, first.top, right, first.bottom};
    if (first.bottom < last.top) out.rects[1] = {left, first.bottom, right, last.top};
    out.rects[2] = {left, last.top, lastRight, last.bottom};
  }
  for (const platform::RECT& rect : out.rects) out.whole = Union(out.whole, rect);
  return out;
}

// ---- Recording an edit

void CDocBunsObj::SaveBeforeEdit(int enable, int editType, int mode) {
  if (enable == 0 || recording_ == 0) return;
  switch (editType) {
    case kEditDelete:
    case kEditQuietDelete:
    case kEditMoveSource:
      SaveRangeBeforeDelete(mode);
      return;
    case kEditDeleteRow:
      StoreTableRange(kMoveTableRowStart, kMoveTableRowEnd, 0, 0);
      return;
    case kEditDeleteColumn:
      StoreTableRange(kMoveTableColumnTop, kMoveTableColumnBottom, 0, 0);
      return;
    case kEditDeleteTable:
      StoreTableRange(kMoveTableRowStart, kMoveTableRowEnd, kMoveTableColumnTop,
                      kMoveTableColumnBottom);
      return;
    case kEditTableAttributes:
      if (GetTableAttributes(&savedTableAttributes_) == 0) {
        savedTableAttributes_.layout.placement = kNoTableAttributes;
      }
      return;
    case kEditColumnWidth:
      SaveColumnWidth();
      return;
    default:
      savedEditCaret_ = caret_;
      return;
  }
}

void CDocBunsObj::SaveColumnWidth() {
  savedColumnWidth_ = GetColumnWidth();
  CVedTextPos top;
  savedColumnCaret_ = caret_;
  if (ProbeMove(kMoveTableColumnTop, &caret_, &top) &&
      ProbeMove(kMoveNextChar, &top, &savedColumnCaret_)) {
    return;
  }
  savedColumnCaret_ = caret_;
}

void CDocBunsObj::SaveRangeBeforeDelete(int mode) {
  CVedTextPos start;
  CVedTextPos end;
  if (HasSelection() || mode == kSaveRangeSelection) {
    const CVedTextRange selected = SelectedContent();
    start = selected.start;
    end = selected.end;
    // A selection drawn back from a cell's text onto the rule before the
    // cell deletes from the cell's start on. Stored from there, its undo
    // reads the characters taken back into the cell; stored from the rule,
    // the whole cell would go back as a block of the table, and the redo
    // of that refill would empty the cell of what the deletion left.
    CVedTextPos cellStart;
    if (RuleBoundsCellOf(start, end) && CellTextStart(end, &cellStart)) start = cellStart;
    // So with one drawn on from a cell's text onto a rule that closes the
    // cell: it deletes up to the cell's end, and is stored up to there.
    CVedTextPos cellEnd;
    if (RuleClosesCellOf(end, start) && MoveInCellText(kMoveDocumentEnd, start, &cellEnd)) {
      end = cellEnd;
    }
    // One that ends where the table's first cell begins takes nothing of
    // the table: stored with it, its undo would put back a table of its
    // own beside the one that is there.
    CVedTextPos textLast;
    if (TextLastBeforeFirstCell(start, end, &textLast)) end = textLast;
  } else if (mode == kSaveRangeCharBefore) {
    // Ranges name their characters with both ends included.
    if (!StepCharacter(kMovePrevChar, caret_, &start)) start = caret_;
    end = start;
  } else {
    start = caret_;
    end = caret_;
  }
  StoreRangeForUndo(&start, &end);
}

bool CDocBunsObj::RuleClosesCellOf(const CVedTextPos& onRule, const CVedTextPos& inCell) {
  if (!OnTableRules(Describe(&onRule)) || !InCellText(Describe(&inCell))) return false;
  const StrippedPath rule = PopChildIndex(&onRule, 0);
  const StrippedPath cell = PopChildIndex(&inCell, 0);
  if (rule.step.value != cell.step.value || !rule.rest || !cell.rest) return false;
  const auto* table = dynamic_cast<const CTableObject*>(Children().GetAt(rule.step.value));
  if (table == nullptr || table->Columns() == 0) return false;
  const std::optional<TableCaret> end = table->PathToTablePos(rule.RestOrNull());
  const std::optional<TableCaret> in = table->PathToTablePos(cell.RestOrNull());
  if (!end || !in || end->mode != kCaretOnGrid || in->mode != kCaretInCell) return false;
  // The table's edits take a rule above a later row, or left of a later
  // column, for the end of the row or column before it.
  const int32_t row = end->y == 0 && end->row > in->row ? end->row - 1 : end->row;
  const int32_t column = end->x == 0 && end->column > in->column ? end->column - 1 : end->column;
  return row == in->row && std::clamp(column, 0, table->Columns() - 1) == in->column;
}

bool CDocBunsObj::TextLastBeforeFirstCell(const CVedTextPos& start, const CVedTextPos& end,
                                          CVedTextPos* out) {
  if (start.pairs.empty() || end.pairs.empty() || !InCellText(Describe(&end))) return false;
  const int32_t text = start.pairs.front().value;
  const StrippedPath cell = PopChildIndex(&end, 0);
  if (cell.step.value != text + 1 || Children().GetTypeAt(text) != kObjectText) return false;
  const auto* table = dynamic_cast<const CTableObject*>(Children().GetAt(cell.step.value));
  const std::optional<TableCaret> in =
      table != nullptr ? table->PathToTablePos(cell.RestOrNull()) : std::nullopt;
  // A range names its last character itself: it holds none of the cell
  // only when the cell holds none.
  CVedTextPos cellStart;
  CVedTextPos cellEnd;
  CVedTextPos textEnd;
  if (!in || in->mode != kCaretInCell || in->row != 0 || in->column != 0 ||
      !CellTextStart(end, &cellStart) || !(cellStart == end) ||
      MoveInCellText(kMoveDocumentEnd, end, &cellEnd) ||
      !ChildEdgeOf(text, kMoveDocumentEnd, &textEnd) ||
      !StepCharacter(kMovePrevChar, textEnd, out) || !InSameText(*out, start)) {
    return false;
  }
  return ComparePositions(out, &start) != kCompareBefore;
}

bool CDocBunsObj::RuleBoundsCellOf(const CVedTextPos& onRule, const CVedTextPos& inCell) {
  if (!OnTableRules(Describe(&onRule)) || !InCellText(Describe(&inCell))) return false;
  const StrippedPath rule = PopChildIndex(&onRule, 0);
  const StrippedPath cell = PopChildIndex(&inCell, 0);
  if (rule.step.value != cell.step.value) return false;
  auto* table = dynamic_cast<CTableOperations*>(Children().GetAt(rule.step.value));
  if (table == nullptr) return false;
  const CDocObject* bounded = table->GetCellContentAt(rule.RestOrNull());
  return bounded != nullptr && bounded == table->GetCellContentAt(cell.RestOrNull());
}

void CDocBunsObj::StoreTableRange(int startCode, int endCode, int startCode2, int endCode2) {
  CVedTextPos start;
  CVedTextPos end;
  if (!ProbeMove(startCode, &caret_, &start) || !ProbeMove(endCode, &caret_, &end)) {
    undoData_ = nullptr;
    return;
  }
  CVedTextPos moved;
  if (startCode2 != 0 && ProbeMove(startCode2, &start, &moved)) start = moved;
  if (endCode2 != 0 && ProbeMove(endCode2, &end, &moved)) end = moved;
  StoreRangeForUndo(&start, &end);
}

int CDocBunsObj::StoreRangeForUndo(const CVedTextPos* start, const CVedTextPos* end) {
  undoData_ = editLog_.OpenDataArchive();
  if (undoData_ != nullptr) {
    try {
      // The bare form: what a re-insertion without the document-root
      // header reads back.
      WriteContent(*undoData_->archive(), kFormatOwnBlock, start, end, 0);
      return 1;
    } catch (const platform::CArchiveException&) {
    } catch (const platform::CFileException&) {
    }
  }
  // A fragment that could not be written whole would re-insert something
  // else on undo: the operation is logged without it.
  if (undoData_ != nullptr) undoData_->Reset();
  undoData_ = nullptr;
  feedback_.Cue(kCueWarning, 1, 2);
  return 0;
}

void CDocBunsObj::LogAfterEdit(int enable, int editType, const EditResult* result,
                               EditOpValue formatData) {
  if (enable == 0 || recording_ == 0) return;
  if (result != nullptr && result->changed == 0) return;
  const EditResult none;
  const EditResult& r = result != nullptr ? *result : none;
  // Where a deletion happened: what the undo puts back goes there, at the
  // character itself, not in the margin the free cursor may stand in.
  const CVedTextPos at = InTextZone(r.newCursor.IsEmpty() ? caret_ : r.newCursor);
  switch (editType) {
    case kEditTyped:
      editLog_.AddOperation(kUndoInserted, &r.rangeStart, &r.rangeEnd, nullptr, nullptr);
      return;
    case kEditConverted:
      editLog_.AddOperation(kUndoConverted, &r.rangeStart, &r.rangeEnd, &savedEditCaret_, nullptr);
      return;
    case kEditMovedIn:
      editLog_.AddOperation(kUndoMovedIn, &r.rangeStart, &r.rangeEnd, nullptr, nullptr);
      return;
    case kEditDelete:
    case kEditDeleteRow:
    case kEditDeleteTable:
      LogDeletion(kUndoDeleted, at);
      return;
    case kEditDeleteColumn:
      // The columns go back before the column that took their place, where
      // the deletion left the caret: at the start of its top cell. Not where
      // the caret stood before: that names a place in a cell that is gone,
      // and the cell now there may hold less text. After the last column
      // none took their place: they go back where the deletion left the
      // caret, on the table's right rule, or where the table stood when it
      // went with its only column.
      LogDeletion(kUndoDeleted, at);
      return;
    case kEditQuietDelete:
      LogDeletion(kUndoQuietDeleted, at);
      return;
    case kEditMoveSource:
      LogDeletion(kUndoMoveSource, at);
      return;
    case kEditTableAttributes:
      if (savedTableAttributes_.layout.placement != kNoTableAttributes) {
        editLog_.AddOperation(kUndoTableAttributes, &caret_, nullptr, nullptr, nullptr,
                              EditOpValue::Of(savedTableAttributes_));
      }
      return;
    case kEditColumnWidth:
      if (savedColumnWidth_ > 0) {
        editLog_.AddOperation(kUndoColumnWidth, &savedColumnCaret_, nullptr, &caret_, nullptr,
                              EditOpValue::Of(savedColumnWidth_));
      }
      return;
    case kEditCreateTable:
    case kEditInsertRow:
    case kEditInsertColumn:
      editLog_.AddOperation(kUndoInserted, &r.startAux, &r.endAux, nullptr, nullptr);
      return;
    default:
      break;
  }
  if (editType >= kEditFirstFormat && editType <= kEditLastFormat) {
    editLog_.AddOperation(kUndoFirstFormat + (editType - kEditFirstFormat), &r.rangeStart,
                          &r.rangeEnd, nullptr, nullptr, std::move(formatData));
  }
}

void CDocBunsObj::LogDeletion(int32_t kind, const CVedTextPos& at) {
  editLog_.AddOperation(kind, &at, nullptr, nullptr, undoData_);
  undoData_ = nullptr;
}

// ---- Deleting the selection

int CDocBunsObj::ApplyEditWithUndo(int enable, EditResult* out, int keepInObject, int editType) {
  if (out != nullptr) *out = EditResult{};
  if (CheckReadOnly() != 0 || !HasSelection()) return 0;
  const bool keep = keepInObject != 0 && replaying_ == 0 && KeepsCaretInObject();
  SaveBeforeEdit(enable, editType, kSaveRangeSelection);
  const CVedTextRange selected = SelectedContent();
  EditResult result;
  CDocObjContainer::DeleteRange(&selected.start, &selected.end, &result);
  ResetSelection(0);
  if (result.changed != 0) {
    caret_ = result.newCursor;
    SetCursor(&caret_);
    LogAfterEdit(enable, editType, &result);
    if (keep) KeepCaretInOwnChild(result);
  }
  if (out != nullptr) *out = result;
  return result.changed != 0 ? 1 : 0;
}

bool CDocBunsObj::KeepsCaretInObject() {
  CVedTextPos earlier;
  CVedTextPos later;
  OrderedSelection(earlier, later);
  if (earlier.pairs.empty() || later.pairs.empty() ||
      earlier.pairs.front().value != later.pairs.front().value) {
    return false;
  }
  const int32_t child = earlier.pairs.front().value;
  const int32_t type = Children().GetTypeAt(child);
  if (type == kObjectText) {
    if (caret_.pairs.empty() || Children().GetTypeAt(caret_.pairs.front().value) != kObjectText) {
      return false;
    }
    CVedTextPos childStart;
    return IsLastLine(&later) != 0 &&
           (IsAtLineMark(kSubKindEndOfText, &later) || IsLineStartKind(&later)) &&
           ChildEdgeOf(child, kMoveDocumentStart, &childStart) && !(childStart == earlier);
  }
  if (type == kObjectTable) return IsLastLine(&later) != 0 && IsFirstLine(&earlier) == 0;
  return false;
}

bool CDocBunsObj::ChildEdgeOf(int32_t child, int code, CVedTextPos* out) {
  CDocObject* object = Children().GetAt(child);
  const MoveParams still{0, 0, 1};
  if (object == nullptr || object->MoveCursor(code, &still, nullptr, out) != kMoveDone) {
    return false;
  }
  out->PrependPair(kTagChildIndex, child);
  return true;
}

void CDocBunsObj::KeepCaretInOwnChild(EditResult& result) {
  if (caret_.pairs.empty()) return;
  const int32_t child = caret_.pairs.front().value;
  CVedTextPos end;
  if (!Children().IsValid(child + 1) || !ChildEdgeOf(child, kMoveDocumentEnd, &end)) return;
  ++result.changed;
  caret_ = end;
  result.newCursor = end;
  SetCursor(&caret_);
}

// ---- Selection anchors

void CDocBunsObj::SaveSelectionAnchors() {
  ForgetSelectionAnchors();
  if (!HasSelection()) return;
  CVedTextPos earlier;
  CVedTextPos later;
  OrderedSelection(earlier, later);
  for (CVedAnchor& anchor : selectionAnchors_) {
    anchor = CVedAnchor{};
    anchor.SetValue(kAnchorChar);
    anchor.SetValue2(0);
  }
  anchorsSet_[0] = SetAnchor(kAnchorChar, &selectionAnchors_[0], &earlier) != 0;
  if (!(later == earlier)) {
    anchorsSet_[1] = SetAnchor(kAnchorChar, &selectionAnchors_[1], &later) != 0;
  }
}

int CDocBunsObj::RestoreSelectionAnchors(int saved, int apply) {
  if (saved == 0) {
    ForgetSelectionAnchors();
    return 0;
  }
  // The anchors now stand wherever the edit moved their characters.
  std::array<std::optional<CVedTextPos>, 2> found;
  const CVedTextPos* from = nullptr;
  int next = 0;
  for (CVedAnchor* anchor = FindAnchor(kAnchorChar, from, next); anchor != nullptr;
       anchor = FindAnchor(kAnchorChar, from, next)) {
    for (size_t i = 0; i < found.size(); ++i) {
      if (anchor == &selectionAnchors_[i]) found[i] = anchor->position;
    }
    anchorSearch_ = anchor->position;
    from = &anchorSearch_;
    next = 1;
  }
  const bool resolved =
      anchorsSet_[0] && found[0].has_value() && (!anchorsSet_[1] || found[1].has_value());
  ForgetSelectionAnchors();
  if (!resolved) return 0;
  if (apply != 0 && HasSelection()) {
    const CVedTextPos& earlier = *found[0];
    const CVedTextPos& later = found[1] ? *found[1] : *found[0];
    const bool caretFirst = selectionOrder_ < 0;
    selectionCaretEnd_ = caretFirst ? earlier : later;
    selectionAnchorEnd_ = caretFirst ? later : earlier;
  }
  return 1;
}

bool CDocBunsObj::InSameText(const CVedTextPos& a, const CVedTextPos& b) {
  // A text's positions share the steps down to it; the last three are its
  // own (paragraph, line, character), and the free-cursor place may be
  // given or not.
  constexpr size_t kTextOwnSteps = 3;
  auto steps = [](const CVedTextPos& p) {
    std::vector<PosPair> down;
    if (p.pairs.size() < kTextOwnSteps) return down;
    std::copy_if(p.pairs.begin(), p.pairs.end() - kTextOwnSteps, std::back_inserter(down),
                 [](const PosPair& pair) { return pair.tag != kTagFreeCursor; });
    return down;
  };
  return a.pairs.size() >= kTextOwnSteps && steps(a) == steps(b);
}

bool CDocBunsObj::StepCharacter(int code, const CVedTextPos& from, CVedTextPos* out) {
  // With the free cursor on, a step off a line's end walks its margin
  // first; the character beyond is what is wanted here.
  auto inMargin = [](const CVedTextPos& p) { return !(InTextZone(p) == p); };
  CVedTextPos at = from;
  for (int i = 0; i < kMarginWalkLimit; ++i) {
    if (!ProbeMove(code, &at, out) || *out == at) return false;
    if (!inMargin(*out)) return true;
    at = *out;
  }
  return false;
}

CVedTextPos CDocBunsObj::InTextZone(const CVedTextPos& pos) {
  constexpr size_t kPlaceFromEnd = 5;  // zone, offset, then the text's own three
  CVedTextPos text = pos;
  if (text.pairs.size() >= kPlaceFromEnd &&
      text.pairs[text.pairs.size() - kPlaceFromEnd].tag == kTagFreeCursor) {
    text.pairs[text.pairs.size() - kPlaceFromEnd].value = kZoneText;
    text.pairs[text.pairs.size() - kPlaceFromEnd + 1].value = 0;
  }
  return text;
}

void CDocBunsObj::MarkInsertionPoint(InsertionMark& mark, const CVedTextPos* following,
                                     const CVedTextPos* at) {
  CVedTextPos raw;
  if (at != nullptr) {
    raw = *at;
  } else {
    GetCursor(&raw);
  }
  // A cursor in a line's margin types at the line's end: what goes in
  // stands before the character there, blanks first. One below a cell's
  // text types at that text's end.
  CVedTextPos cursor = InTextZone(raw);
  CVedTextPos cellTextEnd;
  if (CellTextEndBelowCaret(raw, &cellTextEnd)) cursor = cellTextEnd;
  mark.hasBefore = StepInOwnText(kMovePrevChar, cursor, &mark.before);
  mark.beforeSet = mark.hasBefore && AttachCharAnchor(mark.beforeAnchor, mark.before);
  mark.set = AttachCharAnchor(mark.anchor, following != nullptr ? *following : cursor);
  const auto* table = Children().GetCurrentType() == kObjectTable
                          ? dynamic_cast<const CTableObject*>(Children().GetCurrent())
                          : nullptr;
  mark.table = table;
  mark.rows = table != nullptr ? table->Rows() : 0;
  mark.columns = table != nullptr ? table->Columns() : 0;
}

bool CDocBunsObj::AttachCharAnchor(CVedAnchor& anchor, const CVedTextPos& at) {
  anchor = CVedAnchor{};
  anchor.SetValue(kAnchorChar);
  anchor.SetValue2(0);
  return SetAnchor(kAnchorChar, &anchor, &at) != 0;
}

void CDocBunsObj::ForgetInsertionMark(InsertionMark& mark) {
  if (mark.beforeSet) DetachAnchor(mark.beforeAnchor, &mark.before);
  if (mark.set) DetachAnchor(mark.anchor, mark.hasBefore ? &mark.before : nullptr);
  mark.beforeSet = false;
  mark.set = false;
}

void CDocBunsObj::NarrowToInserted(InsertionMark& mark, EditResult& result) {
  // The character before the insertion point can go with it: a text split
  // at the insertion point takes the paragraph end there away. What went
  // in then begins where the insertion reports.
  bool beforeLost = false;
  if (mark.beforeSet) {
    mark.beforeSet = false;
    if (const std::optional<CVedTextPos> again = DetachAnchor(mark.beforeAnchor, &mark.before)) {
      mark.before = *again;
    } else {
      beforeLost = true;
    }
  }
  std::optional<CVedTextPos> found;
  if (mark.set) {
    mark.set = false;
    // The mark lies after the character before the insertion point; a
    // search from the document's start would cost every keystroke the
    // whole document.
    const CVedTextPos& searchFrom = mark.hasBefore ? mark.before : result.rangeStart;
    found = DetachAnchor(mark.anchor, searchFrom.IsEmpty() ? nullptr : &searchFrom);
  }
  // Rows put in from the rules (after the last row, say) have no
  // character to carry the mark and are recorded all the same.
  if (InsertedTableStructure(mark, result)) {
    // Taking them back deletes from rule to rule; a range that ended
    // anywhere else would take other rows or columns away.
    result.rangeStart = result.startAux;
    result.rangeEnd = result.endAux;
    return;
  }
  // Cells an undo filled again are named from the first one's start to
  // the last one's end; the characters around the insertion point lie in
  // the first cell alone.
  if (InCellText(Describe(&result.rangeStart)) && InCellText(Describe(&result.rangeEnd)) &&
      !InSameText(result.rangeStart, result.rangeEnd)) {
    return;
  }
  if (!found) return;
  const CVedTextPos following = *found;
  CVedTextPos first;
  CVedTextPos last;
  const bool anyBefore = StepInOwnText(kMovePrevChar, following, &last) ||
                         StepCharacter(kMovePrevChar, following, &last);
  // The characters around the insertion point are still neighbours, or
  // nothing stands before the character that followed it: what was read
  // (a text's end mark alone) brought nothing.
  mark.broughtNothing = mark.hasBefore ? anyBefore && last == mark.before : !anyBefore;
  if (!anyBefore) return;
  EndBeforeEmptyTableStart(result, following, last);
  if (beforeLost) {
    if (result.rangeStart.IsEmpty()) return;
    first = result.rangeStart;
  } else if (mark.hasBefore) {
    if (!StepInOwnText(kMoveNextChar, mark.before, &first) &&
        !StepCharacter(kMoveNextChar, mark.before, &first)) {
      return;
    }
  } else {
    // Nothing stood before the insertion point in its text: what went in
    // starts the text. In a cell that is the start of the cell's text
    // whatever the changed range says: a table whose row grew reports it
    // from its rules, and a cell that read a stored fragment back reports
    // its cursor after it; nothing else of the table may be taken back
    // with it. Cells refilled after text that went in before their table
    // (an undo of a deletion from the text into the table) belong to the
    // range that began in that text.
    first = result.rangeStart;
    CVedTextPos cellStart;
    const bool fromChildBefore = !first.pairs.empty() && !last.pairs.empty() &&
                                 first.pairs.front().value < last.pairs.front().value;
    if (!fromChildBefore && CellTextStart(last, &cellStart)) first = cellStart;
    if (!fromChildBefore && !InSameText(first, last)) return;
  }
  if (ComparePositions(&first, &last) == kCompareAfter) return;
  result.rangeStart = first;
  result.rangeEnd = last;
}

void CDocBunsObj::EndBeforeEmptyTableStart(const EditResult& result, const CVedTextPos& following,
                                           CVedTextPos& last) {
  if (last.pairs.empty() || following.pairs.empty() || result.rangeStart.pairs.empty()) return;
  const int32_t table = last.pairs.front().value;
  const int32_t text = table - 1;
  if (following.pairs.front().value != table || result.rangeStart.pairs.front().value != text ||
      Children().GetTypeAt(text) != kObjectText || !InCellText(Describe(&following)) ||
      !OnTableRules(Describe(&last))) {
    return;
  }
  CVedTextPos textEnd;
  if (ChildEdgeOf(text, kMoveDocumentEnd, &textEnd)) last = textEnd;
}

void CDocBunsObj::TakeInParagraphEndBefore(EditResult& result) {
  const CVedTextPos& start = result.rangeStart;
  const CVedTextPos& end = result.rangeEnd;
  if (result.changed == 0 || start.pairs.empty() || end.pairs.empty() ||
      start.pairs.front().value >= end.pairs.front().value ||
      Children().GetTypeAt(start.pairs.front().value) != kObjectText) {
    return;
  }
  CVedTextPos paragraphStart;
  CVedTextPos before;
  if (!ProbeMove(kMoveParagraphStart, &start, &paragraphStart) ||
      !(InTextZone(paragraphStart) == InTextZone(start)) ||
      !StepInOwnText(kMovePrevChar, start, &before)) {
    return;
  }
  result.rangeStart = before;
}

bool CDocBunsObj::InsertedTableStructure(const InsertionMark& mark, const EditResult& result) {
  const CVedTextPos& start = result.startAux;
  const CVedTextPos& end = result.endAux;
  if (start.pairs.empty() || end.pairs.empty() || start == end ||
      !(start.pairs.front() == end.pairs.front())) {
    return false;
  }
  if (!OnTableRules(Describe(&start)) || !OnTableRules(Describe(&end))) return false;
  // A row that grew with the text typed into its cell is reported from
  // rule to rule as well.
  const auto* table =
      dynamic_cast<const CTableObject*>(Children().GetAt(start.pairs.front().value));
  return table != nullptr &&
         (table != mark.table || table->Rows() != mark.rows || table->Columns() != mark.columns);
}

bool CDocBunsObj::CellTextStart(const CVedTextPos& in, CVedTextPos* out) {
  return MoveInCellText(kMoveDocumentStart, in, out);
}

bool CDocBunsObj::MoveInCellText(int code, const CVedTextPos& in, CVedTextPos* out) {
  const StrippedPath inChild = PopChildIndex(&in, 0);
  CTableOperations* table =
      Children().GetTypeAt(inChild.step.value) == kObjectTable
          ? dynamic_cast<CTableOperations*>(Children().GetAt(inChild.step.value))
          : nullptr;
  CDocObject* cell = table != nullptr ? table->GetCellContentAt(inChild.RestOrNull()) : nullptr;
  const MoveParams still{0, 0, 1};
  CVedTextPos start;
  if (cell == nullptr ||
      cell->MoveCursor(kMoveDocumentStart, &still, nullptr, &start) != kMoveDone) {
    return false;
  }
  // The steps down to the cell's text, then the text's own steps.
  if (in.pairs.size() <= start.pairs.size()) return false;
  const size_t down = in.pairs.size() - start.pairs.size();
  CVedTextPos moved = start;
  if (code != kMoveDocumentStart) {
    CVedTextPos from;
    for (size_t i = down; i < in.pairs.size(); ++i) from.Append(in.pairs[i]);
    if (cell->MoveCursor(code, &still, &from, &moved) != kMoveDone || moved == from) return false;
  }
  CVedTextPos path;
  for (size_t i = 0; i < down; ++i) path.Append(in.pairs[i]);
  for (const PosPair& pair : moved.pairs) path.Append(pair);
  *out = path;
  return true;
}

bool CDocBunsObj::CellTextEndBelowCaret(const CVedTextPos& caret, CVedTextPos* out) {
  // The caret there names the cell's grid area, its index among the
  // cell's children and its two free-cursor steps; the text is the cell's
  // first child.
  constexpr size_t kGridSteps = 3;
  const ObjectDescription d = Describe(&caret);
  if (!InCellText(d) || d[InCellSlot(kDescType)] != kObjectGridArea ||
      caret.pairs.size() <= kGridSteps) {
    return false;
  }
  const StrippedPath inChild = PopChildIndex(&caret, 0);
  auto* table = Children().GetTypeAt(inChild.step.value) == kObjectTable
                    ? dynamic_cast<CTableOperations*>(Children().GetAt(inChild.step.value))
                    : nullptr;
  CDocObject* text = table != nullptr ? table->GetCellContentAt(inChild.RestOrNull()) : nullptr;
  const MoveParams still{0, 0, 1};
  CVedTextPos end;
  if (text == nullptr || text->MoveCursor(kMoveDocumentEnd, &still, nullptr, &end) != kMoveDone) {
    return false;
  }
  CVedTextPos path;
  for (size_t i = 0; i < caret.pairs.size() - kGridSteps; ++i) path.Append(caret.pairs[i]);
  path.Append(PosPair{kTagChildIndex, 0});
  for (const PosPair& pair : end.pairs) path.Append(pair);
  *out = path;
  return true;
}

bool CDocBunsObj::StepInOwnText(int code, const CVedTextPos& from, CVedTextPos* out) {
  if (StepCharacter(code, from, out) && InSameText(*out, from)) return true;
  // The cell's text has margin columns of its own to pass over.
  CVedTextPos at = from;
  for (int i = 0; i < kMarginWalkLimit; ++i) {
    if (!MoveInCellText(code, at, out) || !InSameText(*out, from)) return false;
    if (InTextZone(*out) == *out) return true;
    at = *out;
  }
  return false;
}

std::optional<CVedTextPos> CDocBunsObj::DetachAnchor(CVedAnchor& anchor, const CVedTextPos* from) {
  CVedAnchor* found = FindAnchor(kAnchorChar, from, 0);
  while (found != nullptr && found != &anchor) {
    anchorSearch_ = found->position;
    found = FindAnchor(kAnchorChar, &anchorSearch_, 1);
  }
  if (found == nullptr) return std::nullopt;
  const CVedTextPos at = found->position;
  anchorSearch_ = at;
  SetAnchor(kAnchorChar, nullptr, &anchorSearch_);
  return at;
}

void CDocBunsObj::ForgetSelectionAnchors() {
  for (size_t i = 0; i < selectionAnchors_.size(); ++i) {
    if (!anchorsSet_[i]) continue;
    // A character that still carries the anchor lets go of it.
    DetachAnchor(selectionAnchors_[i], nullptr);
    anchorsSet_[i] = false;
  }
}

// ---- Default character format

void CDocBunsObj::BuildDefaultCharFormat(const PageFormat& format, CharFormat& out) {
  out = CharFormat{};
  std::copy(std::begin(format.face), std::end(format.face), std::begin(out.face));
  out.size = format.fontSize;
  out.heightScale = format.heightScale;
  out.widthScale = format.widthScale;
  out.bold = format.bold;
  out.italic = format.italic;
  out.mask = -1;
  out.color = 0;
  out.placement = 0;
}

// ---- Position predicates

ObjectDescription CDocBunsObj::Describe(const CVedTextPos* pos) {
  ObjectDescription description{};
  GetKindAt(pos != nullptr ? pos : &caret_, &description);
  return description;
}

bool CDocBunsObj::IsTextPosition(const CVedTextPos* pos) {
  const ObjectDescription d = Describe(pos);
  return d[kDescType] == kObjectText || InCellText(d);
}

bool CDocBunsObj::IsAtLineMark(int32_t subKind, const CVedTextPos* pos) {
  const ObjectDescription d = Describe(pos);
  return (d[kDescType] == kObjectText && d[kDescSubKind] == subKind) || InCellTextPart(d, subKind);
}

bool CDocBunsObj::IsLineStartKind(const CVedTextPos* pos) {
  const ObjectDescription d = Describe(pos);
  return d[kDescType] == kObjectGridArea ||
         (d[kDescType] == kObjectText && d[kDescSubKind] == kSubKindMarginLine) ||
         (d[kDescType] == kObjectTable && d[kDescSubKind] == kSubKindBesideTable) ||
         OnEmptyTableLine(d) || InCellTextPart(d, kSubKindMarginLine);
}

int CDocBunsObj::ClassifyLinePosition(const CVedTextPos* pos) {
  const ObjectDescription d = Describe(pos);
  if (d[kDescType] == kObjectGridArea || OnEmptyTableLine(d)) return kLineClassEmpty;
  if (d[kDescType] == kObjectText && d[kDescSubKind] == kSubKindMarginLine) {
    return d[kDescPlace] == kPlaceRightMargin ? kLineClassRight : kLineClassPlain;
  }
  if (d[kDescType] == kObjectTable && d[kDescSubKind] == kSubKindBesideTable) {
    return d[kDescPlace] == kPlaceRightOfTable ? kLineClassRight : kLineClassPlain;
  }
  if (InCellTextPart(d, kSubKindMarginLine)) {
    return d[InCellSlot(kDescPlace)] == kPlaceRightMargin ? kLineClassRight : kLineClassPlain;
  }
  return 0;
}

bool CDocBunsObj::IsLineEndMark(const CVedTextPos* pos) {
  const ObjectDescription d = Describe(pos);
  return (d[kDescType] == kObjectText && d[kDescSubKind] == kSubKindMarginLine &&
          d[kDescArea] == kAreaIndent) ||
         (InCellTextPart(d, kSubKindMarginLine) && d[InCellSlot(kDescArea)] == kAreaIndent);
}

bool CDocBunsObj::RefusesRead(int mode, const CVedTextPos* pos) {
  const ObjectDescription d = Describe(pos);
  if (d[kDescType] == kObjectTable && d[kDescSubKind] == kSubKindBesideTable) return true;
  int32_t margin = 0;
  if (d[kDescType] == kObjectText && d[kDescSubKind] == kSubKindMarginLine) {
    margin = d[kDescPlace];
  } else if (InCellTextPart(d, kSubKindMarginLine)) {
    margin = d[InCellSlot(kDescPlace)];
  } else {
    return false;
  }
  return (margin == kPlaceLeftMargin && mode == kRefuseLeftMargin) ||
         (margin == kPlaceRightMargin && IsLineEndMark(pos));
}

bool CDocBunsObj::IsTallTableLine(const CVedTextPos* pos) {
  const CVedTextPos& at = pos != nullptr ? *pos : caret_;
  return IsTextPosition(&at) && ClassifyLinePosition(&at) == kLineClassPlain &&
         HasTallTableLine(&at, &at, -1) != 0;
}

bool CDocBunsObj::IsAtUnitStart(const CVedTextPos* pos) {
  const CVedTextPos& at = pos != nullptr ? *pos : caret_;
  CVedTextPos lineStart;
  return IsLastLine(&at) != 0 && ProbeMove(kMoveLineStart, &at, &lineStart) &&
         IsAtLineMark(kSubKindEndOfText, &lineStart);
}

bool CDocBunsObj::IsAtEndOfCellText(const CVedTextPos* pos, int flag) {
  const CVedTextPos& at = pos != nullptr ? *pos : caret_;
  CVedTextPos end;
  if (at.pairs.empty() || !ChildEdgeOf(at.pairs.front().value, kMoveDocumentEnd, &end))
    return false;
  if (end == at) return true;
  return flag != 0 && ComparePositions(&at, &end) != kCompareBefore;
}

bool CDocBunsObj::CanInsertAtCaret() {
  if (!HasSelection()) return true;
  return IsTextPosition() &&
         !(Describe(nullptr)[kDescType] == kObjectTable && GetSelectionUnit(1, 1) != 1);
}

int CDocBunsObj::CheckReadOnly() {
  if (readOnly_ != 0) feedback_.Cue(kCueRefused, 1, 2);
  return readOnly_;
}

bool CDocBunsObj::IsKeyWaiting() {
  platform::MSG msg;
  return platform::PeekMessage(&msg, platform::kNoWindow, platform::WM_KEYDOWN,
                               platform::WM_KEYDOWN, platform::PM_NOREMOVE);
}
