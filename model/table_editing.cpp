// The table's caret moves and hit tests. A move first goes to the cell
// under the caret; only when the cell reaches its edge (or for the moves
// that belong to the table as a whole) does the table carry it on: from
// cell to cell when the ruled lines are not lines of their own, else onto
// the ruled-line grid and along it.
#include <algorithm>
#include <array>
#include <cstring>
#include <exception>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "model/renderer.h"
#include "model/table_object.h"
#include "model/text_navigator.h"
#include "model/texts.h"
#include "platform/file.h"

namespace {

// Commands of the table as a whole (besides the text moves of its cells).
constexpr int kMoveLineStartAtTop = 21;  // start of the line at the caret top's height
constexpr int kMoveLineEndAtTop = 22;    // end of that line
constexpr int kMoveEnterCell = 1025;
constexpr int kMoveNextCell = 1026;
constexpr int kMovePrevCell = 1027;
constexpr int kMoveRowStartCorner = 1281;
constexpr int kMoveRowEndCorner = 1282;
constexpr int kMoveColumnTopCorner = 1297;
constexpr int kMoveColumnBottomCorner = 1298;
constexpr int kMoveCellTopCorner = 1313;
constexpr int kMoveCellBottomCorner = 1314;

constexpr int kRectLineBox = 3;

// Moves the table carries out itself even when the caret is in a cell. The
// last line's start is one of them: it is how a move back from below
// enters the table, wherever its caret was left.
bool IsTableWideMove(int command) {
  switch (command) {
    case kMoveDocumentStart:
    case kMoveDocumentEnd:
    case kMoveFirstLineAtX:
    case kMoveLastLineAtX:
    case kMoveLastLineStart:
    case kMoveNextCell:
    case kMovePrevCell:
    case kMoveRowStartCorner:
    case kMoveRowEndCorner:
    case kMoveColumnTopCorner:
    case kMoveColumnBottomCorner:
    case kMoveCellTopCorner:
    case kMoveCellBottomCorner:
      return true;
    default:
      return false;
  }
}

// Moves that start wherever they start, whatever the from-position says.
bool IgnoresFrom(int command) {
  return command == kMoveDocumentStart || command == kMoveDocumentEnd ||
         (command >= kMoveFirstLineAtX && command <= kMoveLastWordStart);
}

// Moves after which a caret in a cell keeps its caret top, so that the
// next move up or down starts from the line it came from.
bool KeepsCaretTop(int command) {
  switch (command) {
    case kMovePrevChar:
    case kMoveNextChar:
    case kMoveLineStart:
    case kMoveLineEnd:
    case kMoveLineStartAtTop:
    case kMoveLineEndAtTop:
      return true;
    default:
      return false;
  }
}

bool IsEdge(int answer) { return answer != kMoveDone && answer != kMoveFailed; }

TableCaret Cell(int32_t row, int32_t column) { return {kCaretInCell, row, column, 0, 0}; }
TableCaret Grid(int32_t row, int32_t column, int32_t x, int32_t y) {
  return {kCaretOnGrid, row, column, x, y};
}

}  // namespace

int32_t CTableObject::LineTopOf(const TableCaret& pos) const {
  if (pos.mode == kCaretInCell) {
    CTableCellObj* cell = CellOf(pos.column, pos.row);
    if (cell == nullptr) return 0;
    platform::RECT line{};
    cell->GetPositionRect(&line, kRectLineBox, nullptr, nullptr);
    return GetCellRect(pos.column, pos.row).top + line.top;
  }
  const int32_t row = std::clamp(pos.row, 0, std::max(0, rows_ - 1));
  int32_t top = RowTop(row);
  if (pos.y <= 0 || rows_ == 0) return top;
  if (row == rows_ - 1 && pos.y >= RowSpan(row)) return top + ruleHeight_ + rowHeights_[row];
  return top + ruleHeight_ + (pos.y - 1) * LinePitch();
}

CTableObject::CellMove CTableObject::GridMove(int32_t row, int32_t column, int32_t x,
                                              int32_t y) const {
  CellMove move;
  move.pos = TableCaret{kCaretOnGrid, row, column, x, y};
  return move;
}

int32_t CTableObject::CellInReadingOrder(int32_t index, int step) const {
  const int32_t count = rows_ * columns_;
  if (index < 0 || index >= count) return -1;
  const int32_t object = records_[static_cast<size_t>(index)].objectIndex;
  for (int32_t i = index + step; i >= 0 && i < count; i += step) {
    const TableCellRecord& record = records_[static_cast<size_t>(i)];
    if (record.objectIndex == object || (record.flags & (kJoinedAbove | kJoinedLeft)) != 0) {
      continue;
    }
    return i;
  }
  return -1;
}

int CTableObject::MoveToCellLine(int32_t column, int32_t row, bool atStart,
                                 const MoveParams& params, CellMove* out) {
  CTableCellObj* cell = CellOf(column, row);
  if (cell == nullptr) return kMoveFailed;
  CVedTextPos line;
  if (cell->PositionFromPoint(0, nullptr, 0, ClampIntoCell(column, row, 1, caretTop_), &line) !=
      0) {
    return kMoveFailed;
  }
  CellMove move;
  move.pos = TableCaret{kCaretInCell, row, column, 0, 0};
  move.x = params.value;
  const MoveParams cellParams{params.setCursor, 0, params.wrap};
  const int answer =
      cell->MoveCursor(atStart ? kMoveLineStart : kMoveLineEnd, &cellParams, &line, &move.cellPath);
  if (out != nullptr) *out = move;
  return answer;
}

