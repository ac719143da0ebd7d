// Where cells, ruled lines and the character cells of the line grid lie,
// the lookups from points and positions to cells, and the upkeep of rows,
// cells and placement.
#include <algorithm>
#include <exception>
#include <memory>

#include "model/table_object.h"
#include "platform/file.h"

namespace {

// The cell's own block form, used to carry a cell's content over.
constexpr int kCellBlockMode = 2;
constexpr size_t kReflowGrowth = 1024;

}  // namespace

int32_t CTableObject::ColumnLeft(int32_t column) const {
  int32_t left = leftOffset_;
  for (int32_t k = 0; k < column && k < columns_; ++k) left += ruleWidth_ + columnWidths_[k];
  return left;
}

int32_t CTableObject::RowTop(int32_t row) const {
  int32_t top = 0;
  for (int32_t k = 0; k < row && k < rows_; ++k) top += ruleHeight_ + rowHeights_[k];
  return top;
}

int32_t CTableObject::ColumnSpan(int32_t column) const {
  if (Pitch() <= 0) return 0;
  if (column >= columns_) {
    return (pageFormat_.textWidth - tableWidth_ - leftOffset_) / Pitch() - 1;
  }
  const int32_t span = columnWidths_[column] / Pitch();
  return column == columns_ - 1 ? span + 1 : span;
}

int32_t CTableObject::RowSpan(int32_t row) const {
  if (LinePitch() <= 0 || row < 0 || row >= rows_) return 0;
  const int32_t lines = rowHeights_[row] / LinePitch();
  return row == rows_ - 1 ? std::max(2, lines + 1) : std::max(1, lines);
}

platform::RECT CTableObject::GetCellRect(int32_t column, int32_t row) const {
  if (!IsInGrid(column, row)) return {};
  const int32_t left = ColumnLeft(column) + ruleWidth_;
  const int32_t top = RowTop(row) + ruleHeight_;
  return {left, top, left + columnWidths_[column], top + rowHeights_[row]};
}

platform::RECT CTableObject::GetLineRect(int32_t kind, int32_t index) const {
  if (kind == kRuleHorizontal) {
    if (index < 0 || index >= HorizontalRuleCount() || columns_ == 0) return {};
    const int32_t row = index / columns_;
    const int32_t column = index % columns_;
    const int32_t left = ColumnLeft(column);
    const int32_t top = RowTop(row);
    return {left, top, left + columnWidths_[column] + 2 * ruleWidth_, top + ruleHeight_};
  }
  if (index < 0 || index >= VerticalRuleCount()) return {};
  const int32_t row = index / (columns_ + 1);
  const int32_t column = index % (columns_ + 1);
  const int32_t left = ColumnLeft(column);
  const int32_t top = RowTop(row);
  return {left, top, left + ruleWidth_, top + rowHeights_[row] + 2 * ruleHeight_};
}

int32_t CTableObject::RowAtY(int32_t y) const {
  for (int32_t row = 0; row <= rows_; ++row) {
    const int32_t top = RowTop(row);
    if (y >= top && y < top + ruleHeight_) return row;
  }
  return -1;
}

int32_t CTableObject::LineAtPoint(int32_t kind, platform::POINT point) const {
  const int32_t count = kind == kRuleHorizontal ? HorizontalRuleCount() : VerticalRuleCount();
  for (int32_t index = 0; index < count; ++index) {
    if (platform::PtInRect(GetLineRect(kind, index), point)) return index;
  }
  return -1;
}

int32_t CTableObject::CellAtPoint(platform::POINT point) const {
  for (int32_t row = 0; row < rows_; ++row) {
    for (int32_t column = 0; column < columns_; ++column) {
      const TableCellRecord& record = records_[static_cast<size_t>(row * columns_ + column)];
      platform::RECT rect = GetCellRect(column, row);
      if ((record.flags & kJoinedAbove) != 0) rect.top -= ruleHeight_;
      if ((record.flags & kJoinedLeft) != 0) rect.left -= ruleWidth_;
      if (platform::PtInRect(rect, point)) return record.objectIndex;
    }
  }
  return -1;
}

