// The table's caret moves that go into a cell: the remembered x crosses
// into the cell's coordinates and back, and the cell makes the move.
#include <algorithm>

#include "model/table_object.h"
#include "model/text_navigator.h"

namespace {

// What a move back continues with in the cell on the left.
int BackCommandInLeftCell(int command) {
  switch (command) {
    case kMovePrevLineStart:
      return kMoveLastLineStart;
    case kMovePrevParagraph:
      return kMoveLastParagraphStart;
    default:
      return kMoveLastWordStart;
  }
}

}  // namespace

int CTableObject::MoveInCell(int32_t column, int32_t row, int command, const MoveParams& params,
                             CellMove* out) {
  CTableCellObj* cell = CellOf(column, row);
  if (cell == nullptr) return kMoveFailed;
  const platform::RECT rect = GetCellRect(column, row);
  const int32_t inCell = std::clamp(params.value - static_cast<int32_t>(rect.left), 0,
                                    std::max(0, static_cast<int32_t>(rect.right - rect.left)));
  const MoveParams cellParams{params.setCursor, inCell, params.wrap};
  CellMove move;
  const int answer = cell->MoveCursor(command, &cellParams, nullptr, &move.cellPath);
  move.pos = TableCaret{kCaretInCell, row, column, 0, 0};
  move.x = inCell + rect.left;
  if (out != nullptr) *out = move;
  return answer;
}

int CTableObject::MoveToColumnTop(int32_t column, const MoveParams& params, CellMove* out) {
  return MoveInCell(column, 0, kMoveFirstLineAtX, params, out);
}

int CTableObject::MoveToColumnBottom(int32_t column, const MoveParams& params, CellMove* out) {
  return MoveInCell(column, rows_ - 1, kMoveLastLineAtX, params, out);
}

int CTableObject::MoveToFirstCell(const MoveParams& params, CellMove* out) {
  return MoveInCell(0, 0, kMoveDocumentStart, params, out);
}

int CTableObject::MoveToLastCell(const MoveParams& params, CellMove* out) {
  return MoveInCell(columns_ - 1, rows_ - 1, kMoveDocumentEnd, params, out);
}

int CTableObject::MoveToLastRowStart(const MoveParams& params, CellMove* out) {
  return MoveInCell(0, rows_ - 1, kMoveLastLineStart, params, out);
}

int CTableObject::MoveBackThroughCells(int command, const MoveParams& params, CellMove* out) {
  int32_t column = caret_.column;
  int32_t row = caret_.row;
  if (caret_.mode == kCaretInCell) {
    const int answer = MoveInCell(column, row, command, params, out);
    if (answer == kMoveDone || answer == kMoveFailed) return answer;
    if (FindNeighbourCell(3, &column, &row) < 0) return kMoveBeforeStart;
  } else {
    const int32_t index = PreviousCellPosition(column, row, caret_.x, caret_.y);
    if (index < 0) return kMoveBeforeStart;
    column = index % columns_;
    row = index / columns_;
  }
  return MoveInCell(column, row, BackCommandInLeftCell(command), params, out);
}

int CTableObject::MoveOnThroughCells(int command, const MoveParams& params, CellMove* out) {
  int32_t column = caret_.column;
  int32_t row = caret_.row;
  if (caret_.mode == kCaretInCell) {
    const int answer = MoveInCell(column, row, command, params, out);
    if (answer == kMoveDone || answer == kMoveFailed) return answer;
    if (FindNeighbourCell(4, &column, &row) < 0) return kMoveAfterEnd;
  } else {
    const int32_t index = NextCellPosition(column, row, caret_.x, caret_.y);
    if (index < 0) return kMoveAfterEnd;
    column = index % columns_;
    row = index / columns_;
  }
  return MoveInCell(column, row, kMoveDocumentStart, params, out);
}