int CTableObject::MoveToFixedPlace(int command, const MoveParams& params, CellMove* out) {
  const int32_t row = std::clamp(caret_.row, 0, rows_ - 1);
  const int32_t column = std::clamp(caret_.column, 0, columns_ - 1);
  const int32_t lastRow = rows_ - 1;
  auto belowRow = [&](int32_t c, int32_t x) {
    return row < lastRow ? GridMove(row + 1, c, x, 0) : GridMove(lastRow, c, x, RowSpan(lastRow));
  };
  const bool grid = ruleGrid_ != 0;
  switch (command) {
    case kMoveParagraphStart:
    case kMoveParagraphEnd:
      *out = CellMove{caret_, CVedTextPos{}, params.value};
      if (caret_.mode == kCaretInCell && CellOf(caret_.column, caret_.row) != nullptr) {
        CellOf(caret_.column, caret_.row)->GetCursor(&out->cellPath);
      }
      return kMoveDone;
    case kMoveRowStartCorner:
      *out = GridMove(row, 0, 0, 0);
      return kMoveDone;
    case kMoveCellTopCorner:
      *out = GridMove(row, column, 0, 0);
      return kMoveDone;
    case kMoveRowEndCorner:
      *out = belowRow(columns_ - 1, ColumnSpan(columns_ - 1));
      return kMoveDone;
    case kMoveCellBottomCorner:
      *out = belowRow(column, ColumnSpan(column));
      return kMoveDone;
    case kMoveColumnTopCorner:
      *out = GridMove(0, column, 0, 0);
      return kMoveDone;
    case kMoveColumnBottomCorner:
      *out = GridMove(lastRow, column, ColumnSpan(column), RowSpan(lastRow));
      return kMoveDone;
    case kMoveDocumentStart:
      if (grid) *out = GridMove(0, 0, 0, 0);
      return grid ? kMoveDone : MoveToFirstCell(params, out);
    case kMoveDocumentEnd:
      if (grid) *out = CellMove{GridEnd(), CVedTextPos{}, params.value};
      return grid ? kMoveDone : MoveToLastCell(params, out);
    case kMoveFirstLineAtX:
    case kMoveLastLineAtX: {
      const bool top = command == kMoveFirstLineAtX;
      const GridPoint at = PointToGrid(params.value, 0);
      if (grid) {
        *out = top ? GridMove(0, at.column, at.x, 0)
                   : GridMove(lastRow, at.column, at.x, RowSpan(lastRow));
        out->x = params.value;
        return kMoveDone;
      }
      const int32_t c = std::min(at.column, columns_ - 1);
      return top ? MoveToColumnTop(c, params, out) : MoveToColumnBottom(c, params, out);
    }
    case kMoveLastLineStart:
      if (grid) *out = CellMove{LastRowEnd(), CVedTextPos{}, params.value};
      return grid ? kMoveDone : MoveToLastRowStart(params, out);
    case kMovePrevLineStart:
    case kMovePrevParagraph:
    case kMovePrevWord:
      return MoveBackThroughCells(command, params, out);
    case kMoveNextParagraph:
    case kMoveNextWord:
      return MoveOnThroughCells(command, params, out);
    case kMoveNextCell:
    case kMovePrevCell: {
      const bool next = command == kMoveNextCell;
      int32_t index = -1;
      if (caret_.mode == kCaretInCell) {
        index = CellInReadingOrder(row * columns_ + column, next ? 1 : -1);
      } else {
        index = next ? NextCellPosition(caret_.column, caret_.row, caret_.x, caret_.y)
                     : PreviousCellPosition(caret_.column, caret_.row, caret_.x, caret_.y);
      }
      if (index < 0) return next ? kMoveAfterEnd : kMoveBeforeStart;
      return MoveInCell(index % columns_, index / columns_, kMoveDocumentStart, params, out);
    }
    default:
      return kMoveFailed;
  }
}

int CTableObject::MoveAcrossCells(int command, const MoveParams& params, CellMove* out) {
  int32_t column = caret_.column;
  int32_t row = caret_.row;
  const int32_t here = row * columns_ + column;
  switch (command) {
    case kMovePrevChar: {
      const int32_t index = CellInReadingOrder(here, -1);
      if (index < 0) return kMoveBeforeStart;
      return MoveInCell(index % columns_, index / columns_, kMoveDocumentEnd, params, out);
    }
    case kMoveNextChar:
    case kMoveNextLineStart: {
      const int32_t index = CellInReadingOrder(here, 1);
      if (index < 0) return kMoveAfterEnd;
      return MoveInCell(index % columns_, index / columns_, kMoveDocumentStart, params, out);
    }
    case kMoveLineUp:
      if (FindNeighbourCell(1, &column, &row) < 0) return kMoveBeforeStart;
      return MoveInCell(column, row, kMoveLastLineAtX, params, out);
    case kMoveLineDown:
      if (FindNeighbourCell(2, &column, &row) < 0) return kMoveAfterEnd;
      return MoveInCell(column, row, kMoveFirstLineAtX, params, out);
    case kMoveLineStartAtTop:
      return MoveToCellLine(0, row, true, params, out);
    case kMoveLineEndAtTop:
      return MoveToCellLine(columns_ - 1, row, false, params, out);
    default:
      return MoveToFixedPlace(command, params, out);
  }
}

int CTableObject::MoveOutOfCell(int command, const MoveParams& params, CellMove* out) {
  int32_t first = caret_.column;
  int32_t top = caret_.row;
  FindCellEdge(3, &first, &top);
  int32_t last = caret_.column;
  int32_t bottom = caret_.row;
  FindCellEdge(4, &last, &bottom);
  FindCellEdge(2, &last, &bottom);
  FindCellEdge(1, &first, &top);
  const GridPoint line = PointToGrid(ColumnLeft(first), caretTop_);
  const GridPoint at = PointToGrid(params.value, caretTop_);
  switch (command) {
    case kMovePrevChar:
      *out = GridMove(line.row, first, 0, line.y);
      return kMoveDone;
    case kMoveNextChar:
      *out = last + 1 < columns_ ? GridMove(line.row, last + 1, 0, line.y)
                                 : GridMove(line.row, last, ColumnSpan(last), line.y);
      return kMoveDone;
    case kMoveLineUp:
      *out = GridMove(top, at.column, at.x, 0);
      break;
    case kMoveLineDown:
      *out = bottom + 1 < rows_ ? GridMove(bottom + 1, at.column, at.x, 0)
                                : GridMove(bottom, at.column, at.x, RowSpan(bottom));
      break;
    case kMoveNextLineStart:
    case kMoveLineStartAtTop:
    case kMoveLineEndAtTop:
      return MoveAcrossCells(command, params, out);
    default:
      return MoveToFixedPlace(command, params, out);
  }
  out->x = params.value;
  return kMoveDone;
}

int CTableObject::MoveOnGrid(int command, const MoveParams& params, CellMove* out) {
  const TableCaret c = caret_;
  const int32_t margin = Pitch() > 0 ? leftOffset_ / Pitch() : 0;
  const int32_t lastRow = rows_ - 1;
  const int32_t endColumn = ColumnSpan(columns_) < 0 ? columns_ - 1 : columns_;
  const bool onRule = IsOnHorizontalLine(c.row, c.y);
  const bool vertical = IsOnVerticalLine(c.column, c.x);
  const bool onVertical = !onRule && vertical;  // at a text line
  const bool inMargin = c.x < 0 || c.column >= columns_;
  const bool rightRule = c.column == columns_ - 1 && c.x == ColumnSpan(c.column);
  auto lineAbove = [&](int32_t column, int32_t x) {
    return c.y > 0 ? GridMove(c.row, column, x, c.y - 1)
                   : GridMove(c.row - 1, column, x, RowSpan(c.row - 1));
  };
  auto lineBelow = [&](int32_t column, int32_t x) {
    return c.y < RowSpan(c.row) ? GridMove(c.row, column, x, c.y + 1)
                                : GridMove(c.row + 1, column, x, 0);
  };
  const bool atTop = c.row == 0 && c.y == 0;
  const bool atBottom = c.row == lastRow && c.y >= RowSpan(lastRow);
  switch (command) {
    case kMovePrevChar:
      if (onVertical && c.column == 0 && c.x == 0 && margin > 0) {
        *out = GridMove(c.row, 0, -1, c.y);
      } else if (onVertical && !(c.column == 0 && c.x == 0)) {
        return MoveToCellLine(rightRule ? c.column : c.column - 1, c.row, false, params, out);
      } else if (c.column == 0 && c.x <= -margin) {
        if (atTop) return kMoveBeforeStart;
        *out = lineAbove(endColumn, ColumnSpan(endColumn));
      } else if (c.x > 0 || c.column == 0) {
        *out = GridMove(c.row, c.column, c.x - 1, c.y);
      } else {
        *out = GridMove(c.row, c.column - 1, ColumnSpan(c.column - 1), c.y);
      }
      return kMoveDone;
    case kMoveNextChar:
      if (onVertical && !rightRule && c.column < columns_) {
        return MoveToCellLine(c.column, c.row, true, params, out);
      }
      if (c.column == endColumn && c.x >= ColumnSpan(endColumn)) {
        if (atBottom) return kMoveAfterEnd;
        *out = lineBelow(0, -margin);
      } else if (c.x < ColumnSpan(c.column)) {
        *out = GridMove(c.row, c.column, c.x + 1, c.y);
      } else {
        *out = GridMove(c.row, c.column + 1, 0, c.y);
      }
      return kMoveDone;
    case kMoveLineUp:
      if (atTop) return kMoveBeforeStart;
      if (vertical || inMargin || !onRule) {
        *out = lineAbove(c.column, c.x);
        out->x = params.value;
        return kMoveDone;
      }
      return MoveInCell(c.column, c.y == 0 ? c.row - 1 : c.row, kMoveLastLineAtX, params, out);
    case kMoveLineDown:
      if (atBottom) return kMoveAfterEnd;
      if (vertical || inMargin || !onRule) {
        *out = lineBelow(c.column, c.x);
        out->x = params.value;
        return kMoveDone;
      }
      return MoveInCell(c.column, c.row, kMoveFirstLineAtX, params, out);
    case kMoveLineStart:
      *out = GridMove(c.row, 0, 0, c.y);
      return kMoveDone;
    case kMoveLineEnd:
      *out = GridMove(c.row, columns_ - 1, ColumnSpan(columns_ - 1), c.y);
      return kMoveDone;
    case kMoveNextLineStart:
      return MoveToFixedPlace(kMoveNextCell, params, out);
    case kMoveLineStartAtTop:
      *out = GridMove(c.row, 0, -margin, c.y);
      return kMoveDone;
    case kMoveLineEndAtTop:
      *out = GridMove(c.row, endColumn, ColumnSpan(endColumn), c.y);
      return kMoveDone;
    default:
      return MoveToFixedPlace(command, params, out);
  }
}