int CTableObject::HitTest(platform::POINT point, TableHit* out) const {
  TableHit hit;
  const int32_t bottom = TableHeight();
  if (point.x < 0 || point.y < 0 || point.x >= pageFormat_.textWidth || point.y >= bottom) {
    if (out != nullptr) *out = hit;
    return 0;
  }
  const GridPoint grid = PointToGrid(point.x, point.y);
  hit.row = grid.row;
  hit.column = grid.column;
  hit.gridX = grid.x;
  hit.gridY = grid.y;
  int flags = 0;
  if (point.x < leftOffset_ || point.x >= leftOffset_ + tableWidth_) {
    flags = point.x < leftOffset_ ? kHitLeftOfTable : kHitRightOfTable;
    const int32_t ruleRow = RowAtY(point.y);
    if (ruleRow >= 0) {
      hit.cell = records_[static_cast<size_t>(std::min(ruleRow, rows_ - 1) * columns_)].objectIndex;
    }
  } else {
    const CLineStyle* across = HorizontalRule(LineAtPoint(kRuleHorizontal, point));
    if (across != nullptr && across->IsDrawn() == 1) flags |= kHitHorizontalRule;
    hit.verticalLine = LineAtPoint(kRuleVertical, point);
    const CLineStyle* down = VerticalRule(hit.verticalLine);
    if (down != nullptr && down->IsDrawn() == 1) flags |= kHitVerticalRule;
    hit.cell = CellAtPoint(point);
    if (hit.cell >= 0) {
      flags |= kHitCell;
      hit.row = std::min(grid.row, rows_ - 1);
      hit.column = std::min(grid.column, columns_ - 1);
    }
  }
  if (out != nullptr) *out = hit;
  return flags;
}

GridPoint CTableObject::PointToGrid(int32_t x, int32_t y) const {
  GridPoint grid;
  if (rows_ == 0 || columns_ == 0 || Pitch() <= 0 || LinePitch() <= 0) return grid;
  grid.row = rows_ - 1;
  grid.y = RowSpan(rows_ - 1);
  for (int32_t row = 0; row < rows_; ++row) {
    const int32_t top = RowTop(row);
    if (y < top + ruleHeight_ + rowHeights_[row]) {
      grid.row = row;
      grid.y = GridYInRow(y, row);
      break;
    }
  }
  if (x < leftOffset_) {
    grid.column = 0;
    grid.x = x / Pitch() - leftOffset_ / Pitch();
    return grid;
  }
  if (x >= pageFormat_.textWidth) x = pageFormat_.textWidth - ruleWidth_;
  for (int32_t column = 0; column < columns_; ++column) {
    if (x < ColumnLeft(column + 1)) {
      grid.column = column;
      grid.x = GridXInColumn(x, column);
      return grid;
    }
  }
  const int32_t last = columns_ - 1;
  if (x < leftOffset_ + tableWidth_ || ColumnSpan(columns_) < 0) {
    grid.column = last;
    grid.x = ColumnSpan(last);
    return grid;
  }
  grid.column = columns_;
  grid.x = GridXRight(x);
  return grid;
}

int32_t CTableObject::GridXRight(int32_t x) const {
  const int32_t chars = (x - tableWidth_ - leftOffset_) / Pitch();
  return std::clamp(chars, 0, std::max(0, ColumnSpan(columns_)));
}

int32_t CTableObject::GridXInColumn(int32_t x, int32_t column) const {
  if (Pitch() <= 0) return 0;
  if (column >= columns_) return GridXRight(x);
  const int32_t left = ColumnLeft(column);
  if (x < left) return (x - leftOffset_) / Pitch();
  if (x < left + ruleWidth_) return 0;
  return std::min(ColumnSpan(column), 1 + (x - left - ruleWidth_) / Pitch());
}

int32_t CTableObject::GridYInRow(int32_t y, int32_t row) const {
  if (LinePitch() <= 0) return 0;
  const int32_t top = RowTop(row);
  if (y < top + ruleHeight_) return 0;
  return std::min(RowSpan(row), 1 + (y - top - ruleHeight_) / LinePitch());
}

int32_t CTableObject::GridXOf(int32_t column, int32_t chars) const {
  if (Pitch() <= 0) return chars;
  int32_t x = leftOffset_ / Pitch();
  for (int32_t k = 0; k < column && k < columns_; ++k) x += columnWidths_[k] / Pitch() + 1;
  if (column >= columns_) x += 1;
  return x + chars;
}

int32_t CTableObject::GridYOf(int32_t row, int32_t lines) const {
  if (LinePitch() <= 0) return lines;
  int32_t y = 0;
  for (int32_t k = 0; k < row && k < rows_; ++k) y += rowHeights_[k] / LinePitch() + 1;
  return y + lines;
}

int32_t CTableObject::ColumnsThatFit(int32_t width) const {
  if (width == 0) width = Pitch();
  const int32_t remaining = tableWidth_ - ruleWidth_;
  const int32_t step = width + ruleWidth_;
  if (step <= 0 || remaining < step) return 0;
  return remaining / step;
}