int CTableObject::MoveCursor(int command, const MoveParams* params, const CVedTextPos* from,
                             CVedTextPos* out) {
  if (IsEmpty() != 0) return kMoveFailed;
  const MoveParams given = params != nullptr ? *params : MoveParams{1, 0, 1};
  const bool cellsWrap =
      ruleGrid_ == 0 || (renderer_ != nullptr && renderer_->WrapSwitchesBothOn());
  const MoveParams p{given.setCursor, given.value, cellsWrap ? 1 : 0};
  const TableCaret savedCaret = caret_;
  const int32_t savedTop = caretTop_;
  CVedTextPos savedCellCursor;
  CTableCellObj* savedCell =
      caret_.mode == kCaretInCell ? CellOf(caret_.column, caret_.row) : nullptr;
  if (savedCell != nullptr) savedCell->GetCursor(&savedCellCursor);
  auto restore = [&]() {
    caret_ = savedCaret;
    caretTop_ = savedTop;
    if (savedCell != nullptr) savedCell->SetCursor(&savedCellCursor);
  };
  if (from != nullptr && !IgnoresFrom(command)) {
    if (SetCursor(from) == 0) {
      restore();
      return kMoveFailed;
    }
    caretTop_ = savedTop;
  }
  CellMove move;
  int answer = kMoveFailed;
  if (command == kMoveLastParagraphStart || command == kMoveLastWordStart) {
    answer = MoveInCell(columns_ - 1, rows_ - 1, command, p, &move);
  } else if (caret_.mode == kCaretOnGrid) {
    answer = command == kMoveEnterCell ? MoveInCell(std::min(caret_.column, columns_ - 1),
                                                    caret_.row, kMoveDocumentStart, p, &move)
                                       : MoveOnGrid(command, p, &move);
  } else if (command == kMoveEnterCell) {
    answer = MoveInCell(caret_.column, caret_.row, kMoveDocumentStart, p, &move);
  } else if (IsTableWideMove(command)) {
    answer = MoveToFixedPlace(command, p, &move);
  } else if (command == kMoveLineStartAtTop || command == kMoveLineEndAtTop) {
    answer = MoveAcrossCells(command, p, &move);
  } else {
    answer = MoveInCell(caret_.column, caret_.row, command, p, &move);
    // A line start or end that a cell cannot reach is not the table's to
    // carry on.
    if (IsEdge(answer) && command != kMoveLineStart && command != kMoveLineEnd) {
      answer =
          ruleGrid_ == 0 ? MoveAcrossCells(command, p, &move) : MoveOutOfCell(command, p, &move);
    }
  }
  if (answer != kMoveDone) {
    restore();
    return answer;
  }
  if (out != nullptr) {
    *out = move.cellPath;
    TablePosToPath(move.pos, out);
  }
  if (p.setCursor == 0) {
    restore();
    return kMoveDone;
  }
  caret_ = move.pos;
  if (!(move.pos.mode == kCaretInCell && KeepsCaretTop(command))) caretTop_ = LineTopOf(caret_);
  return kMoveDone;
}

int32_t CTableObject::PositionFromPoint(int setCursor, const CVedTextPos* base, int32_t x,
                                        int32_t y, CVedTextPos* out) {
  if (IsEmpty() != 0) return -1;
  int32_t baseTop = 0;
  if (base != nullptr) {
    const std::optional<TableCaret> from = PathToTablePos(base);
    if (!from.has_value()) return -1;
    baseTop = DrawTopOf(*from);
    y += baseTop;
  }
  x = std::min(x, pageFormat_.textWidth - ruleWidth_);
  TableHit hit;
  const int flags = HitTest(platform::POINT{x, y}, &hit);
  if (flags == 0) return TableHeight() - baseTop;
  CellMove place;
  if ((flags & kHitCell) != 0) {
    int32_t column = hit.column;
    int32_t row = hit.row;
    FindCellEdge(3, &column, &row);
    FindCellEdge(1, &column, &row);
    CTableCellObj* cell = CellOf(column, row);
    if (cell == nullptr) return -1;
    const int32_t answer =
        cell->PositionFromPoint(setCursor, nullptr, ClampIntoCell(column, row, 2, x),
                                ClampIntoCell(column, row, 1, y), &place.cellPath);
    if (answer != 0) return answer;
    place.pos = TableCaret{kCaretInCell, row, column, 0, 0};
  } else if (ruleGrid_ != 0) {
    place.pos = TableCaret{kCaretOnGrid, hit.row, hit.column, hit.gridX, hit.gridY};
  } else {
    return -1;
  }
  if (setCursor == 1) {
    caret_ = place.pos;
    caretTop_ = LineTopOf(caret_);
  }
  if (out != nullptr) {
    *out = place.cellPath;
    TablePosToPath(place.pos, out);
  }
  return 0;
}

// ---- Typing and deleting at the caret.

TableCaret CTableObject::EditedTableEnd() const {
  return {kCaretOnGrid, rows_ - 1, columns_ - 1, ColumnSpan(columns_ - 1), RowSpan(rows_ - 1)};
}

// A cell's report reaches the container with the table's pairs in front
// of every path it holds, the two extra positions included: a path
// without them would be read as a table position of nonsense.
int CTableObject::EditInCaretCell(const CellEdit& edit, EditResult* out) {
  EditResult result;
  if (IsEmpty() != 0) {
    if (out != nullptr) *out = result;
    return 0;
  }
  if (caret_.mode != kCaretInCell) {
    TablePosToPath(caret_, &result.rangeStart);
    result.rangeEnd = result.rangeStart;
    result.newCursor = result.rangeStart;
    if (out != nullptr) *out = result;
    return 0;
  }
  CTableCellObj* cell = CellOf(caret_.column, caret_.row);
  if (cell == nullptr) return 0;
  const int32_t before = cell->GetContentHeight();
  const int changed = edit(cell, &result);
  auto prefix = [this](CVedTextPos* path) {
    if (!path->IsEmpty()) TablePosToPath(caret_, path);
  };
  prefix(&result.newCursor);
  prefix(&result.startAux);
  prefix(&result.endAux);
  const int32_t after = cell->GetContentHeight();
  if (after == before) {
    prefix(&result.rangeStart);
    prefix(&result.rangeEnd);
  } else {
    const int32_t oldHeight = rowHeights_[static_cast<size_t>(caret_.row)];
    result.heightDelta = RecalcRowHeight(after - before, caret_.row) - oldHeight;
    result.rangeStart = CVedTextPos{};
    TablePosToPath(GridMove(std::max(0, caret_.row - 1), 0, 0, 0).pos, &result.rangeStart);
    result.rangeEnd = CVedTextPos{};
    TablePosToPath(EditedTableEnd(), &result.rangeEnd);
    // A cell's text names no range for the page-height check; the rows
    // whose height changed are that range, or a row grown taller than a
    // page by typing would stand.
    if (result.startAux.IsEmpty() && result.endAux.IsEmpty()) {
      result.startAux = result.rangeStart;
      result.endAux = result.rangeEnd;
    }
  }
  caretTop_ = LineTopOf(caret_);
  if (out != nullptr) *out = result;
  return changed;
}

int CTableObject::InsertText(std::string_view text, EditResult* out) {
  return EditInCaretCell(
      [text](CTableCellObj* cell, EditResult* result) { return cell->InsertText(text, result); },
      out);
}

int CTableObject::DeleteChar(int kind, EditResult* out) {
  return EditInCaretCell(
      [kind](CTableCellObj* cell, EditResult* result) { return cell->DeleteChar(kind, result); },
      out);
}

// ---- Search.

// A joined cell's object index is not its grid index: the cell is found
// through the records, at the first grid position that holds it.
TableCaret CTableObject::CellOfObject(int32_t object) const {
  for (size_t i = 0; i < records_.size(); ++i) {
    if (records_[i].objectIndex == object) {
      const auto index = static_cast<int32_t>(i);
      return {kCaretInCell, index / columns_, index % columns_, 0, 0};
    }
  }
  return caret_;
}

int CTableObject::FindText(int options, int direction, std::string_view text, CVedTextRange* out) {
  if (IsEmpty() != 0) return 0;
  const bool forward = direction == kFindNext || direction == 3 || direction == kFindFromStart;
  int32_t object = 0;
  int first = direction;
  if (direction == kFindFromStart) {
    object = 0;
  } else if (direction == kFindFromEnd) {
    object = CellCount() - 1;
  } else if (direction >= kFindNext && direction <= 4) {
    int32_t index = caret_.row * columns_ + caret_.column;
    if (caret_.mode == kCaretOnGrid) {
      index = forward ? NextCellPosition(caret_.column, caret_.row, caret_.x, caret_.y)
                      : PreviousCellPosition(caret_.column, caret_.row, caret_.x, caret_.y);
      first = forward ? kFindFromStart : kFindFromEnd;
    }
    if (index < 0 || index >= static_cast<int32_t>(records_.size())) return 0;
    object = records_[static_cast<size_t>(index)].objectIndex;
  } else {
    return 0;
  }
  for (int dir = first; object >= 0 && object < CellCount(); object += forward ? 1 : -1) {
    CVedTextRange found;
    const int answer = CellAt(object)->FindText(options, dir, text, &found);
    if (answer != 0) {
      caret_ = CellOfObject(object);
      TablePosToPath(caret_, &found.start);
      TablePosToPath(caret_, &found.end);
      caretTop_ = LineTopOf(caret_);
      if (out != nullptr) *out = found;
      return answer;
    }
    dir = forward ? kFindFromStart : kFindFromEnd;
  }
  return 0;
}

// ---- Drawing.

// The top of a position for drawing and measuring: on a horizontal rule
// below the top one, the middle of the rule less the line's thickness.
int32_t CTableObject::DrawTopOf(const TableCaret& pos) const {
  int32_t top = LineTopOf(pos);
  if (pos.mode == kCaretOnGrid && IsOnHorizontalLine(pos.row, pos.y) &&
      !(pos.row == 0 && pos.y == 0)) {
    top += ruleHeight_ / 2 - RuleThickness();
  }
  return top;
}

int CTableObject::Draw(const CVedTextPos* from, int /*flags*/, int32_t top, int /*flags2*/,
                       int32_t height, DrawResult* out) {
  DrawResult result;
  const std::optional<TableCaret> start = from != nullptr ? PathToTablePos(from) : GridStart();
  const int32_t e = start.has_value() && IsEmpty() == 0 ? DrawTopOf(*start) : 0;
  top += e;
  height += e;
  const int32_t bottom = TableHeight();
  result.height = bottom - e;
  if (horizontal_.empty() || vertical_.empty() ||
      top > bottom + ruleHeight_ / 2 - ruleHeight_ + RuleThickness() || renderer_ == nullptr) {
    if (out != nullptr) *out = result;
    return 0;
  }
  const platform::POINT kept = renderer_->GetOffset();
  DrawRuledLines(top, height, -e);
  renderer_->SetOffset(kept.x, kept.y);
  const int32_t reached = DrawCells(0, top, pageFormat_.textWidth, height, kept.x, kept.y, e);
  result = DrawResult{1, std::max(reached, std::min(bottom, height)) - e};
  if (out != nullptr) *out = result;
  return 1;
}

// ---- Transfer.

int CTableObject::SerializeRange(platform::CArchive& archive, int tag, int mode,
                                 const CVedTextPos* from, const CVedTextPos* to, EditResult* out) {
  EditResult result;
  int answer = 0;
  if (archive.IsLoading()) {
    if (tag == kFormatOwnBlock) {
      answer = IsEmpty() != 0 ? LoadTable(archive, mode, &result)
                              : PasteTableData(archive, tag, &result);
    } else if (tag == kFormatPlainText) {
      answer = LoadTextIntoCursorCell(archive, &result);
    }
    if (out != nullptr) *out = result;
    return answer;
  }
  // A table without cells has no stream form of its own.
  if (IsEmpty() != 0) return -1;
  std::optional<TableCaret> a = from != nullptr ? PathToTablePos(from) : GridStart();
  std::optional<TableCaret> b = to != nullptr
                                    ? PathToTablePos(to)
                                    : TableCaret{kCaretOnGrid, rows_ - 1, columns_ - 1,
                                                 ColumnSpan(columns_ - 1), RowSpan(rows_ - 1)};
  if (!a.has_value() || !b.has_value()) return -1;
  a->column = std::min(a->column, columns_ - 1);
  b->column = std::min(b->column, columns_ - 1);
  if (a->mode == kCaretInCell && b->mode == kCaretInCell && a->row == b->row &&
      a->column == b->column) {
    const CVedTextPos innerFrom = StripTablePairs(*from);
    const CVedTextPos innerTo = StripTablePairs(*to);
    answer = CellOf(a->column, a->row)
                 ->SerializeRange(archive, tag, mode, &innerFrom, &innerTo, &result);
  } else if (tag == kFormatOwnBlock) {
    answer = StoreTable(archive, *a, *b);
  } else if (tag == kFormatPlainText) {
    const bool point = *a == *b;
    const auto rowOf = [this](const TableCaret& p) {
      return p.mode == kCaretOnGrid && p.y == 0 && p.row > 0 ? p.row - 1 : p.row;
    };
    answer = point ? 0 : StorePlainText(archive, rowOf(*a), rowOf(*b));
  } else if (tag == kFormatBareText) {
    answer = ExportBoundaryChar(archive, *a, *b);
  }
  if (out != nullptr) *out = result;
  return answer;
}