bool CTableObject::IsOnHorizontalLine(int32_t row, int32_t gridY) const {
  return gridY == 0 || (row == rows_ - 1 && gridY == RowSpan(row));
}

bool CTableObject::IsOnVerticalLine(int32_t column, int32_t gridX) const {
  if (column < 0 || column >= columns_) return false;
  return gridX == 0 || (column == columns_ - 1 && gridX == ColumnSpan(column));
}

int32_t CTableObject::ClampIntoCell(int32_t column, int32_t row, int axis, int32_t v) const {
  const platform::RECT rect = GetCellRect(column, row);
  if (axis == 2) return std::clamp(v - rect.left, 0, std::max(0, rect.right - rect.left));
  return std::clamp(v - rect.top, 0, std::max(0, rect.bottom - rect.top));
}

TableCaret CTableObject::GridStart() const { return {kCaretOnGrid, 0, 0, 0, 0}; }

TableCaret CTableObject::GridOrigin() const {
  const int32_t margin = Pitch() > 0 ? leftOffset_ / Pitch() : 0;
  return {kCaretOnGrid, 0, 0, -margin, 0};
}

TableCaret CTableObject::GridEnd() const {
  const int32_t column = ColumnSpan(columns_) < 0 ? columns_ - 1 : columns_;
  const int32_t lastRow = std::max(0, rows_ - 1);
  return {kCaretOnGrid, lastRow, column, ColumnSpan(column), RowSpan(lastRow)};
}

TableCaret CTableObject::LastRowEnd() const {
  const int32_t lastRow = std::max(0, rows_ - 1);
  return {kCaretOnGrid, lastRow, 0, 0, RowSpan(lastRow)};
}

// A column right of the table belongs to the last column's right rule, so
// that no position ends up left of column 0.
TableCaret CTableObject::ToCellPosition(const TableCaret& pos) {
  if (pos.mode == kCaretInCell || ruleGrid_ != 0 || rows_ == 0 || columns_ == 0) return pos;
  const int32_t row = std::clamp(pos.row, 0, rows_ - 1);
  int32_t column = pos.column;
  int32_t x = pos.x;
  if (column >= columns_) {
    column = columns_ - 1;
    x = ColumnSpan(column);
  }
  column = std::max(0, column);
  x = std::max(0, x);
  int32_t left = ColumnLeft(column);
  if (x > 0) {
    left += x == ColumnSpan(column) && column == columns_ - 1 ? ruleWidth_ + columnWidths_[column]
                                                              : ruleWidth_ + (x - 1) * Pitch();
  }
  int32_t top = RowTop(row);
  if (pos.y > 0) {
    top += pos.y == RowSpan(row) && row == rows_ - 1 ? ruleHeight_ + rowHeights_[row]
                                                     : ruleHeight_ + (pos.y - 1) * LinePitch();
  }
  CTableCellObj* cell = CellOf(column, row);
  if (cell != nullptr) {
    cell->PositionFromPoint(1, nullptr, ClampIntoCell(column, row, 2, left),
                            ClampIntoCell(column, row, 1, top), nullptr);
  }
  return {kCaretInCell, row, column, column, row};
}

void CTableObject::TablePosToPath(const TableCaret& pos, CVedTextPos* path) const {
  if (path == nullptr) return;
  path->PrependPair(kTagTableDown, pos.column);
  path->PrependPair(kTagTableAcross, pos.row);
  path->PrependPair(kTagTableDown, pos.y);
  path->PrependPair(kTagTableAcross, pos.x);
  path->PrependPair(kTagTableMode, pos.mode);
}

std::optional<TableCaret> CTableObject::PathToTablePos(const CVedTextPos* path) const {
  if (path == nullptr || path->IsEmpty()) return caret_;
  if (path->depth < kTablePairCount || path->pairs.size() < kTablePairCount) return std::nullopt;
  const auto& p = path->pairs;
  if (p[0].tag != kTagTableMode || p[1].tag != kTagTableAcross || p[2].tag != kTagTableDown ||
      p[3].tag != kTagTableAcross || p[4].tag != kTagTableDown) {
    return std::nullopt;
  }
  return TableCaret{p[0].value, p[3].value, p[4].value, p[1].value, p[2].value};
}

CVedTextPos CTableObject::StripTablePairs(const CVedTextPos& path) const {
  CVedTextPos rest = path;
  for (int i = 0; i < kTablePairCount && !rest.IsEmpty(); ++i) rest.PopFirstPair();
  return rest;
}