// ---- Cell operations over ranges.

namespace {

// A reader of one attribute record: the first answering cell fills the
// record, every later answer clears the mask bits of differing fields.
template <typename Record, typename Read>
auto Reader(Record* out, Read read) {
  return [out, read](CTableCellObj* cell, const CVedTextPos* a, const CVedTextPos* b, bool first) {
    if (first) return read(cell, out, a, b);
    Record other{};
    other.mask = out->mask;
    const int answer = read(cell, &other, a, b);
    if (answer != 0) NarrowCommon(*out, other);
    return answer;
  };
}

}  // namespace

// A cell's edge with the table's pairs in front.
CVedTextPos CTableObject::CellEdgePath(const TableCaret& cell, int command) {
  CVedTextPos path;
  CTableCellObj* object = CellOf(cell.column, cell.row);
  const MoveParams look{0, 0, 1};
  if (object != nullptr) object->MoveCursor(command, &look, nullptr, &path);
  TablePosToPath(cell, &path);
  return path;
}

// A range that ends on the rule closing a cell ends with the cell's last
// character, not with its end mark, which no deletion takes.
CVedTextPos CTableObject::LastCharacterOf(const TableCaret& cell) {
  const CVedTextPos end = StripTablePairs(CellEdgePath(cell, kMoveDocumentEnd));
  CTableCellObj* object = CellOf(cell.column, cell.row);
  const MoveParams look{0, 0, 1};
  CVedTextPos last;
  if (object == nullptr || object->MoveCursor(kMovePrevChar, &look, &end, &last) != kMoveDone) {
    return end;
  }
  return last;
}

int CTableObject::VisitRangeCells(const CVedTextPos* from, const CVedTextPos* to,
                                  const CellVisitor& visit, CellRange* range) {
  if (IsEmpty() != 0) return -1;
  CVedTextPos a = from != nullptr ? *from : CellEdgePath(Cell(0, 0), kMoveDocumentStart);
  CVedTextPos b =
      to != nullptr ? *to : CellEdgePath(Cell(rows_ - 1, columns_ - 1), kMoveDocumentEnd);
  // Whether the range's start is a place the caller named, not the
  // table's own start or end standing for an open end.
  bool startNamed = from != nullptr;
  // An open start stands for the table's own start, before its top rule
  // too: a range run in from the text that ends on that rule covers the
  // cells before the place it ends at, as the stored range does.
  if (from != nullptr && ComparePositions(&a, &b) > 0) {
    std::swap(a, b);
    startNamed = to != nullptr;
  }
  std::optional<TableCaret> start = PathToTablePos(&a);
  std::optional<TableCaret> end = PathToTablePos(&b);
  if (!start.has_value() || !end.has_value()) return -1;
  if (start->mode == kCaretOnGrid && end->mode == kCaretOnGrid &&
      (*start == *end || (start->row == end->row && start->y == end->y &&
                          IsOnHorizontalLine(start->row, start->y)))) {
    return -1;
  }
  CVedTextPos inStart = StripTablePairs(a);
  CVedTextPos inEnd = StripTablePairs(b);
  auto clampColumn = [this](int32_t column) { return std::clamp(column, 0, columns_ - 1); };
  auto clampRow = [this](int32_t row) { return std::clamp(row, 0, rows_ - 1); };
  if (start->mode == kCaretOnGrid) {
    *start = Cell(clampRow(start->row), clampColumn(start->column));
    inStart = StripTablePairs(CellEdgePath(*start, kMoveDocumentStart));
  }
  const bool endOnGrid = end->mode == kCaretOnGrid;
  if (endOnGrid) {
    // A rule leaves out the row below it and the column right of it, as
    // the stored range leaves them out.
    const int32_t row = end->y == 0 && end->row > start->row ? end->row - 1 : end->row;
    const int32_t column =
        end->x == 0 && end->column > start->column ? end->column - 1 : end->column;
    *end = Cell(clampRow(row), clampColumn(column));
    inEnd = LastCharacterOf(*end);
  }
  CTableCellObj* first = CellOf(start->column, start->row);
  CTableCellObj* last = CellOf(end->column, end->row);
  if (first == nullptr || last == nullptr) return -1;
  // From the end of a cell's text onto the rule that closes it the range
  // holds no character: not the one before the end mark either.
  if (first == last && startNamed && endOnGrid &&
      first->ComparePositions(&inEnd, &inStart) == kCompareBefore) {
    inEnd = StripTablePairs(CellEdgePath(*end, kMoveDocumentEnd));
  }
  if (first == last) {
    if (range != nullptr) *range = CellRange{*start, *end, true};
    return visit(CellVisit{first, start->row, start->column, &inStart, &inEnd});
  }
  // The cells form a block, reported from its top left cell to its bottom
  // right one whichever end lay further right: a rule above a row comes
  // before the text of the row's first cell, so the ends may have crossed.
  const int32_t leftColumn = std::min(start->column, end->column);
  const int32_t rightColumn = std::max(start->column, end->column);
  if (range != nullptr) {
    *range = CellRange{Cell(start->row, leftColumn), Cell(end->row, rightColumn), false};
  }
  for (int32_t row = start->row; row <= end->row; ++row) {
    for (int32_t column = leftColumn; column <= rightColumn; ++column) {
      const TableCellRecord& record = records_[static_cast<size_t>(row * columns_ + column)];
      if ((record.flags & (kJoinedAbove | kJoinedLeft)) != 0) continue;
      const int answer = visit(CellVisit{CellOf(column, row), row, column, nullptr, nullptr});
      if (answer != 0) return answer;
    }
  }
  return 0;
}

int CTableObject::ChangeOverCells(const CVedTextPos* from, const CVedTextPos* to,
                                  const CellChange& change, EditResult* out, CellRange* cells) {
  EditResult result;
  CellRange range;
  const int32_t heightBefore = TableHeight();
  bool grew = false;
  const int walked = VisitRangeCells(
      from, to,
      [&](const CellVisit& v) {
        const int32_t before = v.cell->GetContentHeight();
        EditResult step;
        change(v.cell, v.from, v.to, &step);
        const int32_t after = v.cell->GetContentHeight();
        if (after != before) {
          RecalcRowHeight(after - before, v.row);
          grew = true;
        }
        if (v.from != nullptr) result = step;
        return 0;
      },
      &range);
  // A range in one cell that held nothing to change (the end of its text
  // alone) leaves the table as it was: a change reported all the same
  // would be recorded for undo with a place that names no cell's text.
  if (walked < 0 || (range.oneCell && result.changed == 0)) {
    if (out != nullptr) *out = EditResult{};
    return 0;
  }
  const TableCaret firstCell = Cell(range.first.row, range.first.column);
  const TableCaret lastCell = Cell(range.last.row, range.last.column);
  if (range.oneCell) {
    caret_ = lastCell;
    for (CVedTextPos* path : {&result.rangeStart, &result.rangeEnd, &result.newCursor,
                              &result.startAux, &result.endAux}) {
      if (!path->IsEmpty()) TablePosToPath(lastCell, path);
    }
  } else {
    result.rangeStart = CellEdgePath(firstCell, kMoveDocumentStart);
    result.rangeEnd = CellEdgePath(lastCell, kMoveDocumentEnd);
    result.newCursor = CVedTextPos{};
    GetCursor(&result.newCursor);
  }
  result.changed = 1;
  result.heightDelta = TableHeight() - heightBefore;
  if (grew) {
    const int32_t margin = Pitch() > 0 ? leftOffset_ / Pitch() : 0;
    result.rangeStart = CVedTextPos{};
    TablePosToPath(Grid(std::max(0, range.first.row - 1), 0, -margin, 0), &result.rangeStart);
    result.rangeEnd = CVedTextPos{};
    TablePosToPath(EditedTableEnd(), &result.rangeEnd);
    // A cell's text names no range for the page-height check; the rows
    // whose height changed are that range, or a row grown taller than a
    // page by typing would stand.
    if (result.startAux.IsEmpty() && result.endAux.IsEmpty()) {
      result.startAux = result.rangeStart;
      result.endAux = result.rangeEnd;
    }
  }
  caretTop_ = LineTopOf(caret_);
  if (out != nullptr) *out = result;
  if (cells != nullptr) *cells = range;
  return 1;
}

int CTableObject::ReadOverCells(const CVedTextPos* from, const CVedTextPos* to,
                                const CellRead& read) {
  bool any = false;
  const int walked = VisitRangeCells(
      from, to,
      [&](const CellVisit& v) {
        if (read(v.cell, v.from, v.to, !any) != 0) any = true;
        return 0;
      },
      nullptr);
  return walked >= 0 && any ? 1 : 0;
}

int CTableObject::DeleteRange(const CVedTextPos* from, const CVedTextPos* to, EditResult* out) {
  CellRange range;
  const int answer = ChangeOverCells(
      from, to,
      [](CTableCellObj* cell, const CVedTextPos* a, const CVedTextPos* b, EditResult* r) {
        return cell->DeleteRange(a, b, r);
      },
      out, &range);
  if (answer == 0 || from == nullptr || to == nullptr || range.oneCell) return answer;
  // A deletion inside the table (both ends given: one that ran in from the
  // text leaves an end open) happened where its first emptied cell
  // starts, as a deletion in the text leaves the caret where its range
  // began: that is where an undo reads the cells back.
  PlaceCaretAtCellStart(range.first.column, range.first.row);
  caretTop_ = LineTopOf(caret_);
  if (out != nullptr) out->newCursor = CellEdgePath(range.first, kMoveDocumentStart);
  return answer;
}

int CTableObject::SetCharFont(const CharFormat* format, const CVedTextPos* from,
                              const CVedTextPos* to, EditResult* out) {
  if (format == nullptr) return 0;
  return ChangeOverCells(
      from, to,
      [format](CTableCellObj* cell, const CVedTextPos* a, const CVedTextPos* b, EditResult* r) {
        return cell->SetCharFont(format, a, b, r);
      },
      out);
}

int CTableObject::SetCharDecoration(const CharDecoration* decoration, const CVedTextPos* from,
                                    const CVedTextPos* to, EditResult* out) {
  if (decoration == nullptr) return 0;
  return ChangeOverCells(
      from, to,
      [decoration](CTableCellObj* cell, const CVedTextPos* a, const CVedTextPos* b, EditResult* r) {
        return cell->SetCharDecoration(decoration, a, b, r);
      },
      out);
}

int CTableObject::SetCharDesign(const CharDesign* design, const CVedTextPos* from,
                                const CVedTextPos* to, EditResult* out) {
  if (design == nullptr) return 0;
  return ChangeOverCells(
      from, to,
      [design](CTableCellObj* cell, const CVedTextPos* a, const CVedTextPos* b, EditResult* r) {
        return cell->SetCharDesign(design, a, b, r);
      },
      out);
}

int CTableObject::SetParaFormat(const ParaFormat* format, const CVedTextPos* from,
                                const CVedTextPos* to, EditResult* out) {
  if (format == nullptr) return 0;
  return ChangeOverCells(
      from, to,
      [format](CTableCellObj* cell, const CVedTextPos* a, const CVedTextPos* b, EditResult* r) {
        return cell->SetParaFormat(format, a, b, r);
      },
      out);
}

int CTableObject::GetCharFont(CharFormat* out, const CVedTextPos* from, const CVedTextPos* to) {
  if (out == nullptr) return 0;
  return ReadOverCells(from, to,
                       Reader(out, [](CTableCellObj* c, CharFormat* r, const CVedTextPos* a,
                                      const CVedTextPos* b) { return c->GetCharFont(r, a, b); }));
}

int CTableObject::GetCharDecoration(CharDecoration* out, const CVedTextPos* from,
                                    const CVedTextPos* to) {
  if (out == nullptr) return 0;
  return ReadOverCells(
      from, to,
      Reader(out, [](CTableCellObj* c, CharDecoration* r, const CVedTextPos* a,
                     const CVedTextPos* b) { return c->GetCharDecoration(r, a, b); }));
}

int CTableObject::GetCharDesign(CharDesign* out, const CVedTextPos* from, const CVedTextPos* to) {
  if (out == nullptr) return 0;
  return ReadOverCells(from, to,
                       Reader(out, [](CTableCellObj* c, CharDesign* r, const CVedTextPos* a,
                                      const CVedTextPos* b) { return c->GetCharDesign(r, a, b); }));
}

int CTableObject::GetParaFormat(ParaFormat* out, const CVedTextPos* from, const CVedTextPos* to) {
  if (out == nullptr) return 0;
  return ReadOverCells(from, to,
                       Reader(out, [](CTableCellObj* c, ParaFormat* r, const CVedTextPos* a,
                                      const CVedTextPos* b) { return c->GetParaFormat(r, a, b); }));
}

int CTableObject::ApplyFontValue(int32_t value, const CVedTextPos* from, const CVedTextPos* to) {
  const int answer = VisitRangeCells(
      from, to, [value](const CellVisit& v) { return v.cell->ApplyFontValue(value, v.from, v.to); },
      nullptr);
  return std::max(0, answer);
}

// ---- Pasting table data into a table with cells.