void CTableObject::RenumberCells() {
  int32_t next = 0;
  int32_t band = 0;
  for (int32_t row = 0; row < rows_; ++row) {
    bool reachesDown = false;
    for (int32_t column = 0; column < columns_; ++column) {
      TableCellRecord& record = records_[static_cast<size_t>(row * columns_ + column)];
      if ((record.flags & kJoinedAbove) != 0 && row > 0) {
        record.objectIndex =
            records_[static_cast<size_t>((row - 1) * columns_ + column)].objectIndex;
      } else {
        record.objectIndex = next;
      }
      if ((record.flags & kJoinsRight) == 0) ++next;
      record.rowBand = band;
      if ((record.flags & kJoinsBelow) != 0) reachesDown = true;
    }
    if (!reachesDown) ++band;
  }
}

int32_t CTableObject::RecalcRowHeight(int32_t delta, int32_t row) {
  if (row < 0 || row >= rows_) return 0;
  int32_t height = 0;
  int32_t smallestFiller = 0;
  bool first = true;
  for (int32_t column = 0; column < columns_; ++column) {
    CTableCellObj* cell = CellOf(column, row);
    if (cell == nullptr) continue;
    const int32_t content = cell->GetContentHeight();
    if (delta < 0) {
      const int32_t filler = cell->GetHeight(nullptr, nullptr) - content;
      if (first || filler < smallestFiller) {
        smallestFiller = filler;
        height = content;
      }
    } else {
      height = std::max(height, content);
    }
    first = false;
  }
  height = std::max(height, LinePitch());
  for (int32_t column = 0; column < columns_; ++column) {
    CTableCellObj* cell = CellOf(column, row);
    if (cell == nullptr) continue;
    PageFormat format;
    cell->GetPageFormat(&format);
    format.textHeight = height;
    cell->ApplyPageFormat(&format);
  }
  CTableCellObj* firstCell = CellOf(0, row);
  const int32_t rowHeight = firstCell != nullptr ? firstCell->GetHeight(nullptr, nullptr) : height;
  rowHeights_[static_cast<size_t>(row)] = rowHeight;
  rowRecords_[static_cast<size_t>(row)].height = rowHeight;
  return rowHeight;
}

bool CTableObject::ApplyPlacement() {
  const int32_t before = leftOffset_;
  const int32_t textWidth = pageFormat_.textWidth;
  switch (placement_) {
    case kPlaceCentre:
      leftOffset_ = textWidth / 2 - tableWidth_ / 2;
      break;
    case kPlaceRight:
      leftOffset_ = textWidth - tableWidth_;
      break;
    default:
      leftOffset_ = 0;
      break;
  }
  leftOffset_ = std::max(0, leftOffset_);
  if (ruleWidth_ > 0 && Pitch() > 0 && leftOffset_ % ruleWidth_ != 0) {
    leftOffset_ -= leftOffset_ % Pitch();
  }
  return leftOffset_ != before;
}

int CTableObject::InitCell(int32_t column, int32_t row, CTableCellObj* cell) {
  if (cell == nullptr || column < 0 || row < 0 ||
      column >= static_cast<int32_t>(columnWidths_.size()) ||
      row >= static_cast<int32_t>(rowHeights_.size())) {
    return 0;
  }
  if (cell->Initialize(renderer_, feedback_) == 0) return 0;
  cell->SetOptions(&options_);
  cell->SetCharFormat(&cellFormat_);
  PageFormat format = pageFormat_;
  format.textWidth = columnWidths_[static_cast<size_t>(column)];
  format.textHeight = rowHeights_[static_cast<size_t>(row)];
  return cell->SetPageFormat(&format);
}