namespace {

// Header fields of a stored table that a paste reads.
constexpr int kHeaderVersion = 0;
constexpr int kHeaderPart = 1;  // 1 whole rows, 2 whole columns
constexpr int kHeaderRows = 2;
constexpr int kHeaderColumns = 3;
constexpr int kHeaderFieldCount = 8;
constexpr int kPasteRows = 1;
constexpr int kPasteColumns = 2;
constexpr int kVersionWidthsInCharacters = 2;
constexpr int kCellBlockMode = 2;

struct PasteHead {
  std::array<int32_t, kHeaderFieldCount> header{};
  std::vector<int32_t> widths;  // characters
};

// Signature, header, flag bytes (not used: pasted cells are never joined)
// and widths; nothing when any part is missing or unsound.
std::optional<PasteHead> ReadPasteHead(platform::CArchive& archive, int32_t pitch) {
  platform::Signature signature{};
  std::memcpy(signature.data(), kTableSignature, sizeof(kTableSignature));
  if (!archive.CheckSignature(signature)) return std::nullopt;
  PasteHead head;
  for (int32_t& field : head.header) archive >> field;
  const int64_t rows = head.header[kHeaderRows];
  const int64_t columns = head.header[kHeaderColumns];
  if (rows <= 0 || columns <= 0 || pitch <= 0 ||
      static_cast<uint64_t>(rows * columns) > archive.RemainingBytes()) {
    return std::nullopt;
  }
  std::vector<uint8_t> flags(static_cast<size_t>(rows * columns));
  archive.ReadExact(flags.data(), flags.size());
  for (int64_t c = 0; c < columns; ++c) {
    int32_t width = 0;
    archive >> width;
    // Older streams store twips; rounded up wide, as a stored width may
    // be anything up to the int32 range.
    if (head.header[kHeaderVersion] < kVersionWidthsInCharacters) {
      width = static_cast<int32_t>((int64_t{width} + pitch - 1) / pitch);
    }
    head.widths.push_back(width);
  }
  return head;
}

// A stored line style, read and dropped: the pasted cells keep the styles
// they were made with.
void SkipLineStyle(platform::CArchive& archive) {
  CLineStyle dropped;
  dropped.Serialize(archive, kFormatOwnBlock);
}

}  // namespace

int CTableObject::ReadPastedCell(platform::CArchive& archive, int32_t row, int32_t column) {
  CTableCellObj* cell = CellOf(column, row);
  if (cell == nullptr) return 0;
  const int32_t before = cell->GetContentHeight();
  EditResult read;
  const int answer =
      cell->SerializeRange(archive, kFormatOwnBlock, kCellBlockMode, nullptr, nullptr, &read);
  const int32_t after = cell->GetContentHeight();
  if (after != before) RecalcRowHeight(after - before, row);
  SkipLineStyle(archive);
  SkipLineStyle(archive);
  return answer;
}

int CTableObject::PasteTableData(platform::CArchive& archive, int tag, EditResult* out) {
  EditResult result;
  if (out != nullptr) *out = result;
  if (IsEmpty() != 0) return 0;
  if (tag == kFormatPlainText) {
    return caret_.mode == kCaretInCell ? LoadTextIntoCursorCell(archive, out) : 0;
  }
  if (tag != kFormatOwnBlock) return 0;
  const int32_t heightBefore = TableHeight();
  const TableCaret caret = caret_;
  int32_t first = 0;
  int32_t count = 0;
  bool rows = true;
  try {
    const std::optional<PasteHead> head = ReadPasteHead(archive, Pitch());
    if (!head.has_value()) return 0;
    const int32_t storedRows = head->header[kHeaderRows];
    const int32_t storedColumns = head->header[kHeaderColumns];
    rows = head->header[kHeaderPart] == kPasteRows;
    if (rows) {
      if (storedColumns != columns_) return 0;
      const bool append =
          caret.mode == kCaretOnGrid && caret.row == rows_ - 1 && caret.y >= RowSpan(rows_ - 1);
      first = append ? rows_ : std::clamp(caret.row, 0, rows_ - 1);
      for (int32_t r = 0; r < storedRows; ++r) {
        CVedTextPos at;
        TablePosToPath(Cell(first + r, 0), &at);
        if (first + r >= rows_) {
          at = CVedTextPos{};
          TablePosToPath(Grid(rows_ - 1, 0, 0, RowSpan(rows_ - 1)), &at);
        }
        EditResult inserted;
        if (InsertRow(&at, &inserted) == 0) break;
        ++count;
        for (int32_t c = 0; c < storedColumns; ++c) ReadPastedCell(archive, first + r, c);
      }
    } else if (head->header[kHeaderPart] == kPasteColumns) {
      if (storedRows != rows_) return 0;
      const bool append = caret.mode == kCaretOnGrid && caret.column == columns_ - 1 &&
                          caret.x >= ColumnSpan(columns_ - 1);
      first = append ? columns_ : std::clamp(caret.column, 0, columns_ - 1);
      for (int32_t c = 0; c < storedColumns; ++c) {
        CVedTextPos at;
        if (first + c >= columns_) {
          TablePosToPath(Grid(0, columns_ - 1, ColumnSpan(columns_ - 1), 1), &at);
        } else {
          TablePosToPath(Cell(0, first + c), &at);
        }
        EditResult inserted;
        if (InsertColumn(&at, &inserted) == 0) break;
        ++count;
        CVedTextPos column;
        TablePosToPath(Cell(0, first + c), &column);
        SetColumnWidth(&column, head->widths[static_cast<size_t>(c)], &inserted);
      }
      for (int32_t r = 0; r < storedRows; ++r) {
        for (int32_t c = 0; c < count; ++c) ReadPastedCell(archive, r, first + c);
      }
    } else {
      return 0;
    }
    for (int32_t i = 0; i < storedColumns + storedRows; ++i) SkipLineStyle(archive);
  } catch (const std::exception&) {
    // What was pasted before the stream ran short stays, and is reported.
  }
  if (count == 0) return 0;
  const int32_t margin = Pitch() > 0 ? leftOffset_ / Pitch() : 0;
  const TableCaret topLeft = rows ? Grid(first, 0, 0, 0) : Grid(0, first, 0, 0);
  const int32_t lastRow = rows ? first + count - 1 : rows_ - 1;
  const int32_t lastColumn = rows ? columns_ - 1 : first + count - 1;
  const TableCaret bottomRight =
      lastRow + 1 < rows_ ? Grid(lastRow + 1, lastColumn, ColumnSpan(lastColumn), 0)
                          : Grid(lastRow, lastColumn, ColumnSpan(lastColumn), RowSpan(lastRow));
  TablePosToPath(topLeft, &result.startAux);
  TablePosToPath(bottomRight, &result.endAux);
  TablePosToPath(Grid(std::max(0, caret.row - 1), 0, -margin, 0), &result.rangeStart);
  TablePosToPath(EditedTableEnd(), &result.rangeEnd);
  const TableCaret landing = rows ? Cell(std::min(caret.row, rows_ - 1), 0)
                                  : Cell(0, std::min(caret.column, columns_ - 1));
  result.newCursor = CellEdgePath(landing, kMoveDocumentStart);
  CTableCellObj* cell = CellOf(landing.column, landing.row);
  if (cell != nullptr) {
    const CVedTextPos inner = StripTablePairs(result.newCursor);
    cell->SetCursor(&inner);
  }
  caret_ = landing;
  caretTop_ = LineTopOf(caret_);
  result.changed = 1;
  result.heightDelta = TableHeight() - heightBefore;
  if (out != nullptr) *out = result;
  return 1;
}

int CTableObject::RefillEdgeCells(platform::CArchive& archive, bool atEnd, EditResult* out) {
  return RefillCells(
      archive,
      [this, atEnd](int32_t rows, int32_t columns) {
        return atEnd ? Cell(rows_ - rows, columns_ - columns) : Cell(0, 0);
      },
      out);
}

int CTableObject::RefillCaretCells(platform::CArchive& archive, EditResult* out) {
  if (out != nullptr) *out = EditResult{};
  if (caret_.mode != kCaretInCell) return 0;
  const TableCaret caret = caret_;
  return RefillCells(
      archive, [caret](int32_t, int32_t) { return Cell(caret.row, caret.column); }, out);
}

int CTableObject::RefillCells(platform::CArchive& archive, const RefillCorner& corner,
                              EditResult* out) {
  EditResult result;
  if (out != nullptr) *out = result;
  if (IsEmpty() != 0) return 0;
  const int32_t heightBefore = TableHeight();
  TableCaret first;
  TableCaret last;
  bool fitted = false;
  try {
    const std::optional<PasteHead> head = ReadPasteHead(archive, Pitch());
    if (!head.has_value()) return 0;
    const int32_t storedRows = head->header[kHeaderRows];
    const int32_t storedColumns = head->header[kHeaderColumns];
    const TableCaret topLeft = corner(storedRows, storedColumns);
    const int32_t top = topLeft.row;
    const int32_t left = topLeft.column;
    if (top < 0 || left < 0 || top + storedRows > rows_ || left + storedColumns > columns_) {
      return 0;
    }
    first = Cell(top, left);
    last = Cell(top + storedRows - 1, left + storedColumns - 1);
    fitted = true;
    for (int32_t r = top; r <= last.row; ++r) {
      for (int32_t c = left; c <= last.column; ++c) {
        CTableCellObj* cell = CellOf(c, r);
        if (cell == nullptr) return 0;
        const int32_t filled = cell->GetContentHeight();
        EditResult emptied;
        if (cell->IsEmpty() == 0) cell->DeleteRange(nullptr, nullptr, &emptied);
        if (cell->GetContentHeight() != filled) {
          RecalcRowHeight(cell->GetContentHeight() - filled, r);
        }
        const CVedTextPos start = StripTablePairs(CellEdgePath(Cell(r, c), kMoveDocumentStart));
        cell->SetCursor(&start);
        ReadPastedCell(archive, r, c);
      }
    }
    for (int32_t i = 0; i < storedColumns + storedRows; ++i) SkipLineStyle(archive);
  } catch (const std::exception&) {
    // What was read before the stream ran short stays, and is reported.
  }
  if (!fitted) return 0;
  result.rangeStart = CellEdgePath(first, kMoveDocumentStart);
  result.rangeEnd = CellEdgePath(last, kMoveDocumentEnd);
  result.newCursor = result.rangeEnd;
  caret_ = last;
  caretTop_ = LineTopOf(caret_);
  result.changed = 1;
  result.heightDelta = TableHeight() - heightBefore;
  if (out != nullptr) *out = result;
  return 1;
}

// ---- The caret's line as text.

namespace {

// Marks a cell boundary in line text, followed by the box-drawing "│".
constexpr char kCellSeparatorMarker = '\xFE';

void WriteSeparator(platform::CArchive& archive) {
  archive.Write(&kCellSeparatorMarker, 1);
  archive.Write(kBoxVertical, sizeof(kBoxVertical) - 1);
}

}  // namespace

// A cell's line at height y (or the caret's line in the caret's cell, up
// to or from the caret) as plain text; the cell's cursor is left alone.
// The part up to the caret is the line less the part from the caret.
bool CTableObject::WriteCellLine(platform::CArchive& archive, int32_t column, int32_t row,
                                 int32_t y, LinePart part) {
  CTableCellObj* cell = CellOf(column, row);
  if (cell == nullptr) return false;
  CVedTextPos kept;
  cell->GetCursor(&kept);
  auto textBetween = [&](int fromCommand, const CVedTextPos& at, int toCommand) {
    const MoveParams look{0, 0, 1};
    CVedTextPos first = at;
    CVedTextPos last = at;
    if (fromCommand != 0) cell->MoveCursor(fromCommand, &look, &at, &first);
    if (toCommand != 0) cell->MoveCursor(toCommand, &look, &at, &last);
    cell->SetCursor(&kept);
    platform::CMemFile file;
    {
      platform::CArchive store(&file, platform::CArchive::kStore);
      if (!(first == last)) {
        cell->SerializeRange(store, kFormatPlainText, 0, &first, &last, nullptr);
      }
      store.Close();
    }
    cell->SetCursor(&kept);
    return std::string(reinterpret_cast<const char*>(file.Data()), file.GetLength());
  };
  std::string text;
  if (part == LinePart::kWhole) {
    CVedTextPos at;
    if (cell->PositionFromPoint(0, nullptr, 0, ClampIntoCell(column, row, 1, y), &at) != 0) {
      return false;
    }
    text = textBetween(kMoveLineStart, at, kMoveLineEnd);
  } else {
    text = textBetween(0, kept, kMoveLineEnd);
    if (part == LinePart::kToCaret) {
      const std::string line = textBetween(kMoveLineStart, kept, kMoveLineEnd);
      text = line.substr(0, line.size() - std::min(line.size(), text.size()));
    }
  }
  archive.Write(text.data(), text.size());
  return !text.empty();
}

int CTableObject::WriteCaretLineText(platform::CArchive& archive, int part) {
  if (archive.IsLoading() || IsEmpty() != 0) return 0;
  const int32_t y = LineTopOf(caret_);
  const int32_t caretColumn = std::clamp(caret_.column, 0, columns_);
  bool wrote = false;
  if (part == kLineUpToCaret) {
    if (caret_.mode == kCaretOnGrid && IsOnHorizontalLine(caret_.row, caret_.y)) {
      for (int32_t column = 0; column <= std::min(caretColumn, columns_ - 1); ++column) {
        const int32_t end = column < caretColumn ? ColumnSpan(column) + 1 : caret_.x;
        for (int32_t x = 0; x < end; ++x) {
          const TableCaret at = Grid(caret_.row, column, x, caret_.y);
          if (ExportBoundaryChar(archive, at, at) != 0) wrote = true;
        }
      }
      return wrote ? 1 : 0;
    }
    for (int32_t column = 0; column < std::min(caretColumn, columns_); ++column) {
      WriteSeparator(archive);
      WriteCellLine(archive, column, caret_.row, y, LinePart::kWhole);
      wrote = true;
    }
    if (caret_.mode == kCaretInCell) {
      WriteSeparator(archive);
      WriteCellLine(archive, caretColumn, caret_.row, y, LinePart::kToCaret);
      wrote = true;
    } else if (caretColumn == columns_ ||
               (caretColumn == columns_ - 1 && caret_.x == ColumnSpan(columns_ - 1))) {
      WriteSeparator(archive);
      WriteCellLine(archive, columns_ - 1, caret_.row, y, LinePart::kWhole);
      wrote = true;
    }
    return wrote ? 1 : 0;
  }
  const bool wholeLine = part == kLineWhole || (caret_.mode == kCaretOnGrid && caret_.x < 0);
  for (int32_t column = wholeLine ? 0 : caretColumn; column < columns_; ++column) {
    if (!wholeLine && column == caretColumn && caret_.mode == kCaretInCell) {
      wrote = WriteCellLine(archive, column, caret_.row, y, LinePart::kFromCaret) || wrote;
      continue;
    }
    WriteSeparator(archive);
    WriteCellLine(archive, column, caret_.row, y, LinePart::kWhole);
    wrote = true;
  }
  return wrote ? 1 : 0;
}