// The content goes over into a new cell of the new width; only when it has
// arrived whole does that cell take the old one's place, so that a failed
// read-back loses nothing.
int CTableObject::ReflowCell(int32_t index, int32_t width) {
  CTableCellObj* cell = CellAt(index);
  if (cell == nullptr || columns_ == 0) return 0;
  PageFormat format;
  cell->GetPageFormat(&format);
  if (format.textWidth == width) return 1;
  const int32_t column = index % columns_;
  const int32_t row = index / columns_;
  if (row >= rows_) return 0;
  platform::CMemFile file(kReflowGrowth);
  try {
    platform::CArchive store(&file, platform::CArchive::kStore);
    if (cell->SerializeRange(store, kFormatOwnBlock, kCellBlockMode, nullptr, nullptr, nullptr) <
        0) {
      return 0;
    }
    store.Close();
  } catch (const std::exception&) {
    return 0;
  }
  auto fresh = std::make_unique<CTableCellObj>();
  const int32_t oldWidth = columnWidths_[static_cast<size_t>(column)];
  columnWidths_[static_cast<size_t>(column)] = width;
  const int initialised = InitCell(column, row, fresh.get());
  columnWidths_[static_cast<size_t>(column)] = oldWidth;
  if (initialised == 0) return 0;
  file.Seek(0, platform::CFile::kBegin);
  int loaded = -1;
  try {
    platform::CArchive load(&file, platform::CArchive::kLoad);
    EditResult result;
    loaded =
        fresh->SerializeRange(load, kFormatOwnBlock, kCellBlockMode, nullptr, nullptr, &result);
  } catch (const std::exception&) {
    loaded = -1;
  }
  if (loaded < 0) return 0;
  cell->Reset();
  cell->Clear();
  cells_[static_cast<size_t>(index)] = std::move(fresh);
  columnWidths_[static_cast<size_t>(column)] = width;
  return 1;
}

int32_t CTableObject::FindNeighbourCell(int direction, int32_t* column, int32_t* row) const {
  if (column == nullptr || row == nullptr || !IsInGrid(*column, *row)) return -1;
  const int32_t object = records_[static_cast<size_t>(*row * columns_ + *column)].objectIndex;
  int32_t c = *column;
  int32_t r = *row;
  while (true) {
    switch (direction) {
      case 1:
        --r;
        break;
      case 2:
        ++r;
        break;
      case 3:
        --c;
        break;
      case 4:
        ++c;
        break;
      default:
        return -1;
    }
    if (!IsInGrid(c, r)) return -1;
    const int32_t index = r * columns_ + c;
    if (records_[static_cast<size_t>(index)].objectIndex != object) {
      *column = c;
      *row = r;
      return index;
    }
  }
}

int32_t CTableObject::FindCellEdge(int direction, int32_t* column, int32_t* row) const {
  if (column == nullptr || row == nullptr || !IsInGrid(*column, *row)) return -1;
  auto objectAt = [this](int32_t c, int32_t r) {
    return records_[static_cast<size_t>(r * columns_ + c)].objectIndex;
  };
  const int32_t object = objectAt(*column, *row);
  int32_t c = *column;
  int32_t r = *row;
  switch (direction) {
    case 1:
      while (r > 0 && objectAt(c, r - 1) == object) --r;
      break;
    case 2:
      while (r + 1 < rows_ && objectAt(c, r + 1) == object) ++r;
      break;
    case 3:
      while (c > 0 && objectAt(c - 1, r) == object) --c;
      break;
    case 4:
      while (c + 1 < columns_ && objectAt(c + 1, r) == object) ++c;
      break;
    case 5:
      c = 0;
      break;
    case 6:
      c = columns_ - 1;
      break;
    default:
      return -1;
  }
  const int32_t index = r * columns_ + c;
  *column = index % columns_;
  *row = index / columns_;
  return objectAt(c, r);
}

int32_t CTableObject::NextCellPosition(int32_t column, int32_t row, int32_t gridX,
                                       int32_t gridY) const {
  if (rows_ == 0 || columns_ == 0 || row < 0 || row >= rows_) return -1;
  int32_t r = row;
  int32_t c = 0;
  if (IsOnHorizontalLine(row, gridY)) {
    if (gridY != 0) r = row + 1;  // the bottom rule: nothing follows
  } else if (column < 0 || (column < columns_ && gridX <= 0)) {
    c = std::max(0, column);
  } else {
    c = column + 1;
  }
  if (c >= columns_) {
    ++r;
    c = 0;
  }
  return r < rows_ ? r * columns_ + c : -1;
}

int32_t CTableObject::PreviousCellPosition(int32_t column, int32_t row, int32_t gridX,
                                           int32_t gridY) const {
  if (rows_ == 0 || columns_ == 0 || row < 0 || row >= rows_) return -1;
  int32_t r = row;
  int32_t c = columns_ - 1;
  if (IsOnHorizontalLine(row, gridY)) {
    if (gridY == 0) --r;  // the bottom rule follows the last row's cells
  } else if (column >= columns_) {
    c = columns_ - 1;
  } else {
    c = gridX > 0 ? column : column - 1;
  }
  if (c < 0) {
    --r;
    c = columns_ - 1;
  }
  return r >= 0 ? r * columns_ + c : -1;
}
